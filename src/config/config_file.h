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
//   Text     \s*KEY\s*=\s*(.*\S)\s*     (lists too; blanks after the value are no part of it)
//   Host     \s*KEY\s*=\s*(\d+\.\d+\.\d+\.\d+|NAME)\s*   (NAME: a host name, below)
enum class CfgPattern { Boolean, Integer, Text, Host };

// Keys are the same without regard to letter case.
bool gf_sameCfgKey(std::string_view a, std::string_view b);

// A host name as a resolver takes it: labels of letters, digits and inner "-", separated by dots,
// not all of digits (that would be a mistyped address).
bool gf_isHostName(std::string_view text);
// Four dot-separated groups of digits.
bool gf_isDottedAddress(std::string_view text);

// What a line is, apart from a setting: blank, or a comment (its first character other than a
// blank is ";" or "#", or it starts with "//").
bool gf_isBlankOrComment(std::string_view line);

// The text without the blanks around it.
std::string_view gf_trimBlanks(std::string_view text);

// A line of the form "\s*(\w+)\s*=\s*(.*)": its key as written and its value without the blanks
// around it.
struct CfgSetting {
    std::string_view key;
    std::string_view value;
};
std::optional<CfgSetting> gf_splitCfgLine(std::string_view line);

// The captured value when the line matches the pattern of that kind for that key.
std::optional<std::string> gf_matchCfgLine(CfgPattern kind, std::string_view key, std::string_view line);

// The lines of the configuration file, read once; the first matching line wins.
class CfgFile {
public:
    // Empty when the file cannot be opened or is not a regular file. A byte-order mark at the
    // start is not part of the first line.
    static std::optional<CfgFile> load(const std::string& path = kCfgFilePath);
    std::optional<std::string> lookup(CfgPattern kind, std::string_view key) const;
    // The index of the line lookup() takes its value from.
    std::optional<std::size_t> lineOf(CfgPattern kind, std::string_view key) const;
    // The lines, without their line ends; line n of the file is lines()[n - 1].
    const std::vector<std::string>& lines() const { return m_lines; }

private:
    explicit CfgFile(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
    std::vector<std::string> m_lines;
};

// "PATH is not a regular file" when the path names a folder, FIFO or device; else empty.
std::string gf_notARegularFile(const std::string& path);

// One look-up in the file as it is now; empty when the file is missing or no line matches.
std::optional<std::string> gf_cfgLookup(CfgPattern kind, std::string_view key);

namespace cfg {

// Replaces the first line that sets the key (its key without regard to case, then "="), or appends
// the line at the end; every other line stays as it was, and so do the file's line ends (CRLF or
// LF). The new content replaces the file in one rename, so the file is always either the old or
// the new one.
// Throws std::filesystem::filesystem_error when the new content cannot be written or put in place.
void setCfgParam(std::string_view key, std::string_view value);

} // namespace cfg

} // namespace brg
