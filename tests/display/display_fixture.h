#pragma once
// What the display tests share: a window display over a recording window, with an open log.
#include "base/log.h"
#include "display/canvas.h"
#include "display/window_display.h"
#include "display/window_host.h"
#include "support/data_file.h"
#include "support/fresh_state.h"

#include <fmt/format.h>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brg::test {

inline std::string colourName(Rgb c)
{
    static const std::map<std::string, Rgb> names{
        {"black", {0, 0, 0}},     {"white", {255, 255, 255}}, {"red", {255, 0, 0}},    {"lime", {50, 205, 50}},
        {"yellow", {255, 255, 0}}, {"orange", {255, 165, 0}}, {"grey", {128, 128, 128}}, {"green", {0, 255, 0}},
        {"lightblue", {153, 204, 255}}};
    for (const auto& [name, rgb] : names)
        if (rgb == c)
            return name;
    return fmt::format("#{:02x}{:02x}{:02x}", c.r, c.g, c.b);
}

// A window, and the canvas its update paints on at once as UpdateWindow would. What is asked of
// either is noted as a line of text: "move 1500 60 720 236", "invalidate all", "fill 0 84 720 168
// lightblue", "text X Y COLOUR/BACKGROUND opaque|clear FONT: TEXT" (TEXT as ASCII), ...
class RecordingWindow : public WindowHost, public Canvas {
public:
    void invalidate(std::optional<Rect> a, bool erase) override
    {
        add("invalidate {}{}", a ? fmt::format("{} {} {} {}", a->left, a->top, a->right, a->bottom) : "all",
            erase ? " erase" : "");
    }
    void updateNow() override
    {
        ++updates;
        if (display)
            display->paint(*this);
    }
    WindowPoint windowPosition() const override { return position; }
    void moveAndShow(int x, int y, int width, int height) override
    {
        add("move {} {} {} {}", x, y, width, height);
        position = {x, y};
    }
    void removeCaptionAndBorder() override { calls.push_back("no caption"); }
    void restoreCaptionAndBorder() override { calls.push_back("caption again"); }
    bool createFont(CanvasFont font, const std::string& face, int pixelHeight, int cellWidth) override
    {
        add("font {} {} {} {}", static_cast<int>(font), face, pixelHeight, cellWidth);
        return fontsAvailable;
    }

    void fillRect(const Rect& a, Rgb c) override { add("fill {} {} {} {} {}", a.left, a.top, a.right, a.bottom, colourName(c)); }
    void line(int x1, int y1, int x2, int y2, Rgb c) override { add("line {} {} {} {} {}", x1, y1, x2, y2, colourName(c)); }
    void setTextColour(Rgb colour) override { m_colour = colour; }
    void setBackground(Rgb colour, bool opaque) override { m_background = colour, m_opaque = opaque; }
    void selectFont(CanvasFont font) override { add("select {}", m_font = kFonts[static_cast<int>(font)]); }
    void setMinimumTextWidth(int width) override { add("minimum width {}", width); }
    void setClip(const std::optional<Rect>& a) override
    {
        add("clip {}", a ? fmt::format("{} {} {} {}", a->left, a->top, a->right, a->bottom) : "none");
    }
    void textOut(int x, int y, const std::u16string& text) override
    {
        add("text {} {} {}/{} {} {}: {}", x, y, colourName(m_colour), colourName(m_background),
            m_opaque ? "opaque" : "clear", m_font, std::string(text.begin(), text.end()));
    }

    // The calls that start with `prefix`, in order.
    std::vector<std::string> of(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const auto& call : calls)
            if (call.starts_with(prefix))
                found.push_back(call);
        return found;
    }
    // The first text drawn at a place, without its place: "lime/black clear default: Version 3.46.0".
    std::string textAt(int x, int y) const
    {
        const std::string place = fmt::format("text {} {} ", x, y);
        const auto found = of(place);
        return found.empty() ? "-" : found[0].substr(place.size());
    }

    WindowDisplay* display = nullptr;
    std::vector<std::string> calls;
    int updates = 0;
    WindowPoint position{400, 20};
    bool fontsAvailable = true;

private:
    template <typename... Args>
    void add(fmt::format_string<Args...> format, Args&&... args)
    {
        calls.push_back(fmt::format(format, std::forward<Args>(args)...));
    }
    static constexpr const char* kFonts[] = {"default", "small", "large"};
    Rgb m_colour, m_background;
    bool m_opaque = true;
    const char* m_font = "default";
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
        host = std::make_shared<RecordingWindow>();
        host->display = display.get();
        display->attachWindow(host);
        g_display = display;
    }

    // A fresh paint of the whole window.
    RecordingWindow paint()
    {
        RecordingWindow canvas;
        display->paint(canvas);
        return canvas;
    }

    static std::string log() { return readFile("Log.txt"); }

    std::shared_ptr<WindowDisplay> display;
    std::shared_ptr<RecordingWindow> host;
};

} // namespace brg::test
