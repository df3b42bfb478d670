#pragma once
// Test doubles for the PSX inbound tests: Vars that record how they are called, a display that
// records the CDU screen calls, and a fixture that binds such Vars to g_FromPSXClient.
#include "app/process_state.h"
#include "base/display.h"
#include "base/log.h"
#include "config/config_items.h"
#include "psx/from_psx_channel.h"
#include "support/fresh_state.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace brg::test {

class RecordingVar : public Var {
public:
    RecordingVar(std::uint32_t number, bool polled) : Var("Recording", number, 0), m_polled(polled) {}
    void initialise() override {}
    void refresh() override {}
    void sendToPsx() override { ++sends; }
    void setValue(std::int32_t v) override { values.push_back(v); }
    bool isInfoVar() const override { return m_polled; }
    bool isPolled() const override { return m_polled; }

    int sends = 0;
    std::vector<std::int32_t> values;

private:
    bool m_polled;
};

struct CduCall {
    std::string what;
    std::uint32_t cdu;
    std::uint32_t row;
    std::string text;
    bool operator==(const CduCall&) const = default;
};

class RecordingDisplay : public StatusTexts {
public:
    void repaint() override { ++repaints; }
    void cduLargeLine(std::uint32_t cdu, std::uint32_t row, const std::string& text) override
    {
        calls.push_back({"large", cdu, row, text});
    }
    void cduColourLine(std::uint32_t cdu, std::uint32_t row, const std::string& text) override
    {
        calls.push_back({"colour", cdu, row, text});
    }
    void cduBlankState(std::uint32_t cdu, bool blank) override { calls.push_back({"blank", cdu, 0, blank ? "1" : "0"}); }

    int repaints = 0;
    std::vector<CduCall> calls;
};

class PsxInboundTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        gf_resetConfiguration();
        display = std::make_shared<RecordingDisplay>();
        g_display = display;
    }
    void TearDown() override
    {
        gf_resetConfiguration();
        TempDirTest::TearDown();
    }

    // Binds a recording Var to each number; those in `polled` behave like info variables.
    void bind(const std::vector<std::uint32_t>& numbers, const std::vector<std::uint32_t>& polled = {})
    {
        for (std::uint32_t n : numbers)
            vars[n] = std::make_shared<RecordingVar>(n, false);
        for (std::uint32_t n : polled)
            vars[n] = std::make_shared<RecordingVar>(n, true);
        std::set<std::uint32_t> all;
        for (const auto& [n, var] : vars)
            all.insert(n);
        g_FromPSXClient->initInicio(all, [this](Qcode code) -> std::shared_ptr<Var> {
            const auto it = vars.find(static_cast<std::uint32_t>(code));
            return it == vars.end() ? nullptr : it->second;
        });
    }
    RecordingVar& var(std::uint32_t n) { return *vars.at(n); }
    void decode(const std::string& line) { g_FromPSXClient->decodeMessage(line); }
    std::vector<ChannelElement> queued() const { return g_FromPSXClient->queuedElements(); }
    std::string log() const { return readFile(dir / "Log.txt"); }
    void openLog() { g_log.open(dir / "Log.txt"); }

    std::map<std::uint32_t, std::shared_ptr<RecordingVar>> vars;
    std::shared_ptr<RecordingDisplay> display;
};

using Elements = std::vector<ChannelElement>;

} // namespace brg::test
