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
    struct Row {
        const char* document;
        const char* title;
        Rgb colour;
        const char* understood; // what the log says was not understood; nullptr: nothing logged
    };
    const Row rows[] = {
        {"3.46.0\n", "Version 3.46.0", kLimeGreen, nullptr},
        {"3.46.1\nchanges: ...\n", "Version 3.46.0 (new=3.46.1)", kYellow, nullptr},
        {"3.47.0", "Version 3.46.0 (new=3.47.0)", kOrange, nullptr},
        {"3.45.9", "Version 3.46.0", kLimeGreen, nullptr},
        {"2.99.99", "Version 3.46.0", kLimeGreen, nullptr},
        {R"({"major": 3, "minor": 50, "patch": 2})" "\r\n", "Version 3.46.0 (new=3.50.2)", kOrange, nullptr},
        {"<html>404</html>\nmore", "Version 3.46.0", kLimeGreen, "<html>404</html>"},
        {"3.46.x", "Version 3.46.0", kLimeGreen, "3.46.x"},
        {R"({"major": "3", "minor": 47, "patch": 0})", "Version 3.46.0", kLimeGreen, R"({"major": "3")"},
        // The version stated past the 64th byte is never seen; the cut line is not understood.
        {R"({"note": "a long first line that goes on and on and on", "major": 9, "minor": 0, "patch": 0})",
         "Version 3.46.0", kLimeGreen, R"({"note": "a long first line that goes on and on and on", "major)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.document);
        freshDisplay();
        const std::string before = log();
        EXPECT_NO_THROW(check(row.document));
        EXPECT_EQ(askedUrl, kUrl);
        EXPECT_EQ(askedBytes, 64u);
        const RecordingCanvas canvas = paint();
        EXPECT_EQ(canvas.at(3, 7).at(0).text, row.title);
        EXPECT_EQ(canvas.at(3, 7)[0].colour, row.colour);
        const bool announced = row.colour != kLimeGreen;
        EXPECT_EQ(display->statusText(), announced ? "A new version is available" : "");
        EXPECT_EQ(host->updates, announced ? 1 : 0); // the title is repainted at once
        EXPECT_EQ(display->errorText(), "");
        if (row.understood) {
            EXPECT_NE(log().find(std::string("Version file not understood: ") + row.understood), std::string::npos)
                << log();
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
    EXPECT_EQ(paint().at(3, 7).at(0).text, "Version 3.46.0");
}

} // namespace
} // namespace brg
