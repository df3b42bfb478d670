// Hostile or mistaken input from outside: the bridge goes on where it can, and where it cannot it
// says what is wrong at once and still stops on request.
#include "console_process.h"
#include "sim_process.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <csignal>
#include <filesystem>
#include <fmt/format.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

using BadInputTest = TempDirTest;

// Runs the bridge without servers until the console shows `error`, then stops it with SIGTERM.
void expectStartUpError(const std::string& error, RunAs runAs = RunAs::Self)
{
    const pid_t bridge = gf_spawnIn({gf_binDir() + "/talvesync"}, "console.txt", {}, runAs);
    ASSERT_GT(bridge, 0);
    EXPECT_TRUE(waitFor([&] { return contains(readFile("console.txt"), "error: " + error + "\n"); }, 5s))
        << readFile("console.txt");
    ASSERT_EQ(::kill(bridge, SIGTERM), 0);
    EXPECT_NE(gf_waitForExit(bridge, 10s), -1) << "the close request was not taken";
}

TEST_F(BadInputTest, UnregisteredIocpNumbersAreDroppedAndLoggedOnceWhileTheRestCrosses)
{
    ASSERT_FALSE(gf_binDir().empty());
    SimProcess sioc("sioc-sim", {"--vivo-ms", "0"});
    SimProcess psx("psx-sim", {"--port", "10747", "--tick-ms", "0"});
    gf_writeCockpit(sioc.port(), "1006 1029");
    const pid_t bridge = gf_spawnIn({gf_binDir() + "/talvesync"}, "console.txt");
    ASSERT_GT(bridge, 0);
    ASSERT_TRUE(gf_waitForProcessing()) << readFile("Log.txt");

    sioc.command("send Arn.Resp:1006=1:1008=1:9999=2:-4=1:1029=1:");
    EXPECT_TRUE(psx.waitForLine("recv Qh6=1"));
    EXPECT_TRUE(psx.waitForLine("recv Qh29=1"));
    sioc.command("send Arn.Resp:1008=0:1006=0:");
    EXPECT_TRUE(psx.waitForLine("recv Qh6=0"));

    ASSERT_EQ(::kill(bridge, SIGTERM), 0);
    EXPECT_EQ(gf_waitForExit(bridge, 10s), 0);
    const std::string log = readFile("Log.txt");
    for (const char* number : {"1008", "9999", "-4"}) {
        const std::string line = fmt::format("\nSIOC variable {} is not registered: its values are dropped\n", number);
        const auto first = log.find(line);
        EXPECT_NE(first, std::string::npos) << line << log;
        EXPECT_EQ(log.find(line, first + 1), std::string::npos) << line << log;
    }
    EXPECT_TRUE(contains(log, "\nExiting: E_USER_CLOSE\n")) << log;
}

TEST_F(BadInputTest, AScriptPathThatIsNoRegularFileIsReportedAtOnceAndTheCloseStillWorks)
{
    ASSERT_FALSE(gf_binDir().empty());
    writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=8092\nCONFIG_FILE=cockpit.ssi\nVERSION_CHECK=0\n");
    std::filesystem::create_directory("cockpit.ssi");
    expectStartUpError("16: cockpit.ssi not found (not a regular file)");

    std::filesystem::remove("cockpit.ssi");
    ASSERT_EQ(::mkfifo("cockpit.ssi", 0644), 0);
    expectStartUpError("16: cockpit.ssi not found (not a regular file)");
}

// The user may not read the script. Root reads everything, so a test run as root runs the bridge
// as "nobody".
TEST_F(BadInputTest, AScriptThatMayNotBeReadSaysSo)
{
    ASSERT_FALSE(gf_binDir().empty());
    gf_writeCockpit(8092, "1006");
    std::filesystem::permissions(dir, std::filesystem::perms::all);
    std::filesystem::permissions("cockpit.ssi", std::filesystem::perms::none);
    expectStartUpError("16: cockpit.ssi not found (permission denied)", RunAs::Unprivileged);
}

TEST_F(BadInputTest, ConfigurationMistakesAreNamed)
{
    ASSERT_FALSE(gf_binDir().empty());
    writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS=simpc.local\nIOCP_port=8092\nCONFIG_FILE=cockpit.ssi\n");
    expectStartUpError("14: IOCP_HOSTADDRESS information is missing in Talvesync.cfg "
                       "(simpc.local is not an IPv4 address)");

    writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=0\nCONFIG_FILE=cockpit.ssi\n");
    expectStartUpError("15: IOCP_port information is missing in Talvesync.cfg (0 is not a port number)");

    std::filesystem::remove("Talvesync.cfg");
    std::filesystem::create_directory("Talvesync.cfg");
    expectStartUpError("11: sioc.ini and Talvesync.cfg not found (Talvesync.cfg is not a regular file)");
}

} // namespace
} // namespace brg::test
