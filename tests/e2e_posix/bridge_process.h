#pragma once
// More of the console program as a child process: run as an unprivileged user, with its output
// into a pipe, and the folder of a cockpit with one script.
#include "console_process.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace brg::test {

// `Unprivileged` drops root to "nobody", so that file permissions bind the child as they bind a
// user; it changes nothing for a test that does not run as root.
enum class RunAs { Self, Unprivileged };

// gf_spawnIn, run as `runAs`.
pid_t gf_spawnAs(const std::vector<std::string>& command, const std::string& outputFile, RunAs runAs);
// Standard output into a pipe whose read end is returned in `outputReadEnd`.
pid_t gf_spawnWithOutputPipe(const std::vector<std::string>& command, int& outputReadEnd);

// A compiled script declaring `numbers` (blank-separated) as cockpit.ssi, and a Talvesync.cfg for
// the SIOC server on `siocPort` with that script and without the version check, plus `extraLines`.
void gf_writeCockpit(std::uint16_t siocPort, const std::string& numbers, const std::string& extraLines = "");

// Waits until Log.txt shows that the processing loop runs.
bool gf_waitForProcessing(std::chrono::milliseconds timeout = std::chrono::seconds(10));

} // namespace brg::test
