#pragma once
// The seam to the platform's main loop (a window's message loop, or a poll() loop).
#include <chrono>
#include <cstdint>

namespace brg {

// The user's request to close the window (WM_CLOSE); the console front end posts it on Ctrl-C.
inline constexpr std::uint32_t kMsgCloseRequest = 0x0010;

// Application messages (WM_APP + n).
inline constexpr std::uint32_t kMsgStartUp = 0x8001;
inline constexpr std::uint32_t kMsgSiocSocket = 0x8002;
inline constexpr std::uint32_t kMsgPsxSocket = 0x8003;
inline constexpr std::uint32_t kMsgFinish = 0x8004;

class MainLoop {
public:
    virtual ~MainLoop() = default;
    // Posts an application message to the main thread; callable from any thread.
    virtual void post(std::uint32_t message) = 0;
    // Posts `message` once `delay` has passed, on the loop's own timer; callable from any thread.
    // A later call for the same message replaces one still waiting.
    virtual void postAfter(std::chrono::milliseconds delay, std::uint32_t message) = 0;
    // Ends the loop (PostQuitMessage); called on the loop's own thread.
    virtual void quit() = 0;
};

} // namespace brg
