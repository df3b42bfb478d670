#pragma once
// The Windows program's main loop: a window whose procedure hands socket notifications, posted
// application messages and the close request to one handler, on the thread that made the window.
// The program uses its main window; tests of the Winsock layer a message-only window of its own.
#include "net/main_loop.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

struct HWND__; // the window handle type of <windows.h>, kept out of this header

namespace brg {

// The sockets that notify a loop; a notification for one that is gone is dropped.
class Win32SocketRegistry {
public:
    void add(std::uint32_t message, std::uintptr_t socket);
    void remove(std::uintptr_t socket);
    // False for a socket message whose socket is no longer registered.
    bool deliverable(std::uint32_t message, std::uintptr_t wParam) const;

private:
    mutable std::mutex m_mutex;
    std::set<std::uint32_t> m_socketMessages;
    std::set<std::uintptr_t> m_sockets;
};

class Win32MainLoop : public MainLoop {
public:
    using Handler = std::function<void(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)>;

    // Makes the window on the calling thread, which is the one to call run().
    // Throws std::runtime_error when the window cannot be made.
    explicit Win32MainLoop(Handler handler);
    // Uses an existing window (the program's main window), whose procedure passes every message
    // to handle() first. The window stays its creator's.
    Win32MainLoop(Handler handler, HWND__* window);
    ~Win32MainLoop() override;
    Win32MainLoop(const Win32MainLoop&) = delete;
    Win32MainLoop& operator=(const Win32MainLoop&) = delete;

    // All three from any thread.
    void post(std::uint32_t message) override;
    void postAfter(std::chrono::milliseconds delay, std::uint32_t message) override;
    void quit() override;
    // Dispatches the thread's messages (for every window of the thread) until quit().
    void run();
    // The loop's part of a window procedure: true when the message was handled (result 0).
    bool handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    HWND__* window() const { return m_window; }
    const std::shared_ptr<Win32SocketRegistry>& sockets() const { return m_sockets; }

private:
    static std::intptr_t __stdcall windowProcedure(HWND__* window, unsigned message, std::uintptr_t wParam,
                                                   std::intptr_t lParam);

    Handler m_handler;
    std::shared_ptr<Win32SocketRegistry> m_sockets = std::make_shared<Win32SocketRegistry>();
    HWND__* m_window = nullptr;
    bool m_ownsWindow = true;
};

} // namespace brg
