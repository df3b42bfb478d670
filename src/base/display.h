#pragma once
// What the core asks of the window: the status panel and the CDU screen. The Windows front end
// paints them; the console front end prints the state; tests record it.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace brg {

class Display {
public:
    virtual ~Display() = default;

    // Status panel.
    virtual void setStatus(const std::string& text) = 0;
    virtual void setError(const std::string& text) = 0;
    // The status text shown now (empty while an error is shown).
    virtual std::string statusText() const = 0;
    virtual void setPsxConnected(bool connected) = 0;
    virtual void setSiocConnected(bool connected) = 0;
    virtual void setVariableCount(std::uint32_t count) = 0;
    virtual void repaint() = 0;
    // The version check found a newer version (text "major.minor.patch").
    virtual void setNewVersion(const std::string& text, bool newerMinor) = 0;

    // CDU screen (cdu: 0 left, 1 centre, 2 right; row 0 to 13).
    virtual void setCduMode(bool on) = 0;
    virtual bool cduModeActive() const = 0;
    virtual void cduHandOver() = 0;
    virtual void cduLargeLine(std::uint32_t cdu, std::uint32_t row, const std::string& text) = 0;
    virtual void cduColourLine(std::uint32_t cdu, std::uint32_t row, const std::string& text) = 0;
    virtual void cduBlankState(std::uint32_t cdu, bool blank) = 0;
    // Redraws the CDU screen after the selected CDU changed.
    virtual void cduSelectionChanged() = 0;
};

// The status texts without a screen: a status text is logged; an error is logged with "Error "
// before it and stays, later status texts being ignored. The CDU screen is not shown.
class StatusTexts : public Display {
public:
    void setStatus(const std::string& text) override;
    void setError(const std::string& text) override;
    void setPsxConnected(bool connected) override { m_psxConnected = connected; }
    void setSiocConnected(bool connected) override { m_siocConnected = connected; }
    void setVariableCount(std::uint32_t count) override { m_variableCount = count; }
    void repaint() override {}
    void setNewVersion(const std::string&, bool) override {}

    void setCduMode(bool) override {}
    bool cduModeActive() const override { return false; }
    void cduHandOver() override {}
    void cduLargeLine(std::uint32_t, std::uint32_t, const std::string&) override {}
    void cduColourLine(std::uint32_t, std::uint32_t, const std::string&) override {}
    void cduBlankState(std::uint32_t, bool) override {}
    void cduSelectionChanged() override {}

    std::string statusText() const override;
    std::string errorText() const;
    bool psxConnected() const { return m_psxConnected; }
    bool siocConnected() const { return m_siocConnected; }
    std::uint32_t variableCount() const { return m_variableCount; }

protected:
    mutable std::mutex m_statusMutex;
    std::string m_statusText;
    std::string m_errorText;
    // Written by the engine's threads, read by the window's paint.
    std::atomic<bool> m_psxConnected{false};
    std::atomic<bool> m_siocConnected{false};
    std::atomic<std::uint32_t> m_variableCount{0};
};

// A status or error text as the one line a screen shows: the line ends the log keeps are cut,
// inner ones become blanks.
std::string gf_oneLine(std::string text);

// The display the core talks to; the front end installs its own at start.
extern std::shared_ptr<Display> g_display;

} // namespace brg
