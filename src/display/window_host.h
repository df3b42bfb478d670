#pragma once
// What the display asks of its window. In the Windows program this is an HWND.
#include "display/canvas.h"

#include <optional>
#include <string>

namespace brg {

struct WindowPoint {
    int x = 0, y = 0;
};

class WindowHost {
public:
    virtual ~WindowHost() = default;
    // nullopt: the whole client area. Callable from any thread.
    virtual void invalidate(std::optional<Rect> area, bool erase) = 0;
    // Paints what is invalid before returning.
    virtual void updateNow() = 0;
    // Left and top of the window rectangle, as the system reports them (a minimised window
    // reports far outside the screen).
    virtual WindowPoint windowPosition() const = 0;
    virtual void moveAndShow(int x, int y, int width, int height) = 0;
    virtual void removeCaptionAndBorder() = 0;
    // Gives back the title bar and frame that removeCaptionAndBorder() took.
    virtual void restoreCaptionAndBorder() = 0;
    // Creates the font that selectFont(font) selects later: bold, antialiased, ANSI character set.
    // pixelHeight goes to the font's height as it is; the display passes it negative
    // (−CDU_FONTSIZE), which asks for that character height in pixels. cellWidth is the width of
    // one CDU column: a substitute for a face that is not installed is narrowed to fit it. False
    // when no font could be created; the canvas then keeps drawing in its current font.
    virtual bool createFont(CanvasFont font, const std::string& face, int pixelHeight, int cellWidth) = 0;
};

} // namespace brg
