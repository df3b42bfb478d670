#pragma once
// The display's window in the Windows program: an HWND, and the fonts its canvas selects.
#include "display/window_host.h"

#include <array>
#include <mutex>
#include <vector>

struct HWND__;
struct HFONT__;

namespace brg {

class Win32WindowHost : public WindowHost {
public:
    explicit Win32WindowHost(HWND__* window);
    ~Win32WindowHost() override;
    Win32WindowHost(const Win32WindowHost&) = delete;
    Win32WindowHost& operator=(const Win32WindowHost&) = delete;

    void invalidate(std::optional<Rect> area, bool erase) override;
    void updateNow() override;
    WindowPoint windowPosition() const override;
    void moveAndShow(int x, int y, int width, int height) override;
    void removeCaptionAndBorder() override;
    void restoreCaptionAndBorder() override;
    bool createFont(CanvasFont font, const std::string& face, int pixelHeight, int cellWidth) override;

    // A window that no connected monitor shows (its place was saved on a monitor since removed)
    // is moved onto the primary monitor: at start and when the displays change. A minimised
    // window is left alone.
    void keepOnScreen();

    // Null for Default and for a font not created.
    HFONT__* font(CanvasFont font) const;

    // The window's procedure passes every message here first: true when it was one of the host's
    // own, sent from other threads so that the window's thread does the work.
    bool handleMessage(unsigned message);

private:
    static constexpr unsigned kUpdateNowMessage = 0x0401;     // WM_USER + 1
    static constexpr unsigned kRemoveCaptionMessage = 0x0403; // WM_USER + 3
    static constexpr unsigned kRestoreCaptionMessage = 0x0404; // WM_USER + 4

    bool onWindowThread() const;

    HWND__* m_window;
    // The style before the caption and border were taken; 0 while they are there.
    long long m_styleWithCaption = 0;
    mutable std::mutex m_fontMutex;
    std::array<HFONT__*, 3> m_fonts{};
    // A replaced font may still be selected in a paint under way: freed with the host.
    std::vector<HFONT__*> m_replacedFonts;
};

} // namespace brg
