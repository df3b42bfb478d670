#pragma once
// Test doubles for the PSX inbound tests: Vars and a display that record how they are called, and a
// fixture that binds such Vars to g_FromPSXClient.
#include "app/process_state.h"
#include "base/display.h"
#include "base/log.h"
#include "config/config_items.h"
#include "psx/from_psx_channel.h"
#include "support/fresh_state.h"

#include <fmt/format.h>

#include <map>
#include <memory>
#include <ranges>
#include <string>
#include <vector>

namespace brg::test {

// Records "N=V" for a value handed to it and "^N" when asked to answer PSX, in one list for all.
class RecordingVar : public Var {
public:
    RecordingVar(std::uint32_t number, bool polled, std::vector<std::string>& calls)
        : Var("Recording", number, 0), m_polled(polled), m_calls(calls) {}
    void initialise() override {}
    void refresh() override {}
    void sendToPsx() override { m_calls.push_back(fmt::format("^{}", number)); }
    void setValue(std::int32_t v) override { m_calls.push_back(fmt::format("{}={}", number, v)); }
    bool isInfoVar() const override { return m_polled; }
    bool isPolled() const override { return m_polled; }

private:
    bool m_polled;
    std::vector<std::string>& m_calls;
};

// Records "repaint", "large CDU ROW TEXT", "colour CDU ROW TEXT", "blank CDU 0|1", and "shown LCR" with
// the CDU choice as the screen sees it when asked to redraw for it.
class RecordingDisplay : public StatusTexts {
public:
    void repaint() override { calls.push_back("repaint"); }
    void cduSelectionChanged() override
    {
        calls.push_back(fmt::format("shown {:d}{:d}{:d}", cfg::CDU_L.value(), cfg::CDU_C.value(), cfg::CDU_R.value()));
    }
    void cduLargeLine(std::uint32_t cdu, std::uint32_t row, const std::string& text) override
    {
        calls.push_back(fmt::format("large {} {} {}", cdu, row, text));
    }
    void cduColourLine(std::uint32_t cdu, std::uint32_t row, const std::string& text) override
    {
        calls.push_back(fmt::format("colour {} {} {}", cdu, row, text));
    }
    void cduBlankState(std::uint32_t cdu, bool blank) override { calls.push_back(fmt::format("blank {} {:d}", cdu, blank)); }

    std::vector<std::string> calls;
};

class PsxInboundTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        display = std::make_shared<RecordingDisplay>();
        g_display = display;
    }

    // Binds a recording Var to each number; those in `polled` behave like info variables.
    void bind(const std::vector<std::uint32_t>& numbers, const std::vector<std::uint32_t>& polled = {})
    {
        for (std::uint32_t n : numbers)
            vars[n] = std::make_shared<RecordingVar>(n, false, varCalls);
        for (std::uint32_t n : polled)
            vars[n] = std::make_shared<RecordingVar>(n, true, varCalls);
        const auto bound = std::views::keys(vars);
        g_FromPSXClient->initInicio({bound.begin(), bound.end()}, [this](Qcode code) -> std::shared_ptr<Var> {
            const auto it = vars.find(static_cast<std::uint32_t>(code));
            return it == vars.end() ? nullptr : it->second;
        });
    }
    void decode(const std::string& line) { g_FromPSXClient->decodeMessage(line); }
    std::vector<ChannelElement> queued() const { return g_FromPSXClient->queuedElements(); }
    std::string log() const { return readFile(dir / "Log.txt"); }
    void openLog() { g_log.open(dir / "Log.txt"); }

    std::map<std::uint32_t, std::shared_ptr<RecordingVar>> vars;
    std::vector<std::string> varCalls;
    std::shared_ptr<RecordingDisplay> display;
};

using Elements = std::vector<ChannelElement>;
using Calls = std::vector<std::string>;

} // namespace brg::test
