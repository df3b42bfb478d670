// The GDI canvas on a memory bitmap: what an opaque text really erases.
#include "platform/win32/gdi_canvas_win32.h"
#include "platform/win32/window_host_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace brg {
namespace {

TEST(GdiCanvas, AnOpaqueBlankErasesAtLeastTheMinimumWidth)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 100, 60); // the memory DC's own format: monochrome
    ASSERT_NE(bitmap, nullptr);
    const HGDIOBJ before = SelectObject(dc, bitmap);
    {
        Win32WindowHost fonts(nullptr);
        GdiCanvas canvas(dc, fonts);
        canvas.fillRect({0, 0, 100, 60}, {255, 255, 255});
        canvas.setBackground({0, 0, 0}, true);
        canvas.textOut(0, 0, u" "); // as wide as the font's blank, far less than 60
        canvas.setMinimumTextWidth(60);
        canvas.textOut(0, 30, u" ");
    }
    EXPECT_EQ(GetPixel(dc, 50, 5), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 2, 35), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 50, 35), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 70, 35), RGB(255, 255, 255));
    SelectObject(dc, before);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

} // namespace
} // namespace brg
