#pragma once
// Asks the project's web site whether a newer version exists and says so in the window.
#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>

namespace brg {

struct VersionDocument {
    // Stopped: the program is closing and the fetch gave up.
    enum class Outcome { Read, NoInternet, UrlNotOpened, ReadFailed, Stopped };
    Outcome outcome = Outcome::Read;
    // At most the requested number of bytes, as they came.
    std::string bytes;
};

// Fetches the first bytes of a document; the Windows program uses WinINet, tests a fake. Gives up
// at once when `stop` is requested.
using VersionFetcher =
    std::function<VersionDocument(const std::string& url, std::size_t maxBytes, const std::stop_token& stop)>;

// The project's own version document.
extern const char* const kVersionUrl;

namespace display {

// The whole check: fetch, read the first line, compare with our version, and announce a newer
// one in the title line and on the status line. Never throws. A fetch stopped because the program
// closes ends the check without a word.
void checkVersion(const VersionFetcher& fetch, const std::string& url, const std::stop_token& stop = {});

} // namespace display

} // namespace brg
