#include "base/log.h"

#include "base/exceptions.h"
#include "base/utc_time.h"
#include "base/version.h"

#include <fmt/format.h>

namespace brg {

Log g_log;

namespace {

// "Log.txt" -> "Log0.txt" (times = 1) or "Log00.txt" (times = 2).
std::filesystem::path lf_backupName(const std::filesystem::path& path, int times)
{
    std::string name = path.filename().string();
    const auto dot = name.find('.');
    name.insert(dot == std::string::npos ? name.size() : dot, std::string(times, '0'));
    return path.parent_path() / name;
}

} // namespace

void Log::open(const std::filesystem::path& path)
{
    namespace fs = std::filesystem;
    const fs::path first = lf_backupName(path, 1);
    const fs::path second = lf_backupName(path, 2);
    // Copies, not renames: the current file is truncated by the open below. The target is removed
    // first because MinGW's copy_file refuses to overwrite.
    const auto copyOver = [](const fs::path& from, const fs::path& to) {
        fs::remove(to);
        fs::copy_file(from, to);
    };
    if (fs::exists(first))
        copyOver(first, second);
    if (fs::exists(path))
        copyOver(path, first);

    {
        std::lock_guard lock(m_mutex);
        m_file.close();
        m_file.clear();
        m_file.open(path, std::ios::out | std::ios::trunc);
        if (!m_file.is_open())
            throw SysErrorException(0, "Failed to write file " + path.string());
    }
    const Version& v = base::programVersion();
    write(fmt::format("{} (utc) {} version {}.{}.{}", gf_utcAsctime(), kProgramName, v.major, v.minor,
                      v.patch));
}

void Log::close()
{
    std::lock_guard lock(m_mutex);
    if (m_file.is_open()) {
        m_file.flush();
        m_file.close();
    }
}

bool Log::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_file.is_open();
}

void Log::put(std::string_view first, std::string_view second, bool lineFeed)
{
    std::lock_guard lock(m_mutex);
    if (!m_file.is_open())
        return;
    m_file << first << second;
    if (lineFeed)
        m_file << '\n';
    m_file.flush();
}

void Log::write(std::string_view text) { put(text, {}, true); }

void Log::writeRaw(std::string_view text) { put(text, {}, false); }

void Log::clearTraces()
{
    for (auto& t : m_traces)
        t.store(false);
}

void Log::trace(Trace which, std::string_view prefix, std::string_view text)
{
    if (traceOn(which))
        put(prefix, text, true);
}

void Log::traceRaw(Trace which, std::string_view prefix, std::string_view text)
{
    if (traceOn(which))
        put(prefix, text, false);
}

void gf_logException(std::string_view name) noexcept
{
    try {
        g_log.write(fmt::format("! Exception in {}", name));
    } catch (...) {
    }
}

} // namespace brg
