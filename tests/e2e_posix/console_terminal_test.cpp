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
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

// What a terminal shows after the bytes written to it: enough of a VT100 for the console program
// (line feed, carriage return, cursor up, erase line; colours are ignored).
std::vector<std::string> lf_screen(const std::string& bytes)
{
    std::vector<std::string> rows(1);
    std::size_t row = 0, column = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n') {
            if (++row == rows.size())
                rows.emplace_back();
        } else if (c == '\r') {
            column = 0;
        } else if (c == '\033' && i + 1 < bytes.size() && bytes[i + 1] == '[') {
            std::size_t end = i + 2;
            while (end < bytes.size() && !std::isalpha(static_cast<unsigned char>(bytes[end])))
                ++end;
            if (end == bytes.size())
                break;
            const std::string parameter = bytes.substr(i + 2, end - i - 2);
            if (bytes[end] == 'A')
                row -= std::min<std::size_t>(row, parameter.empty() ? 1 : std::stoul(parameter));
            else if (bytes[end] == 'K')
                rows[row].clear();
            i = end;
        } else {
            if (rows[row].size() < column + 1)
                rows[row].resize(column + 1, ' ');
            rows[row][column++] = c;
        }
    }
    if (rows.back().empty())
        rows.pop_back();
    return rows;
}

// talvesync on the slave side of a pseudo-terminal of the given width; everything it writes is
// collected from the master side.
class TerminalRun {
public:
    TerminalRun(unsigned short columns)
    {
        winsize size{};
        size.ws_row = 24;
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
    std::vector<std::string> screen() { return lf_screen(bytes()); }
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

using ConsoleTerminalTest = TempDirTest;

TEST_F(ConsoleTerminalTest, TheStatusBlockIsRedrawnInPlaceAsTheRunGoesOn)
{
    ASSERT_FALSE(gf_binDir().empty()) << "TALVESYNC_BIN_DIR is not set (ctest sets it)";
    SimProcess sioc("sioc-sim", {"--vivo-ms", "0"});
    SimProcess psx("psx-sim", {"--port", "10747", "--tick-ms", "0"});
    ASSERT_EQ(std::system(fmt::format("{}/tools/ssi-writer cockpit.ssi 1006 2005 3424 > /dev/null", gf_binDir()).c_str()),
              0);
    writeFile("Talvesync.cfg", fmt::format("IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port={}\nCONFIG_FILE=cockpit.ssi\n"
                                           "VERSION_CHECK=0\n",
                                           sioc.port()));
    TerminalRun run(80);
    ASSERT_TRUE(run.started());
    EXPECT_TRUE(run.waitForScreen({"sioc: connected", "psx: connected", "variables: 3",
                                   ""}))
        << lf_join(run.screen());
    // Several states were drawn, each over the one before.
    EXPECT_TRUE(contains(run.bytes(), "\033[4A\r")) << run.bytes();

    psx.command("exit");
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

} // namespace
} // namespace brg::test
