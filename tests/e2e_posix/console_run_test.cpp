// The console program as a cockpit builder runs it: in a folder with Talvesync.cfg and a compiled
// script, against the stand-in PSX and SIOC servers, stopped with SIGTERM.
#include "console_process.h"

#include <filesystem>
#include <fmt/format.h>
#include <regex>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

using ConsoleRunTest = ConsoleTest;

const std::regex kEndStamp("\n[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\n$");

// 1006 is the storm light switch (Qh6), 1029 another switch (Qh29), 2005 a value PSX reports
// (Qi5), 3424 the evacuation lamp word made from Qh424 and the power that the opening burst
// reports. Numbers SIOC sends that the script does not register are dropped, and logged once.
TEST_F(ConsoleRunTest, BridgesBothWaysAndStopsCleanlyOnSigterm)
{
    // The CDU screen is for terminals only: into a file nothing of it is printed.
    ASSERT_NO_FATAL_FAILURE(startRun("1006 1029 2005 3424", "CDU_L=1\n"));
    sioc->command("send Arn.Resp:1006=1:1008=1:9999=2:-4=1:1029=1:");
    EXPECT_TRUE(psx->waitForLine("recv Qh6=1"));
    EXPECT_TRUE(psx->waitForLine("recv Qh29=1"));
    sioc->command("send Arn.Resp:1008=0:1006=0:");
    EXPECT_TRUE(psx->waitForLine("recv Qh6=0"));
    psx->command("send Qi5=7");
    EXPECT_TRUE(sioc->waitForLine("recv Arn.Resp:2005=7:"));
    // The lamp's second state (bit 1) lights output bit 5 while the lamp has power.
    psx->command("send Qh424=2");
    EXPECT_TRUE(sioc->waitForLine("recv Arn.Resp:3424=34:"));

    EXPECT_EQ(stopBridge(), 0);
    EXPECT_TRUE(psx->waitForLine("recv exit"));
    EXPECT_TRUE(sioc->waitForLine("recv Arn.Fin:"));

    const std::string text = log();
    EXPECT_TRUE(std::regex_search(text, std::regex("^[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3]\\d \\d\\d:\\d\\d:\\d\\d \\d{4} "
                                                   "\\(utc\\) Talvesync version 3\\.46\\.0\n")))
        << text;
    for (const char* line : {"\nSIOC parameters\n IOCP_HOSTADDRESS=127.0.0.1\n", "\nPSX parameters\n",
                             "\nSIOC connected\n", "\nPSX connected\n", "\nExiting: E_USER_CLOSE\n",
                             "\nForce disconnect from PSX ...\n", "\nForce disconnect from SIOC ...\n"})
        EXPECT_TRUE(contains(text, line)) << line << "\n" << text;
    for (const char* number : {"1008", "9999", "-4"})
        EXPECT_EQ(countOf(text, fmt::format("\nSIOC variable {} is not registered: its values are dropped\n", number)), 1u)
            << number;
    EXPECT_TRUE(std::regex_search(text, kEndStamp)) << text;
    EXPECT_TRUE(std::filesystem::is_directory("Talvesync"));
    EXPECT_TRUE(contains(console(), "sioc: connected\n")) << console();
    EXPECT_TRUE(contains(console(), "psx: connected\n")) << console();
    EXPECT_FALSE(contains(console(), "POS INIT") || contains(console(), "\033")) << console();
}

// The command line, and how a failed start-up ends: no window keeps the error on screen, so it is
// printed, the run goes through its final stop and the exit status tells the shell. -C puts every
// file in the folder named.
TEST_F(ConsoleRunTest, TheCommandLineAndAFailedStartUpAnswerTheShell)
{
    // Nothing but the program's two output files: it left the folder alone.
    const auto untouched = [this] {
        return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()) == 2;
    };
    const auto run = [this](const std::vector<std::string>& arguments) {
        startBridge(arguments);
        return bridgeExit(10s);
    };
    for (const char* option : {"--help", "-h"}) {
        SCOPED_TRACE(option);
        EXPECT_EQ(run({option}), 0);
        for (const char* part : {"Usage: talvesync [-C DIR]", "Talvesync.cfg", "sioc.ini", "Log.txt", "Exit status:",
                                 "  2  the command line is wrong"})
            EXPECT_TRUE(contains(console(), part)) << part << "\n" << console();
        EXPECT_EQ(readFile("errors.txt"), "");
        EXPECT_TRUE(untouched());
    }
    EXPECT_EQ(run({"--version"}), 0);
    EXPECT_EQ(console(), "talvesync 3.46.0\n");
    // --help wins wherever it stands, also after an option that would run the bridge elsewhere.
    EXPECT_EQ(run({"-C", "/nonexistent", "--help"}), 0);
    EXPECT_TRUE(untouched());

    for (const auto& [arguments, problem] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--frobnicate"}, "talvesync: unknown argument '--frobnicate'\n"},
             {{"Talvesync.cfg"}, "talvesync: unknown argument 'Talvesync.cfg'\n"},
             {{"-C"}, "talvesync: option -C needs a folder\n"}}) {
        SCOPED_TRACE(problem);
        EXPECT_EQ(run(arguments), 2);
        EXPECT_EQ(console(), "");
        EXPECT_TRUE(readFile("errors.txt").starts_with(problem + "Usage: talvesync")) << readFile("errors.txt");
        EXPECT_TRUE(untouched());
    }

    std::filesystem::create_directory("cockpit");
    EXPECT_EQ(run({"-C", "cockpit"}), 1);
    EXPECT_EQ(console(), "error: 11: sioc.ini and Talvesync.cfg not found\n");
    EXPECT_TRUE(std::filesystem::is_directory("cockpit/Talvesync"));
    EXPECT_FALSE(std::filesystem::exists("Log.txt"));
    const std::string text = readFile("cockpit/Log.txt");
    for (const char* line : {"\nlf_startUp_as_Thread\nError 11: sioc.ini and Talvesync.cfg not found\n",
                             "\nStart-up failed, closing\nExiting: E_USER_CLOSE\n"})
        EXPECT_TRUE(contains(text, line)) << line << "\n" << text;
    EXPECT_TRUE(std::regex_search(text, kEndStamp)) << text;

    // A missing script, the -CDIR spelling.
    writeFile("cockpit/Talvesync.cfg", "IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=8092\nCONFIG_FILE=missing.ssi\n"
                                       "VERSION_CHECK=0\n");
    EXPECT_EQ(run({"-Ccockpit"}), 1);
    EXPECT_TRUE(contains(console(), "error: 16: missing.ssi not found\n")) << console();
    EXPECT_FALSE(contains(console(), "status: \n")) << console();

    EXPECT_EQ(run({"-C", "no-such-folder"}), 1);
    EXPECT_TRUE(readFile("errors.txt").starts_with("talvesync: cannot run in no-such-folder: ")) << readFile("errors.txt");
}

} // namespace
} // namespace brg::test
