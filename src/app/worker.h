#pragma once
// The worker thread: synchronises both sides once both connections are up, then moves data
// between the four channels every 50 ms until the run ends.
#include <functional>

namespace brg {

// Body of the worker thread; lets no exception escape.
void gf_syncAndProcess_as_Thread();

// Registers the SIOC variables, waits a second for the answers and applies what both sides sent.
void gf_synchronise();

// The processing loop; returns when g_processing is cleared, after running the exit sequence.
void gf_processInput();

// Starts the worker thread, held by g_engineThreads; tests replace it to count starts.
extern std::function<void()> g_startWorkerThread;

} // namespace brg
