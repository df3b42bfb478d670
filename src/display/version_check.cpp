#include "display/version_check.h"

#include "base/display.h"
#include "base/log.h"
#include "base/version.h"

#include <fmt/format.h>
#include <tuple>

namespace brg {

const char* const kVersionUrl = "https://talvesync.net/version.txt";

namespace {

constexpr std::size_t kVersionBytes = 64;

// The first line of the fetched bytes, or an empty text after logging why there is none.
std::string lf_firstLine(const VersionFetcher& fetch, const std::string& url, const std::stop_token& stop)
{
    const VersionDocument document = fetch(url, kVersionBytes, stop);
    switch (document.outcome) {
    case VersionDocument::Outcome::Stopped:
        return {};
    case VersionDocument::Outcome::NoInternet:
        g_display->setStatus("no internet access");
        return {};
    case VersionDocument::Outcome::UrlNotOpened:
        g_log.write("hUrl=NULL");
        return {};
    case VersionDocument::Outcome::ReadFailed:
        g_log.write("file " + url + " not found?");
        return {};
    case VersionDocument::Outcome::Read:
        break;
    }
    std::string text = document.bytes.substr(0, kVersionBytes);
    text = text.substr(0, text.find('\n'));
    // A document saved with Windows line ends still states its version.
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    return text;
}

} // namespace

void display::checkVersion(const VersionFetcher& fetch, const std::string& url, const std::stop_token& stop)
{
    try {
        const std::string text = lf_firstLine(fetch, url, stop);
        if (stop.stop_requested())
            return;
        if (text.empty()) {
            g_log.write("Version file not found");
            return;
        }
        Version remote;
        try {
            remote = base::parseVersion(text);
        } catch (const std::exception&) {
            // A broken document on the web server must not keep the cockpit from starting.
            g_log.write("Version file not understood: " + text);
            return;
        }
        const Version& own = base::programVersion();
        if (std::tie(remote.major, remote.minor, remote.patch) <= std::tie(own.major, own.minor, own.patch))
            return;
        g_display->setNewVersion(fmt::format("{}.{}.{}", remote.major, remote.minor, remote.patch),
                                 remote.minor > own.minor);
        g_display->repaint();
        g_display->setStatus("A new version is available");
    } catch (...) {
        gf_logException("checkVersion");
    }
}

} // namespace brg
