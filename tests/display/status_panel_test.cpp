#include "app/process_state.h"
#include "config/config_items.h"
#include "display/status_panel.h"
#include "display_fixture.h"
#include "sioc/sioc_parameters.h"

namespace brg {
namespace {

using namespace test;

using StatusWindow = DisplayTest;

// Each column shows its server's state and parameters; without SIOC's parameters its column has
// only its labels. The whole draw lists are in tests/data/status-window-*.txt.
TEST_F(StatusWindow, EachColumnShowsItsServersStateAndParameters)
{
    writeFile("Talvesync.cfg", "PSX_HOSTADDRESS=192.168.1.5\n");
    cfg::PSX_HOSTADDRESS.read(*CfgFile::load());
    g_psxVersion = "10.181 NG";
    display->setNewVersion("3.46.1", false);
    display->setPsxConnected(true);
    // A connection flag repaints the whole window at once.
    EXPECT_EQ(host->calls, dataLines("status-window-psx-connected.txt"));

    auto parameters = std::make_shared<SiocParameters>();
    parameters->host = "10.0.0.2";
    parameters->port = 8092;
    parameters->script = "C:\\SIOC\\cockpit.ssi";
    g_siocparameters = std::shared_ptr<const SiocParameters>(parameters);
    display->setNewVersion("3.47.0", true);
    display->setVariableCount(312);
    display->setPsxConnected(false);
    host->calls.clear();
    display->setSiocConnected(true);
    EXPECT_EQ(host->calls, dataLines("status-window-sioc-connected.txt"));
    EXPECT_EQ(host->updates, 3);
}

// A status text is stored and its band invalidated, not drawn; an error stays, and later status
// texts are ignored.
TEST_F(StatusWindow, StatusTextsGoToTheBandUntilAnErrorTakesIt)
{
    display->setStatus("connecting to SIOC ...");
    EXPECT_EQ(host->calls, std::vector<std::string>{"invalidate 0 168 720 196 erase"});
    EXPECT_EQ(paint().of("fill 0 168 720 196").back(), "fill 0 168 720 196 lime");
    EXPECT_EQ(paint().textAt(3, 175), "yellow/black clear default: connecting to SIOC ...");
    display->setStatus("");
    EXPECT_EQ(paint().textAt(3, 175), "-");

    // The error keeps its line end for the log; the band draws no box for it.
    display->setError("10061: no server\n");
    display->setStatus("A new version is available");
    EXPECT_EQ(display->statusText(), "");
    EXPECT_EQ(host->calls.size(), 4u);
    const RecordingWindow canvas = paint();
    EXPECT_EQ(canvas.of("fill 0 168 720 196").back(), "fill 0 168 720 196 red");
    EXPECT_EQ(canvas.of("text 3 175"), std::vector<std::string>{"text 3 175 yellow/black clear default: 10061: no server"});
    EXPECT_EQ(countOf(log(), "connecting to SIOC ...\n"), 1u);
    EXPECT_TRUE(contains(log(), "Error 10061: no server\n"));
    EXPECT_FALSE(contains(log(), "A new version is available"));
}

// Texts are drawn as UTF-16; broken UTF-8 is logged and left out, and the rest is still painted.
TEST_F(StatusWindow, TextIsDrawnAsUtf16AndBrokenUtf8IsLoggedAndLeftOut)
{
    RecordingWindow canvas;
    gf_drawText(canvas, 1, 2, "B\xC3\xA9", {});
    gf_drawText(canvas, 1, 2, "bad \xFF byte", {});
    gf_drawText(canvas, 1, 2, "cut \xE2\x86", {});
    EXPECT_EQ(canvas.of("text"), std::vector<std::string>{"text 1 2 black/black opaque default: B\xE9"});
    EXPECT_EQ(countOf(log(), "drawText invalid UTF-8: "), 2u);

    g_psxVersion = "\xC0\xAF";
    EXPECT_EQ(paint().of("text 5 ").size(), 3u); // all of the PSX column but the version
}

} // namespace
} // namespace brg
