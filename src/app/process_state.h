#pragma once
// The process-wide state, in one place. gf_resetProcessState() gives a test a fresh set.
#include "config/config_reader.h"
#include "net/hand_over_queues.h"
#include "psx/from_psx_channel.h"
#include "sioc/script_scan.h"
#include "vars/var_state.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace brg {

class ToPsxChannel;
class FromPsxChannel;
class ToSiocChannel;
class FromSiocChannel;
class MainLoop;

// The main window (its message loop): what repaints and posts go to. Null until it exists.
extern std::atomic<MainLoop*> g_mainWindow;

// Engine flags, written by one thread and read by another.
extern std::atomic<bool> g_psxConnected;
extern std::atomic<bool> g_siocConnected;
extern std::atomic<bool> g_workerStarted;
extern std::atomic<bool> g_processing;
extern std::atomic<bool> g_closing;
extern std::atomic<bool> g_exitPending;
// With RECONNECT: a server lost while the bridge runs is away until it takes data again, and
// then returned until the worker has brought both sides back in step.
extern std::atomic<bool> g_psxAway;
extern std::atomic<bool> g_siocAway;
extern std::atomic<bool> g_psxReturned;
extern std::atomic<bool> g_siocReturned;
// Set when a failure ended the run; the console program then exits with status 1.
extern std::atomic<bool> g_runFailed;
// The Windows program keeps its window, and the error in it, after a failed run until the user
// closes it; the final stop then waits, held, until the close.
extern std::atomic<bool> g_keepFailedRunOpen;
extern std::atomic<bool> g_finishHeld;
extern std::atomic<std::uint64_t> g_cycle;

// The four link objects, alive for the whole process.
extern std::shared_ptr<ToSiocChannel> g_ToSIOCClient;
extern std::shared_ptr<FromSiocChannel> g_FromSIOCClient;
extern std::shared_ptr<ToPsxChannel> g_ToPSXClient;
extern std::shared_ptr<FromPsxChannel> g_FromPSXClient;

// Replaces every process-wide object by a fresh one (tests start from this).
void gf_resetProcessState();

} // namespace brg
