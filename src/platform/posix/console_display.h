#pragma once
// The status window of the console program. On a terminal it is one block of lines redrawn in
// place; otherwise one stable line per change, so that scripts can follow the run.
#include "base/display.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace brg {

class ConsoleDisplay : public StatusTexts {
public:
    // terminalFd: the terminal the output goes to (its width cuts the block's lines), or -1 when
    // the output is not a terminal.
    ConsoleDisplay(std::FILE* out, int terminalFd) : m_out(out), m_terminalFd(terminalFd) {}

    void setStatus(const std::string& text) override;
    void setError(const std::string& text) override;
    void setPsxConnected(bool connected) override;
    void setSiocConnected(bool connected) override;
    void setVariableCount(std::uint32_t count) override;

private:
    bool terminal() const { return m_terminalFd >= 0; }
    void print(const std::string& line);
    void redraw();

    std::mutex m_printMutex;
    std::FILE* m_out;
    int m_terminalFd;
    // The block as last drawn; empty before the first drawing.
    std::vector<std::string> m_drawn;
};

} // namespace brg
