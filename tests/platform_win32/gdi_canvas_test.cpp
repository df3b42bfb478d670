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

// A CDU row's glyphs are clipped to its band: a cell taller than the band leaves the next row alone.
TEST(GdiCanvas, NothingIsDrawnOutsideTheClip)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 100, 60);
    const HGDIOBJ before = SelectObject(dc, bitmap);
    {
        Win32WindowHost fonts(nullptr);
        GdiCanvas canvas(dc, fonts);
        canvas.fillRect({0, 0, 100, 60}, {255, 255, 255});
        canvas.setBackground({0, 0, 0}, true);
        canvas.setMinimumTextWidth(60);
        canvas.setClip(Rect{0, 20, 100, 25});
        canvas.textOut(0, 14, u" "); // the cell reaches from 14 to below 25
        canvas.setClip(std::nullopt);
        canvas.fillRect({90, 0, 100, 60}, {0, 0, 0});
        canvas.setClip(Rect{0, 50, 100, 60}); // left on: the canvas takes it off when it ends
    }
    EXPECT_EQ(GetPixel(dc, 5, 16), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 5, 22), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 5, 27), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 95, 5), RGB(0, 0, 0)); // no clip any more
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, clip), 0);
    DeleteObject(clip);
    SelectObject(dc, before);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

} // namespace
} // namespace brg
