#include "console_process.h"

#include "support/data_file.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fmt/format.h>
#include <unistd.h>

namespace brg::test {

std::vector<std::vector<std::string>> gf_readRows(const std::string& name)
{
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : dataLines(name)) {
        auto& row = rows.emplace_back(cells(line, 0));
        for (std::string& cell : row) {
            cell.erase(0, cell.find_first_not_of(' '));
            cell.erase(cell.find_last_not_of(' ') + 1);
            cell = unescape(cell);
        }
    }
    return rows;
}

void ConsoleTest::TearDown()
{
    if (bridge > 0 && bridgeExit(std::chrono::milliseconds(0)) < 0)
        ADD_FAILURE() << "the bridge was still running";
    TempDirTest::TearDown();
}

void ConsoleTest::startServers(const std::string& numbers, const std::string& keys)
{
    ASSERT_FALSE(gf_binDir().empty()) << "TALVESYNC_BIN_DIR is not set (ctest sets it)";
    std::filesystem::remove("Log.txt");
    psx.reset();
    sioc = std::make_unique<SimProcess>("sioc-sim", std::vector<std::string>{"--vivo-ms", "0"});
    psx = startPsx();
    const std::string command = fmt::format("{}/tools/ssi-writer cockpit.ssi {} > /dev/null", gf_binDir(), numbers);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    writeFile("Talvesync.cfg", fmt::format("IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port={}\nCONFIG_FILE=cockpit.ssi\n"
                                           "VERSION_CHECK=0\n{}",
                                           sioc->port(), keys));
}

std::unique_ptr<SimProcess> ConsoleTest::startPsx()
{
    return std::make_unique<SimProcess>("psx-sim", std::vector<std::string>{"--port", "10747", "--tick-ms", "0"});
}

void ConsoleTest::startBridge(const std::vector<std::string>& arguments, RunAs runAs)
{
    ASSERT_FALSE(gf_binDir().empty()) << "TALVESYNC_BIN_DIR is not set (ctest sets it)";
    std::vector<std::string> command = {gf_binDir() + "/talvesync"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const int output = ::open("console.txt", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    const int error = ::open("errors.txt", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    bridge = gf_spawn(command, -1, output, error, runAs);
    ::close(output);
    ::close(error);
    ASSERT_GT(bridge, 0);
}

void ConsoleTest::startRun(const std::string& numbers, const std::string& keys)
{
    ASSERT_NO_FATAL_FAILURE(startServers(numbers, keys));
    ASSERT_NO_FATAL_FAILURE(startBridge());
    ASSERT_TRUE(waitForProcessing()) << log();
}

bool ConsoleTest::waitForProcessing()
{
    return waitFor([] { return contains(log(), "processing input from PSX and SIOC started"); }, std::chrono::seconds(15));
}

int ConsoleTest::bridgeExit(std::chrono::milliseconds timeout)
{
    const int status = gf_waitForExit(bridge, timeout);
    bridge = -1;
    return status;
}

int ConsoleTest::stopBridge()
{
    ::kill(bridge, SIGTERM);
    return bridgeExit();
}

} // namespace brg::test
