#include "sent_elements.h"
#include "support/fresh_state.h"
#include "vars/decoded_values.h"
#include "vars/light_vars.h"

#include <gmock/gmock.h>

#include <functional>
#include <memory>

namespace brg {
namespace {

using LightVarsTest = test::FreshState;

constexpr std::uint32_t T = 0x2000; // lamp test
constexpr std::uint32_t b(int n) { return 1u << n; }

struct LightCase {
    const char* name;
    std::function<std::unique_ptr<Var>()> make;
    std::vector<test::WordStep> steps;
};

TEST_F(LightVarsTest, EachTypeLightsItsBitsByPowerAndTest)
{
    const std::vector<LightCase> cases = {
        {"3b", [] { return std::make_unique<LightVar3b>("BrakeSourceLt", 2043, 4920); },
         {{2043, b(0), 1}, {4920, 1}, {2043, b(0), 1 + b(14) + b(15) + b(16)}, {2043, b(0) | b(1), 3 + b(15) + b(16)},
          {2043, b(0) | b(1) | b(2), 7}, {4920, 0}, {2043, T, T + b(14) + b(15) + b(16)}}},
        {"3", [] { return std::make_unique<LightVar3>("McpPshThr", 3063, 1063); },
         {{1063, b(3), 8}, {4928, 1}, {1063, b(3) | b(0), 9 + b(14) + b(16)}, {4931, 1},
          {1063, b(3), 8 + b(14) + b(15) + b(16)}, {1063, b(1) | b(2) | T, 6 + T}}},
        {"8", [] { return std::make_unique<LightVar8>("FireEng1", 3275, 4922, 4923, 1275); },
         {{1275, b(0) | b(7) | b(8), b(0) | b(7) | b(8)}, {4922, 1},
          {1275, b(0) | b(7), 0x81 + 0x100000 + b(14) + b(15) + b(16)}, {1275, b(7) | b(2), 0x84 + b(14) + b(16)},
          {4923, 1}, {1275, b(0) | b(8), 0x101 + 0x100000 + 0x200000 + 0x20000 + 0x40000 + 0x80000},
          {1275, b(8) | b(4), 0x110 + 0x20000 + 0x80000}, {1275, T | b(1) | b(2) | b(3), T + 14 + 0x40000 + 0x80000},
          {1275, T, T + b(14) + b(15) + b(16) + 0x20000 + 0x40000 + 0x80000},
          {1275, T | b(2), T + 4 + b(14) + b(16) + 0x20000 + 0x40000 + 0x80000}}},
        {"14", [] { return std::make_unique<LightVar14>("EngStartSw1", 3267, 4924, 1267); },
         {{1267, b(2), 4}, {4924, 1}, {1267, b(2), 4 + b(14)}, {1267, b(2) | b(1), 6}}},
        {"Elt", [] { return std::make_unique<LightVarElt>("Elt", 3224, 1224); },
         {{1224, b(3), 8}, {4921, 1}, {1224, b(3), 8 + b(14)}}},
        {"B", [] { return std::make_unique<LightVarB>("FuelCutoff1", 3392, 4925, 1392); },
         {{4925, 1}, {1392, b(2), 4 + 8}, {1392, b(2) | b(1), 6}}},
        {"Squib", [] { return std::make_unique<LightVarSquib>("SquibEng1", 3365, 1365); },
         {{1365, b(2), 4}, {4927, 1}, {1365, b(2), 12}}},
        {"Evac", [] { return std::make_unique<LightVarEvac>("EvacLight", 3424, 1424); }, {{4921, 1}, {1424, b(1), 2 + 32}}},
        {"T", [] { return std::make_unique<LightVarT>("FireEng1", 3275, 4926, 1275); },
         {{1275, b(6), 64}, {4926, 1}, {1275, b(6), 64 + b(11) + b(12) + b(13) + b(14) + b(15)},
          {1275, b(6) | 0x1E, 64 + 0x1E}, {1275, b(6) | b(2), 68 + b(11) + b(13) + b(14) + b(15)}}},
        {"Cdu", [] { return std::make_unique<LightVarCdu>("LightsCduL", 2086, 4927); },
         {{2086, T | b(0), 0x7C000}, {2086, b(4), 16}, {4927, 1}, {2086, b(0) | b(4), 17 + b(14) + b(18)}}},
    };
    for (const LightCase& c : cases) {
        SCOPED_TRACE(c.name);
        gf_resetProcessState();
        const auto light = c.make();
        EXPECT_EQ(light->value, kInfoVarStartValue);
        test::expectSteps(*light, c.steps);
        test::expectSteps(*light, {{0, 0, -1}}); // nothing changed: nothing sent
    }
}

TEST_F(LightVarsTest, RadioPanelLampsWithAm)
{
    LightVarRadio lt("IndicatorsRcpC", 2093, 4928);
    test::expectSteps(lt, {{2093, T, T + 0xFC000}, {2093, b(3), 8}, {4928, 1}, {2093, b(3), 8 + b(17)}});
    g_decoded.rcpField12Set[1] = true;
    test::expectSteps(lt, {{2093, b(3), 8 + b(17) + b(20)}, {2093, b(5) | b(6), 0x60 + b(18) + b(19)}});
    g_decoded.rcpField13Set[1] = true;
    test::expectSteps(lt, {{2093, b(3) | b(5), 0x28 + b(17) + b(18) + b(20)}, // one AM lamp
                           {2093, b(0) | b(1) | b(2), 7 + b(14) + b(15) + b(16)}});
}

} // namespace
} // namespace brg
