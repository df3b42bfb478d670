#include "app/engine_threads.h"
#include "app/startup.h"
#include "config/config_items.h"
#include "engine_fixture.h"

#include <gmock/gmock.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <regex>
#include <thread>

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
    // No thread to wait for: no pause either.
    EXPECT_TRUE(clock->sleeps().empty());
    EXPECT_FALSE(g_log.isOpen());
    EXPECT_TRUE(window.quitCalled);
    EXPECT_TRUE(std::regex_search(log(), std::regex("\n[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\n$")))
        << log();

    // A save that fails is logged, and the program still ends with the file as it was.
    g_log.open();
    std::filesystem::create_directories("Talvesync.cfg.tmp/in-the-way");
    window.quitCalled = false;
    gf_finalStop([] { return WindowPosition{10, 20}; });
    EXPECT_TRUE(window.quitCalled);
    EXPECT_FALSE(g_log.isOpen());
    EXPECT_TRUE(contains(log(), "\nThe window position is not saved: ")) << log();
    EXPECT_EQ(readFile("Talvesync.cfg"), "MAIN_WINDOW_X=120\nMAIN_WINDOW_Y=300\n");
    std::filesystem::remove_all("Talvesync.cfg.tmp");

    // In CDU mode it is left first.
    g_cduMode = true;
    gf_finalStop(nullptr);
    EXPECT_EQ(display->calls, std::vector<std::string>{"CDU mode off"});
}

// A close during the start-up stops it at its next step; the final stop waits for the threads'
// last lines, but for one stuck in a blocking call only up to the bound.
TEST_F(StartUpTest, ACloseStopsTheStartUpThreadAndTheFinalStopWaitsOnlySoLong)
{
    std::promise<void> searching;
    g_engineThreads.startStartUp([&searching](std::stop_token stop) {
        searching.set_value();
        while (!stop.stop_requested()) // a drive search, between two folders
            std::this_thread::sleep_for(1ms);
        g_log.write("search stopped");
    });
    searching.get_future().wait();
    gf_closeRequest();
    clock->advance(250ms);
    ASSERT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
    const auto start = std::chrono::steady_clock::now();
    gf_finalStop(nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_THAT(log(), testing::HasSubstr("search stopped\n")); // before the log closed

    // A thread in a call that no stop request ends is left behind after the bound.
    g_log.open();
    g_engineThreads.reopen();
    auto release = std::make_shared<std::atomic<bool>>(false);
    g_engineThreads.startWorker([release] {
        while (!*release)
            std::this_thread::sleep_for(1ms);
    });
    const auto stuckStart = std::chrono::steady_clock::now();
    EXPECT_FALSE(g_engineThreads.stopAndJoin(200ms));
    const auto waited = std::chrono::steady_clock::now() - stuckStart;
    EXPECT_GE(waited, 200ms);
    EXPECT_LT(waited, 1s);
    EXPECT_TRUE(contains(log(), "lf_syncAndProcess_as_Thread still busy at the end, not waited for\n")) << log();
    *release = true;
}

// A start-up stopped by the close is neither an error on screen nor a failed start.
TEST_F(StartUpTest, AStartUpStoppedByTheCloseShowsNoError)
{
    writeFile("Talvesync.cfg", "VERSION_CHECK=1\n");
    std::stop_source stop;
    g_versionCheck = [&stop](std::stop_token) { stop.request_stop(); }; // the close came during the check
    EXPECT_FALSE(gf_startUp_as_Thread(stop.get_token()));
    g_versionCheck = nullptr;
    EXPECT_EQ(display->errorText(), "");
    EXPECT_TRUE(contains(log(), "lf_startUp_as_Thread: stopped, the program is closing\n")) << log();
    EXPECT_FALSE(contains(log(), "SIOC parameters"));
    EXPECT_EQ(sockets->created, 0);
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
