// The catalogue rows themselves: numbering, groups, and the names PSX uses.
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

CatalogueOptions lf_encoders(bool left, bool centre, bool right)
{
    CatalogueOptions options;
    options.dualEncoder = {left, centre, right};
    return options;
}

TEST(CatalogueTable, NumbersAreUniqueUnderEitherRadioPanelSetting)
{
    for (const CatalogueOptions& options : {lf_encoders(true, true, true), lf_encoders(false, false, false)}) {
        std::set<std::uint32_t> numbers;
        for (const CatalogueRow& row : lf_rowsFor(options)) {
            EXPECT_TRUE(numbers.insert(row.number).second) << row.number << " " << row.name;
            EXPECT_LT(row.number, kVarCount);
        }
    }
}

TEST(CatalogueTable, GroupsCoverEveryCollectionOnceAndNameItsPositions)
{
    std::set<std::uint32_t> late;
    for (const CatalogueRow& row : gf_lateRows())
        late.insert(row.number);
    for (const CatalogueOptions& options : {lf_encoders(true, true, true), lf_encoders(false, false, false)}) {
        VarPoolImpl pool(VarPoolImpl::Builders{});
        gf_buildGroups(pool, options);
        std::set<std::uint32_t> bases;
        for (const auto& [base, numbers] : pool.groups) {
            EXPECT_TRUE(bases.insert(base).second);
            EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
        }
        EXPECT_EQ(bases, late);
        EXPECT_TRUE(std::is_sorted(pool.groups.begin(), pool.groups.end()));
    }

    VarPoolImpl pool(VarPoolImpl::Builders{});
    gf_buildGroups(pool, lf_encoders(false, false, false));
    std::map<std::uint32_t, std::vector<std::uint32_t>> groups(pool.groups.begin(), pool.groups.end());
    EXPECT_EQ(groups[16].back(), 4168u); // P72D_26 belongs to the letter string P72D
    EXPECT_EQ(groups[109], (std::vector<std::uint32_t>{3435, 3819}));
    EXPECT_EQ(groups[105].front(), 3996u); // ItemPotVar, base fixed
    EXPECT_EQ(groups[113].size(), 16u);    // ItemClampVar, base third
    EXPECT_EQ(groups[436], (std::vector<std::uint32_t>{3700, 3701, 3702, 3703}));
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
        if (std::regex_match(line, m, lexiconLine))
            lexicon[(m[1] == "s" ? 0 : m[1] == "h" ? 1000 : 2000) + static_cast<std::uint32_t>(std::stoul(m[2]))] = m[4];
    }
    std::set<std::uint32_t> differing;
    int compared = 0;
    for (auto table : {gf_virtualSwitchRows(), gf_mainRows(), gf_lateRows()}) {
        for (const CatalogueRow& row : table) {
            const auto it = lexicon.find(row.number);
            if (row.number >= 3000 || it == lexicon.end())
                continue;
            ++compared;
            if (it->second != row.name)
                differing.insert(row.number);
        }
    }
    EXPECT_EQ(differing, (std::set<std::uint32_t>{1271, 1272, 1386, 1387, 2204, 2235}));
    EXPECT_GT(compared, 700);
}

} // namespace
} // namespace brg
