#include "sent_elements.h"
#include "support/fresh_state.h"
#include "vars/decoded_values.h"
#include "vars/light_vars.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using test::siocSent;
using LightVarsTest = test::FreshState;

constexpr std::uint32_t T = 0x2000; // lamp test
constexpr std::uint32_t b(int n) { return 1u << n; }

// Sets the PSX word, refreshes, and returns what the light sent (or -1 when it sent nothing).
std::int64_t shown(Var& light, std::uint32_t source, std::uint32_t word)
{
    const std::size_t before = siocSent().size();
    g_psxValues[source] = word;
    light.refresh();
    const auto sent = siocSent();
    return sent.size() == before ? -1 : sent.back().value;
}

TEST_F(LightVarsTest, SendsOnlyChangesAndStartsFromTheInfoStartValue)
{
    LightVar3b lt("HydSysFaultLt1", 2044, 4920);
    EXPECT_EQ(lt.value, kInfoVarStartValue);
    lt.refresh();
    lt.refresh();
    EXPECT_THAT(siocSent(), ElementsAre(ChannelElement{2044, 0}));
    EXPECT_TRUE(lt.isInfoVar());
    EXPECT_TRUE(lt.isPolled());
}

TEST_F(LightVarsTest, LightVar3bNeedsPowerUnlessTested)
{
    LightVar3b lt2("BrakeSourceLt", 2043, 4920);
    EXPECT_EQ(shown(lt2, 2043, b(0)), 1); // no power: the word as it is
    g_psxValues[4920] = 1;
    EXPECT_EQ(shown(lt2, 2043, b(0)), 1 + b(14) + b(15) + b(16));
    EXPECT_EQ(shown(lt2, 2043, b(0) | b(1)), 3 + b(15) + b(16));
    EXPECT_EQ(shown(lt2, 2043, b(0) | b(1) | b(2)), 7);
    g_psxValues[4920] = 0;
    EXPECT_EQ(shown(lt2, 2043, T), T + b(14) + b(15) + b(16));
    EXPECT_EQ(lt2.description(), "b 14 15 16");
    EXPECT_EQ(lt2.psxCodeText(), "");
}

TEST_F(LightVarsTest, LightVar3UsesTwoDimmingRelays)
{
    LightVar3 lt("McpPshThr", 3063, 1063);
    EXPECT_EQ(shown(lt, 1063, b(3)), 8);
    g_psxValues[4928] = 1;
    EXPECT_EQ(shown(lt, 1063, b(3) | b(0)), 9 + b(14) + b(16));
    g_psxValues[4931] = 1;
    EXPECT_EQ(shown(lt, 1063, b(3)), 8 + b(14) + b(15) + b(16));
    EXPECT_EQ(shown(lt, 1063, b(1) | b(2) | T), 6 + T);
    EXPECT_EQ(lt.psxCodeText(), "Qh63");
}

TEST_F(LightVarsTest, LightVar8FireWarningBits)
{
    LightVar8 lt("FireEng1", 3275, 4922, 4923, 1275);
    EXPECT_EQ(shown(lt, 1275, b(0) | b(7) | b(8)), b(0) | b(7) | b(8)); // no power at all
    g_psxValues[4922] = 1;
    EXPECT_EQ(shown(lt, 1275, b(0) | b(7)), 0x81 + 0x100000 + 16384 + 32768 + 65536);
    EXPECT_EQ(shown(lt, 1275, b(7) | b(2)), 0x84 + 16384 + 65536);
    g_psxValues[4923] = 1;
    EXPECT_EQ(shown(lt, 1275, b(0) | b(8)), 0x101 + 0x100000 + 0x200000 + 0x20000 + 0x40000 + 0x80000);
    EXPECT_EQ(shown(lt, 1275, b(8) | b(4)), 0x110 + 0x20000 + 0x80000);
    EXPECT_EQ(shown(lt, 1275, T | b(1) | b(2) | b(3)), T + 14 + 0x40000 + 0x80000);
    EXPECT_EQ(shown(lt, 1275, T), T + 16384 + 32768 + 65536 + 0x20000 + 0x40000 + 0x80000);
    EXPECT_EQ(lt.description(), "b 14 15 16 17 18 19 20 21");
}

TEST_F(LightVarsTest, SingleBitLights)
{
    LightVar14 l14("EngStartSw1", 3267, 4924, 1267);
    EXPECT_EQ(shown(l14, 1267, b(2)), 4);
    g_psxValues[4924] = 1;
    EXPECT_EQ(shown(l14, 1267, b(2)), 4 + b(14));
    EXPECT_EQ(shown(l14, 1267, b(2) | b(1)), 6);

    LightVarElt elt("Elt", 3224, 1224);
    EXPECT_EQ(shown(elt, 1224, b(3)), 8);
    g_psxValues[4921] = 1;
    EXPECT_EQ(shown(elt, 1224, b(3)), 8 + b(14));
    EXPECT_EQ(elt.psxCodeText(), "Qh224");

    LightVarB lb("FuelCutoff1", 3392, 4925, 1392);
    g_psxValues[4925] = 1;
    EXPECT_EQ(shown(lb, 1392, b(2)), 4 + 8);
    EXPECT_EQ(shown(lb, 1392, b(2) | b(1)), 6);

    LightVarSquib sq("SquibEng1", 3365, 1365);
    EXPECT_EQ(shown(sq, 1365, b(2)), 4);
    g_psxValues[4927] = 1;
    EXPECT_EQ(shown(sq, 1365, b(2)), 12);

    LightVarEvac ev("EvacLight", 3424, 1424);
    EXPECT_EQ(shown(ev, 1424, b(1)), 2 + 32);
    EXPECT_EQ(ev.psxCodeText(), "Qh424");
    EXPECT_EQ(ev.description(), "b 5");
}

TEST_F(LightVarsTest, LightVarTNeedsItsEnableBitAndPower)
{
    LightVarT lt("FireEng1", 3275, 4926, 1275);
    EXPECT_EQ(shown(lt, 1275, b(6)), 64);
    g_psxValues[4926] = 1;
    EXPECT_EQ(shown(lt, 1275, b(6)), 64 + b(11) + b(12) + b(13) + b(14) + b(15));
    EXPECT_EQ(shown(lt, 1275, b(6) | 0x1E), 64 + 0x1E);
    EXPECT_EQ(shown(lt, 1275, b(6) | b(2)), 68 + b(11) + b(13) + b(14) + b(15));
}

TEST_F(LightVarsTest, RadioPanelLampsWithAm)
{
    LightVarRadio lt("IndicatorsRcpC", 2093, 4928);
    EXPECT_EQ(shown(lt, 2093, T), T + 0xFC000);
    EXPECT_EQ(shown(lt, 2093, b(3)), 8); // no power
    g_psxValues[4928] = 1;
    EXPECT_EQ(shown(lt, 2093, b(3)), 8 + b(17));
    g_decoded.rcpField12Set[1] = true;
    EXPECT_EQ(shown(lt, 2093, b(3)), 8 + b(17) + b(20));
    EXPECT_EQ(shown(lt, 2093, b(5) | b(6)), 0x60 + b(18) + b(19));
    g_decoded.rcpField13Set[1] = true;
    EXPECT_EQ(shown(lt, 2093, b(3) | b(5)), 0x28 + b(17) + b(18) + b(20)); // one AM lamp
    EXPECT_EQ(shown(lt, 2093, b(0) | b(1) | b(2)), 7 + b(14) + b(15) + b(16));
}

TEST_F(LightVarsTest, CduLampsReplaceTheWordOnTest)
{
    LightVarCdu lt("LightsCduL", 2086, 4927);
    EXPECT_EQ(shown(lt, 2086, T | b(0)), 0x7C000);
    EXPECT_EQ(shown(lt, 2086, b(4)), 16);
    g_psxValues[4927] = 1;
    EXPECT_EQ(shown(lt, 2086, b(0) | b(4)), 17 + b(14) + b(18));
    EXPECT_THAT(lt.description(), "b 14(EXEC) 15(DSPY) 16(FAIL) 17(MSG) 18(OFST)");
}

} // namespace
} // namespace brg
