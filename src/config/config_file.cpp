#include "config/config_file.h"

#include "base/log.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace brg {

namespace fs = std::filesystem;

namespace {

// The classes of an ECMAScript pattern on char in the classic locale.
bool lf_isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool lf_isDigit(char c) { return c >= '0' && c <= '9'; }
bool lf_isWord(char c)
{
    return lf_isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
// "." matches every character but these.
bool lf_isLineTerminator(char c) { return c == '\n' || c == '\r'; }
char lf_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t lf_skipSpace(std::string_view s, std::size_t i)
{
    while (i < s.size() && lf_isSpace(s[i]))
        ++i;
    return i;
}

std::size_t lf_skipDigits(std::string_view s, std::size_t i)
{
    while (i < s.size() && lf_isDigit(s[i]))
        ++i;
    return i;
}

bool lf_onlySpaceFrom(std::string_view s, std::size_t i) { return lf_skipSpace(s, i) == s.size(); }

bool lf_hasLineTerminator(std::string_view s) { return std::any_of(s.begin(), s.end(), lf_isLineTerminator); }

// "\s*KEY\s*=" (key without regard to case): the position after "=", or npos.
std::size_t lf_afterKey(std::string_view line, std::string_view key)
{
    std::size_t i = lf_skipSpace(line, 0);
    if (line.size() - i < key.size())
        return std::string_view::npos;
    for (char k : key) {
        if (lf_lower(line[i]) != lf_lower(k))
            return std::string_view::npos;
        ++i;
    }
    i = lf_skipSpace(line, i);
    if (i == line.size() || line[i] != '=')
        return std::string_view::npos;
    return i + 1;
}

// "\s*(.+)" to the end: the greedy blanks leave at least one character to the group when they can.
std::optional<std::string> lf_matchText(std::string_view rest)
{
    const std::size_t start = lf_skipSpace(rest, 0);
    if (start < rest.size()) {
        const std::string_view value = rest.substr(start);
        if (lf_hasLineTerminator(value))
            return std::nullopt;
        return std::string(value);
    }
    if (rest.empty() || lf_isLineTerminator(rest.back()))
        return std::nullopt;
    return std::string(1, rest.back());
}

// "\d+\.\d+\.\d+\.\d+": the position after it, or npos.
std::size_t lf_endOfAddress(std::string_view s, std::size_t i)
{
    for (int group = 0; group < 4; ++group) {
        if (group > 0) {
            if (i == s.size() || s[i] != '.')
                return std::string_view::npos;
            ++i;
        }
        const std::size_t end = lf_skipDigits(s, i);
        if (end == i)
            return std::string_view::npos;
        i = end;
    }
    return i;
}

bool lf_isOtherThanARegularFile(const fs::path& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return !error && status.type() != fs::file_type::not_found && status.type() != fs::file_type::regular;
}

// Lines as a text-mode read gives them on Windows: a CR before the line end is not part of the line.
std::optional<std::vector<std::string>> lf_readLines(const fs::path& path)
{
    // A folder opens here and would read as an empty file, and a FIFO would block the start.
    if (lf_isOtherThanARegularFile(path))
        return std::nullopt;
    std::ifstream in(path);
    if (!in.is_open())
        return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    // Some Windows editors start a UTF-8 file with a byte-order mark; it would hide the first key.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (!lines.empty() && lines.front().starts_with(kByteOrderMark))
        lines.front().erase(0, kByteOrderMark.size());
    return lines;
}

// The key of a line "\s*(\w+)\s*=\s*(.*)" (case-sensitive), if the line is of that form.
std::optional<std::string_view> lf_lineKey(std::string_view line)
{
    const std::size_t begin = lf_skipSpace(line, 0);
    std::size_t end = begin;
    while (end < line.size() && lf_isWord(line[end]))
        ++end;
    if (end == begin)
        return std::nullopt;
    const std::size_t eq = lf_skipSpace(line, end);
    if (eq == line.size() || line[eq] != '=')
        return std::nullopt;
    if (lf_hasLineTerminator(line.substr(lf_skipSpace(line, eq + 1))))
        return std::nullopt;
    return line.substr(begin, end - begin);
}

[[noreturn]] void lf_throwWriteError(const fs::path& path)
{
    throw fs::filesystem_error("setCfgParam: write", path, std::make_error_code(std::errc::io_error));
}

// Writes the content beside the file and renames it over the file: a failed or interrupted save
// leaves the old file whole instead of a truncated one.
void lf_replaceFile(const fs::path& path, const std::string& content)
{
    fs::path temp = path;
    temp += ".tmp";
    std::ofstream out(temp, std::ios::out | std::ios::trunc);
    if (!out.is_open())
        lf_throwWriteError(temp);
    out << content;
    out.close();
    std::error_code ignored;
    if (!out) {
        fs::remove(temp, ignored);
        lf_throwWriteError(temp);
    }
    try {
        fs::rename(temp, path);
    } catch (const fs::filesystem_error&) {
        fs::remove(temp, ignored);
        throw;
    }
}

} // namespace

std::optional<std::string> gf_matchCfgLine(CfgPattern kind, std::string_view key, std::string_view line)
{
    const std::size_t at = lf_afterKey(line, key);
    if (at == std::string_view::npos)
        return std::nullopt;
    if (kind == CfgPattern::Text)
        return lf_matchText(line.substr(at));

    const std::size_t begin = lf_skipSpace(line, at);
    std::size_t end = std::string_view::npos;
    switch (kind) {
    case CfgPattern::Boolean:
        if (begin < line.size() && lf_isDigit(line[begin]))
            end = begin + 1;
        break;
    case CfgPattern::Integer: {
        const std::size_t digits = (begin < line.size() && line[begin] == '-') ? begin + 1 : begin;
        const std::size_t digitsEnd = lf_skipDigits(line, digits);
        if (digitsEnd > digits)
            end = digitsEnd;
        break;
    }
    case CfgPattern::IPv4:
        end = lf_endOfAddress(line, begin);
        break;
    case CfgPattern::Text:
        break;
    }
    if (end == std::string_view::npos || !lf_onlySpaceFrom(line, end))
        return std::nullopt;
    return std::string(line.substr(begin, end - begin));
}

std::optional<CfgFile> CfgFile::load(const std::string& path)
{
    auto lines = lf_readLines(path);
    if (!lines)
        return std::nullopt;
    return CfgFile(std::move(*lines));
}

std::optional<std::string> CfgFile::lookup(CfgPattern kind, std::string_view key) const
{
    for (const auto& line : m_lines) {
        if (auto value = gf_matchCfgLine(kind, key, line))
            return value;
    }
    return std::nullopt;
}

std::string gf_notARegularFile(const std::string& path)
{
    return lf_isOtherThanARegularFile(path) ? path + " is not a regular file" : std::string();
}

std::optional<std::string> gf_cfgLookup(CfgPattern kind, std::string_view key)
{
    const auto file = CfgFile::load();
    if (!file)
        return std::nullopt;
    return file->lookup(kind, key);
}

void cfg::setCfgParam(std::string_view key, std::string_view value)
{
    std::string newLine(key);
    newLine += '=';
    newLine += value;
    g_log.write(newLine);

    const fs::path path = kCfgFilePath;
    auto lines = lf_readLines(path);
    if (!lines) {
        lf_replaceFile(path, newLine);
        return;
    }
    const auto own = std::find_if(lines->begin(), lines->end(),
                                  [&](const std::string& line) { return lf_lineKey(line) == key; });
    if (own != lines->end())
        *own = newLine;
    else
        lines->push_back(newLine);
    std::stable_sort(lines->begin(), lines->end());
    lines->erase(std::unique(lines->begin(), lines->end()), lines->end());

    std::string content;
    for (const auto& line : *lines) {
        content += line;
        content += '\n';
    }
    lf_replaceFile(path, content);
}

} // namespace brg
