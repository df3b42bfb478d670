#pragma once
// The console program run as a child process, as a user runs it from a shell.
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace brg::test {

// The build folder (ctest sets TALVESYNC_BIN_DIR); empty when unknown.
std::string gf_binDir();

// Starts `command` in the current folder with standard input from /dev/null and standard output
// (and standard error, when a file is named) in files; -1 when it cannot start.
pid_t gf_spawnIn(const std::vector<std::string>& command, const std::string& outputFile,
                 const std::string& errorFile = {});

// The exit status, or -1 when the process does not end in time (it is killed then).
int gf_waitForExit(pid_t pid, std::chrono::milliseconds timeout);

inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace brg::test
