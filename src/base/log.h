#pragma once
// The one log of the run, "Log.txt" in the working directory, one flushed line per write.
#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string_view>

namespace brg {

// The protocol traces, each switched on by its MONITOR_* key of the configuration.
enum class Trace { PsxInQh, PsxInQi, PsxInQs, PsxInNonQ, PsxOut, SiocIn, SiocOut };
inline constexpr std::size_t kTraceCount = 7;

class Log {
public:
    // Rotates Log.txt to Log0.txt and Log0.txt to Log00.txt (by copying), opens the file
    // truncated and writes the header. Throws SysErrorException(0) when it cannot be opened.
    void open(const std::filesystem::path& path = "Log.txt");
    void close();
    bool isOpen() const;

    // One line: the text, a line feed and a flush. Dropped while the log is closed.
    void write(std::string_view text);
    // The text as it is, without a line feed of its own (traces of lines that carry their end).
    void writeRaw(std::string_view text);

    bool traceOn(Trace trace) const { return m_traces[static_cast<std::size_t>(trace)].load(); }
    void setTrace(Trace trace, bool on) { m_traces[static_cast<std::size_t>(trace)].store(on); }
    void clearTraces();
    // Writes prefix + text as one line when the trace is on.
    void trace(Trace trace, std::string_view prefix, std::string_view text);
    // The same without a line feed of its own.
    void traceRaw(Trace trace, std::string_view prefix, std::string_view text);

private:
    void put(std::string_view first, std::string_view second, bool lineFeed);

    mutable std::mutex m_mutex;
    std::ofstream m_file;
    std::array<std::atomic<bool>, kTraceCount> m_traces{};
};

extern Log g_log;

// Logs "! Exception in " + name; never throws, not even when the log cannot be written.
void gf_logException(std::string_view name) noexcept;

} // namespace brg
