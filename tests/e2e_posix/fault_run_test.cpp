// The console program against stand-in servers that drop the connection in the ways real ones
// do: the run ends with the reason of the failing server, a goodbye to the other one and a clean
// exit, never a hang.
#include "console_process.h"
#include "sim_process.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fmt/format.h>
#include <gtest/gtest.h>
#include <memory>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

class FaultRunTest : public TempDirTest {
protected:
    // Both servers and a bridge that has started processing; 1006 is a switch (Qh6), 2005 a PSX
    // value (Qi5).
    void startRun()
    {
        ASSERT_FALSE(gf_binDir().empty()) << "TALVESYNC_BIN_DIR is not set (ctest sets it)";
        std::filesystem::remove("Log.txt");
        psx.reset(); // the port of the run before is free again
        sioc.reset();
        sioc = std::make_unique<SimProcess>("sioc-sim", std::vector<std::string>{"--vivo-ms", "0"});
        psx = std::make_unique<SimProcess>("psx-sim", std::vector<std::string>{"--port", "10747", "--tick-ms", "0"});
        ASSERT_EQ(std::system(fmt::format("{}/tools/ssi-writer cockpit.ssi 1006 2005 > /dev/null", gf_binDir()).c_str()), 0);
        writeFile("Talvesync.cfg",
                  fmt::format("IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port={}\nCONFIG_FILE=cockpit.ssi\nVERSION_CHECK=0\n", sioc->port()));
        bridge = gf_spawnIn({gf_binDir() + "/talvesync"}, "console.txt");
        ASSERT_GT(bridge, 0);
        ASSERT_TRUE(waitFor([] { return contains(readFile("Log.txt"), "processing input from PSX and SIOC started"); }, 15s))
            << readFile("Log.txt");
    }

    void TearDown() override
    {
        if (bridge > 0 && gf_waitForExit(bridge, 0ms) < 0)
            ADD_FAILURE() << "the bridge was still running";
        sioc.reset();
        psx.reset();
        TempDirTest::TearDown();
    }

    std::unique_ptr<SimProcess> sioc;
    std::unique_ptr<SimProcess> psx;
    pid_t bridge = -1;
};

TEST_F(FaultRunTest, AServerThatDropsTheConnectionEndsTheRunWithItsReason)
{
    struct Case {
        const char* from;
        const char* command;
        const char* reason;
        const char* goodbye; // what the other server receives
    };
    for (const Case& c : {Case{"psx", "cut Qi5=12345", "\nExiting: E_PSX_CLOSE\n", "recv Arn.Fin:"},
                          Case{"sioc", "cut Arn.Resp:1006=1:", "\nExiting: E_IOCP_CLOSE\n", "recv exit"},
                          Case{"psx", "reset", "\nExiting: E_PSX_CLOSE\n", "recv Arn.Fin:"},
                          Case{"sioc", "reset", "\nExiting: E_IOCP_CLOSE\n", "recv exit"}}) {
        SCOPED_TRACE(std::string(c.from) + " " + c.command);
        startRun();
        const bool fromPsx = std::string(c.from) == "psx";
        (fromPsx ? *psx : *sioc).command(c.command);
        EXPECT_EQ(gf_waitForExit(bridge, 15s), 0);
        bridge = -1;
        EXPECT_TRUE((fromPsx ? *sioc : *psx).waitForLine(c.goodbye));
        const std::string log = readFile("Log.txt");
        EXPECT_TRUE(contains(log, c.reason)) << log;
    }
}

} // namespace
} // namespace brg::test
