#include "display/status_panel.h"

#include "base/display.h"
#include "base/log.h"
#include "base/version.h"
#include "display/utf16.h"

#include <fmt/format.h>

namespace brg {

namespace {

constexpr int kWidth = 720;
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kLightBlue{153, 204, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kLimeGreen{50, 205, 50};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kOrange{255, 165, 0};

constexpr Rect kPsxIndicator{317, 29, 345, 169};
constexpr Rect kSiocIndicator{345, 29, 373, 169};

void lf_frame(Canvas& canvas, const StatusPanel& panel)
{
    canvas.fillRect({0, 0, kWidth, 28}, kBlack);
    canvas.fillRect({0, 28, kWidth, 84}, kBlack);
    canvas.fillRect({0, 84, kWidth, 168}, kLightBlue);
    canvas.fillRect(kStatusBand, kLimeGreen);
    canvas.line(0, 28, kWidth, 28, kWhite);
    canvas.line(0, 85, kWidth, 85, kWhite);
    canvas.setBackground(kBlack, false);

    const Version& own = base::programVersion();
    std::string version = fmt::format("Version {}.{}.{}", own.major, own.minor, own.patch);
    Rgb colour = kLimeGreen;
    if (!panel.newVersionText.empty()) {
        version += " (new=" + panel.newVersionText + ")";
        colour = panel.newMinorVersion ? kOrange : kYellow;
    }
    gf_drawText(canvas, 3, 7, version, colour);
    gf_drawText(canvas, kWidth / 2 - 70, 7, kProgramName, kLimeGreen);
    gf_drawText(canvas, 522, 7, "PSX <-> SIOC bridge", kLimeGreen);
}

void lf_siocColumn(Canvas& canvas, const StatusPanel& panel)
{
    constexpr int x = 378;
    constexpr int valueX = 522;
    const SiocParameters* sioc = panel.sioc.get();
    gf_drawText(canvas, x, 35, "SIOC", panel.siocConnected ? kLimeGreen : kYellow);
    gf_drawText(canvas, x, 63, sioc && sioc->script ? *sioc->script : "", kWhite);
    gf_drawText(canvas, x, 91, "hostaddress:", kBlack);
    if (sioc && sioc->host)
        gf_drawText(canvas, valueX, 91, *sioc->host, kBlack);
    gf_drawText(canvas, x, 119, "port:", kBlack);
    if (sioc && sioc->port)
        gf_drawText(canvas, valueX, 119, fmt::format("{}", *sioc->port), kBlack);
    gf_drawText(canvas, x, 147, "# variables:", kBlack);
    if (panel.variableCount != 0)
        gf_drawText(canvas, valueX, 147, fmt::format("{}", panel.variableCount), kBlack);
    canvas.fillRect(kSiocIndicator, panel.siocConnected ? kLimeGreen : kRed);
}

void lf_psxColumn(Canvas& canvas, const StatusPanel& panel)
{
    constexpr int x = 5;
    constexpr int valueX = 177;
    gf_drawText(canvas, x, 35, "PSX", panel.psxConnected ? kLimeGreen : kYellow);
    gf_drawText(canvas, x, 63, panel.psxVersion, kWhite);
    gf_drawText(canvas, x, 91, "hostaddress:", kBlack);
    gf_drawText(canvas, valueX, 91, panel.psxHost, kBlack);
    gf_drawText(canvas, x, 119, "port:", kBlack);
    gf_drawText(canvas, valueX, 119, fmt::format("{}", panel.psxPort), kBlack);
    canvas.fillRect(kPsxIndicator, panel.psxConnected ? kLimeGreen : kRed);
}

void lf_statusBand(Canvas& canvas, const StatusPanel& panel)
{
    if (panel.errorText.empty()) {
        canvas.fillRect(kStatusBand, kLimeGreen);
        if (!panel.statusText.empty())
            gf_drawText(canvas, 3, 175, gf_oneLine(panel.statusText), kYellow);
    } else {
        canvas.fillRect(kStatusBand, kRed);
        // GDI would draw a line end as a box; texts for the log end in one.
        gf_drawText(canvas, 3, 175, gf_oneLine(panel.errorText), kYellow);
    }
}

} // namespace

void gf_drawText(Canvas& canvas, int x, int y, const std::string& text, Rgb colour)
{
    canvas.setTextColour(colour);
    std::u16string wide;
    try {
        wide = gf_utf8ToUtf16(text);
    } catch (const std::exception& e) {
        g_log.write(fmt::format("drawText {}: {}", e.what(), text));
        return;
    }
    canvas.textOut(x, y, wide);
}

void gf_paintStatusPanel(Canvas& canvas, const StatusPanel& panel)
{
    lf_frame(canvas, panel);
    lf_siocColumn(canvas, panel);
    lf_psxColumn(canvas, panel);
    lf_statusBand(canvas, panel);
}

} // namespace brg
