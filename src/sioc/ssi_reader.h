#pragma once
// Reads the IOCP variable numbers a compiled SIOC script declares.
#include "sioc/ssi_format.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <set>
#include <string>

namespace brg {

class SsiReader {
public:
    static constexpr std::uint32_t kLowest = 1000;
    static constexpr std::uint32_t kHighest = 5688;

    // False when the file (a UTF-8 path) cannot be opened; an exception on the way is logged
    // under "openFile".
    bool openFile(const std::string& path);
    void closeFile();
    // Walks the records once and collects the declared numbers from kLowest to kHighest.
    void readNumbers();

    const std::set<std::uint32_t>& numbers() const { return m_numbers; }

private:
    std::ifstream m_file;
    std::set<std::uint32_t> m_numbers;
    std::array<char, kSsiRecordSize> m_record{};
};

} // namespace brg
