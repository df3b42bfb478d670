#pragma once
// The process frame: the start-up thread, the user's close request, the final stop, and the
// dispatch of the application messages both front ends share.
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>

namespace brg {

// Start-up runs this when VERSION_CHECK is on; the Windows program installs its version check,
// which gives up when `stop` is requested.
extern std::function<void(std::stop_token stop)> g_versionCheck;

// Body of the start-up thread (message 0x8001): configuration, SIOC discovery, the script scan,
// the variables, then the first connection attempts. Lets no exception escape; false when it
// stopped at an error (logged, and a user error shown on the error line) or because `stop` was
// requested (the user closed; the drive search stops between folders).
bool gf_startUp_as_Thread(std::stop_token stop = {});

// Creates the "Talvesync" folder in the working folder if it is missing; false (and a log line)
// when that fails, which ends the program before its window or console appears.
bool gf_createTalvesyncFolder(std::string* problem = nullptr);

// The user asks to close the window (or presses Ctrl-C in the console). The start-up thread is
// asked to stop; after a failed run whose window stayed open, this ends the program.
void gf_closeRequest();

struct WindowPosition {
    int x = 0;
    int y = 0;
};

// The final stop (message 0x8004): waits for the other threads' last steps (at most
// kThreadEndBound for one stuck in a blocking call), keeps the window position where there is a
// window, logs the time, closes the log and ends the loop.
void gf_finalStop(const std::function<std::optional<WindowPosition>()>& windowPosition);

// Handles one application or socket message on the main thread.
void gf_handleAppMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                         const std::function<std::optional<WindowPosition>()>& windowPosition);

} // namespace brg
