// The window host called from a worker while the window's own thread is not pumping messages, as
// when the final stop joins the worker: no call may wait for the window's thread.
#include "platform/win32/window_host_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

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

} // namespace
} // namespace brg
