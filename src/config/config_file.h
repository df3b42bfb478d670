#pragma once
// "Talvesync.cfg": 'key = value' lines, looked up per key with one line pattern per kind of value,
// and the rewrite of one key.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brg {

// The file is looked for under this relative name in the working directory only.
inline constexpr const char* kCfgFilePath = "Talvesync.cfg";

// The kinds of line, each matching the whole line with the key compared without regard to case:
//   Boolean  \s*KEY\s*=\s*(\d)\s*
//   Integer  \s*KEY\s*=\s*(-?\d+)\s*
//   Text     \s*KEY\s*=\s*(.+)          (lists too; trailing blanks belong to the value)
//   IPv4     \s*KEY\s*=\s*(\d+\.\d+\.\d+\.\d+)\s*
enum class CfgPattern { Boolean, Integer, Text, IPv4 };

// The captured value when the line matches the pattern of that kind for that key.
std::optional<std::string> gf_matchCfgLine(CfgPattern kind, std::string_view key, std::string_view line);

// The lines of the configuration file, read once; the first matching line wins.
class CfgFile {
public:
    // Empty when the file cannot be opened or is not a regular file. A byte-order mark at the
    // start is not part of the first line.
    static std::optional<CfgFile> load(const std::string& path = kCfgFilePath);
    std::optional<std::string> lookup(CfgPattern kind, std::string_view key) const;

private:
    explicit CfgFile(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
    std::vector<std::string> m_lines;
};

// "PATH is not a regular file" when the path names a folder, FIFO or device; else empty.
std::string gf_notARegularFile(const std::string& path);

// One look-up in the file as it is now; empty when the file is missing or no line matches.
std::optional<std::string> gf_cfgLookup(CfgPattern kind, std::string_view key);

namespace cfg {

// Rewrites the line of one key (or appends it), sorts the lines and drops repeated ones. The new
// content replaces the file in one rename, so the file is always either the old or the new one.
// Throws std::filesystem::filesystem_error when the new content cannot be written or put in place.
void setCfgParam(std::string_view key, std::string_view value);

} // namespace cfg

} // namespace brg
