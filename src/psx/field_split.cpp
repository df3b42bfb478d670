#include "psx/field_split.h"

#include <stdexcept>

namespace brg {

std::vector<std::string_view> psx::splitFields(std::string_view text, std::string_view separators)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos) {
            fields.push_back(text.substr(start));
            break;
        }
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::string_view psx::fieldAt(const std::vector<std::string_view>& fields, std::size_t i)
{
    if (i >= fields.size())
        throw std::out_of_range("invalid vector subscript");
    return fields[i];
}

std::string_view psx::charsAt(std::string_view text, std::size_t pos, std::size_t count)
{
    if (pos > text.size())
        throw std::out_of_range("invalid string position");
    return text.substr(pos, count);
}

} // namespace brg
