#pragma once
// The end of a run: the exit sequence, entered once for whichever reason comes first, and the
// report of an error that stops the processing loop.
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace brg {

// The order is fixed: the log names a reason by its index.
enum ExitEvent : std::uint32_t {
    E_NEW_SITU,
    E_SIM_CLOSED,
    E_USER_CLOSE,
    E_MAIN_LOOP_EXIT,
    E_IOCP_CLOSE,
    E_PSX_CLOSE,
    E_PSX_EXIT,
    E_PSXBOOST_CLOSE,
    E_PSXBOOST_EXIT,
    E_IOCP_FIN,
};

std::string_view gf_exitEventName(ExitEvent reason);

// Stops the loop, says goodbye to each server still there (unless it left first) and posts the
// final stop to the main window. Runs at most once per process; later calls return at once.
// When a failure ended the run and g_keepFailedRunOpen is set, the final stop is held back so
// that the window keeps the error in view until the user closes it.
void gf_exit(ExitEvent reason);

// The user closed: posts the final stop that a failed run held back, if it did.
void gf_releaseHeldFinish();

// Logs "System Error: ..." and stops the processing loop after its current cycle. When the loop
// was running, the error ends the run: it is shown on the error line and the run counts as failed.
void gf_reportSystemError(const std::exception& e);

// A failure ends the run: `text` stays on the error line and the run counts as failed.
void gf_failRun(const std::string& text);

} // namespace brg
