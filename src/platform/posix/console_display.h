#pragma once
// The status window of the console program. On a terminal it is one block of lines redrawn in
// place, with the selected CDU's screen below it in CDU mode; otherwise one stable line per
// change, so that scripts can follow the run.
#include "base/display.h"
#include "display/cdu_feed.h"
#include "monitor/monitor_view.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace brg {

class ConsoleDisplay : public StatusTexts {
public:
    // terminalFd: the terminal the output goes to (its size fits the block and the CDU screen),
    // or -1 when the output is not a terminal.
    ConsoleDisplay(std::FILE* out, int terminalFd) : m_out(out), m_terminalFd(terminalFd) {}

    void setStatus(const std::string& text) override;
    void setError(const std::string& text) override;
    void setPsxConnected(bool connected) override;
    void setSiocConnected(bool connected) override;
    void setVariableCount(std::uint32_t count) override;

    // Only on a terminal that has room for it; elsewhere nothing of the CDU is printed.
    void setCduMode(bool on) override;
    bool cduModeActive() const override { return m_cduActive; }
    void cduHandOver() override;
    void cduLargeLine(std::uint32_t cdu, std::uint32_t row, const std::string& text) override;
    void cduColourLine(std::uint32_t cdu, std::uint32_t row, const std::string& text) override;
    void cduBlankState(std::uint32_t cdu, bool blank) override;
    void cduSelectionChanged() override;

    // The variables' table (talvesync --monitor). On a terminal it sits below the block, as many
    // rows as fit, most recently changed first; elsewhere each change is one line. Nothing is
    // drawn before the variables are bound.
    void showMonitor(std::vector<MonitorRow> rows, const MonitorTime& now);

private:
    bool terminal() const { return m_terminalFd >= 0; }
    // Lines from the terminal's screen are fed until a CDU screen is refused for lack of room.
    bool cduFed() const { return terminal() && !m_cduRefused; }
    void print(const std::string& line);
    void redraw();
    void redrawLocked();
    void write(const std::string& bytes);
    bool enterCduMode();
    void printMonitorChanges(std::vector<MonitorRow> rows, const MonitorTime& now);
    // Lines below the block and above the CDU screen.
    std::size_t belowBlock() const { return m_monitorDrawn.size() + m_cduDrawn.size(); }

    std::mutex m_printMutex;
    std::FILE* m_out;
    int m_terminalFd;
    // The block as last drawn; empty before the first drawing.
    std::vector<std::string> m_drawn;

    CduFeed m_cdu;
    std::atomic<bool> m_cduActive{false};
    std::atomic<bool> m_cduRefused{false};
    Rgb m_cduTextColour;
    bool m_cduWithColour = false;
    // The CDU rows as last drawn below the block; none outside CDU mode.
    std::vector<std::string> m_cduDrawn;
    // The table's lines as last drawn between the block and the CDU screen; its height is fixed
    // at its first drawing.
    std::vector<std::string> m_monitorDrawn;
    // Off a terminal: the number of changes of each variable already printed.
    std::map<std::uint32_t, std::uint32_t> m_monitorPrinted;
};

} // namespace brg
