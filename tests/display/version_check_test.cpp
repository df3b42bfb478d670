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
    void check(const std::string& document) { checkVersion(serve(VersionDocument::Outcome::Read, document), kUrl); }
    std::string title() { return paint().at(3, 7).at(0).text; }

    static constexpr const char* kUrl = "https://127.0.0.1:1/version.txt";
    std::string askedUrl;
    std::size_t askedBytes = 0;
};

TEST_F(VersionCheck, TheSameVersionShowsAndLogsNothing)
{
    const std::string before = log();
    check("3.46.0\n");
    EXPECT_EQ(askedUrl, kUrl);
    EXPECT_EQ(askedBytes, 64u);
    EXPECT_EQ(log(), before);
    EXPECT_EQ(title(), "Version 3.46.0");
    EXPECT_TRUE(host->invalidations.empty());
}

TEST_F(VersionCheck, ANewerPatchIsYellowAndAnnounced)
{
    check("3.46.1\nchanges: ...\n");
    EXPECT_EQ(title(), "Version 3.46.0 (new=3.46.1)");
    EXPECT_EQ(paint().at(3, 7)[0].colour, kYellow);
    EXPECT_EQ(display->statusText(), "A new version is available");
    EXPECT_EQ(host->updates, 1); // the title is repainted at once
}

TEST_F(VersionCheck, ANewerMinorIsOrange)
{
    check("3.47.0");
    EXPECT_EQ(title(), "Version 3.46.0 (new=3.47.0)");
    EXPECT_EQ(paint().at(3, 7)[0].colour, kOrange);
}

TEST_F(VersionCheck, OlderVersionsAreNotAnnounced)
{
    check("3.45.9");
    check("2.99.99");
    EXPECT_EQ(title(), "Version 3.46.0");
    EXPECT_EQ(display->statusText(), "");
}

TEST_F(VersionCheck, TheJsonFormAndWindowsLineEnds)
{
    check(R"({"major": 3, "minor": 50, "patch": 2})" "\r\n");
    EXPECT_EQ(title(), "Version 3.46.0 (new=3.50.2)");
}

TEST_F(VersionCheck, OnlyTheFirst64BytesAreRead)
{
    // The version stated past the 64th byte is never seen; the cut line is not understood.
    const std::string document =
        R"({"note": "a long first line that goes on and on and on", "major": 9, "minor": 0, "patch": 0})";
    check(document);
    EXPECT_EQ(askedBytes, 64u);
    EXPECT_EQ(title(), "Version 3.46.0");
    EXPECT_NE(log().find("Version file not understood: " + document.substr(0, 64) + "\n"), std::string::npos)
        << log();
}

TEST_F(VersionCheck, AnUnparsableDocumentIsLoggedAndTheStartUpGoesOn)
{
    EXPECT_NO_THROW(check("<html>404</html>\nmore"));
    EXPECT_NE(log().find("Version file not understood: <html>404</html>\n"), std::string::npos);
    EXPECT_EQ(display->errorText(), "");
    EXPECT_NO_THROW(check("3.46.x"));
    EXPECT_NO_THROW(check(R"({"major": "3", "minor": 47, "patch": 0})"));
    EXPECT_EQ(title(), "Version 3.46.0");
}

TEST_F(VersionCheck, FetchFailuresAreLoggedAndNothingIsAnnounced)
{
    checkVersion(serve(VersionDocument::Outcome::NoInternet), kUrl);
    EXPECT_EQ(display->statusText(), "no internet access");
    EXPECT_NE(log().find("no internet access\nVersion file not found\n"), std::string::npos) << log();

    checkVersion(serve(VersionDocument::Outcome::UrlNotOpened), kUrl);
    EXPECT_NE(log().find("hUrl=NULL\nVersion file not found\n"), std::string::npos) << log();

    checkVersion(serve(VersionDocument::Outcome::ReadFailed), kUrl);
    EXPECT_NE(log().find("file https://127.0.0.1:1/version.txt not found?\nVersion file not found\n"), std::string::npos)
        << log();

    check("");
    check("\n3.47.0");
    EXPECT_EQ(count(log(), "Version file not found\n"), 5u);
    EXPECT_EQ(title(), "Version 3.46.0");
}

TEST_F(VersionCheck, TheOwnDocumentIsOurs)
{
    EXPECT_EQ(std::string(kVersionUrl).rfind("https://", 0), 0u);
}

} // namespace
} // namespace brg
