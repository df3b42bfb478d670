#pragma once
// What the display tests share: a canvas that records every drawing call, a window host that
// records what the display asks of the window, and a window display over both with an open log.
#include "base/log.h"
#include "display/canvas.h"
#include "display/window_display.h"
#include "display/window_host.h"
#include "support/fresh_state.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brg::test {

struct TextOut {
    int x = 0, y = 0;
    std::string text; // ASCII view of what was drawn
    Rgb colour;       // the text colour in effect
    Rgb background;
    bool opaque = false;
    CanvasFont font = CanvasFont::Default;
    friend bool operator==(const TextOut&, const TextOut&) = default;
};

struct Fill {
    Rect area;
    Rgb colour;
    friend bool operator==(const Fill&, const Fill&) = default;
};

class RecordingCanvas : public Canvas {
public:
    void fillRect(const Rect& area, Rgb colour) override { fills.push_back({area, colour}); }
    void line(int, int, int, int, Rgb) override {}
    void setTextColour(Rgb colour) override { m_colour = colour; }
    void setBackground(Rgb colour, bool opaque) override
    {
        m_background = colour;
        m_opaque = opaque;
    }
    void selectFont(CanvasFont font) override
    {
        m_font = font;
        fontSelections.push_back(font);
    }
    void setMinimumTextWidth(int width) override { minimumTextWidth = width; }
    void textOut(int x, int y, const std::u16string& text) override
    {
        texts.push_back({x, y, std::string(text.begin(), text.end()), m_colour, m_background, m_opaque, m_font});
    }

    // The texts drawn at one place, in order.
    std::vector<TextOut> at(int x, int y) const
    {
        std::vector<TextOut> found;
        for (const TextOut& t : texts)
            if (t.x == x && t.y == y)
                found.push_back(t);
        return found;
    }
    std::optional<Rgb> lastFillOf(const Rect& area) const
    {
        std::optional<Rgb> colour;
        for (const Fill& f : fills)
            if (f.area == area)
                colour = f.colour;
        return colour;
    }

    std::vector<Fill> fills;
    std::vector<TextOut> texts;
    std::vector<CanvasFont> fontSelections;
    int minimumTextWidth = 0;

private:
    Rgb m_colour;
    Rgb m_background;
    bool m_opaque = true;
    CanvasFont m_font = CanvasFont::Default;
};

struct Invalidation {
    std::optional<Rect> area;
    bool erase = false;
    friend bool operator==(const Invalidation&, const Invalidation&) = default;
};

struct Move {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const Move&, const Move&) = default;
};

struct FontRequest {
    CanvasFont font;
    std::string face;
    int height = 0;
    int cellWidth = 0;
    friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

// A window whose update paints at once on the recording canvas, as UpdateWindow would.
class FakeWindowHost : public WindowHost {
public:
    void invalidate(std::optional<Rect> area, bool erase) override { invalidations.push_back({area, erase}); }
    void updateNow() override
    {
        ++updates;
        if (display)
            display->paint(canvas);
    }
    WindowPoint windowPosition() const override { return position; }
    void moveAndShow(int x, int y, int width, int height) override
    {
        moves.push_back({x, y, width, height});
        position = {x, y};
    }
    void removeCaptionAndBorder() override { ++captionRemovals; }
    bool createFont(CanvasFont font, const std::string& face, int pixelHeight, int cellWidth) override
    {
        fonts.push_back({font, face, pixelHeight, cellWidth});
        return fontsAvailable;
    }

    WindowDisplay* display = nullptr;
    RecordingCanvas canvas;
    std::vector<Invalidation> invalidations;
    int updates = 0;
    WindowPoint position{400, 20};
    std::vector<Move> moves;
    int captionRemovals = 0;
    std::vector<FontRequest> fonts;
    bool fontsAvailable = true;
};

class DisplayTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        g_log.open();
        freshDisplay();
    }

    // A new window display over a new recording window, in the same folder and log.
    void freshDisplay()
    {
        display = std::make_shared<WindowDisplay>();
        host = std::make_shared<FakeWindowHost>();
        host->display = display.get();
        display->attachWindow(host);
        g_display = display;
    }

    // A fresh paint of the whole window.
    RecordingCanvas paint()
    {
        RecordingCanvas canvas;
        display->paint(canvas);
        return canvas;
    }

    static std::string log() { return readFile("Log.txt"); }

    std::shared_ptr<WindowDisplay> display;
    std::shared_ptr<FakeWindowHost> host;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kLimeGreen{50, 205, 50};
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kOrange{255, 165, 0};
inline constexpr Rgb kLightBlue{153, 204, 255};

} // namespace brg::test
