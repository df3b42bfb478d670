#pragma once
// The console program run as a user runs it from a shell, in a temporary folder holding a
// cockpit, against the stand-in servers run as child processes.
#include "sim_process.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace brg::test {

// The rows of a table in tests/data, each cell without the blanks that align the columns.
std::vector<std::vector<std::string>> gf_readRows(const std::string& name);

class ConsoleTest : public TempDirTest {
protected:
    void TearDown() override;

    // Fresh stand-in servers (psx-sim on PSX's port, free again once the ones before are gone),
    // and a Talvesync.cfg for them whose compiled script cockpit.ssi declares `numbers`
    // (blank-separated), without the version check, with `keys` added.
    void startServers(const std::string& numbers, const std::string& keys = "");
    static std::unique_ptr<SimProcess> startPsx();
    // talvesync with `arguments`, its output into console.txt and errors.txt.
    void startBridge(const std::vector<std::string>& arguments = {}, RunAs runAs = RunAs::Self);
    // Servers and bridge, with the processing loop started.
    void startRun(const std::string& numbers, const std::string& keys = "");
    static bool waitForProcessing();
    // The bridge's exit status once it ends (-1: it did not end in time, it is killed then).
    int bridgeExit(std::chrono::milliseconds timeout = std::chrono::seconds(15));
    // SIGTERM, as a user's close, and the exit status.
    int stopBridge();
    SimProcess& server(const std::string& name) { return name == "psx" ? *psx : *sioc; }

    static std::string log() { return readFile("Log.txt"); }
    static std::string console() { return readFile("console.txt"); }

    std::unique_ptr<SimProcess> sioc;
    std::unique_ptr<SimProcess> psx;
    pid_t bridge = -1;
};

} // namespace brg::test
