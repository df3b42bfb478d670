// Writes a stand-in compiled SIOC script that declares the given IOCP variable numbers, one
// 400-byte record each, in the order given. 0 writes a record that declares nothing.
//   ssi-writer OUTPUT.ssi NUMBER...
//   ssi-writer OUTPUT.ssi -f LIST      LIST holds numbers separated by blanks, commas or line ends;
//                                      '#' starts a comment that runs to the line end.
#include "base/str2int32.h"
#include "sioc/ssi_format.h"

#include <fmt/core.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "usage: ssi-writer OUTPUT.ssi NUMBER...\n"
                               "       ssi-writer OUTPUT.ssi -f LIST\n";

// Throws std::invalid_argument for anything but a number from 0 to 2147483647.
std::int32_t lf_declaration(const std::string& text)
{
    std::int32_t number = -1;
    try {
        number = brg::base::str2int32(text);
    } catch (const std::invalid_argument&) {
    }
    if (number < 0)
        throw std::invalid_argument(fmt::format("'{}' is not a variable number", text));
    return -number;
}

std::vector<std::string> lf_wordsOfFile(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error(fmt::format("cannot read {}", path));
    std::vector<std::string> words;
    std::string line;
    while (std::getline(in, line)) {
        std::string word;
        for (char c : line.substr(0, line.find('#'))) {
            if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
                if (!word.empty())
                    words.push_back(std::move(word));
                word.clear();
            } else {
                word += c;
            }
        }
        if (!word.empty())
            words.push_back(std::move(word));
    }
    return words;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--help") {
        fmt::print("{}Writes a stand-in for a compiled SIOC script that declares the given variable numbers,\n"
                   "for trying Talvesync without SIOC. LIST is a text file of numbers; # starts a comment.\n",
                   kUsage);
        return 0;
    }
    if (args.size() < 2 || (args[1] == "-f" && args.size() != 3)) {
        fmt::print(stderr, "{}", kUsage);
        return 2;
    }
    try {
        const std::vector<std::string> words =
            args[1] == "-f" ? lf_wordsOfFile(args[2]) : std::vector<std::string>(args.begin() + 1, args.end());
        std::vector<std::int32_t> fields;
        for (const std::string& word : words)
            fields.push_back(lf_declaration(word));
        std::ofstream out(args[0], std::ios::binary | std::ios::trunc);
        out << brg::gf_ssiRecords(fields);
        out.close();
        if (!out)
            throw std::runtime_error(fmt::format("cannot write {}", args[0]));
        fmt::print("{}: {} records\n", args[0], fields.size());
        return 0;
    } catch (const std::exception& e) {
        fmt::print(stderr, "ssi-writer: {}\n", e.what());
        return 1;
    }
}
