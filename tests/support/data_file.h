#pragma once
// Case tables kept as text in tests/data, read one line at a time.
#include "net/channel.h"

#include <string>
#include <vector>

namespace brg::test {

// The lines of tests/data/NAME, less blank lines and "#" comments.
std::vector<std::string> dataLines(const std::string& name);

// A row's cells split by "|", at least `count` of them (missing ones empty).
std::vector<std::string> cells(const std::string& row, std::size_t count);

// "\r", "\n" and "\xHH" as the bytes they stand for; any other backslash stays, as in Windows paths.
std::string unescape(std::string text);

// "N=V N=V ..." as the elements they stand for.
std::vector<ChannelElement> elementsOf(const std::string& text);

} // namespace brg::test
