#pragma once
// The status panel of the window: version line, the PSX and SIOC columns with their connection
// indicators, and the status or error band.
#include "display/canvas.h"
#include "sioc/sioc_parameters.h"

#include <cstdint>
#include <memory>
#include <string>

namespace brg {

inline constexpr Rect kStatusBand{0, 168, 720, 196};

// What one paint shows, copied out of the shared state first.
struct StatusPanel {
    std::string newVersionText;
    bool newMinorVersion = false;
    bool psxConnected = false;
    bool siocConnected = false;
    std::uint32_t variableCount = 0;
    std::string psxVersion;
    std::string psxHost;
    std::uint16_t psxPort = 0;
    std::shared_ptr<const SiocParameters> sioc;
    std::string statusText;
    std::string errorText;
};

void gf_paintStatusPanel(Canvas& canvas, const StatusPanel& panel);

// Draws UTF-8 text; a text that is not UTF-8 is logged and left out.
void gf_drawText(Canvas& canvas, int x, int y, const std::string& text, Rgb colour);

} // namespace brg
