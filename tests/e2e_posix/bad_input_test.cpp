// Mistaken or hostile files the bridge starts from: it says what is wrong at once, and still
// stops on request.
#include "console_process.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace brg::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

using BadInputTest = ConsoleTest;

TEST_F(BadInputTest, WhatIsWrongWithTheFilesIsNamedAndTheCloseStillWorks)
{
    const std::string good = "IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=8092\nCONFIG_FILE=cockpit.ssi\nVERSION_CHECK=0\n";
    const struct {
        std::function<void()> make;
        const char* error;
    } rows[] = {
        {[&] { writeFile("Talvesync.cfg", good), fs::create_directory("cockpit.ssi"); },
         "16: cockpit.ssi not found (not a regular file)"},
        {[] { fs::remove("cockpit.ssi"), ::mkfifo("cockpit.ssi", 0644); }, "16: cockpit.ssi not found (not a regular file)"},
        // Root reads everything: the bridge runs as "nobody".
        {[] { fs::remove("cockpit.ssi"), writeFile("cockpit.ssi", ""), fs::permissions("cockpit.ssi", fs::perms::none); },
         "16: cockpit.ssi not found (permission denied)"},
        {[] { writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS=simpc.local\nIOCP_port=8092\nCONFIG_FILE=cockpit.ssi\n"); },
         "14: IOCP_HOSTADDRESS information is missing in Talvesync.cfg (simpc.local is not an IPv4 address)"},
        {[] { writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=0\nCONFIG_FILE=cockpit.ssi\n"); },
         "15: IOCP_port information is missing in Talvesync.cfg (0 is not a port number)"},
        {[] { fs::remove("Talvesync.cfg"), fs::create_directory("Talvesync.cfg"); },
         "11: sioc.ini and Talvesync.cfg not found (Talvesync.cfg is not a regular file)"},
    };
    fs::permissions(dir, fs::perms::all);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.error);
        row.make();
        ASSERT_NO_FATAL_FAILURE(startBridge({}, RunAs::Unprivileged));
        EXPECT_TRUE(waitFor([&] { return contains(console(), std::string("error: ") + row.error + "\n"); }, 5s))
            << console();
        ASSERT_EQ(::kill(bridge, SIGTERM), 0);
        EXPECT_NE(bridgeExit(10s), -1) << "the close request was not taken";
    }
}

} // namespace
} // namespace brg::test
