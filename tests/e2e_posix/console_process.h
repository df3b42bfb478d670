#pragma once
// The console program run as a child process, as a user runs it from a shell, and the folder of a
// cockpit with one script.
#include "support/fresh_state.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace brg::test {

// The build folder (ctest sets TALVESYNC_BIN_DIR); empty when unknown.
std::string gf_binDir();

// `Unprivileged` drops root to "nobody", so that file permissions bind the child as they bind a
// user; it changes nothing for a test that does not run as root.
enum class RunAs { Self, Unprivileged };

// Starts `command` in the current folder with standard input from /dev/null and standard output
// (and standard error, when a file is named) in files; -1 when it cannot start.
pid_t gf_spawnIn(const std::vector<std::string>& command, const std::string& outputFile,
                 const std::string& errorFile = {}, RunAs runAs = RunAs::Self);
// Standard output into a pipe whose read end is returned in `outputReadEnd`.
pid_t gf_spawnWithOutputPipe(const std::vector<std::string>& command, int& outputReadEnd);

// The exit status, or -1 when the process does not end in time (it is killed then).
int gf_waitForExit(pid_t pid, std::chrono::milliseconds timeout);

// A compiled script declaring `numbers` (blank-separated) as cockpit.ssi, and a Talvesync.cfg for
// the SIOC server on `siocPort` with that script and without the version check, plus `extraLines`.
void gf_writeCockpit(std::uint16_t siocPort, const std::string& numbers, const std::string& extraLines = "");

// Waits until Log.txt shows that the processing loop runs.
bool gf_waitForProcessing(std::chrono::milliseconds timeout = std::chrono::seconds(10));

} // namespace brg::test
