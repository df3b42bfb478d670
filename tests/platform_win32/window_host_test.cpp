// The window host called from a worker while the window's own thread is not pumping messages, as
// when the final stop joins the worker: no call may wait for the window's thread.
#include "platform/win32/window_host_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <thread>

namespace brg {
namespace {

Win32WindowHost* g_testHost = nullptr;

LRESULT CALLBACK lf_testWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_testHost && g_testHost->handleMessage(message))
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Win32WindowHost, AWorkerEnteringTheCduScreenNeverWaitsForTheWindowThread)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = lf_testWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TalvesyncWindowHostTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                                  200, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    Win32WindowHost host(window);
    g_testHost = &host;

    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        host.moveAndShow(40, 30, 240, 160);
        host.removeCaptionAndBorder();
        host.updateNow(); // bounded wait, well under the limit below
        SetEvent(done);
    });
    EXPECT_EQ(WaitForSingleObject(done, 4000), static_cast<DWORD>(WAIT_OBJECT_0));

    // Once the window's thread pumps again, the posted work is done there (and a worker that did
    // wait is released, so that the join below cannot hang).
    const auto settled = [&] {
        return WaitForSingleObject(done, 0) == WAIT_OBJECT_0 && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION);
    };
    MSG message;
    for (int i = 0; i < 300 && !settled(); ++i) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(10);
    }
    worker.join();
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_POPUP, 0);
    EXPECT_NE(style & WS_VISIBLE, 0);
    RECT rectangle{};
    GetWindowRect(window, &rectangle);
    EXPECT_EQ(rectangle.left, 40);
    EXPECT_EQ(rectangle.top, 30);

    g_testHost = nullptr;
    CloseHandle(done);
    DestroyWindow(window);
    UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
}

// A place saved on a monitor that is gone is no place to open: the window comes onto the primary
// monitor. Leaving the borderless CDU screen gives the title bar back.
TEST(Win32WindowHost, KeepsTheWindowOnAConnectedMonitorAndGivesTheCaptionBack)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = lf_testWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TalvesyncWindowHostPlaceTest";
    RegisterClassW(&windowClass);
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"host", kStyle, 9000, 7000, 300, 200, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    const LONG_PTR created = GetWindowLongPtrW(window, GWL_STYLE);
    Win32WindowHost host(window);
    MONITORINFO primary{};
    primary.cbSize = sizeof primary;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary));
    const auto onPrimary = [&] {
        RECT r{};
        GetWindowRect(window, &r);
        const RECT& work = primary.rcWork;
        return r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom;
    };
    ASSERT_FALSE(onPrimary());
    host.keepOnScreen();
    EXPECT_TRUE(onPrimary());

    // The CDU screen's saved place too, without caption and border.
    host.removeCaptionAndBorder();
    host.moveAndShow(-5000, 40, 200, 150);
    EXPECT_TRUE(onPrimary());
    RECT placed{};
    GetWindowRect(window, &placed);
    EXPECT_EQ(placed.top, std::max(40L, primary.rcWork.top));
    // A place some monitor shows is kept as it is.
    host.moveAndShow(primary.rcWork.left + 10, primary.rcWork.top + 20, 200, 150);
    GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, primary.rcWork.left + 10);
    EXPECT_EQ(placed.top, primary.rcWork.top + 20);

    host.restoreCaptionAndBorder();
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE), created);

    DestroyWindow(window);
    UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
}

} // namespace
} // namespace brg
