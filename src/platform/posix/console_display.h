#pragma once
// The status window of the console program: the same status and error rules, printed as one
// line per change so that people and scripts can follow the run.
#include "display/display.h"

#include <cstdio>
#include <mutex>

namespace brg {

class ConsoleDisplay : public StatusTexts {
public:
    // On a terminal, errors are shown in red; otherwise every line is plain and stable.
    ConsoleDisplay(std::FILE* out, bool terminal) : m_out(out), m_terminal(terminal) {}

    void setStatus(const std::string& text) override;
    void setError(const std::string& text) override;
    void setPsxConnected(bool connected) override;
    void setSiocConnected(bool connected) override;
    void setVariableCount(std::uint32_t count) override;

private:
    void print(const std::string& line, bool error = false);

    std::mutex m_printMutex;
    std::FILE* m_out;
    bool m_terminal;
};

} // namespace brg
