#include "app/process_state.h"
#include "display/version_check.h"
#include "display_fixture.h"

namespace brg {
namespace {

using namespace test;

class VersionCheck : public DisplayTest {
protected:
    // A fetcher that serves one document whole, however many bytes were asked for, and remembers
    // what it was asked.
    VersionFetcher serve(VersionDocument::Outcome outcome, std::string bytes = {})
    {
        return [this, outcome, bytes](const std::string& url, std::size_t maxBytes) {
            askedUrl = url;
            askedBytes = maxBytes;
            return VersionDocument{outcome, bytes};
        };
    }
    void check(const std::string& document) { display::checkVersion(serve(VersionDocument::Outcome::Read, document), kUrl); }

    static constexpr const char* kUrl = "https://127.0.0.1:1/version.txt";
    std::string askedUrl;
    std::size_t askedBytes = 0;
};

// Only a newer version is announced: a newer patch in yellow, a newer minor in orange. Our own is 3.46.0.
TEST_F(VersionCheck, TheTitleAnnouncesOnlyANewerVersion)
{
    const auto rows = readBlocks("version-documents.txt")["documents"];
    ASSERT_EQ(rows.size(), 12u);
    for (const auto& line : rows) {
        SCOPED_TRACE(line);
        const auto row = cells(unescape(line), 4); // document, colour, title, not understood
        freshDisplay();
        const std::string before = log();
        EXPECT_NO_THROW(check(row.at(0)));
        EXPECT_EQ(askedUrl, kUrl);
        EXPECT_EQ(askedBytes, 64u);
        const RecordingWindow canvas = paint();
        EXPECT_EQ(canvas.textAt(3, 7), row.at(1) + "/black clear default: " + row.at(2));
        const bool announced = row.at(1) != "lime";
        EXPECT_EQ(display->statusText(), announced ? "A new version is available" : "");
        EXPECT_EQ(host->updates, announced ? 1 : 0); // the title is repainted at once
        EXPECT_EQ(display->errorText(), "");
        if (!row.at(3).empty()) {
            EXPECT_TRUE(contains(log(), "Version file not understood: " + row.at(3))) << log();
        } else if (!announced) {
            EXPECT_EQ(log(), before);
        }
    }
}

TEST_F(VersionCheck, FetchFailuresAreLoggedAndNothingIsAnnounced)
{
    display::checkVersion(serve(VersionDocument::Outcome::NoInternet), kUrl);
    EXPECT_EQ(display->statusText(), "no internet access");
    EXPECT_NE(log().find("no internet access\nVersion file not found\n"), std::string::npos) << log();

    display::checkVersion(serve(VersionDocument::Outcome::UrlNotOpened), kUrl);
    EXPECT_NE(log().find("hUrl=NULL\nVersion file not found\n"), std::string::npos) << log();

    display::checkVersion(serve(VersionDocument::Outcome::ReadFailed), kUrl);
    EXPECT_NE(log().find("file https://127.0.0.1:1/version.txt not found?\nVersion file not found\n"), std::string::npos)
        << log();

    check("");
    check("\n3.47.0");
    EXPECT_EQ(countOf(log(), "Version file not found\n"), 5u);
    EXPECT_EQ(paint().textAt(3, 7), "lime/black clear default: Version 3.46.0");
}

} // namespace
} // namespace brg
