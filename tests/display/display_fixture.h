#pragma once
// What the display tests share: a canvas that records every drawing call, a window host that
// notes what the display asks of the window, and a window display over both with an open log.
#include "base/log.h"
#include "display/canvas.h"
#include "display/window_display.h"
#include "display/window_host.h"
#include "support/fresh_state.h"

#include <fmt/format.h>
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

class RecordingCanvas : public Canvas {
public:
    void fillRect(const Rect& area, Rgb colour) override { fills.emplace_back(area, colour); }
    void line(int, int, int, int, Rgb) override {}
    void setTextColour(Rgb colour) override { m_colour = colour; }
    void setBackground(Rgb colour, bool opaque) override { m_background = colour, m_opaque = opaque; }
    void selectFont(CanvasFont font) override { fontSelections.push_back(m_font = font); }
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
        for (const auto& [filled, with] : fills)
            if (filled == area)
                colour = with;
        return colour;
    }

    std::vector<std::pair<Rect, Rgb>> fills;
    std::vector<TextOut> texts;
    std::vector<CanvasFont> fontSelections;
    int minimumTextWidth = 0;

private:
    Rgb m_colour, m_background;
    bool m_opaque = true;
    CanvasFont m_font = CanvasFont::Default;
};

// A window whose update paints at once on the recording canvas, as UpdateWindow would. What the
// display asks of it is noted as text: "move 1500 60 720 236", "invalidate all", ...
class FakeWindowHost : public WindowHost {
public:
    void invalidate(std::optional<Rect> a, bool erase) override
    {
        calls.push_back(a ? fmt::format("invalidate {} {} {} {}{}", a->left, a->top, a->right, a->bottom,
                                        erase ? " erase" : "")
                          : fmt::format("invalidate all{}", erase ? " erase" : ""));
    }
    void updateNow() override
    {
        ++updates;
        if (display)
            display->paint(canvas);
    }
    WindowPoint windowPosition() const override { return position; }
    void moveAndShow(int x, int y, int width, int height) override
    {
        calls.push_back(fmt::format("move {} {} {} {}", x, y, width, height));
        position = {x, y};
    }
    void removeCaptionAndBorder() override { calls.push_back("no caption"); }
    bool createFont(CanvasFont font, const std::string& face, int pixelHeight, int cellWidth) override
    {
        calls.push_back(fmt::format("font {} {} {} {}", static_cast<int>(font), face, pixelHeight, cellWidth));
        return fontsAvailable;
    }
    // The calls that start with `kind`, in order.
    std::vector<std::string> of(const std::string& kind) const
    {
        std::vector<std::string> found;
        for (const auto& call : calls)
            if (call.starts_with(kind))
                found.push_back(call);
        return found;
    }

    WindowDisplay* display = nullptr;
    RecordingCanvas canvas;
    std::vector<std::string> calls;
    int updates = 0;
    WindowPoint position{400, 20};
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

} // namespace brg::test
