#include "app/process_state.h"
#include "config/config_items.h"
#include "display/status_panel.h"
#include "display_fixture.h"
#include "sioc/sioc_parameters.h"

namespace brg {
namespace {

using StatusWindow = test::DisplayTest;
using namespace test;

constexpr Rect kPsxIndicator{317, 29, 345, 169};
constexpr Rect kSiocIndicator{345, 29, 373, 169};

TEST_F(StatusWindow, TitleLineShowsOurVersionOverTheFrame)
{
    const RecordingCanvas canvas = paint();
    EXPECT_EQ(canvas.lastFillOf({0, 84, 720, 168}), kLightBlue);
    ASSERT_EQ(canvas.at(3, 7).size(), 1u);
    EXPECT_EQ(canvas.at(3, 7)[0].text, "Version 3.46.0");
    EXPECT_EQ(canvas.at(3, 7)[0].colour, kLimeGreen);
    EXPECT_FALSE(canvas.at(3, 7)[0].opaque);
}

TEST_F(StatusWindow, PsxConnectedAndSiocNotWithoutSiocParameters)
{
    writeFile("Talvesync.cfg", "PSX_HOSTADDRESS=192.168.1.5\n");
    cfg::PSX_HOSTADDRESS.read(*CfgFile::load());
    g_psxVersion = "10.181 NG";
    display->setPsxConnected(true);
    // A connection flag repaints the whole window at once.
    EXPECT_EQ(host->invalidations, (std::vector<Invalidation>{{std::nullopt, false}}));
    EXPECT_EQ(host->updates, 1);

    const RecordingCanvas canvas = paint();
    EXPECT_EQ(canvas.at(5, 35).at(0).text, "PSX");
    EXPECT_EQ(canvas.at(5, 35)[0].colour, kLimeGreen);
    EXPECT_EQ(canvas.at(378, 35).at(0).text, "SIOC");
    EXPECT_EQ(canvas.at(378, 35)[0].colour, kYellow);
    EXPECT_EQ(canvas.lastFillOf(kPsxIndicator), kLimeGreen);
    EXPECT_EQ(canvas.lastFillOf(kSiocIndicator), kRed);
    EXPECT_EQ(canvas.at(5, 63).at(0).text, "10.181 NG");
    EXPECT_EQ(canvas.at(177, 91).at(0).text, "192.168.1.5");
    EXPECT_EQ(canvas.at(177, 119).at(0).text, "10747");
    // Without SIOC's parameters its column has only its labels.
    EXPECT_EQ(canvas.at(378, 63).at(0).text, "");
    EXPECT_EQ(canvas.at(378, 91).at(0).text, "hostaddress:");
    EXPECT_EQ(canvas.at(378, 147).at(0).text, "# variables:");
    EXPECT_TRUE(canvas.at(522, 91).empty());
    EXPECT_TRUE(canvas.at(522, 119).empty());
    EXPECT_TRUE(canvas.at(522, 147).empty());
}

TEST_F(StatusWindow, SiocColumnShowsItsParametersAndCount)
{
    auto parameters = std::make_shared<SiocParameters>();
    parameters->host = "10.0.0.2";
    parameters->port = 8092;
    parameters->script = "C:\\SIOC\\cockpit.ssi";
    g_siocparameters = std::shared_ptr<const SiocParameters>(parameters);
    display->setVariableCount(312);
    display->setSiocConnected(true);
    const RecordingCanvas canvas = paint();
    EXPECT_EQ(canvas.at(378, 35).at(0).colour, kLimeGreen);
    EXPECT_EQ(canvas.lastFillOf(kSiocIndicator), kLimeGreen);
    EXPECT_EQ(canvas.lastFillOf(kPsxIndicator), kRed);
    EXPECT_EQ(canvas.at(378, 63).at(0).text, "C:\\SIOC\\cockpit.ssi");
    EXPECT_EQ(canvas.at(522, 91).at(0).text, "10.0.0.2");
    EXPECT_EQ(canvas.at(522, 119).at(0).text, "8092");
    EXPECT_EQ(canvas.at(522, 147).at(0).text, "312");
    EXPECT_EQ(canvas.at(522, 147)[0].colour, kBlack);
}

TEST_F(StatusWindow, StatusTextsAreStoredAndTheBandInvalidatedNotDrawn)
{
    display->setStatus("connecting to SIOC ...");
    // Nothing is drawn outside a paint: the band is only invalidated, with erasing.
    EXPECT_TRUE(host->canvas.texts.empty());
    EXPECT_EQ(host->invalidations, (std::vector<Invalidation>{{kStatusBand, true}}));
    RecordingCanvas canvas = paint();
    EXPECT_EQ(canvas.lastFillOf(kStatusBand), kLimeGreen);
    ASSERT_EQ(canvas.at(3, 175).size(), 1u);
    EXPECT_EQ(canvas.at(3, 175)[0].text, "connecting to SIOC ...");
    EXPECT_EQ(canvas.at(3, 175)[0].colour, kYellow);

    display->setStatus("");
    canvas = paint();
    EXPECT_EQ(canvas.lastFillOf(kStatusBand), kLimeGreen);
    EXPECT_TRUE(canvas.at(3, 175).empty());
    EXPECT_EQ(countOf(log(), "connecting to SIOC ...\n"), 1u);
}

TEST_F(StatusWindow, AnErrorStaysAndLaterStatusTextsAreIgnored)
{
    display->setStatus("connecting to PSX ...");
    display->setError("10061: no server\n");
    display->setStatus("A new version is available");
    EXPECT_EQ(display->statusText(), "");
    EXPECT_EQ(host->invalidations.size(), 3u);
    const RecordingCanvas canvas = paint();
    EXPECT_EQ(canvas.lastFillOf(kStatusBand), kRed);
    ASSERT_EQ(canvas.at(3, 175).size(), 1u);
    EXPECT_EQ(canvas.at(3, 175)[0].text, "10061: no server\n");
    EXPECT_EQ(canvas.at(3, 175)[0].colour, kYellow);
    EXPECT_NE(log().find("Error 10061: no server\n"), std::string::npos);
    EXPECT_EQ(log().find("A new version is available"), std::string::npos);
}

TEST_F(StatusWindow, TextIsDrawnAsUtf16AndBrokenUtf8IsLoggedAndLeftOut)
{
    RecordingCanvas canvas;
    gf_drawText(canvas, 1, 2, "B\xC3\xA9", kWhite);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].text, "B\xE9"); // one UTF-16 unit for é
    gf_drawText(canvas, 1, 2, "bad \xFF byte", kWhite);
    gf_drawText(canvas, 1, 2, "cut \xE2\x86", kWhite);
    EXPECT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(countOf(log(), "drawText invalid UTF-8: "), 2u);

    // The rest of the window is still painted.
    g_psxVersion = "\xC0\xAF";
    canvas = paint();
    EXPECT_EQ(canvas.at(5, 35).size(), 1u);
    EXPECT_EQ(canvas.lastFillOf(kStatusBand), kLimeGreen);
}

} // namespace
} // namespace brg
