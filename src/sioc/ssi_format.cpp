#include "sioc/ssi_format.h"

namespace brg {

std::int32_t gf_ssiNumberField(const char* record)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 4; i-- > 0;)
        bits = (bits << 8) | static_cast<unsigned char>(record[kSsiNumberOffset + i]);
    return static_cast<std::int32_t>(bits);
}

std::string gf_ssiRecords(const std::vector<std::int32_t>& fields)
{
    std::string image(fields.size() * kSsiRecordSize, '\0');
    for (std::size_t r = 0; r < fields.size(); ++r) {
        const auto bits = static_cast<std::uint32_t>(fields[r]);
        for (std::size_t i = 0; i < 4; ++i)
            image[r * kSsiRecordSize + kSsiNumberOffset + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    return image;
}

} // namespace brg
