// Received PSX lines per second through g_FromPSXClient: decodeMessage, then the drain that applies
// them (flushElement), with a realistic set of variables bound.
#include "app/process_state.h"
#include "counting_var.h"
#include "psx/from_psx_channel.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace brg {
namespace {

std::vector<std::string> lf_captureLines(bool qLinesOnly)
{
    std::ifstream capture(std::string(TALVESYNC_TEST_DATA_DIR) + "/psx-opening-capture.txt");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(capture, line))
        if (!qLinesOnly || line.starts_with("Q"))
            lines.push_back(line + "\r\n");
    return lines;
}

void lf_bindCockpit()
{
    gf_resetProcessState();
    std::map<std::uint32_t, std::shared_ptr<Var>> vars;
    const auto add = [&](std::uint32_t first, std::uint32_t last, bool polled) {
        for (std::uint32_t n = first; n <= last; ++n)
            vars[n] = std::make_shared<CountingVar>(n, polled);
    };
    add(4, 61, false);
    add(1000, 1427, false);
    add(2000, 2274, true);
    add(3006, 3135, true);
    add(3428, 3434, true);
    add(3720, 3740, true);
    add(4700, 4748, false);
    add(4880, 4999, true);
    add(5421, 5688, true);
    std::set<std::uint32_t> numbers;
    for (const auto& [n, var] : vars)
        numbers.insert(n);
    g_FromPSXClient->initInicio(numbers, [&](Qcode code) { return vars.at(static_cast<std::uint32_t>(code)); });
}

void lf_decodeStream(benchmark::State& state, bool qLinesOnly)
{
    const std::vector<std::string> lines = lf_captureLines(qLinesOnly);
    lf_bindCockpit();
    for (auto _ : state) {
        for (const std::string& line : lines)
            g_FromPSXClient->decodeMessage(line);
        g_FromPSXClient->flushQueue();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
    state.SetLabel(std::to_string(lines.size()) + " lines per pass");
}

void BM_OpeningBurst(benchmark::State& state) { lf_decodeStream(state, false); }
void BM_QLinesOnly(benchmark::State& state) { lf_decodeStream(state, true); }

BENCHMARK(BM_OpeningBurst)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QLinesOnly)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace brg
