#include "platform/win32/main_loop_win32.h"

#include <windows.h>

#include <algorithm>
#include <fmt/format.h>
#include <stdexcept>
#include <utility>

namespace brg {
namespace {

constexpr wchar_t kClassName[] = L"TalvesyncMainLoop";
// Private to the window class: asks the loop's own thread to quit.
constexpr UINT kQuitMessage = WM_USER;
// Private too: asks the loop's own thread for a timer (wParam the message, lParam the delay in
// ms), because a window's timers can only be set on the thread that owns it. WM_USER + 1, + 3
// and + 4 are the main window's own.
constexpr UINT kTimerRequestMessage = WM_USER + 2;

bool lf_isApplicationMessage(UINT message)
{
    return message == kMsgCloseRequest || (message >= WM_APP && message <= 0xBFFF);
}

} // namespace

void Win32SocketRegistry::add(std::uint32_t message, std::uintptr_t socket)
{
    std::lock_guard lock(m_mutex);
    m_socketMessages.insert(message);
    m_sockets.insert(socket);
}

void Win32SocketRegistry::remove(std::uintptr_t socket)
{
    std::lock_guard lock(m_mutex);
    m_sockets.erase(socket);
}

bool Win32SocketRegistry::deliverable(std::uint32_t message, std::uintptr_t wParam) const
{
    // Posts carry wParam 0; a closed socket's notifications may still wait in the queue.
    std::lock_guard lock(m_mutex);
    return wParam == 0 || !m_socketMessages.contains(message) || m_sockets.contains(wParam);
}

Win32MainLoop::Win32MainLoop(Handler handler) : m_handler(std::move(handler))
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(&Win32MainLoop::windowProcedure);
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error(fmt::format("Win32MainLoop: RegisterClassExW failed: {}", GetLastError()));
    // Message-only: it needs no display, and it only ever carries messages.
    m_window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    if (!m_window)
        throw std::runtime_error(fmt::format("Win32MainLoop: CreateWindowExW failed: {}", GetLastError()));
}

Win32MainLoop::Win32MainLoop(Handler handler, HWND__* window)
    : m_handler(std::move(handler)), m_window(window), m_ownsWindow(false)
{
}

Win32MainLoop::~Win32MainLoop()
{
    if (m_ownsWindow)
        DestroyWindow(m_window);
}

void Win32MainLoop::post(std::uint32_t message)
{
    PostMessageW(m_window, message, 0, 0);
}

void Win32MainLoop::postAfter(std::chrono::milliseconds delay, std::uint32_t message)
{
    PostMessageW(m_window, kTimerRequestMessage, message, static_cast<LPARAM>(delay.count()));
}

void Win32MainLoop::quit()
{
    PostMessageW(m_window, kQuitMessage, 0, 0);
}

void Win32MainLoop::run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::intptr_t __stdcall Win32MainLoop::windowProcedure(HWND__* window, unsigned message, std::uintptr_t wParam,
                                                       std::intptr_t lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* loop = reinterpret_cast<Win32MainLoop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (loop && loop->handle(message, wParam, lParam))
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Win32MainLoop::handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message == kQuitMessage) {
        PostQuitMessage(0);
        return true;
    }
    // The timer's id is the message it posts: setting it again replaces one still waiting.
    if (message == kTimerRequestMessage) {
        const auto delay = static_cast<UINT>(std::max<std::intptr_t>(lParam, USER_TIMER_MINIMUM));
        SetTimer(m_window, wParam, delay, nullptr);
        return true;
    }
    if (message == WM_TIMER && lf_isApplicationMessage(static_cast<UINT>(wParam))) {
        KillTimer(m_window, wParam);
        message = static_cast<unsigned>(wParam);
        wParam = 0;
        lParam = 0;
    }
    if (!lf_isApplicationMessage(message))
        return false;
    if (m_sockets->deliverable(message, wParam))
        m_handler(message, wParam, lParam);
    return true;
}

} // namespace brg
