#include "display/window_display.h"

#include "base/log.h"
#include "base/version.h"
#include "config/config_items.h"
#include "display/cdu_canvas.h"
#include "display/cdu_feed.h"
#include "display/status_panel.h"
#include "psx/from_psx_channel.h"
#include "psx/to_psx_channel.h"
#include "sioc/sioc_parameters.h"
#include "vars/var_state.h"

#include <fmt/format.h>

namespace brg {

struct WindowDisplay::Impl {
    // Serialises entering and leaving CDU mode.
    std::mutex modeMutex;
    std::atomic<bool> cduActive{false};
    CduFeed cdu;

    // Written when CDU mode is entered, read by the paint.
    mutable std::mutex layoutMutex;
    CduLayout layout;

    mutable std::mutex versionMutex;
    std::string newVersionText;
    bool newMinorVersion = false;
};

WindowDisplay::WindowDisplay() : m_impl(std::make_unique<Impl>())
{
    base::programVersion();
    m_initialised = true;
}

WindowDisplay::~WindowDisplay() = default;

void WindowDisplay::attachWindow(std::shared_ptr<WindowHost> host)
{
    std::lock_guard lock(m_hostMutex);
    m_host = std::move(host);
}

std::shared_ptr<WindowHost> WindowDisplay::host() const
{
    std::lock_guard lock(m_hostMutex);
    return m_host;
}

void WindowDisplay::paint(Canvas& canvas, bool wholeScreen) noexcept
{
    try {
        if (m_impl->cduActive) {
            CduLayout layout;
            {
                std::lock_guard lock(m_impl->layoutMutex);
                layout = m_impl->layout;
            }
            CduCanvasPainter painter(canvas, layout);
            m_impl->cdu.screen().paint(painter, wholeScreen);
            return;
        }
        StatusPanel panel;
        {
            std::lock_guard lock(m_impl->versionMutex);
            panel.newVersionText = m_impl->newVersionText;
            panel.newMinorVersion = m_impl->newMinorVersion;
        }
        panel.psxConnected = m_psxConnected;
        panel.siocConnected = m_siocConnected;
        panel.variableCount = m_variableCount;
        panel.psxVersion = g_psxVersion;
        panel.psxHost = cfg::PSX_HOSTADDRESS.value();
        panel.psxPort = g_psxPort;
        panel.sioc = g_siocparameters.load();
        {
            std::lock_guard lock(m_statusMutex);
            panel.statusText = m_statusText;
            panel.errorText = m_errorText;
        }
        gf_paintStatusPanel(canvas, panel);
    } catch (...) {
        gf_logException("paint");
    }
}

void WindowDisplay::setStatus(const std::string& text)
{
    StatusTexts::setStatus(text);
    if (const auto h = host())
        h->invalidate(kStatusBand, true);
}

void WindowDisplay::setError(const std::string& text)
{
    StatusTexts::setError(text);
    if (const auto h = host())
        h->invalidate(kStatusBand, true);
}

void WindowDisplay::setPsxConnected(bool connected)
{
    StatusTexts::setPsxConnected(connected);
    repaint();
}

void WindowDisplay::setSiocConnected(bool connected)
{
    StatusTexts::setSiocConnected(connected);
    repaint();
}

void WindowDisplay::repaint()
{
    if (const auto h = host()) {
        h->invalidate(std::nullopt, false);
        h->updateNow();
    }
}

void WindowDisplay::setNewVersion(const std::string& text, bool newerMinor)
{
    std::lock_guard lock(m_impl->versionMutex);
    m_impl->newVersionText = text;
    m_impl->newMinorVersion = newerMinor;
}

void WindowDisplay::setCduMode(bool on)
{
    {
        std::lock_guard lock(m_impl->modeMutex);
        if (m_impl->cduActive == on)
            return;
        const auto h = host();
        if (on) {
            if (h) {
                const WindowPoint position = h->windowPosition();
                cfg::MAIN_WINDOW_X.setPosition(position.x, false);
                cfg::MAIN_WINDOW_Y.setPosition(position.y, false);
            }
            cfg::MAIN_CDU_WINDOW_X.read();
            cfg::MAIN_CDU_WINDOW_Y.read();
            CduLayout layout;
            layout.screen = {0, 0, cfg::TALVESYNC_AS_CDU_WIDTH.value(), cfg::TALVESYNC_AS_CDU_HEIGHT.value()};
            layout.xOffset = cfg::CDU_X_OFFSET.value();
            layout.yOffset = cfg::CDU_Y_OFFSET.value();
            layout.rowHeight = cfg::CDU_HEIGHT.value() / static_cast<int>(kCduRows);
            layout.columnWidth = cfg::CDU_WIDTH.value() / static_cast<int>(kCduColumns);
            layout.smallFontYOffset = cfg::CDU_SMALL_FONT_Y_OFFSET.value();
            layout.textColour = {static_cast<std::uint8_t>(cfg::CDU_COLOR_R.value()),
                                 static_cast<std::uint8_t>(cfg::CDU_COLOR_G.value()),
                                 static_cast<std::uint8_t>(cfg::CDU_COLOR_B.value())};
            layout.withColour = cfg::LCD_CDU.value();
            layout.bold = cfg::CDU_BOLD.value();
            if (h) {
                h->moveAndShow(cfg::MAIN_CDU_WINDOW_X.value(), cfg::MAIN_CDU_WINDOW_Y.value(),
                               layout.screen.right, layout.screen.bottom);
                const int height = -cfg::CDU_FONTSIZE.value();
                layout.smallFont = h->createFont(CanvasFont::CduSmall, "AEROWINX MCDU SMALL", height, layout.columnWidth);
                if (!layout.smallFont)
                    g_log.write("? hFontSmall_ == NULL");
                layout.largeFont = h->createFont(CanvasFont::CduLarge, "AEROWINX MCDU LARGE", height, layout.columnWidth);
                if (!layout.largeFont)
                    g_log.write("? hFontLarge_  == NULL");
            }
            {
                std::lock_guard layoutLock(m_impl->layoutMutex);
                m_impl->layout = layout;
            }
            m_impl->cdu.screen().reset(layout.withColour);
            if (h && !cfg::CDU_BORDER.value())
                h->removeCaptionAndBorder();
            g_log.write(std::string(kProgramName) + " window changed into CDU screen.");
            m_impl->cduActive = true;
        } else {
            if (h) {
                const WindowPoint position = h->windowPosition();
                try {
                    cfg::MAIN_CDU_WINDOW_X.setPosition(position.x, true);
                    cfg::MAIN_CDU_WINDOW_Y.setPosition(position.y, true);
                } catch (...) {
                    gf_logException("setCduMode");
                }
            }
            m_impl->cduActive = false;
            if (h && !cfg::CDU_BORDER.value())
                h->restoreCaptionAndBorder();
            if (h)
                h->moveAndShow(cfg::MAIN_WINDOW_X.value(), cfg::MAIN_WINDOW_Y.value(), kWidth, kHeight);
            g_log.write(std::string(kProgramName) + " window back to normal.");
        }
    }
    // Outside the lock: the paint runs on the main thread, which may be waiting for it.
    repaint();
}

bool WindowDisplay::cduModeActive() const { return m_impl->cduActive; }

void WindowDisplay::cduHandOver()
{
    if (m_impl->cdu.screen().handOver())
        repaint();
}

void WindowDisplay::cduLargeLine(std::uint32_t cdu, std::uint32_t row, const std::string& text)
{
    m_impl->cdu.largeLine(cdu, row, text);
}

void WindowDisplay::cduColourLine(std::uint32_t cdu, std::uint32_t row, const std::string& text)
{
    m_impl->cdu.colourLine(cdu, row, text);
}

void WindowDisplay::cduBlankState(std::uint32_t cdu, bool blank) { m_impl->cdu.blankState(cdu, blank); }

void WindowDisplay::cduSelectionChanged()
{
    if (m_impl->cduActive)
        m_impl->cdu.reselect();
}

} // namespace brg
