// The catalogue rows, the pool built from them through the variable factories, the start-up
// selection and its listing.
#include "vars/catalogue.h"
#include "vars/catalogue_reference.h"

#include "support/data_file.h"
#include "support/fresh_state.h"
#include "vars/var_state.h"
#include "vars/listing.h"
#include "vars/var_types.h"
#include "sioc/script_scan.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace brg {
namespace {

using Catalogue = test::FreshState;

// Every position sets an item its collection has: one press of each must not run off the end.
// Under either radio panel setting, every number is in range and there once.
TEST_F(Catalogue, EveryPositionSetsAnItemOfItsCollection)
{
    for (std::uint32_t n = 4; n <= 61; ++n)
        g_qsStrings.set(n, std::string(20, 'n'));
    for (bool dual : {true, false}) {
        CatalogueOptions options;
        options.dualEncoder = {dual, dual, dual};
        g_varPool = std::make_shared<VarPoolImpl>(gf_catalogueBuilders(options));
        g_varPool->buildCatalogue();
        g_varPool->buildLateVariables();
        for (const auto& [number, var] : g_varPool->vars)
            var->initialise();
        g_initPhase = false;
        for (const auto& [number, var] : g_varPool->vars) {
            EXPECT_LT(number, kVarCount); // a number twice has already thrown
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

    std::set<std::uint32_t> known; // everything the catalogue would build for these settings
    {
        VarPoolImpl all(gf_catalogueBuilders(CatalogueOptions{}));
        all.buildCatalogue();
        for (const auto& [n, v] : all.vars)
            if (script.contains(n))
                known.insert(n);
    }
    g_varPool = std::make_shared<VarPoolImpl>();
    VarPoolImpl& pool = *g_varPool;
    pool.selectVariables(script);
    for (const auto& [number, var] : pool.vars)
        var->initialise();
    g_initPhase = false;
    EXPECT_EQ(pool.count, known.size());
    EXPECT_EQ(pool.listing.size(), (known.size() + 4) / 5);
    for (std::uint32_t base : {16u, 436u, 120u, 357u, 1275u})
        EXPECT_TRUE(pool.psxNumbers.contains(base)) << base;
    EXPECT_TRUE(pool.addedBases.contains(16));
    EXPECT_FALSE(pool.siocNumbers.contains(16));
    for (std::uint32_t n : pool.siocNumbers)
        EXPECT_FALSE(pool.vars.at(n)->isInfoVar()) << n;
    for (const auto& [number, var] : pool.vars) {
        if (var->isInfoVar() && var->isPolled()) {
            EXPECT_NO_THROW(var->refresh()) << number;
        }
    }
}

// docs/variables.md is generated; a catalogue change without regenerating it shows here. It also
// holds every variable's type, description and PSX code as the factories build them.
TEST_F(Catalogue, CommittedReferenceIsCurrent)
{
    const std::string committed = test::readFile(std::string(TALVESYNC_TEST_DATA_DIR) + "/../../docs/variables.md");
    EXPECT_TRUE(committed == gf_catalogueReference()) << "regenerate with: var-reference > docs/variables.md";
    // Read as bytes: its CRLF line ends are part of what is compared.
    std::ifstream csvFile(std::string(TALVESYNC_TEST_DATA_DIR) + "/../../docs/variables.csv", std::ios::binary);
    const std::string csv{std::istreambuf_iterator<char>(csvFile), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(csv == gf_catalogueCsv()) << "regenerate with: var-reference --csv > docs/variables.csv";
}

// A script cannot use the numbers below 1000 nor the switches that the script scan leaves out:
// the reference marks exactly those as PSX side only, each naming the positions that take its place.
TEST(CatalogueReference, MarksWhatScriptsCannotUseAndPointsToThePositions)
{
    const std::set<std::uint32_t> leftOut(kSwitchNumbersNotInScripts.begin(), kSwitchNumbersNotInScripts.end());
    std::map<std::uint32_t, std::pair<std::string, std::string>> rows; // direction, description
    std::size_t psxSideRows = 0;
    std::size_t pointers = 0;
    std::istringstream csv(gf_catalogueCsv());
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "number,name,psx_variable,type,direction,description\r");
    while (std::getline(csv, line)) {
        std::vector<std::string> fields;
        for (std::size_t begin = 0, i = 0; i < 5; ++i) {
            const std::size_t comma = line.find(',', begin);
            fields.push_back(line.substr(begin, comma - begin));
            begin = comma + 1;
            if (i == 4)
                fields.push_back(line.substr(begin, line.size() - begin - 1)); // without its "\r"
        }
        const auto number = static_cast<std::uint32_t>(std::stoul(fields[0]));
        EXPECT_EQ(fields[4] == "PSX side only", number < 1000 || leftOut.contains(number)) << number;
        if (fields[4] == "PSX side only") {
            ++psxSideRows;
            pointers += fields[5].find("not in scripts: use the positions ") != std::string::npos;
        }
        rows[number] = {fields[4], fields[5]};
    }
    // 73 rows below 1000 (three numbers have one for each setting of their radio panel), 74 switches.
    EXPECT_EQ(psxSideRows, 73U + 74U);
    EXPECT_EQ(pointers, psxSideRows);
    EXPECT_EQ(rows.at(1235).second, "not in scripts: use the positions 3492 to 3495");
    EXPECT_EQ(rows.at(1006).first, "to PSX");
    EXPECT_EQ(rows.at(2043).first, "to cockpit");
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

using Listing = test::FreshState;

TEST_F(Listing, PadsNamesAndPutsFiveOnALine)
{
    for (const std::string& row : test::dataLines("listing.txt")) {
        const std::vector<std::string> cells = test::cells(row, 1);
        VarPoolImpl pool{VarPoolImpl::Builders{}};
        std::istringstream entries(cells[0]);
        std::uint32_t number = 0;
        for (std::string name; entries >> number >> name;)
            pool.storeVarPtr(std::make_shared<ControlVar>(name, number));
        gf_makeListing(pool);
        EXPECT_EQ(std::vector<std::string>(pool.listing.begin(), pool.listing.end()),
                  std::vector<std::string>(cells.begin() + 1, cells.end()))
            << row;
    }
}

} // namespace
} // namespace brg
