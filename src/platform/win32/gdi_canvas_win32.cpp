#include "platform/win32/gdi_canvas_win32.h"

#include "platform/win32/window_host_win32.h"

#include <windows.h>

namespace brg {
namespace {

COLORREF lf_colour(Rgb colour)
{
    return RGB(colour.r, colour.g, colour.b);
}

} // namespace

GdiCanvas::GdiCanvas(HDC__* dc, const Win32WindowHost& fonts)
    : m_dc(dc), m_fonts(fonts), m_ownFont(GetCurrentObject(dc, OBJ_FONT))
{
}

GdiCanvas::~GdiCanvas()
{
    SelectObject(m_dc, static_cast<HGDIOBJ>(m_ownFont));
    if (m_ownClip) {
        SelectClipRgn(m_dc, m_hadOwnClip ? m_ownClip : nullptr);
        DeleteObject(m_ownClip);
    }
}

void GdiCanvas::setClip(const std::optional<Rect>& area)
{
    if (!m_ownClip) {
        m_ownClip = CreateRectRgn(0, 0, 0, 0);
        m_hadOwnClip = m_ownClip && GetClipRgn(m_dc, m_ownClip) == 1;
    }
    // Back to the paint's own limit, then narrowed; the update region of the paint stays in force.
    SelectClipRgn(m_dc, m_hadOwnClip ? m_ownClip : nullptr);
    if (area)
        IntersectClipRect(m_dc, area->left, area->top, area->right, area->bottom);
}

void GdiCanvas::fillRect(const Rect& area, Rgb colour)
{
    const RECT rectangle{area.left, area.top, area.right, area.bottom};
    SetDCBrushColor(m_dc, lf_colour(colour));
    FillRect(m_dc, &rectangle, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiCanvas::line(int x1, int y1, int x2, int y2, Rgb colour)
{
    HPEN pen = CreatePen(PS_SOLID, 1, lf_colour(colour));
    HGDIOBJ before = SelectObject(m_dc, pen);
    MoveToEx(m_dc, x1, y1, nullptr);
    LineTo(m_dc, x2, y2);
    SelectObject(m_dc, before);
    DeleteObject(pen);
}

void GdiCanvas::setTextColour(Rgb colour)
{
    SetTextColor(m_dc, lf_colour(colour));
}

void GdiCanvas::setBackground(Rgb colour, bool opaque)
{
    SetBkColor(m_dc, lf_colour(colour));
    SetBkMode(m_dc, opaque ? OPAQUE : TRANSPARENT);
    m_opaque = opaque;
}

void GdiCanvas::setMinimumTextWidth(int width)
{
    m_minimumTextWidth = width;
}

void GdiCanvas::selectFont(CanvasFont font)
{
    if (font == CanvasFont::Default) {
        SelectObject(m_dc, static_cast<HGDIOBJ>(m_ownFont));
        return;
    }
    // A font that could not be created leaves the current one in use.
    if (HFONT chosen = m_fonts.font(font))
        SelectObject(m_dc, chosen);
}

void GdiCanvas::textOut(int x, int y, const std::u16string& text)
{
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    SIZE box{};
    if (m_opaque && m_minimumTextWidth > 0 && GetTextExtentPoint32W(m_dc, wide, length, &box)
        && box.cx < m_minimumTextWidth) {
        // GDI's own box, only wider: the same height as a plain opaque TextOut fills.
        const RECT cell{x, y, x + m_minimumTextWidth, y + box.cy};
        ExtTextOutW(m_dc, x, y, ETO_OPAQUE, &cell, wide, static_cast<UINT>(length), nullptr);
        return;
    }
    TextOutW(m_dc, x, y, wide, length);
}

} // namespace brg
