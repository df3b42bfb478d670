// The catalogue rows themselves: counts, numbering, groups, and the names PSX uses.
#include "vars/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace brg {
namespace {

std::vector<CatalogueRow> lf_rowsFor(const CatalogueOptions& options)
{
    std::vector<CatalogueRow> rows;
    for (auto table : {gf_virtualSwitchRows(), gf_mainRows(), gf_lateRows()})
        for (const CatalogueRow& row : table)
            if (options.includes(row))
                rows.push_back(row);
    return rows;
}

// Every row once: the positions and collections of both radio panel settings.
std::vector<CatalogueRow> lf_allRows()
{
    std::vector<CatalogueRow> rows;
    for (auto table : {gf_virtualSwitchRows(), gf_mainRows(), gf_lateRows()})
        rows.insert(rows.end(), table.begin(), table.end());
    return rows;
}

CatalogueOptions lf_singleEncoders()
{
    CatalogueOptions options;
    options.dualEncoder = {false, false, false};
    return options;
}

std::string lf_rangeOf(std::uint32_t n)
{
    if (n < 1000)
        return "Qs";
    if (n < 2000)
        return "Qh";
    if (n < 3000)
        return "Qi";
    return std::to_string(n / 1000 * 1000);
}

TEST(CatalogueTable, HasTheRowCountsPerRangeAndType)
{
    std::map<std::string, std::map<std::string, int>> byRange;
    std::map<std::string, int> rowsPerRange;
    for (auto table : {gf_mainRows(), gf_lateRows()}) {
        for (const CatalogueRow& row : table) {
            ++byRange[lf_rangeOf(row.number)][std::string(gf_varTypeName(row.type))];
            ++rowsPerRange[lf_rangeOf(row.number)];
        }
    }
    const std::map<std::string, int> expectedRows{{"Qs", 73},   {"Qh", 422},  {"Qi", 270},
                                                  {"3000", 304}, {"4000", 120}, {"5000", 483}};
    EXPECT_EQ(rowsPerRange, expectedRows);

    using Counts = std::map<std::string, int>;
    EXPECT_EQ(byRange["Qs"], (Counts{{"QsLetterVar", 58}, {"QsListVar", 5}, {"QsQueuedListVar", 3},
                                     {"QsTripletVar", 3}, {"WxPushVar", 1}, {"WxTurnVar", 1},
                                     {"FltControlsVar", 1}, {"BrakesVar", 1}}));
    EXPECT_EQ(byRange["Qh"], (Counts{{"SwitchVar", 165}, {"PushVar", 84}, {"QhFirstItemVar", 44},
                                     {"ClampVar", 39}, {"PotVar", 26}, {"EncoderVar", 15},
                                     {"QhThreeWayVar", 15}, {"BandVar", 12}, {"QhThreeWay25Var", 6},
                                     {"QhBitsVar", 5}, {"Switch12Var", 4}, {"KeyCodeVar", 3},
                                     {"QhTwoPushVar", 2}, {"QhTwoStateVar", 1}, {"QhPlus8Var", 1}}));
    EXPECT_EQ(byRange["Qi"], (Counts{{"ValueVar", 209}, {"LightVar3b", 43}, {"LightVarCdu", 3},
                                     {"LightVarRadio", 3}, {"AudioBitsVar", 3}, {"AudioSelectVar", 3},
                                     {"Bcd3DpVar", 1}, {"Bcd3Var", 1}, {"Bcd4bnVar", 1}, {"Bcd5Var", 1},
                                     {"SquawkVar", 1}, {"BandForwardVar", 1}}));
    EXPECT_EQ(byRange["3000"],
              (Counts{{"LightVar8", 96}, {"KeyPush23Var", 75}, {"KeyPushVar", 24}, {"GatedValueVar", 21},
                      {"LightVarSquib", 18}, {"LightVar3", 13}, {"CduKeyVar", 12}, {"LinkedForwardVar", 11},
                      {"RadioFreqVar", 6}, {"ClockVar", 6}, {"LightVarT", 5}, {"LightVar14", 4},
                      {"LightVarB", 4}, {"SelectorVar", 3}, {"ChronoVar", 2}, {"SquawkDisplayVar", 1},
                      {"FlagVar", 1}, {"LightVarElt", 1}, {"LightVarEvac", 1}}));
    EXPECT_EQ(byRange["4000"], (Counts{{"LinkedForwardVar", 106}, {"SwitchEchoVar", 14}}));
    EXPECT_EQ(byRange["5000"], (Counts{{"LinkedForwardVar", 256}, {"MessageVar", 184}, {"LinkedSwitchVar", 21},
                                       {"LinkedClampVar", 16}, {"LinkedValueVar", 4}, {"LinkedPushVar", 2}}));

    std::map<std::string, int> positionsPerRange;
    for (const CatalogueRow& row : gf_virtualSwitchRows())
        ++positionsPerRange[lf_rangeOf(row.number)];
    EXPECT_EQ(gf_virtualSwitchRows().size(), 998u);
    EXPECT_EQ(positionsPerRange, (std::map<std::string, int>{{"3000", 346}, {"4000", 652}}));
}

TEST(CatalogueTable, NumbersAreUniqueUnderEitherRadioPanelSetting)
{
    for (const CatalogueOptions& options : {CatalogueOptions{}, lf_singleEncoders()}) {
        std::set<std::uint32_t> numbers;
        for (const CatalogueRow& row : lf_rowsFor(options))
            EXPECT_TRUE(numbers.insert(row.number).second) << row.number << " " << row.name;
    }
    std::set<std::uint32_t> everyNumber;
    for (const CatalogueRow& row : lf_allRows())
        everyNumber.insert(row.number);
    EXPECT_EQ(everyNumber.size(), 2667u);
    EXPECT_EQ(*everyNumber.begin(), 4u);
    EXPECT_EQ(*everyNumber.rbegin(), 5688u);
    EXPECT_LT(*everyNumber.rbegin(), kVarCount);
}

TEST(CatalogueTable, RadioPanelSettingChoosesPositionsAndCollectionType)
{
    const auto find = [](const std::vector<CatalogueRow>& rows, std::uint32_t n) {
        return std::find_if(rows.begin(), rows.end(), [n](const CatalogueRow& r) { return r.number == n; });
    };
    CatalogueOptions leftSingle;
    leftSingle.dualEncoder = {false, true, true};
    const auto rows = lf_rowsFor(leftSingle);
    EXPECT_EQ(find(rows, 3690), rows.end());
    ASSERT_NE(find(rows, 3819), rows.end());
    ASSERT_NE(find(rows, 3435), rows.end());
    ASSERT_NE(find(rows, 109), rows.end());
    EXPECT_EQ(find(rows, 109)->type, VarType::QsTripletVar);
    // The other panels keep their three encoders.
    EXPECT_NE(find(rows, 3693), rows.end());
    EXPECT_EQ(find(rows, 3820), rows.end());
    EXPECT_EQ(find(rows, 110)->type, VarType::QsQueuedListVar);

    // The single encoder follows the big-knob inversion key.
    EXPECT_EQ(find(rows, 3819)->params[3], InvertBigFreqKnobL);
}

TEST(CatalogueTable, LateRowsAreExactlyTheCollections)
{
    const std::set<VarType> collections{
        VarType::QsListVar,      VarType::QsQueuedListVar, VarType::QsTripletVar,   VarType::QsLetterVar,
        VarType::FltControlsVar, VarType::BrakesVar,       VarType::WxPushVar,      VarType::WxTurnVar,
        VarType::QhBitsVar,      VarType::QhTwoPushVar,    VarType::QhTwoStateVar,  VarType::QhPlus8Var,
        VarType::QhFirstItemVar, VarType::QhThreeWayVar,   VarType::QhThreeWay25Var};
    for (const CatalogueRow& row : gf_lateRows())
        EXPECT_TRUE(collections.contains(row.type)) << row.number;
    for (auto table : {gf_virtualSwitchRows(), gf_mainRows()})
        for (const CatalogueRow& row : table)
            EXPECT_FALSE(collections.contains(row.type)) << row.number;
}

TEST(CatalogueTable, GroupsCoverEveryCollectionOnce)
{
    for (const CatalogueOptions& options : {CatalogueOptions{}, lf_singleEncoders()}) {
        VarPoolImpl pool(VarPoolImpl::Builders{});
        gf_buildGroups(pool, options);
        ASSERT_EQ(pool.groups.size(), 144u);

        std::set<std::uint32_t> late;
        for (const CatalogueRow& row : gf_lateRows())
            late.insert(row.number);
        std::set<std::uint32_t> bases;
        std::size_t members = 0;
        for (const auto& [base, numbers] : pool.groups) {
            EXPECT_TRUE(bases.insert(base).second);
            EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
            members += numbers.size();
        }
        EXPECT_EQ(bases, late);
        EXPECT_TRUE(std::is_sorted(pool.groups.begin(), pool.groups.end()));
        // Nine radio positions with three encoders per panel, six with one encoder and a switch.
        EXPECT_EQ(members, options.dualEncoder[0] ? 998u - 6u : 998u - 9u);
    }
}

TEST(CatalogueTable, GroupsNameTheCollectionEachPositionSets)
{
    VarPoolImpl pool(VarPoolImpl::Builders{});
    gf_buildGroups(pool, lf_singleEncoders());
    std::map<std::uint32_t, std::vector<std::uint32_t>> groups(pool.groups.begin(), pool.groups.end());
    EXPECT_EQ(groups[16].back(), 4168u); // P72D_26 belongs to the letter string P72D
    EXPECT_EQ(groups[109], (std::vector<std::uint32_t>{3435, 3819}));
    EXPECT_EQ(groups[105].front(), 3996u);     // ItemPotVar, base fixed
    EXPECT_EQ(groups[113].size(), 16u);        // ItemClampVar, base third
    EXPECT_EQ(groups[436], (std::vector<std::uint32_t>{3700, 3701, 3702, 3703})); // ItemBandVar
    EXPECT_EQ(groups[1424], (std::vector<std::uint32_t>{4733, 4734}));
}

// The names PSX itself announces in its lexicon agree with ours, apart from a few known ones.
TEST(CatalogueTable, NamesAgreeWithThePsxLexicon)
{
    std::ifstream capture(std::string(TALVESYNC_TEST_DATA_DIR) + "/psx-opening-capture.txt");
    ASSERT_TRUE(capture.is_open());
    const std::regex lexiconLine(R"(L([shi])(\d+)\((\w)\)=(.*?)\r?)");
    std::map<std::uint32_t, std::string> lexicon;
    std::string line;
    while (std::getline(capture, line)) {
        std::smatch m;
        if (!std::regex_match(line, m, lexiconLine))
            continue;
        const std::uint32_t offset = m[1] == "s" ? 0 : m[1] == "h" ? 1000 : 2000;
        lexicon[offset + static_cast<std::uint32_t>(std::stoul(m[2]))] = m[4];
    }
    ASSERT_EQ(lexicon.size(), 1276u);

    const std::set<std::uint32_t> knownDifferences{1271, 1272, 1386, 1387, 2204, 2235};
    std::set<std::uint32_t> differing;
    int compared = 0;
    for (const CatalogueRow& row : lf_allRows()) {
        const auto it = lexicon.find(row.number);
        if (row.number >= 3000 || it == lexicon.end())
            continue;
        ++compared;
        if (it->second != row.name)
            differing.insert(row.number);
    }
    EXPECT_EQ(differing, knownDifferences);
    EXPECT_GT(compared, 700);
}

} // namespace
} // namespace brg
