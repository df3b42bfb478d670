#pragma once
// The display's canvas on a GDI device context, for the length of one paint.
#include "display/canvas.h"

struct HDC__;
struct HGDIOBJ__;
struct HRGN__;

namespace brg {

class Win32WindowHost;

class GdiCanvas : public Canvas {
public:
    // `fonts` gives the CDU fonts; the device context's own font is Default.
    GdiCanvas(HDC__* dc, const Win32WindowHost& fonts);
    ~GdiCanvas() override; // puts the device context's own font and clip back
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    void fillRect(const Rect& area, Rgb colour) override;
    void line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void setTextColour(Rgb colour) override;
    void setBackground(Rgb colour, bool opaque) override;
    void selectFont(CanvasFont font) override;
    void setMinimumTextWidth(int width) override;
    void textOut(int x, int y, const std::u16string& text) override;
    void setClip(const std::optional<Rect>& area) override;

private:
    HDC__* m_dc;
    const Win32WindowHost& m_fonts;
    void* m_ownFont;
    bool m_opaque = true;
    int m_minimumTextWidth = 0;
    // The device context's own clip region, kept at the first setClip; null before that.
    HRGN__* m_ownClip = nullptr;
    bool m_hadOwnClip = false;
};

} // namespace brg
