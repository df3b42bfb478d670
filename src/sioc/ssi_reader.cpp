#include "sioc/ssi_reader.h"

#include "base/log.h"
#include "sioc/path_text.h"

#include <cerrno>
#include <filesystem>
#include <ios>
#include <stdexcept>
#include <system_error>

namespace brg {

namespace {

// "Permission denied" as the tail of a sentence.
std::string lf_reason(const std::error_code& error)
{
    std::string text = error.message();
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

} // namespace

bool SsiReader::openFile(const std::string& path)
{
    m_openFailure.clear();
    try {
        const std::filesystem::path file = gf_textPath(path);
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(file, error);
        if (status.type() == std::filesystem::file_type::not_found)
            return false;
        if (error) {
            m_openFailure = lf_reason(error);
            return false;
        }
        // A folder would be "read" without end and a FIFO would block the start-up for good.
        if (status.type() != std::filesystem::file_type::regular) {
            m_openFailure = "not a regular file";
            return false;
        }
        errno = 0;
        m_file.open(file, std::ios::in | std::ios::binary);
        if (!m_file.is_open() && errno != 0)
            m_openFailure = lf_reason(std::error_code(errno, std::generic_category()));
        return m_file.is_open();
    } catch (...) {
        gf_logException("openFile");
        return false;
    }
}

void SsiReader::closeFile()
{
    try {
        m_file.close();
    } catch (...) {
        gf_logException("closeFile");
    }
}

void SsiReader::readNumbers(std::istream& in)
{
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        throw std::runtime_error("read error");
    std::int32_t previous = 99999;
    for (std::streamoff offset = 0; offset < size; offset += kSsiRecordSize) {
        in.clear();
        in.seekg(offset);
        in.read(m_record.data(), kSsiRecordSize);
        // Only the last record may come short; anything else is a failing file, not a script.
        if (in.bad() || (in.fail() && !in.eof()) ||
            (in.gcount() < static_cast<std::streamsize>(kSsiRecordSize) &&
             offset + in.gcount() < size))
            throw std::runtime_error("read error");
        // A short last record may not reach the whole field; its stale bytes are no number.
        if (in.gcount() < static_cast<std::streamsize>(kSsiNumberOffset + 4))
            continue;
        const std::int32_t v = gf_ssiNumberField(m_record.data());
        if (v >= 0 || v == previous)
            continue;
        previous = v;
        const std::int64_t n = -static_cast<std::int64_t>(v);
        if (n >= kLowest && n <= kHighest)
            m_numbers.insert(static_cast<std::uint32_t>(n));
    }
}

} // namespace brg
