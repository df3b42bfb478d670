#pragma once
// The Display of a program with a window: the status panel and the CDU screen, painted on a
// Canvas by the window's paint handler, with everything else asked of a WindowHost.
#include "base/display.h"
#include "display/canvas.h"
#include "display/window_host.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace brg {

class WindowDisplay : public StatusTexts {
public:
    static constexpr int kWidth = 720, kHeight = 236;

    // Sets the initialisation-complete flag as its last step.
    WindowDisplay();
    ~WindowDisplay() override;

    bool initialised() const { return m_initialised.load(); }
    // After the window exists; before that nothing is drawn or moved.
    void attachWindow(std::shared_ptr<WindowHost> host);
    // The paint handler (main thread): the status panel, or the CDU screen in CDU mode.
    // wholeScreen: the window lost what it showed (restored, uncovered, its background erased),
    // so the CDU screen draws all of its current state, not only the rows that changed.
    void paint(Canvas& canvas, bool wholeScreen = false) noexcept;

    // Store the text and ask for the status band to be painted again; any thread.
    void setStatus(const std::string& text) override;
    void setError(const std::string& text) override;
    // Repaint the whole window at once.
    void setPsxConnected(bool connected) override;
    void setSiocConnected(bool connected) override;
    void repaint() override;

    void setCduMode(bool on) override;
    bool cduModeActive() const override;
    void cduHandOver() override;
    void cduLargeLine(std::uint32_t cdu, std::uint32_t row, const std::string& text) override;
    void cduColourLine(std::uint32_t cdu, std::uint32_t row, const std::string& text) override;
    void cduBlankState(std::uint32_t cdu, bool blank) override;
    void cduSelectionChanged() override;

    // A newer version was found: the title line shows it, in orange when its minor is newer.
    void setNewVersion(const std::string& text, bool newerMinor) override;

private:
    struct Impl;
    std::shared_ptr<WindowHost> host() const;

    std::unique_ptr<Impl> m_impl;
    mutable std::mutex m_hostMutex;
    std::shared_ptr<WindowHost> m_host;
    std::atomic<bool> m_initialised{false};
};

} // namespace brg
