// The console program on a real pseudo-terminal: its status block is redrawn in place.
#include "console_process.h"

#include <fcntl.h>
#include <fmt/ranges.h>
#include <pty.h>
#include <regex>
#include <sstream>
#include <unistd.h>
#include <utility>
#include <vterm.h>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

// talvesync on the slave side of a pseudo-terminal of the given size; everything it writes is
// collected from the master side.
class ConsoleTerminalTest : public ConsoleTest {
protected:
    void startOnTerminal(unsigned short columns, unsigned short rows, const char* option = nullptr)
    {
        const winsize size{rows, columns, 0, 0};
        bridge = ::forkpty(&m_master, nullptr, nullptr, &size);
        if (bridge == 0) {
            const std::string program = gf_binDir() + "/talvesync";
            ::execl(program.c_str(), program.c_str(), option, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(bridge, 0);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_terminal.reset(vterm_new(rows, columns));
        vterm_set_utf8(m_terminal.get(), 1);
        vterm_screen_reset(vterm_obtain_screen(m_terminal.get()), 1);
    }
    void TearDown() override
    {
        ConsoleTest::TearDown();
        ::close(m_master);
    }
    // Everything written so far; what is new goes to the terminal's screen too.
    const std::string& bytes()
    {
        char buffer[4096];
        for (ssize_t got; (got = ::read(m_master, buffer, sizeof buffer)) > 0;) {
            m_bytes.append(buffer, static_cast<std::size_t>(got));
            vterm_input_write(m_terminal.get(), buffer, static_cast<std::size_t>(got));
        }
        return m_bytes;
    }
    // The screen's rows down to the last one that holds something.
    std::vector<std::string> screen()
    {
        bytes();
        int rows = 0, columns = 0;
        vterm_get_size(m_terminal.get(), &rows, &columns);
        std::string text(5 * static_cast<std::size_t>(rows * columns), '\0');
        text.resize(vterm_screen_get_text(vterm_obtain_screen(m_terminal.get()), text.data(), text.size(),
                                          VTermRect{0, rows, 0, columns}));
        text.erase(text.find_last_not_of('\n') + 1);
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool waitForScreen(const std::vector<std::string>& expected)
    {
        return waitFor([&] { return screen() == expected; }, 10s);
    }
    // The terminal is kept drained so the program never blocks on it.
    int terminalExit() { return gf_waitForExit(std::exchange(bridge, -1), 10s, [this] { bytes(); }); }
    std::string shown() { return fmt::format("\n{}", fmt::join(screen(), "\n")); }
    // As the terminal's window closes: the program gets SIGHUP, and its output goes nowhere.
    void closeTerminal() { ::close(std::exchange(m_master, -1)); }

private:
    int m_master = -1;
    std::string m_bytes;
    std::unique_ptr<VTerm, void (*)(VTerm*)> m_terminal{nullptr, vterm_free};
};

// A terminal too small for the CDU screen is told so on the status line, and no CDU is drawn.
// Closing the terminal is a close request, although nobody reads the output any more.
TEST_F(ConsoleTerminalTest, TooSmallForTheCduTheBlockSaysSoAndClosingTheTerminalEndsTheRun)
{
    ASSERT_NO_FATAL_FAILURE(startServers("1006 2005 3424", "CDU_R=1\n"));
    ASSERT_NO_FATAL_FAILURE(startOnTerminal(80, 18));
    EXPECT_TRUE(waitForScreen({"sioc: connected", "psx: connected", "variables: 3",
                               "status: terminal too small for the CDU screen: it needs 25 columns and 19 rows"}))
        << shown();
    EXPECT_FALSE(contains(bytes(), "48;2;")) << bytes();
    closeTerminal();
    EXPECT_EQ(bridgeExit(10s), 0);
    EXPECT_TRUE(psx->waitForLine("recv exit"));
    EXPECT_TRUE(sioc->waitForLine("recv Arn.Fin:"));
    EXPECT_TRUE(contains(log(), "\nExiting: E_USER_CLOSE\n")) << log();
}

// The left CDU below the status block, from the rows of PSX's opening burst (which also says the
// screen is not blanked); then PSX changes one row and only that row is written again; at last an
// error ends the run.
TEST_F(ConsoleTerminalTest, TheCduScreenIsDrawnBelowTheBlockOnlyChangedRowsAreRedrawnAndAnErrorEndsIt)
{
    ASSERT_NO_FATAL_FAILURE(startServers("1006 2005 3424", "CDU_L=1\nLCD_CDU=1\n"));
    ASSERT_NO_FATAL_FAILURE(startOnTerminal(80, 24));
    std::vector<std::string> expected = {
        "sioc: connected",          "psx: connected",           "variables: 3",             "",
        "      POS INIT      1/3 ", "                LAST POS", "      N12°11.4 W068°58.5", " REF AIRPORT            ",
        "----                    ", " GATE                   ", "                        ", " UTC (GPS)       GPS POS",
        "0410Z N12°11.4 W068°58.5", "             SET IRS POS", "                        ", "------------------------",
        "<INDEX            ROUTE>", "                        "};
    ASSERT_TRUE(waitForScreen(expected)) << shown();
    // Small text normal, in white for rows without colour codes.
    EXPECT_TRUE(contains(bytes(), "\033[22;38;2;255;255;255;48;2;0;0;0m                LAST POS\033[0m"));

    // A row's text (with a control character that must not reach the terminal) and its colour.
    const std::size_t before = bytes().size();
    psx->command("send Qs64=HELLO\033[2J");
    psx->command("send Qs502=g");
    expected[6] = "HELLO?[2J               ";
    ASSERT_TRUE(waitForScreen(expected)) << shown();
    ASSERT_TRUE(waitFor([&] { return contains(bytes().substr(before), "\033[1;38;2;0;255;0;48;2;0;0;0mHELLO"); }, 5s))
        << bytes().substr(before);
    for (const char* unchanged : {"LAST POS", "connected", "ROUTE>"})
        EXPECT_FALSE(contains(bytes().substr(before), unchanged)) << bytes().substr(before);

    // A blank colour code keeps the colour before it; "y" is white on grey.
    psx->command("send Qs503=g y");
    EXPECT_TRUE(waitFor(
        [&] {
            return contains(bytes(), "\033[22;38;2;0;255;0;48;2;0;0;0m R"
                                     "\033[22;38;2;255;255;255;48;2;128;128;128mEF AIRPORT            \033[0m");
        },
        5s))
        << bytes().substr(before);

    // A value that cannot be read ends the run, and with it the window's CDU mode: the screen is
    // erased, the block stays, and the error takes the status line in red, cut to the terminal's
    // width (the last column stays free).
    sioc->command("send Arn.Resp:1006=" + std::string(100, 'x') + ":");
    EXPECT_EQ(terminalExit(), 1);
    const std::vector<std::string> rows = screen();
    ASSERT_EQ(rows.size(), 4u) << shown();
    EXPECT_EQ(rows[2], "variables: 3");
    EXPECT_TRUE(rows[3].starts_with("error: System Error: From SIOC: Arn.Resp:1006=xxx") && rows[3].size() == 79) << rows[3];
    EXPECT_TRUE(contains(bytes(), "\033[31m" + rows[3] + "\033[0m")) << bytes();
}

// talvesync --monitor: below the block a table as tall as the terminal allows, redrawn in place;
// a switch moved at SIOC comes to the top with its value on both sides, highlighted at first.
TEST_F(ConsoleTerminalTest, TheMonitorTableBringsAMovedSwitchToTheTopWithBothSidesValues)
{
    ASSERT_NO_FATAL_FAILURE(startServers("1006 2005 3424"));
    ASSERT_NO_FATAL_FAILURE(startOnTerminal(100, 12, "--monitor"));
    const auto tableRow = [this](std::size_t index) {
        const std::vector<std::string> rows = screen();
        return rows.size() > index ? rows[index] : std::string();
    };
    ASSERT_TRUE(waitFor([&] { return tableRow(1) == "psx: connected" && tableRow(4).starts_with(" SIOC Name"); }, 15s))
        << shown();
    EXPECT_EQ(tableRow(4), " SIOC Name               PSX     SIOC value   PSX value Changed  Changes Type");
    ASSERT_TRUE(waitFor([&] { return contains(log(), "processing input from PSX and SIOC started"); }, 15s));

    // The registration's answer: the switch is off; the lamp's first refresh: off too. Then the
    // switch goes on.
    ASSERT_TRUE(waitFor(
        [&] {
            const std::string text = shown();
            return contains(text, " 1006 LtStorm            Qh6              0           0 ")
                   && contains(text, " 3424 EvacLight          Qh424            0           0 ");
        },
        10s))
        << shown();
    const std::size_t before = bytes().size();
    sioc->command("send Arn.Resp:1006=1:");
    const std::regex moved(R"( 1006 LtStorm            Qh6 +1 +1 \d\d:\d\d:\d\d +\d+ SwitchVar)");
    ASSERT_TRUE(waitFor([&] { return std::regex_match(tableRow(5), moved); }, 10s)) << shown();
    EXPECT_TRUE(psx->waitForLine("recv Qh6=1"));
    EXPECT_TRUE(contains(bytes().substr(before), "\033[7m 1006 LtStorm")) << bytes().substr(before);
    // The table keeps its place: nothing scrolled, the block is still at the top.
    EXPECT_EQ(tableRow(0), "sioc: connected");
    EXPECT_TRUE(tableRow(4).starts_with(" SIOC Name")) << shown();
    // Once two seconds have passed the highlight goes.
    const std::size_t highlighted = bytes().size();
    EXPECT_TRUE(waitFor([&] { return contains(bytes().substr(highlighted), "\033[2K 1006 LtStorm"); }, 5s));
    closeTerminal();
    EXPECT_EQ(bridgeExit(10s), 0);
}

} // namespace
} // namespace brg::test
