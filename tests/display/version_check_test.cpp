#include "app/process_state.h"
#include "display/version_check.h"
#include "display_fixture.h"

#include <map>

namespace brg {
namespace {

using namespace test;

class VersionCheck : public DisplayTest {
protected:
    // A fetcher that serves one document whole, however many bytes were asked for, and remembers
    // what it was asked.
    VersionFetcher serve(VersionDocument::Outcome outcome, std::string bytes)
    {
        return [this, outcome, bytes](const std::string& url, std::size_t maxBytes, const std::stop_token&) {
            askedUrl = url;
            askedBytes = maxBytes;
            return VersionDocument{outcome, bytes};
        };
    }

    static constexpr const char* kUrl = "https://127.0.0.1:1/version.txt";
    std::string askedUrl;
    std::size_t askedBytes = 0;
};

// Only a newer version is announced; a document that cannot be fetched or read is logged, and
// start-up goes on. The cases are in tests/data/version-documents.txt.
TEST_F(VersionCheck, TheTitleAnnouncesOnlyANewerVersion)
{
    using Outcome = VersionDocument::Outcome;
    const std::map<std::string, Outcome> outcomes{{"read", Outcome::Read}, {"no internet", Outcome::NoInternet},
                                                  {"url not opened", Outcome::UrlNotOpened}, {"read failed", Outcome::ReadFailed}};
    for (const auto& line : dataLines("version-documents.txt")) {
        SCOPED_TRACE(line);
        const auto row = cells(unescape(line), 6); // fetch, document, title colour, title, status, logged
        freshDisplay();
        const std::size_t logged = log().size();
        EXPECT_NO_THROW(display::checkVersion(serve(outcomes.at(row.at(0)), row.at(1)), kUrl));
        EXPECT_EQ(askedUrl, kUrl);
        EXPECT_EQ(askedBytes, 64u);
        EXPECT_EQ(paint().textAt(3, 7), row.at(2) + "/black clear default: " + row.at(3));
        EXPECT_EQ(display->statusText(), row.at(4));
        EXPECT_EQ(host->updates, row.at(2) == "lime" ? 0 : 1); // an announced title is repainted at once
        EXPECT_EQ(display->errorText(), "");
        EXPECT_EQ(log().substr(logged), row.at(5));
    }
}

} // namespace
} // namespace brg
