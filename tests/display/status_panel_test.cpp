#include "app/process_state.h"
#include "config/config_items.h"
#include "display/status_panel.h"
#include "display_fixture.h"
#include "sioc/sioc_parameters.h"

namespace brg {
namespace {

using namespace test;

class StatusWindow : public DisplayTest {
protected:
    // The one text drawn at a place, "-" when there is none.
    static std::string textAt(const RecordingCanvas& canvas, int x, int y)
    {
        const auto found = canvas.at(x, y);
        return found.empty() ? "-" : found.back().text;
    }
    static Rgb colourAt(const RecordingCanvas& canvas, int x, int y) { return canvas.at(x, y).at(0).colour; }
};

constexpr Rect kPsxIndicator{317, 29, 345, 169};
constexpr Rect kSiocIndicator{345, 29, 373, 169};

// Each column shows its server's state and parameters; without SIOC's parameters its column has
// only its labels.
TEST_F(StatusWindow, EachColumnShowsItsServersStateAndParameters)
{
    writeFile("Talvesync.cfg", "PSX_HOSTADDRESS=192.168.1.5\n");
    cfg::PSX_HOSTADDRESS.read(*CfgFile::load());
    g_psxVersion = "10.181 NG";
    display->setPsxConnected(true);
    // A connection flag repaints the whole window at once.
    EXPECT_EQ(host->calls, std::vector<std::string>{"invalidate all"});
    EXPECT_EQ(host->updates, 1);

    RecordingCanvas canvas = paint();
    // The title over the light blue frame, drawn transparently.
    EXPECT_EQ(canvas.lastFillOf({0, 84, 720, 168}), (Rgb{153, 204, 255}));
    EXPECT_EQ(canvas.at(3, 7).at(0), (TextOut{3, 7, "Version 3.46.0", kLimeGreen, canvas.at(3, 7)[0].background}));
    EXPECT_EQ(colourAt(canvas, 5, 35), kLimeGreen);
    EXPECT_EQ(colourAt(canvas, 378, 35), kYellow);
    EXPECT_EQ(canvas.lastFillOf(kPsxIndicator), kLimeGreen);
    EXPECT_EQ(canvas.lastFillOf(kSiocIndicator), kRed);
    const std::vector<std::pair<int, int>> places{{5, 35},   {378, 35},  {5, 63},   {177, 91},  {177, 119},
                                                  {378, 63}, {378, 91}, {378, 147}, {522, 91}, {522, 119}, {522, 147}};
    const auto texts = [&] {
        std::vector<std::string> found;
        for (const auto& [x, y] : places)
            found.push_back(textAt(canvas, x, y));
        return found;
    };
    EXPECT_EQ(texts(), (std::vector<std::string>{"PSX", "SIOC", "10.181 NG", "192.168.1.5", "10747", "", "hostaddress:",
                                                 "# variables:", "-", "-", "-"}));

    auto parameters = std::make_shared<SiocParameters>();
    parameters->host = "10.0.0.2";
    parameters->port = 8092;
    parameters->script = "C:\\SIOC\\cockpit.ssi";
    g_siocparameters = std::shared_ptr<const SiocParameters>(parameters);
    display->setVariableCount(312);
    display->setPsxConnected(false);
    display->setSiocConnected(true);
    canvas = paint();
    EXPECT_EQ(colourAt(canvas, 378, 35), kLimeGreen);
    EXPECT_EQ(colourAt(canvas, 5, 35), kYellow);
    EXPECT_EQ(canvas.lastFillOf(kSiocIndicator), kLimeGreen);
    EXPECT_EQ(canvas.lastFillOf(kPsxIndicator), kRed);
    EXPECT_EQ(texts(), (std::vector<std::string>{"PSX", "SIOC", "10.181 NG", "192.168.1.5", "10747",
                                                 "C:\\SIOC\\cockpit.ssi", "hostaddress:", "# variables:", "10.0.0.2",
                                                 "8092", "312"}));
    EXPECT_EQ(colourAt(canvas, 522, 147), kBlack);
}

// A status text is stored and its band invalidated, not drawn; an error stays, and later status
// texts are ignored.
TEST_F(StatusWindow, StatusTextsGoToTheBandUntilAnErrorTakesIt)
{
    display->setStatus("connecting to SIOC ...");
    EXPECT_TRUE(host->canvas.texts.empty());
    EXPECT_EQ(host->calls, std::vector<std::string>{"invalidate 0 168 720 196 erase"});
    RecordingCanvas canvas = paint();
    EXPECT_EQ(canvas.lastFillOf(kStatusBand), kLimeGreen);
    EXPECT_EQ(textAt(canvas, 3, 175), "connecting to SIOC ...");
    EXPECT_EQ(colourAt(canvas, 3, 175), kYellow);
    display->setStatus("");
    EXPECT_EQ(textAt(paint(), 3, 175), "-");

    display->setError("10061: no server\n");
    display->setStatus("A new version is available");
    EXPECT_EQ(display->statusText(), "");
    EXPECT_EQ(host->calls.size(), 4u);
    canvas = paint();
    EXPECT_EQ(canvas.lastFillOf(kStatusBand), kRed);
    EXPECT_EQ(canvas.at(3, 175).size(), 1u);
    EXPECT_EQ(colourAt(canvas, 3, 175), kYellow);
    EXPECT_EQ(textAt(canvas, 3, 175), "10061: no server\n");
    EXPECT_EQ(countOf(log(), "connecting to SIOC ...\n"), 1u);
    EXPECT_TRUE(contains(log(), "Error 10061: no server\n"));
    EXPECT_FALSE(contains(log(), "A new version is available"));
}

TEST_F(StatusWindow, TextIsDrawnAsUtf16AndBrokenUtf8IsLoggedAndLeftOut)
{
    RecordingCanvas canvas;
    gf_drawText(canvas, 1, 2, "B\xC3\xA9", kWhite);
    gf_drawText(canvas, 1, 2, "bad \xFF byte", kWhite);
    gf_drawText(canvas, 1, 2, "cut \xE2\x86", kWhite);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].text, "B\xE9"); // one UTF-16 unit for é
    EXPECT_EQ(countOf(log(), "drawText invalid UTF-8: "), 2u);

    // The rest of the window is still painted.
    g_psxVersion = "\xC0\xAF";
    canvas = paint();
    EXPECT_EQ(canvas.at(5, 35).size(), 1u);
    EXPECT_EQ(canvas.lastFillOf(kStatusBand), kLimeGreen);
}

} // namespace
} // namespace brg
