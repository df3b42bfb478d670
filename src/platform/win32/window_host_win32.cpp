#include "platform/win32/window_host_win32.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace brg {
namespace {

std::wstring lf_wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

HFONT lf_cduFont(int pixelHeight, int averageWidth, const std::wstring& face)
{
    return CreateFontW(pixelHeight, averageWidth, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

// The average width that makes a substitute's widest letter fit the cell; 0 when the font is the
// face asked for, or fits already, or cannot be measured.
int lf_substituteWidth(HFONT font, const std::wstring& face, int cellWidth)
{
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return 0;
    const HGDIOBJ previous = SelectObject(dc, font);
    wchar_t chosen[LF_FACESIZE] = {};
    TEXTMETRICW metrics{};
    SIZE widest{};
    const bool measured = GetTextFaceW(dc, LF_FACESIZE, chosen) > 0 && GetTextMetricsW(dc, &metrics)
                          && GetTextExtentPoint32W(dc, L"W", 1, &widest);
    SelectObject(dc, previous);
    DeleteDC(dc);
    if (!measured || lstrcmpiW(chosen, face.c_str()) == 0 || widest.cx <= cellWidth || cellWidth <= 0)
        return 0;
    return std::max(1, static_cast<int>(metrics.tmAveCharWidth * cellWidth / widest.cx));
}

// Where a window of this place and size goes: unchanged when some monitor shows part of it,
// otherwise inside the primary monitor's work area, as near to where it was as fits.
POINT lf_onScreen(const RECT& window)
{
    if (MonitorFromRect(&window, MONITOR_DEFAULTTONULL))
        return {window.left, window.top};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return {window.left, window.top};
    const RECT& work = monitor.rcWork;
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    return {std::clamp(window.left, work.left, std::max(work.left, work.right - width)),
            std::clamp(window.top, work.top, std::max(work.top, work.bottom - height))};
}

} // namespace

Win32WindowHost::Win32WindowHost(HWND__* window) : m_window(window) {}

Win32WindowHost::~Win32WindowHost()
{
    for (HFONT font : m_fonts)
        if (font)
            DeleteObject(font);
    for (HFONT font : m_replacedFonts)
        DeleteObject(font);
}

bool Win32WindowHost::onWindowThread() const
{
    return GetWindowThreadProcessId(m_window, nullptr) == GetCurrentThreadId();
}

void Win32WindowHost::invalidate(std::optional<Rect> area, bool erase)
{
    if (!area) {
        InvalidateRect(m_window, nullptr, erase);
        return;
    }
    const RECT rectangle{area->left, area->top, area->right, area->bottom};
    InvalidateRect(m_window, &rectangle, erase);
}

void Win32WindowHost::updateNow()
{
    if (onWindowThread()) {
        UpdateWindow(m_window);
        return;
    }
    // UpdateWindow from another thread sends WM_PAINT and waits without limit; the main thread
    // may itself be waiting for this thread while the program closes, so the wait is bounded.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(m_window, kUpdateNowMessage, 0, 0, SMTO_NORMAL, 1000, &result);
}

WindowPoint Win32WindowHost::windowPosition() const
{
    RECT rectangle{};
    GetWindowRect(m_window, &rectangle);
    return {rectangle.left, rectangle.top};
}

void Win32WindowHost::moveAndShow(int x, int y, int width, int height)
{
    // Asynchronous from other threads, for the same reason as updateNow.
    const UINT async = onWindowThread() ? 0 : SWP_ASYNCWINDOWPOS;
    const POINT place = lf_onScreen({x, y, x + width, y + height});
    SetWindowPos(m_window, nullptr, place.x, place.y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | async);
}

void Win32WindowHost::keepOnScreen()
{
    RECT window{};
    if (IsIconic(m_window) || !GetWindowRect(m_window, &window))
        return;
    const POINT place = lf_onScreen(window);
    if (place.x != window.left || place.y != window.top)
        SetWindowPos(m_window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowHost::removeCaptionAndBorder()
{
    // Changing the style sends messages to the window's thread and waits for them; from another
    // thread that could wait on a main thread that is joining it, so the change is posted there.
    if (!onWindowThread()) {
        PostMessageW(m_window, kRemoveCaptionMessage, 0, 0);
        return;
    }
    const LONG_PTR style = GetWindowLongPtrW(m_window, GWL_STYLE);
    if (m_styleWithCaption == 0)
        m_styleWithCaption = style;
    SetWindowLongPtrW(m_window, GWL_STYLE, WS_POPUP | (style & WS_VISIBLE));
    SetWindowPos(m_window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Win32WindowHost::restoreCaptionAndBorder()
{
    // Posted from other threads, after the removal that may still wait in the queue.
    if (!onWindowThread()) {
        PostMessageW(m_window, kRestoreCaptionMessage, 0, 0);
        return;
    }
    if (m_styleWithCaption == 0)
        return;
    const LONG_PTR visible = GetWindowLongPtrW(m_window, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongPtrW(m_window, GWL_STYLE, (m_styleWithCaption & ~static_cast<LONG_PTR>(WS_VISIBLE)) | visible);
    m_styleWithCaption = 0;
    SetWindowPos(m_window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool Win32WindowHost::handleMessage(unsigned message)
{
    if (message == kUpdateNowMessage) {
        UpdateWindow(m_window);
        return true;
    }
    if (message == kRemoveCaptionMessage) {
        removeCaptionAndBorder();
        return true;
    }
    if (message == kRestoreCaptionMessage) {
        restoreCaptionAndBorder();
        return true;
    }
    return false;
}

bool Win32WindowHost::createFont(CanvasFont font, const std::string& face, int pixelHeight, int cellWidth)
{
    if (font == CanvasFont::Default)
        return false;
    const std::wstring wideFace = lf_wide(face);
    HFONT created = lf_cduFont(pixelHeight, 0, wideFace);
    if (!created)
        return false;
    // Without the face installed GDI picks the closest font it has, usually wider than a CDU column
    // so that neighbouring characters overlap: that one is narrowed to fit the column.
    if (const int width = lf_substituteWidth(created, wideFace, cellWidth); width > 0) {
        if (HFONT narrowed = lf_cduFont(pixelHeight, width, wideFace)) {
            DeleteObject(created);
            created = narrowed;
        }
    }
    std::lock_guard lock(m_fontMutex);
    HFONT& slot = m_fonts[static_cast<std::size_t>(font)];
    if (slot)
        m_replacedFonts.push_back(slot);
    slot = created;
    return true;
}

HFONT__* Win32WindowHost::font(CanvasFont font) const
{
    std::lock_guard lock(m_fontMutex);
    return m_fonts[static_cast<std::size_t>(font)];
}

} // namespace brg
