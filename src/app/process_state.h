#pragma once
// The process-wide state, in one place. gf_resetProcessState() gives a test a fresh set.
#include "net/hand_over_queues.h"
#include "vars/var.h"

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
class VarPoolImpl;
class MainLoop;

// The current text of each Qs variable; written on the main and the worker thread.
class QsStringTable {
public:
    // Throws std::out_of_range for an index of 562 or more.
    std::string get(std::uint32_t index) const;
    void set(std::uint32_t index, std::string text);
    void clear();

private:
    mutable std::mutex m_mutex;
    std::array<std::string, kQsCount> m_texts;
};

// The last value PSX reported per variable number (0 where it never did).
extern std::array<std::atomic<std::uint32_t>, kVarCount> g_psxValues;
extern QsStringTable g_qsStrings;

// The info variables whose refresh() runs every 200 ms, in ascending number order.
extern std::vector<std::shared_ptr<Var>> g_infoVars;
// Set until the end of synchronisation; momentary controls ignore SIOC while it is set.
extern std::atomic<bool> g_initPhase;
extern std::shared_ptr<VarPoolImpl> g_varPool;
// PSX's version text from its "version=" line; written and painted on the main thread.
extern std::string g_psxVersion;
// Set when a *_DOMINANT key leaves some Qh values to PSX (FromPSXClient's initInicio).
extern std::atomic<bool> g_dominanceFilter;

// The main window (its message loop): what repaints and posts go to. Null until it exists.
extern std::atomic<MainLoop*> g_mainWindow;

// Engine flags, written by one thread and read by another.
extern std::atomic<bool> g_psxConnected;
extern std::atomic<bool> g_siocConnected;
extern std::atomic<bool> g_workerStarted;
extern std::atomic<bool> g_processing;
extern std::atomic<bool> g_closing;
extern std::atomic<bool> g_exitPending;
extern std::atomic<bool> g_cduMode;
// Set while the SIOC script is read; closing is refused meanwhile.
extern std::atomic<bool> g_readingScript;
// Set when a failure ended the run; the console program then exits with status 1.
extern std::atomic<bool> g_runFailed;
extern std::atomic<std::uint64_t> g_cycle;

// The four link objects, alive for the whole process.
extern std::shared_ptr<ToSiocChannel> ToSIOCClient;
extern std::shared_ptr<FromSiocChannel> FromSIOCClient;
extern std::shared_ptr<ToPsxChannel> ToPSXClient;
extern std::shared_ptr<FromPsxChannel> FromPSXClient;

// Replaces every process-wide object by a fresh one (tests start from this).
void gf_resetProcessState();

} // namespace brg
