// The console program's command line and how a failed start-up ends, as seen from a shell.
#include "console_process.h"
#include "support/fresh_state.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

class ConsoleCommandLineTest : public TempDirTest {
protected:
    // Runs talvesync with `arguments` and returns its exit status (-1: it did not end in time).
    int run(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout = 10s)
    {
        std::vector<std::string> command = {gf_binDir() + "/talvesync"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const pid_t pid = gf_spawnIn(command, (dir / "out.txt").string(), (dir / "err.txt").string());
        return pid > 0 ? gf_waitForExit(pid, timeout) : -1;
    }
    std::string out() const { return readFile(dir / "out.txt"); }
    std::string err() const { return readFile(dir / "err.txt"); }
    // Nothing but the two capture files: the program left the folder alone.
    bool untouched() const
    {
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (entry.path().filename() != "out.txt" && entry.path().filename() != "err.txt")
                return false;
        return true;
    }
};

TEST_F(ConsoleCommandLineTest, HelpAndVersionPrintAndLeaveTheFolderAlone)
{
    ASSERT_FALSE(gf_binDir().empty()) << "TALVESYNC_BIN_DIR is not set (ctest sets it)";
    for (const char* option : {"--help", "-h"}) {
        SCOPED_TRACE(option);
        EXPECT_EQ(run({option}), 0);
        for (const char* part : {"Usage: talvesync [-C DIR]", "Talvesync.cfg", "sioc.ini", "Log.txt", "Exit status:",
                                 "  2  the command line is wrong"})
            EXPECT_TRUE(contains(out(), part)) << part << "\n" << out();
        EXPECT_EQ(err(), "");
        EXPECT_TRUE(untouched());
    }
    EXPECT_EQ(run({"--version"}), 0);
    EXPECT_EQ(out(), "talvesync 3.46.0\n");
    EXPECT_TRUE(untouched());
    // --help wins wherever it stands, also after an option that would run the bridge elsewhere.
    EXPECT_EQ(run({"-C", "/nonexistent", "--help"}), 0);
    EXPECT_TRUE(untouched());
}

TEST_F(ConsoleCommandLineTest, AWrongCommandLinePrintsTheUsageToStandardErrorAndExitsWith2)
{
    ASSERT_FALSE(gf_binDir().empty());
    struct Case {
        std::vector<std::string> arguments;
        const char* problem;
    };
    for (const Case& c : {Case{{"--frobnicate"}, "talvesync: unknown argument '--frobnicate'\n"},
                          Case{{"Talvesync.cfg"}, "talvesync: unknown argument 'Talvesync.cfg'\n"},
                          Case{{"-C"}, "talvesync: option -C needs a folder\n"}}) {
        SCOPED_TRACE(c.problem);
        EXPECT_EQ(run(c.arguments), 2);
        EXPECT_EQ(out(), "");
        EXPECT_TRUE(err().starts_with(std::string(c.problem) + "Usage: talvesync")) << err();
        EXPECT_TRUE(untouched());
    }
}

// No window keeps the error on screen: it is printed, the run goes through its final stop and
// the exit status tells the shell. -C puts every file in the folder named.
TEST_F(ConsoleCommandLineTest, AFailedStartUpInTheFolderOfMinusCPrintsTheErrorAndExitsWith1)
{
    ASSERT_FALSE(gf_binDir().empty());
    std::filesystem::create_directory("cockpit");
    EXPECT_EQ(run({"-C", "cockpit"}), 1);
    EXPECT_EQ(out(), "error: 11: sioc.ini and Talvesync.cfg not found\n");
    EXPECT_TRUE(std::filesystem::is_directory("cockpit/Talvesync"));
    EXPECT_FALSE(std::filesystem::exists("Log.txt"));
    const std::string log = readFile("cockpit/Log.txt");
    for (const char* line : {"\nlf_startUp_as_Thread\nError 11: sioc.ini and Talvesync.cfg not found\n",
                             "\nStart-up failed, closing\nExiting: E_USER_CLOSE\n"})
        EXPECT_TRUE(contains(log, line)) << line << "\n" << log;
    EXPECT_TRUE(std::regex_search(log, std::regex("\n[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\n$")))
        << log;

    // A missing script, the -CDIR spelling.
    writeFile("cockpit/Talvesync.cfg", "IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=8092\nCONFIG_FILE=missing.ssi\n"
                                       "VERSION_CHECK=0\n");
    EXPECT_EQ(run({"-Ccockpit"}), 1);
    EXPECT_TRUE(contains(out(), "error: 16: missing.ssi not found\n")) << out();
    EXPECT_FALSE(contains(out(), "status: \n")) << out();

    EXPECT_EQ(run({"-C", "no-such-folder"}), 1);
    EXPECT_TRUE(err().starts_with("talvesync: cannot run in no-such-folder: ")) << err();
}

} // namespace
} // namespace brg::test
