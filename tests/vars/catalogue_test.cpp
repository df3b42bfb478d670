// The pool built from the catalogue through the variable factories, and the start-up selection.
#include "vars/catalogue.h"
#include "vars/catalogue_reference.h"

#include "app/process_state.h"
#include "config/config_items.h"
#include "net/hand_over_queues.h"
#include "support/fresh_state.h"
#include "vars/var_types.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <utility>

namespace brg {
namespace {

class Catalogue : public test::FreshState {
protected:
    // Selection as the script scan runs it, with the pool in g_varPool so positions find their base.
    VarPoolImpl& select(const std::set<std::uint32_t>& script)
    {
        g_varPool = std::make_shared<VarPoolImpl>();
        g_varPool->selectVariables(script);
        for (const auto& [number, var] : g_varPool->vars)
            var->initialise();
        return *g_varPool;
    }

    // The whole catalogue, built and initialised.
    VarPoolImpl& buildAll(const CatalogueOptions& options)
    {
        g_varPool = std::make_shared<VarPoolImpl>(gf_catalogueBuilders(options));
        g_varPool->buildCatalogue();
        g_varPool->buildLateVariables();
        for (const auto& [number, var] : g_varPool->vars)
            var->initialise();
        return *g_varPool;
    }

    static std::optional<std::pair<std::uint32_t, std::string>> nextText() { return g_psxStringQueue.tryPop(); }
};

TEST_F(Catalogue, BuildsEveryRowOfEitherRadioPanelSetting)
{
    EXPECT_EQ(buildAll(CatalogueOptions{}).vars.size(), 992u + 1525u + 144u);
    CatalogueOptions single;
    single.dualEncoder = {false, false, false};
    EXPECT_EQ(buildAll(single).vars.size(), 989u + 1525u + 144u);
    EXPECT_EQ(g_varPool->vars.begin()->first, 4u);
    EXPECT_EQ(g_varPool->vars.rbegin()->first, 5688u);
}

// Parameters reach the factories in their order: the codes and ranges the types report prove it.
TEST_F(Catalogue, TellingRowsCarryTheirParameters)
{
    VarPoolImpl& pool = buildAll(CatalogueOptions{});
    const auto text = [&pool](std::uint32_t n) {
        const auto& var = *pool.vars.at(n);
        return var.name + " " + var.description() + " " + var.psxCodeText();
    };
    EXPECT_EQ(text(1006), "LtStorm A ");
    EXPECT_EQ(text(3224), "Elt b 14 Qh224");
    EXPECT_EQ(text(3424), "EvacLight b 5 Qh424");
    EXPECT_EQ(text(5029), "CfgNdRwyLimCtrl [0..5000] Qi29");
    EXPECT_EQ(text(3028), "SquawkDispl BCD4 (trailing A's possible, such as 1AAA; ---- means PASS) Qs118");
    EXPECT_EQ(text(3124), "TimeClockL BCD4 HHMM Qs124");
    EXPECT_EQ(text(3131), "TimeClockL BCD4 YEAR Qs124");
    EXPECT_EQ(text(3480), "XpndrPshButton0 M Qh414");
    EXPECT_EQ(text(3526), "AcpPshButtonL26 H Qh410");
    EXPECT_EQ(text(3627), "RcpPshButtonR7 M Qh409");
    EXPECT_EQ(text(4884), "TAS Qcode value Qs121");
    EXPECT_EQ(text(4700), "AutobrVirtual Qh value (Virtual Switch position) Qh134");
    EXPECT_EQ(text(5237), "MfAilLockout bits 0 & 1: Severity, b 2: Set/Clear MF Qs137");
    EXPECT_EQ(text(5235), "WxSlowTransitCtrl M Qi243");
    EXPECT_EQ(text(1273), "JettRemain [0.%.9999] ");
    EXPECT_EQ(text(3645), "AcpRotIM_L [0..3] Qs113");
    EXPECT_EQ(text(3644), "AcpRotVBR_L [0..2] Qs113");
    EXPECT_EQ(text(3700), "Tla1 [-8925.%.5000] Qs436");
    EXPECT_EQ(text(3996), "TiltCp P270 Qs105");
    EXPECT_EQ(text(4012), "P71A_13 A Qs4");
    EXPECT_EQ(text(16), "P72D Collection of 13... ");
    EXPECT_EQ(text(113), "RotSelAudioL Collection of 16... ");
}

// Every position sets an item its collection has: one press of each must not run off the end.
TEST_F(Catalogue, EveryPositionSetsAnItemOfItsCollection)
{
    for (std::uint32_t n = 4; n <= 61; ++n)
        g_qsStrings.set(n, std::string(20, 'n'));
    for (bool dual : {true, false}) {
        CatalogueOptions options;
        options.dualEncoder = {dual, dual, dual};
        VarPoolImpl& pool = buildAll(options);
        g_initPhase = false;
        for (const auto& [number, var] : pool.vars) {
            if (number < 3000 || var->isInfoVar())
                continue;
            EXPECT_NO_THROW(var->setValue(1)) << number << " " << var->name;
            EXPECT_NO_THROW(var->setValue(0)) << number << " " << var->name;
        }
    }
}

// A script of a few hundred numbers over every range: selection, binding and one refresh round.
TEST_F(Catalogue, SelectsInitialisesAndListsARealisticScript)
{
    std::set<std::uint32_t> script;
    for (std::uint32_t n = 0; n < kVarCount; n += 13)
        script.insert(n); // catalogue numbers, numbers it lacks, and collections named directly
    script.insert({1006, 1134, 2032, 2204, 3028, 3224, 3480, 3700, 3708, 3711, 3941, 4168, 4700, 5237, 5688});
    ASSERT_GT(script.size(), 400u);

    VarPoolImpl& pool = select(script);

    std::set<std::uint32_t> known; // everything the catalogue would build for these settings
    {
        VarPoolImpl all(gf_catalogueBuilders(CatalogueOptions{}));
        all.buildCatalogue();
        for (const auto& [n, v] : all.vars) {
            if (script.contains(n))
                known.insert(n);
        }
    }
    EXPECT_EQ(pool.count, known.size());
    EXPECT_EQ(pool.listing.size(), (known.size() + 4) / 5);
    for (std::uint32_t base : {16u, 436u, 120u, 357u, 1275u})
        EXPECT_TRUE(pool.psxNumbers.contains(base)) << base;
    EXPECT_TRUE(pool.addedBases.contains(16));
    EXPECT_FALSE(pool.siocNumbers.contains(16));
    for (std::uint32_t n : pool.siocNumbers)
        EXPECT_FALSE(pool.vars.at(n)->isInfoVar()) << n;

    g_initPhase = false;
    for (const auto& [number, var] : pool.vars) {
        if (var->isInfoVar() && var->isPolled()) {
            EXPECT_NO_THROW(var->refresh()) << number;
        }
    }
}

TEST_F(Catalogue, APositionOfALetterStringSelectsTheString)
{
    VarPoolImpl& pool = select({4168});
    EXPECT_EQ(pool.psxNumbers, (std::set<std::uint32_t>{16, 4168}));
    EXPECT_EQ(pool.addedBases, (std::set<std::uint32_t>{16}));
    EXPECT_EQ(pool.siocNumbers, (std::set<std::uint32_t>{4168}));
    ASSERT_EQ(pool.listing.size(), 1u);
    EXPECT_EQ(pool.listing.front(), "4168 \"P72D_26\"            ");
}

TEST_F(Catalogue, SingleEncoderLeftPanelReplacesTheThreeKnobs)
{
    cfg::DUAL_ENCODER_RCPL.setRunning(false);
    VarPoolImpl& pool = select({3435, 3690, 3819});
    EXPECT_FALSE(pool.vars.contains(3690));
    EXPECT_TRUE(pool.vars.contains(3435));
    EXPECT_TRUE(pool.vars.contains(3819));
    ASSERT_TRUE(pool.vars.contains(109));
    EXPECT_NE(dynamic_cast<QsTripletVar*>(pool.vars.at(109).get()), nullptr);

    VarPoolImpl& onlySwitch = select({3435});
    EXPECT_TRUE(onlySwitch.vars.contains(109));
}

TEST_F(Catalogue, SingleEncoderRightPanelTunesThroughTheTriplet)
{
    cfg::DUAL_ENCODER_RCPR.setRunning(false);
    cfg::InvertBigFreqKnobR.setRunning(true); // steps go out as they come
    VarPoolImpl& pool = select({3821, 3437});
    ASSERT_NE(dynamic_cast<QsTripletVar*>(pool.vars.at(111).get()), nullptr);
    g_initPhase = false;

    pool.vars.at(3821)->setValue(-3);
    EXPECT_EQ(nextText(), std::make_pair(111u, std::string("0;0;-3")));
    pool.vars.at(3437)->setValue(1);
    EXPECT_EQ(nextText(), std::make_pair(111u, std::string("0;0;0")));
    pool.vars.at(3821)->setValue(-3);
    EXPECT_EQ(nextText(), std::make_pair(111u, std::string("0;-3;0")));
    pool.vars.at(3437)->setValue(0);
    EXPECT_EQ(nextText(), std::make_pair(111u, std::string("0;0;0"))); // the step was used up
}

TEST_F(Catalogue, EncodersFollowTheirOwnInvertKey)
{
    cfg::InvertDeltaStbyIasBug1.setRunning(true);
    VarPoolImpl& pool = select({1000, 1001});
    g_initPhase = false;
    pool.vars.at(1000)->setValue(5);
    pool.vars.at(1001)->setValue(5);
    EXPECT_EQ(g_psxValueQueue.tryPop(), std::make_pair(1000u, 5));
    EXPECT_EQ(g_psxValueQueue.tryPop(), std::make_pair(1001u, -5));
}

// docs/variables.md is generated; a catalogue change without regenerating it shows here.
TEST_F(Catalogue, CommittedReferenceIsCurrent)
{
    const std::string committed = test::readFile(std::string(TALVESYNC_TEST_DATA_DIR) + "/../../docs/variables.md");
    const std::string reference = gf_catalogueReference();
    EXPECT_TRUE(committed == reference) << "regenerate with: var-reference > docs/variables.md";
    EXPECT_NE(reference.find("| 3224 | Elt | LightVarElt | b 14 | Qh224 |\n"), std::string::npos);
}

} // namespace
} // namespace brg
