// The console program on a real pseudo-terminal: its status block is redrawn in place.
#include "console_process.h"
#include "sim_process.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fmt/format.h>
#include <gtest/gtest.h>
#include <numeric>
#include <optional>
#include <set>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

// What a terminal shows after the bytes written to it: enough of a VT100 for the console program
// (line feed, carriage return, cursor up and down, erase line and below; colours are ignored; a
// UTF-8 character takes one column). It notes the rows written or erased since `touched` was
// last cleared.
class VtScreen {
public:
    void feed(const std::string& bytes)
    {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (c == '\n') {
                if (++m_row == m_cells.size())
                    m_cells.emplace_back();
            } else if (c == '\r') {
                m_column = 0;
            } else if (c == '\033' && i + 1 < bytes.size() && bytes[i + 1] == '[') {
                std::size_t end = i + 2;
                while (end < bytes.size() && !std::isalpha(static_cast<unsigned char>(bytes[end])))
                    ++end;
                if (end == bytes.size())
                    break;
                const std::string parameter = bytes.substr(i + 2, end - i - 2);
                const std::size_t n = parameter.empty() || bytes[end] == 'm' ? 1 : std::stoul(parameter);
                if (bytes[end] == 'A')
                    m_row -= std::min(m_row, n);
                else if (bytes[end] == 'B')
                    m_row = std::min(m_row + n, m_cells.size() - 1);
                else if (bytes[end] == 'K')
                    m_cells[m_row].clear();
                else if (bytes[end] == 'J') {
                    m_cells.resize(m_row + 1);
                    m_cells[m_row].resize(std::min(m_column, m_cells[m_row].size()));
                }
                if (bytes[end] == 'K' || bytes[end] == 'J')
                    touched.insert(m_row);
                i = end;
            } else if ((static_cast<unsigned char>(c) & 0xC0) == 0x80 && m_column > 0) {
                m_cells[m_row][m_column - 1] += c;
            } else {
                if (m_cells[m_row].size() < m_column + 1)
                    m_cells[m_row].resize(m_column + 1, " ");
                m_cells[m_row][m_column++] = std::string(1, c);
                touched.insert(m_row);
            }
        }
    }
    // One text per row; the cursor's empty row at the end is not one.
    std::vector<std::string> rows() const
    {
        std::vector<std::string> rows;
        for (const auto& cells : m_cells)
            rows.push_back(std::accumulate(cells.begin(), cells.end(), std::string()));
        if (rows.back().empty())
            rows.pop_back();
        return rows;
    }
    std::set<std::size_t> touched;

private:
    std::vector<std::vector<std::string>> m_cells{1};
    std::size_t m_row = 0, m_column = 0;
};

// talvesync on the slave side of a pseudo-terminal of the given width; everything it writes is
// collected from the master side.
class TerminalRun {
public:
    TerminalRun(unsigned short columns, unsigned short rows = 24)
    {
        winsize size{};
        size.ws_row = rows;
        size.ws_col = columns;
        m_pid = ::forkpty(&m_master, nullptr, nullptr, &size);
        if (m_pid == 0) {
            const std::string program = gf_binDir() + "/talvesync";
            ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (m_pid > 0)
            ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~TerminalRun()
    {
        if (m_pid > 0 && !m_ended) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_master >= 0)
            ::close(m_master);
    }
    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

    const std::string& bytes()
    {
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(m_master, buffer, sizeof buffer);
            if (got <= 0)
                break;
            m_bytes.append(buffer, static_cast<std::size_t>(got));
        }
        return m_bytes;
    }
    std::vector<std::string> screen()
    {
        VtScreen vt;
        vt.feed(bytes());
        return vt.rows();
    }
    bool waitForScreen(const std::vector<std::string>& expected, std::chrono::milliseconds timeout = 10s)
    {
        return waitFor([&] { return screen() == expected; }, timeout);
    }
    int waitForExit(std::chrono::milliseconds timeout)
    {
        int status = 0;
        m_ended = waitFor(
            [&] {
                bytes(); // keep the terminal drained so the program never blocks on it
                return ::waitpid(m_pid, &status, WNOHANG) == m_pid;
            },
            timeout);
        bytes();
        return m_ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    int m_master = -1;
    pid_t m_pid = -1;
    bool m_ended = false;
    std::string m_bytes;
};

std::string lf_join(const std::vector<std::string>& rows)
{
    std::string text;
    for (const auto& row : rows)
        text += row + "\n";
    return text;
}

// The stand-in servers, and a folder whose script declares three variables.
class ConsoleTerminalTest : public TempDirTest {
protected:
    void startServers(const std::string& moreKeys)
    {
        ASSERT_FALSE(gf_binDir().empty()) << "TALVESYNC_BIN_DIR is not set (ctest sets it)";
        sioc.emplace("sioc-sim", std::vector<std::string>{"--vivo-ms", "0"});
        psx.emplace("psx-sim", std::vector<std::string>{"--port", "10747", "--tick-ms", "0"});
        ASSERT_EQ(std::system(fmt::format("{}/tools/ssi-writer cockpit.ssi 1006 2005 3424 > /dev/null", gf_binDir())
                                  .c_str()),
                  0);
        writeFile("Talvesync.cfg", fmt::format("IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port={}\nCONFIG_FILE=cockpit.ssi\n"
                                               "VERSION_CHECK=0\n{}",
                                               sioc->port(), moreKeys));
    }
    std::optional<SimProcess> sioc, psx;
};

TEST_F(ConsoleTerminalTest, TheStatusBlockIsRedrawnInPlaceAsTheRunGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(startServers(""));
    TerminalRun run(80);
    ASSERT_TRUE(run.started());
    EXPECT_TRUE(run.waitForScreen({"sioc: connected", "psx: connected", "variables: 3",
                                   ""}))
        << lf_join(run.screen());
    // Several states were drawn, each over the one before.
    EXPECT_TRUE(contains(run.bytes(), "\033[4A\r")) << run.bytes();

    psx->command("exit");
    EXPECT_EQ(run.waitForExit(10s), 0);
    const auto rows = run.screen();
    ASSERT_EQ(rows.size(), 4u) << lf_join(rows);
    EXPECT_EQ(rows[0], "sioc: connected");
    EXPECT_EQ(rows[2], "variables: 3");
}

TEST_F(ConsoleTerminalTest, AnErrorTakesTheStatusLineInRedCutToTheTerminalsWidth)
{
    ASSERT_FALSE(gf_binDir().empty());
    const std::string script = std::string(120, 'x') + ".ssi";
    writeFile("Talvesync.cfg",
              fmt::format("IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=8092\nCONFIG_FILE={}\nVERSION_CHECK=0\n", script));
    TerminalRun run(60);
    ASSERT_TRUE(run.started());
    EXPECT_EQ(run.waitForExit(10s), 1);
    const auto rows = run.screen();
    const std::string error = "error: 16: " + script + " not found";
    EXPECT_EQ(rows, (std::vector<std::string>{"sioc: not connected", "psx: not connected", "variables: 0",
                                              error.substr(0, 59)}))
        << lf_join(rows);
    EXPECT_TRUE(contains(run.bytes(), "\033[31m" + error.substr(0, 59) + "\033[0m")) << run.bytes();
}

// The left CDU below the status block, from the rows of PSX's opening burst (which also says the
// screen is not blanked); then PSX changes one row and only that row is written again.
TEST_F(ConsoleTerminalTest, TheCduScreenIsDrawnBelowTheBlockAndOnlyChangedRowsAreRedrawn)
{
    ASSERT_NO_FATAL_FAILURE(startServers("CDU_L=1\nLCD_CDU=1\n"));
    TerminalRun run(80);
    ASSERT_TRUE(run.started());
    std::vector<std::string> expected = {"sioc: connected",
                                         "psx: connected",
                                         "variables: 3",
                                         "",
                                         "      POS INIT      1/3 ",
                                         "                LAST POS",
                                         "      N12°11.4 W068°58.5",
                                         " REF AIRPORT            ",
                                         "----                    ",
                                         " GATE                   ",
                                         "                        ",
                                         " UTC (GPS)       GPS POS",
                                         "0410Z N12°11.4 W068°58.5",
                                         "             SET IRS POS",
                                         "                        ",
                                         "------------------------",
                                         "<INDEX            ROUTE>",
                                         "                        "};
    ASSERT_TRUE(run.waitForScreen(expected)) << lf_join(run.screen());
    // Small text normal, in white for rows without colour codes.
    EXPECT_TRUE(contains(run.bytes(), "\033[22;38;2;255;255;255;48;2;0;0;0m                LAST POS\033[0m"));

    // A row's text (with a control character that must not reach the terminal) and its colour.
    const std::size_t before = run.bytes().size();
    psx->command("send Qs64=HELLO\033[2J");
    psx->command("send Qs502=g");
    expected[6] = "HELLO?[2J               ";
    ASSERT_TRUE(run.waitForScreen(expected)) << lf_join(run.screen());
    ASSERT_TRUE(waitFor([&] { return contains(run.bytes().substr(before), "0;255;0;48;2;0;0;0mHELLO"); }, 5s));
    VtScreen vt;
    vt.feed(run.bytes().substr(0, before));
    vt.touched.clear();
    vt.feed(run.bytes().substr(before));
    EXPECT_EQ(vt.touched, (std::set<std::size_t>{6})) << run.bytes().substr(before);
    EXPECT_TRUE(contains(run.bytes().substr(before), "\033[1;38;2;0;255;0;48;2;0;0;0mHELLO"));

    // A blank colour code keeps the colour before it; "y" is white on grey.
    psx->command("send Qs503=g y");
    EXPECT_TRUE(waitFor(
        [&] {
            return contains(run.bytes(), "\033[22;38;2;0;255;0;48;2;0;0;0m R"
                                         "\033[22;38;2;255;255;255;48;2;128;128;128mEF AIRPORT            \033[0m");
        },
        5s))
        << run.bytes().substr(before);

    // At the end the window's CDU mode ends: the screen is erased and the block stays.
    psx->command("exit");
    EXPECT_EQ(run.waitForExit(10s), 0);
    const auto rows = run.screen();
    ASSERT_EQ(rows.size(), 4u) << lf_join(rows);
    EXPECT_EQ(rows[2], "variables: 3");
}

TEST_F(ConsoleTerminalTest, ATerminalTooSmallForTheCduScreenIsToldOnTheStatusLine)
{
    ASSERT_NO_FATAL_FAILURE(startServers("CDU_R=1\n"));
    TerminalRun run(80, 18);
    ASSERT_TRUE(run.started());
    EXPECT_TRUE(run.waitForScreen({"sioc: connected", "psx: connected", "variables: 3",
                                   "status: terminal too small for the CDU screen: it needs 25 columns and 19 rows"}))
        << lf_join(run.screen());
    psx->command("exit");
    EXPECT_EQ(run.waitForExit(10s), 0);
    EXPECT_FALSE(contains(run.bytes(), "48;2;")) << run.bytes();
}

} // namespace
} // namespace brg::test
