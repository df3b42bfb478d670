#pragma once
// Reads the IOCP variable numbers a compiled SIOC script declares.
#include "sioc/ssi_format.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <istream>
#include <set>
#include <string>

namespace brg {

class SsiReader {
public:
    static constexpr std::uint32_t kLowest = 1000;
    static constexpr std::uint32_t kHighest = 5688;

    // False when the file (a UTF-8 path) cannot be opened; an exception on the way is logged
    // under "openFile". Only a regular file is opened: a folder, FIFO or device is never read.
    bool openFile(const std::string& path);
    // Why the last openFile failed, for the user: empty when there is no such file, else a short
    // reason such as "permission denied" or "not a regular file".
    const std::string& openFailure() const { return m_openFailure; }
    void closeFile();
    // Walks the records once and collects the declared numbers from kLowest to kHighest. Throws
    // std::runtime_error "read error" when the file cannot be read to its end.
    void readNumbers() { readNumbers(m_file); }
    // The same on any seekable stream.
    void readNumbers(std::istream& in);

    const std::set<std::uint32_t>& numbers() const { return m_numbers; }

private:
    std::ifstream m_file;
    std::string m_openFailure;
    std::set<std::uint32_t> m_numbers;
    std::array<char, kSsiRecordSize> m_record{};
};

} // namespace brg
