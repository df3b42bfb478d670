// The console program as a cockpit builder runs it from a shell: in a folder with Talvesync.cfg and
// a compiled script, against the stand-in PSX and SIOC servers, its output into files. Values must
// arrive correct, or the run end with the cause told and a clean exit; never a hang.
#include "console_process.h"

#include <fcntl.h>
#include <filesystem>
#include <fmt/format.h>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace brg::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

using ConsoleRunTest = ConsoleTest;

// Far above the few MB the bridge needs: growth beyond it is a leak or an unbounded buffer.
// Under ASan freed blocks wait in its quarantine (256 MB by default) before they are reused, so there
// the bound grows by that much; the native build keeps the tight one.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kRssLimitKib = (64 + 256) * 1024;
#else
constexpr long kRssLimitKib = 64 * 1024;
#endif

long lf_peakRssKib(pid_t pid)
{
    std::ifstream status(fmt::format("/proc/{}/status", pid));
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Whole runs between the stand-in servers, step by step from tables: values both ways, lines that
// come a byte at a time, floods, and (in a run of its own) a SIOC that stops reading; each ended by
// SIGTERM, the user's close.
TEST_F(ConsoleRunTest, BridgesBothWaysThroughTrickledLinesFloodsAndAStallAndStopsOnSigterm)
{
    for (const char* table : {"console-stall.txt", "console-run.txt"}) {
        SCOPED_TRACE(table);
        // The CDU screen is for terminals only: into a file nothing of it is printed.
        ASSERT_NO_FATAL_FAILURE(startRun("1006 1029 2005 3424", "CDU_L=1\n"));
        for (const auto& step : gf_readRows(table)) {
            SCOPED_TRACE(fmt::format("{} | {}", step.at(1), step.at(3)));
            if (!step[0].empty())
                server(step[0]).command(step[1]);
            if (step[2] == "log")
                ASSERT_TRUE(waitFor([&] { return contains(log(), step[3]); }, 60s)) << log();
            else
                ASSERT_TRUE(server(step[2]).waitForLine(step[3], 60s)) << log();
        }
        const long peak = lf_peakRssKib(bridge);
        EXPECT_TRUE(peak > 0 && peak < kRssLimitKib) << peak;
        EXPECT_EQ(stopBridge(), 0);
        // Behind the goodbyes wait the lines of the floods, which a loaded machine prints slowly.
        EXPECT_TRUE(psx->waitForLine("recv exit", 60s));
        EXPECT_TRUE(sioc->waitForLine("recv Arn.Fin:", 60s));
    }
    const std::string text = log();
    const std::string stamp = "[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}";
    EXPECT_TRUE(std::regex_search(text, std::regex("^" + stamp + " \\(utc\\) Talvesync version 3\\.46\\.0\n"))) << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("\n" + stamp + "\n$"))) << text;
    for (const char* line : {"\nSIOC parameters\n IOCP_HOSTADDRESS=127.0.0.1\n", "\nPSX parameters\n",
                             "\nSIOC connected\n", "\nPSX connected\n", "\nExiting: E_USER_CLOSE\n",
                             "\nForce disconnect from PSX ...\n", "\nForce disconnect from SIOC ...\n"})
        EXPECT_TRUE(contains(text, line)) << line << "\n" << text;
    for (const char* number : {"1008", "9999", "-4"})
        EXPECT_EQ(countOf(text, fmt::format("\nSIOC variable {} is not registered: its values are dropped\n", number)), 1u)
            << number;
    EXPECT_TRUE(fs::is_directory("Talvesync"));
    EXPECT_TRUE(contains(console(), "sioc: connected\n") && contains(console(), "psx: connected\n")) << console();
    EXPECT_FALSE(contains(console(), "POS INIT") || contains(console(), "\033")) << console();
}

// talvesync --monitor into a file: each change of a variable is one line with both sides' values.
TEST_F(ConsoleRunTest, WithMonitorEachChangeOfAVariableIsOneLine)
{
    ASSERT_NO_FATAL_FAILURE(startServers("1006 2005"));
    ASSERT_NO_FATAL_FAILURE(startBridge({"--monitor"}));
    ASSERT_TRUE(waitForProcessing()) << log();
    sioc->command("send Arn.Resp:1006=1:");
    ASSERT_TRUE(waitFor([] { return contains(console(), "\nmonitor: 1006 LtStorm Qh6 sioc=1 psx=1\n"); }, 10s))
        << console();
    sioc->command("send Arn.Resp:1006=0:");
    ASSERT_TRUE(waitFor([] { return contains(console(), "\nmonitor: 1006 LtStorm Qh6 sioc=0 psx=0\n"); }, 10s))
        << console();
    EXPECT_EQ(stopBridge(), 0);
    EXPECT_EQ(countOf(console(), "monitor: 1006 LtStorm Qh6 sioc=1 psx=1\n"), 1u) << console();
}

// The command line, and how a failed start-up ends: no window keeps the error on screen, so it is
// printed, the run goes through its final stop and the exit status tells the shell. -C puts every
// file in the folder named.
TEST_F(ConsoleRunTest, TheCommandLineAndAFailedStartUpAnswerTheShell)
{
    // Root reads everything: the bridge runs as "nobody", in folders open to it.
    fs::permissions(dir, fs::perms::all);
    for (const std::string folder : {"new", "missing", "fifo", "unreadable", "blocked"}) {
        fs::create_directory(folder);
        fs::permissions(folder, fs::perms::all);
        if (folder != "new")
            writeFile(folder + "/Talvesync.cfg",
                      "IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=8092\nCONFIG_FILE=" + folder + ".ssi\nVERSION_CHECK=0\n");
    }
    fs::create_directory("mistaken");
    writeFile("mistaken/Talvesync.cfg", "CDU_FONT_SIZE=40\nVERSION_CHECK = 10\n; a comment\n");
    writeFile("blocked/Talvesync", "");
    ::mkfifo("fifo/fifo.ssi", 0644);
    writeFile("unreadable/unreadable.ssi", "");
    fs::permissions("unreadable/unreadable.ssi", fs::perms::none);
    for (const auto& row : gf_readRows("console-command-lines.txt")) {
        SCOPED_TRACE(row.at(0));
        std::vector<std::string> arguments;
        std::istringstream words(row[0]);
        for (std::string word; words >> word;)
            arguments.push_back(word);
        startBridge(arguments, RunAs::Unprivileged);
        EXPECT_EQ(bridgeExit(10s), std::stoi(row.at(1)));
        for (const auto& [text, expected] : {std::pair{console(), row.at(2)}, std::pair{readFile("errors.txt"), row.at(3)}})
            EXPECT_TRUE(expected == "-" ? text.empty() : contains(text, expected)) << text;
        // Whatever the arguments, nothing is written here.
        EXPECT_FALSE(fs::exists("Log.txt") || fs::exists("Talvesync"));
        EXPECT_FALSE(contains(console(), "status: \n")) << console();
    }
    EXPECT_TRUE(fs::is_directory("new/Talvesync"));
    // Checking the configuration writes nothing.
    EXPECT_FALSE(fs::exists("mistaken/Log.txt") || fs::exists("mistaken/Talvesync"));
    const std::string text = readFile("new/Log.txt");
    for (const char* line : {"\nlf_startUp_as_Thread\nError 11: sioc.ini and Talvesync.cfg not found\n",
                             "\nStart-up failed, closing\nExiting: E_USER_CLOSE\n"})
        EXPECT_TRUE(contains(text, line)) << line << "\n" << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("\n[A-Z][a-z]{2} [A-Z][a-z ]{4}\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\n$"))) << text;
}

TEST_F(ConsoleRunTest, AServerThatLeavesOrSendsWhatCannotBeReadEndsTheRunWithItsReason)
{
    for (const auto& row : gf_readRows("server-ends.txt")) {
        const std::string& from = row.at(0);
        SCOPED_TRACE(from + " " + row.at(1));
        // 1006 is a switch (Qh6), 2005 a PSX value (Qi5).
        ASSERT_NO_FATAL_FAILURE(startRun("1006 2005"));
        server(from).command(row[1]);
        const bool failed = row.at(2) == "1";
        EXPECT_EQ(bridgeExit(), failed ? 1 : 0);
        EXPECT_TRUE(contains(log(), "\nExiting: " + row.at(3) + "\n")) << log();
        EXPECT_TRUE(row.at(4) == "-" || contains(console(), row[4])) << console();
        // The server left is told goodbye; after a failure both are, else nothing goes to the one that left.
        for (const std::string name : {"psx", "sioc"})
            EXPECT_TRUE((name == from && !failed) || server(name).waitForLine(name == "psx" ? "recv exit" : "recv Arn.Fin:"))
                << name;
        EXPECT_FALSE(!failed && contains(log(), from == "psx" ? "Force disconnect from PSX" : "Force disconnect from SIOC")) << log();
    }
}

// A file as people write it: blanks in a list and after a value, the servers by host name, a
// misspelt key. The bridge takes what it can and names what it cannot; while PSX is not there yet
// the status line says why and where, the log says it once, and PSX is taken when it comes. A host
// that is not found is said so and tried again.
TEST_F(ConsoleRunTest, AFileWithMistakesIsTakenWhereItCanAndNamedWhereItCannot)
{
    ASSERT_NO_FATAL_FAILURE(startServers("1006 2005 3424"));
    psx.reset();
    const auto writeCfg = [&](const std::string& psxHost) {
        writeFile("Talvesync.cfg", fmt::format("IOCP_HOSTADDRESS = localhost\nIOCP_port={}\nCONFIG_FILE = cockpit.ssi \x09 \n"
                                               "VERSION_CHECK=0\nPSX_HOSTADDRESS = {}\nWHITELIST=1006, 2005 \n"
                                               "CDU_FONT_SIZE=40\n",
                                               sioc->port(), psxHost));
    };
    writeCfg("localhost");
    ASSERT_NO_FATAL_FAILURE(startBridge());
    const std::string refused = "status: PSX not detected at localhost:10747 (connection refused), retrying ...\n";
    ASSERT_TRUE(waitFor([&] { return contains(console(), refused); }, 15s)) << console() << log();
    // Retries go on meanwhile, a second apart; none of them adds to the log or the console.
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(countOf(log(), "\n19: ToPSX not detected (connection refused)\n"), 1u) << log();
    EXPECT_EQ(countOf(console(), refused), 1u) << console();
    psx = startPsx();
    ASSERT_TRUE(waitForProcessing()) << log();
    sioc->command("set 1006 1");
    EXPECT_TRUE(psx->waitForLine("recv Qh6=1", 15s)) << log();
    EXPECT_EQ(stopBridge(), 0);

    const std::string text = log();
    for (const char* line : {"\nPSX_HOSTADDRESS=localhost\n", "\n IOCP_HOSTADDRESS=localhost\n",
                             "\n CONFIG_FILE=cockpit.ssi\n", "\nVar 1006 whitelisted\n", "\nVar 2005 whitelisted\n",
                             "\nTalvesync.cfg line 7: CDU_FONT_SIZE is not a known key\n", "\nPSX connected\n"})
        EXPECT_TRUE(contains(text, line)) << line << "\n" << text;
    EXPECT_TRUE(contains(console(), "status: Talvesync.cfg line 7: CDU_FONT_SIZE is not a known key\n")) << console();

    writeCfg("nosuchhost.invalid");
    ASSERT_NO_FATAL_FAILURE(startBridge());
    EXPECT_TRUE(waitFor([&] { return contains(console(), "status: PSX host nosuchhost.invalid not found, retrying ...\n"); }, 15s))
        << console() << log();
    EXPECT_EQ(stopBridge(), 0);
    EXPECT_TRUE(contains(log(), "\n20: ToPSX host nosuchhost.invalid not found\n")) << log();
}

// With RECONNECT=1 each server in turn is stopped and started again: what the other side changed
// meanwhile must reach it, and values must flow both ways afterwards. A close request while PSX is
// away again ends the run with the goodbye to SIOC. All the while its output goes where nobody
// reads any more (a pipe whose reader has gone): the run goes on regardless.
TEST_F(ConsoleRunTest, WithReconnectARestartedServerIsBroughtBackWhileNobodyReadsTheOutput)
{
    ASSERT_NO_FATAL_FAILURE(startServers("1006 2005", "RECONNECT=1\n"));
    int output[2];
    ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
    ::close(output[0]);
    bridge = gf_spawn({gf_binDir() + "/talvesync"}, -1, output[1]);
    ::close(output[1]);
    ASSERT_TRUE(waitForProcessing()) << log();
    const std::vector<std::string> siocArguments{"--port", std::to_string(sioc->port()), "--vivo-ms", "0"};
    const auto lost = [&](const std::string& server, std::size_t times) {
        return waitFor([&] { return countOf(log(), server + " connection lost, reconnecting ...") == times; }, 10s);
    };
    int value = 9;
    for (const std::string server : {"PSX", "SIOC"}) {
        SCOPED_TRACE(server);
        (server == "PSX" ? psx : sioc).reset();
        ASSERT_TRUE(lost(server, 1)) << log();
        if (server == "PSX") {
            sioc->command("set 1006 1");
            psx = startPsx();
            EXPECT_TRUE(psx->waitForLine("recv Qh6=1", 15s)) << log();
        } else {
            psx->command("send Qi5=77");
            sioc = std::make_unique<SimProcess>("sioc-sim", siocArguments);
            EXPECT_TRUE(sioc->waitForLine("2005=77:", 15s)) << log();
        }
        psx->command(fmt::format("send Qi5={}", ++value));
        EXPECT_TRUE(sioc->waitForLine(fmt::format("2005={}:", value), 10s)) << log();
        // The switch, on since the PSX round began, goes off; in the SIOC round on again.
        sioc->command(fmt::format("set 1006 {}", value % 2));
        EXPECT_TRUE(psx->waitForLine(fmt::format("recv Qh6={}", value % 2), 10s)) << log();
    }
    psx.reset();
    ASSERT_TRUE(lost("PSX", 2)) << log();
    EXPECT_EQ(stopBridge(), 0);
    EXPECT_TRUE(sioc->waitForLine("recv Arn.Fin:"));
    EXPECT_TRUE(contains(log(), "\nExiting: E_USER_CLOSE\n")) << log();
    EXPECT_FALSE(contains(log(), "Force disconnect from PSX") || contains(log(), "E_PSX_CLOSE")) << log();
    EXPECT_FALSE(contains(log(), "E_IOCP_CLOSE")) << log();
}

} // namespace
} // namespace brg::test
