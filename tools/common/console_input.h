#pragma once
// What the stand-in servers read from their console: the commands on standard input and the
// user's request to stop (Ctrl-C; SIGTERM too on POSIX). One implementation per platform.
#include <chrono>
#include <optional>
#include <string>

namespace brg::sim {

// From then on a stop request sets the flag that gf_stopRequested() reads.
void gf_catchStopRequests();
bool gf_stopRequested();

// Waits up to `timeout` for standard input: the bytes read, "" when none came, nullopt once the
// input has ended (and at every call after that).
std::optional<std::string> gf_readStandardInput(std::chrono::milliseconds timeout);

} // namespace brg::sim
