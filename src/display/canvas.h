#pragma once
// What painting asks of a device context. The Windows program draws with GDI; tests record.
#include "display/rgb.h"

#include <optional>
#include <string>

namespace brg {

// Left, top, right, bottom in client pixels; right and bottom are outside the area.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class CanvasFont { Default, CduSmall, CduLarge };

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void fillRect(const Rect& area, Rgb colour) = 0;
    // A 1-pixel solid pen.
    virtual void line(int x1, int y1, int x2, int y2, Rgb colour) = 0;
    virtual void setTextColour(Rgb colour) = 0;
    // The colour and the mode (opaque or transparent) of the text background.
    virtual void setBackground(Rgb colour, bool opaque) = 0;
    // Default is the device context's own font.
    virtual void selectFont(CanvasFont font) = 0;
    // An opaque text's background at least this wide (0: just the text's own box), so that a
    // character drawn into a fixed cell erases all of it even when its font's glyph is narrower.
    virtual void setMinimumTextWidth(int width) = 0;
    // The core converts its UTF-8 texts before drawing.
    virtual void textOut(int x, int y, const std::u16string& text) = 0;
    // Drawing changes no pixel outside `area` until the next call; nullopt lifts the limit.
    virtual void setClip(const std::optional<Rect>& area) = 0;
};

} // namespace brg
