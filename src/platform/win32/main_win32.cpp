// Talvesync.exe: the bridge with its window. The window is the main loop: socket notifications,
// the application messages and the user's close request all arrive at its procedure. It runs in
// the folder its command line names (-C FOLDER, or FOLDER alone), one copy per folder.
#include "app/engine_threads.h"
#include "app/process_state.h"
#include "app/startup.h"
#include "base/display.h"
#include "base/log.h"
#include "base/version.h"
#include "config/config_items.h"
#include "config/config_reader.h"
#include "display/version_check.h"
#include "display/window_display.h"
#include "net/main_loop.h"
#include "platform/system_drives.h"
#include "platform/win32/gdi_canvas_win32.h"
#include "platform/win32/main_loop_win32.h"
#include "platform/win32/program_folder_win32.h"
#include "platform/win32/socket_win32.h"
#include "platform/win32/variables_window_win32.h"
#include "platform/win32/version_fetch_win32.h"
#include "platform/win32/window_host_win32.h"
#include "sioc/drives.h"

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr UINT kTitleResource = 101;
constexpr WORD kIconResource = 100;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kWindowWidth = 720;
constexpr int kWindowHeight = 236;

HWND g_window = nullptr;
std::unique_ptr<brg::Win32MainLoop> g_mainLoop;
std::shared_ptr<brg::WindowDisplay> g_windowDisplay;
std::shared_ptr<brg::Win32WindowHost> g_windowHost;
std::unique_ptr<brg::VariablesWindow> g_variablesWindow;

// The Variables window's menu item: in the system menu, and on a right click (the CDU screen has
// no caption and so no system menu).
void lf_addVariablesMenuItem(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, brg::VariablesWindow::kOpenCommand, L"Variables...");
}

void lf_contextMenu(HWND window, LPARAM lParam)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, brg::VariablesWindow::kOpenCommand, L"Variables...");
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (at.x == -1 && at.y == -1) { // from the keyboard: at the window's corner
        at = {0, 0};
        ClientToScreen(window, &at);
    }
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window, nullptr));
    DestroyMenu(menu);
    if (chosen == brg::VariablesWindow::kOpenCommand && g_variablesWindow)
        g_variablesWindow->open();
}
// The system erased the window's background since the last paint: the CDU screen has to be drawn
// whole (a restore from the task bar, say), not only its changed rows.
bool g_backgroundErased = false;

std::optional<brg::WindowPosition> lf_windowPosition()
{
    RECT rectangle{};
    if (!g_window || !GetWindowRect(g_window, &rectangle))
        return std::nullopt;
    return brg::WindowPosition{rectangle.left, rectangle.top};
}

void lf_handleLoopMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    brg::gf_handleAppMessage(message, wParam, lParam, lf_windowPosition);
}

LRESULT CALLBACK lf_wndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // WM_CLOSE is the loop's close request: the window stays until the final stop.
    if (g_mainLoop && g_mainLoop->handle(message, wParam, lParam))
        return 0;
    if (g_windowHost && g_windowHost->handleMessage(message))
        return 0;
    switch (message) {
    case WM_ERASEBKGND:
        g_backgroundErased = true;
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint); // erases first where asked
        if (g_windowHost) {
            brg::GdiCanvas canvas(dc, *g_windowHost);
            g_windowDisplay->paint(canvas, g_backgroundErased);
        }
        g_backgroundErased = false;
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == brg::VariablesWindow::kOpenCommand && g_variablesWindow) {
            g_variablesWindow->open();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_CONTEXTMENU:
        lf_contextMenu(window, lParam);
        return 0;
    case WM_DISPLAYCHANGE:
        // A monitor went away: a window left on it could not be reached any more.
        if (g_windowHost)
            g_windowHost->keepOnScreen();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The display prepares its resources on its own; the window waits a little for it.
bool lf_waitForDisplay(const std::function<bool()>& ready)
{
    for (int counter = 1; !ready(); ) {
        if (++counter >= 20)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

int initInstance(HINSTANCE instance)
{
    using brg::g_log;
    wchar_t title[100] = {};
    if (LoadStringW(instance, kTitleResource, title, 100) == 0) {
        g_log.write("Failed to load application title");
        return 0;
    }

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = lf_wndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = title;
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    if (!RegisterClassExW(&windowClass)) {
        g_log.write("Failed to register window class");
        return 0;
    }

    if (!lf_waitForDisplay([] { return g_windowDisplay && g_windowDisplay->initialised(); })) {
        g_log.write("initInstance failed");
        return 0;
    }

    brg::gf_readMainWindowPosition();
    brg::gf_readVariablesWindow();
    g_window = CreateWindowExW(0, title, title, kWindowStyle, brg::cfg::MAIN_WINDOW_X.value(),
                               brg::cfg::MAIN_WINDOW_Y.value(), kWindowWidth, kWindowHeight, nullptr,
                               nullptr, instance, nullptr);
    if (!g_window) {
        g_log.write("initInstance failed");
        return 0;
    }
    g_windowHost = std::make_shared<brg::Win32WindowHost>(g_window);
    g_windowHost->keepOnScreen();
    g_windowDisplay->attachWindow(g_windowHost);
    g_mainLoop = std::make_unique<brg::Win32MainLoop>(lf_handleLoopMessage, g_window);
    brg::g_mainWindow = g_mainLoop.get();
    lf_addVariablesMenuItem(g_window);
    g_variablesWindow = std::make_unique<brg::VariablesWindow>(instance);
    ShowWindow(g_window, SW_SHOW);
    if (!UpdateWindow(g_window)) {
        g_log.write("initInstance failed");
        return 0;
    }
    // Open at the last exit: open again.
    if (brg::cfg::VARIABLES_WINDOW.value())
        g_variablesWindow->open();

    if (!brg::gf_createTalvesyncFolder())
        return 0;

    PostMessageW(g_window, brg::kMsgStartUp, 0, 0);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    g_variablesWindow->saveState();
    return static_cast<int>(message.wParam);
}

void lf_errorBox(const std::wstring& text)
{
    MessageBoxW(nullptr, text.c_str(), L"Talvesync", MB_OK | MB_ICONERROR);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    using namespace brg;
    const ProgramFolderChoice choice = gf_parseProgramFolder(gf_commandLineArguments());
    if (choice.problem) {
        lf_errorBox(*choice.problem + L"\n\nUsage: " + kProgramUsage);
        return 2;
    }
    if (!choice.folder.empty() && !SetCurrentDirectoryW(choice.folder.c_str())) {
        lf_errorBox(L"Talvesync cannot run in " + choice.folder + L": the folder cannot be opened.");
        return 1;
    }
    // Before the log: a second copy must not rotate the first one's Log.txt.
    const FolderLock folderLock;
    if (!folderLock.acquired()) {
        lf_errorBox(L"Talvesync already runs in " + folderLock.folder()
                    + L".\n\nA second copy needs a folder of its own, with its own Talvesync.cfg.");
        return 1;
    }
    // Without a log there is no record of anything: say why in a box and end before the window.
    try {
        g_log.open();
    } catch (const std::exception& e) {
        const std::string text = e.what();
        lf_errorBox(std::wstring(text.begin(), text.end()));
        return 1;
    }
    // The configuration items are defined with their defaults by their own static construction.
    g_windowDisplay = std::make_shared<WindowDisplay>();
    g_display = g_windowDisplay;
    // Windows 11 reports major version 10 too.
    g_versionCheck = [](std::stop_token stop) {
        const unsigned long major = gf_osMajorVersion();
        if (major == 10 || major == 11)
            display::checkVersion(gf_winInetFetch, kVersionUrl, stop);
    };
    // The window keeps the error of a failed run in view until the user closes it.
    g_keepFailedRunOpen = true;
    g_socketProvider = std::make_shared<Win32SocketProvider>();
    g_driveProvider = gf_systemDrives();
    const int result = initInstance(instance);
    // The final stop has joined them; this covers a message loop that ended without one.
    const bool threadsEnded = g_engineThreads.stopAndJoin(kThreadEndBound);
    g_mainWindow = nullptr;
    // A thread stuck in a blocking call may still use what the static destructors would end.
    if (!threadsEnded)
        std::_Exit(result);
    return result;
}
