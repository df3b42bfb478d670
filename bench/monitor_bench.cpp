// What the variable monitor costs per value, off and on, in one run: a drain of the PSX receiving
// channel (each value stored, its Var called, and recorded when someone watches), and the
// recording call alone. "changing": every value differs from the last one (the worst case);
// "steady": the same values again.
#include "app/process_state.h"
#include "counting_var.h"
#include "monitor/monitor_view.h"
#include "monitor/variable_monitor.h"
#include "psx/from_psx_channel.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace brg {
namespace {

enum Mode { kOff, kOnChanging, kOnSteady };

// The Qh and Qi variables of a full cockpit, bound to the channel and to the monitor.
std::vector<std::uint32_t> lf_bind()
{
    gf_resetProcessState();
    std::map<std::uint32_t, std::shared_ptr<Var>> vars;
    std::vector<MonitorRowInfo> rows;
    for (std::uint32_t n = 1000; n <= 2274; ++n) {
        vars[n] = std::make_shared<CountingVar>(n, false);
        rows.push_back({n, "Counting", gf_psxName(n), "ValueVar", false, 0});
    }
    std::set<std::uint32_t> numbers;
    for (const auto& [n, var] : vars)
        numbers.insert(n);
    g_FromPSXClient->initInicio(numbers, [&](Qcode code) { return vars.at(static_cast<std::uint32_t>(code)); });
    g_variableMonitor.bind(std::move(rows));
    return {numbers.begin(), numbers.end()};
}

const char* lf_label(Mode mode)
{
    return mode == kOff ? "monitor off" : mode == kOnChanging ? "monitor on, changing" : "monitor on, steady";
}

// Each pass sends every bound number once, through the drain or straight to the monitor.
void lf_measure(benchmark::State& state, bool throughDrain)
{
    const auto mode = static_cast<Mode>(state.range(0));
    const std::vector<std::uint32_t> numbers = lf_bind();
    std::optional<MonitorFeed> feed;
    if (mode != kOff)
        feed.emplace();
    std::int32_t pass = 0;
    for (auto _ : state) {
        const std::int32_t value = mode == kOnChanging ? ++pass : 1;
        for (std::uint32_t n : numbers) {
            if (throughDrain)
                g_FromPSXClient->pushElement({n, value});
            else
                g_variableMonitor.recordPsx(n, value);
        }
        if (throughDrain)
            g_FromPSXClient->flushQueue();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(numbers.size()));
    state.SetLabel(lf_label(mode));
}

void BM_PsxDrain(benchmark::State& state) { lf_measure(state, true); }
void BM_Record(benchmark::State& state) { lf_measure(state, false); }

BENCHMARK(BM_PsxDrain)->Arg(kOff)->Arg(kOnChanging)->Arg(kOnSteady)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Record)->Arg(kOff)->Arg(kOnChanging)->Arg(kOnSteady)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace brg
