#include "config/config_file.h"

#include "base/log.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// "\s*(.*\S)\s*" to the end: the value without the blanks around it; none when nothing is left.
std::optional<std::string> lf_matchText(std::string_view rest)
{
    const std::string_view value = gf_trimBlanks(rest);
    if (value.empty() || lf_hasLineTerminator(value))
        return std::nullopt;
    return std::string(value);
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

// Some Windows editors start a UTF-8 file with a byte-order mark; it would hide the first key.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The file's bytes as they are.
std::optional<std::string> lf_readContent(const fs::path& path)
{
    // A folder opens here and would read as an empty file, and a FIFO would block the start.
    if (lf_isOtherThanARegularFile(path))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A line without its "\n" and a "\r" before it.
std::string_view lf_withoutLineEnd(std::string_view line)
{
    if (line.ends_with('\n'))
        line.remove_suffix(1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

// The line end the file uses, judged by its first line.
std::string_view lf_lineEndOf(std::string_view content)
{
    const std::size_t end = content.find('\n');
    return end != std::string_view::npos && end > 0 && content[end - 1] == '\r' ? "\r\n" : "\n";
}

// Lines as a text-mode read gives them on Windows: a CR before the line end is not part of the line.
std::optional<std::vector<std::string>> lf_readLines(const fs::path& path)
{
    const auto content = lf_readContent(path);
    if (!content)
        return std::nullopt;
    std::vector<std::string> lines;
    std::string_view rest = *content;
    if (rest.starts_with(kByteOrderMark))
        rest.remove_prefix(kByteOrderMark.size());
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.emplace_back(line);
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return lines;
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
    // Binary: the line ends are the file's own, not the platform's.
    std::ofstream out(temp, std::ios::out | std::ios::trunc | std::ios::binary);
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

bool gf_sameCfgKey(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lf_lower(x) == lf_lower(y); });
}

bool gf_isDottedAddress(std::string_view text)
{
    return !text.empty() && lf_endOfAddress(text, 0) == text.size();
}

bool gf_isHostName(std::string_view text)
{
    if (text.empty() || text.size() > 253 || gf_isDottedAddress(text))
        return false;
    bool allDigits = true;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find('.', begin);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view label = text.substr(begin, end - begin);
        // A trailing dot (a fully qualified name) leaves one empty label at the end.
        if (label.empty() && end == text.size() && begin > 0)
            break;
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
            return false;
        for (char c : label) {
            if (!lf_isWord(c) && c != '-')
                return false;
            allDigits = allDigits && lf_isDigit(c);
        }
        begin = end + 1;
    }
    return !allDigits;
}

bool gf_isBlankOrComment(std::string_view line)
{
    const std::size_t i = lf_skipSpace(line, 0);
    if (i == line.size())
        return true;
    return line[i] == ';' || line[i] == '#' || line.substr(i).starts_with("//");
}

std::optional<CfgSetting> gf_splitCfgLine(std::string_view line)
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
    return CfgSetting{line.substr(begin, end - begin), gf_trimBlanks(line.substr(eq + 1))};
}

std::string_view gf_trimBlanks(std::string_view text)
{
    const std::size_t begin = lf_skipSpace(text, 0);
    std::size_t end = text.size();
    while (end > begin && lf_isSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

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
    case CfgPattern::Host: {
        end = begin;
        while (end < line.size() && !lf_isSpace(line[end]))
            ++end;
        if (!gf_isDottedAddress(line.substr(begin, end - begin)) && !gf_isHostName(line.substr(begin, end - begin)))
            end = std::string_view::npos;
        break;
    }
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

std::optional<std::size_t> CfgFile::lineOf(CfgPattern kind, std::string_view key) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (gf_matchCfgLine(kind, key, m_lines[i]))
            return i;
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
    const auto content = lf_readContent(path);
    if (!content) {
        lf_replaceFile(path, newLine);
        return;
    }
    // The file's own bytes, line by line with each line's end kept: what is not replaced is written back as it was.
    std::vector<std::string_view> lines;
    for (std::size_t begin = 0; begin < content->size();) {
        const std::size_t end = std::min(content->find('\n', begin), content->size() - 1);
        lines.push_back(std::string_view(*content).substr(begin, end + 1 - begin));
        begin = end + 1;
    }
    const auto setsKey = [&](std::string_view line, bool first) {
        if (first && line.starts_with(kByteOrderMark))
            line.remove_prefix(kByteOrderMark.size());
        const auto setting = gf_splitCfgLine(lf_withoutLineEnd(line));
        return setting && gf_sameCfgKey(setting->key, key);
    };
    std::string updated;
    bool replaced = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (replaced || !setsKey(line, i == 0)) {
            updated += line;
            continue;
        }
        replaced = true;
        if (i == 0 && line.starts_with(kByteOrderMark))
            updated += kByteOrderMark;
        updated += newLine;
        updated += line.substr(lf_withoutLineEnd(line).size());
    }
    if (!replaced) {
        const std::string_view lineEnd = lf_lineEndOf(*content);
        if (!updated.empty() && updated.back() != '\n')
            updated += lineEnd;
        updated += newLine;
        updated += lineEnd;
    }
    lf_replaceFile(path, updated);
}

} // namespace brg
