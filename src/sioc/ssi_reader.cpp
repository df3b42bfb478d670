#include "sioc/ssi_reader.h"

#include "app/log.h"
#include "sioc/path_text.h"

#include <ios>

namespace brg {

bool SsiReader::openFile(const std::string& path)
{
    try {
        m_file.open(gf_textPath(path), std::ios::in | std::ios::binary);
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

void SsiReader::readNumbers()
{
    m_file.seekg(0, std::ios::end);
    const std::streamoff size = m_file.tellg();
    std::int32_t previous = 99999;
    for (std::streamoff offset = 0; offset < size; offset += kSsiRecordSize) {
        m_file.clear();
        m_file.seekg(offset);
        m_file.read(m_record.data(), kSsiRecordSize);
        // A short last record may not reach the whole field; its stale bytes are no number.
        if (m_file.gcount() < static_cast<std::streamsize>(kSsiNumberOffset + 4))
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
