#include "app/startup.h"
#include "config/config_items.h"
#include "engine_fixture.h"

#include <regex>

namespace brg {
namespace {

using test::contains;

using StartUpTest = test::EngineTest;
using test::readFile;
using test::writeFile;
using namespace std::chrono_literals;

// A close while the script is read is refused; afterwards it logs the time and runs the exit sequence.
TEST_F(StartUpTest, CloseIsRefusedWhileTheScriptIsReadAndRunsTheExitSequenceAfter)
{
    g_readingScript = true;
    gf_closeRequest();
    EXPECT_FALSE(g_closing);
    EXPECT_EQ(display->statusText(), "Cannot close now, wait till result of reading .ssi file ...");
    EXPECT_FALSE(contains(log(), "Exiting:"));
    EXPECT_TRUE(window.posted.empty());

    g_readingScript = false;
    gf_closeRequest();
    EXPECT_TRUE(g_closing);
    clock->advance(250ms); // nothing connected: the finish comes later
    EXPECT_TRUE(std::regex_search(log(), std::regex("\n\n\\d\\d:\\d\\d:\\d\\d User closed Talvesync\nExiting: E_USER_CLOSE\n")))
        << log();
    EXPECT_EQ(window.posted, (std::vector<std::uint32_t>{kMsgFinish}));
}

TEST_F(StartUpTest, FinalStopKeepsAPositionAtABoundOutAndClosesTheLog)
{
    writeFile("Talvesync.cfg", "MAIN_WINDOW_X=120\nMAIN_WINDOW_Y=80\n");
    cfg::MAIN_WINDOW_X.read();
    cfg::MAIN_WINDOW_Y.read();
    // A minimised window reports a position far outside; it is clamped to the bound and not kept.
    gf_finalStop([] { return WindowPosition{-32000, 300}; });
    EXPECT_EQ(cfg::MAIN_WINDOW_X.value(), 120);
    EXPECT_EQ(cfg::MAIN_WINDOW_Y.value(), 300);
    EXPECT_EQ(readFile("Talvesync.cfg"), "MAIN_WINDOW_X=120\nMAIN_WINDOW_Y=300\n");
    EXPECT_EQ(clock->sleeps(), (std::vector<std::chrono::milliseconds>{500ms, 500ms}));
    EXPECT_FALSE(g_log.isOpen());
    EXPECT_TRUE(window.quitCalled);
    EXPECT_TRUE(std::regex_search(log(), std::regex("\n[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\n$")))
        << log();

    // In CDU mode it is left first, and the first pause is longer.
    g_cduMode = true;
    gf_finalStop(nullptr);
    EXPECT_EQ(display->calls, std::vector<std::string>{"CDU mode off"});
    EXPECT_EQ(clock->sleeps(), (std::vector<std::chrono::milliseconds>{500ms, 500ms, 2000ms, 500ms}));
}

TEST_F(StartUpTest, AMissingScriptStopsStartUpBeforeAnyConnection)
{
    writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=8092\nCONFIG_FILE=missing.ssi\n");
    EXPECT_FALSE(gf_startUp_as_Thread());
    EXPECT_EQ(display->errorText(), "16: missing.ssi not found\n");
    EXPECT_EQ(sockets->created, 0);
}

} // namespace
} // namespace brg
