#include "support/data_file.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace brg::test {

std::vector<std::string> dataLines(const std::string& name)
{
    std::ifstream in(std::string(TALVESYNC_TEST_DATA_DIR) + "/" + name);
    if (!in)
        throw std::runtime_error("no test data " + name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && !line.starts_with('#'))
            lines.push_back(line);
    return lines;
}

std::vector<std::string> cells(const std::string& row, std::size_t count)
{
    std::vector<std::string> cells;
    std::istringstream in(row);
    for (std::string cell; std::getline(in, cell, '|');)
        cells.push_back(cell);
    cells.resize(std::max(count, cells.size()));
    return cells;
}

std::string unescape(std::string text)
{
    for (std::size_t at = 0; (at = text.find('\\', at)) != std::string::npos; ++at) {
        if (const char c = text[at + 1]; c == 'r' || c == 'n')
            text.replace(at, 2, 1, c == 'r' ? '\r' : '\n');
        else if (c == 'x')
            text.replace(at, 4, 1, static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16)));
    }
    return text;
}

std::vector<ChannelElement> elementsOf(const std::string& text)
{
    std::istringstream words(text);
    std::vector<ChannelElement> elements;
    for (std::string e; words >> e;)
        elements.push_back({static_cast<std::uint32_t>(std::stoul(e)), std::stoi(e.substr(e.find('=') + 1))});
    return elements;
}

} // namespace brg::test
