#include "app/process_state.h"
#include "base/display.h"
#include "base/log.h"
#include "config/selection_lists.h"
#include "sioc/script_scan.h"
#include "sioc/sioc_parameters.h"
#include "sioc/ssi_format.h"
#include "sioc/ssi_reader.h"
#include "support/data_file.h"
#include "support/fresh_state.h"
#include "vars/catalogue.h"
#include "vars/var_pool.h"

#include <gmock/gmock.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace brg {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Numbers = std::vector<std::uint32_t>;

Numbers g_initialised;

// Records its initialisation; a lamp when `info`, one checked every cycle when also `polled`.
class ScannedVar : public ControlVar {
public:
    ScannedVar(std::string name, std::uint32_t number, bool info = false, bool polled = false)
        : ControlVar(std::move(name), number), m_info(info), m_polled(polled) {}
    void initialise() override { g_initialised.push_back(number); }
    bool isInfoVar() const override { return m_info; }
    bool isPolled() const override { return m_polled; }

private:
    bool m_info;
    bool m_polled;
};

// The catalogue tests/data/sioc-scripts.txt describes, listing one line per variable.
std::shared_ptr<VarPoolImpl> lf_smallCatalogue()
{
    VarPoolImpl::Builders builders;
    builders.catalogue = [](VarPoolImpl& pool) {
        pool.storeVarPtr(std::make_shared<ScannedVar>("LtStorm", 1006));
        pool.storeVarPtr(std::make_shared<ScannedVar>("Knob", 1500));
        for (std::uint32_t n = 1115; n <= 1128; ++n)
            pool.storeVarPtr(std::make_shared<ScannedVar>("Switch" + std::to_string(n), n));
        pool.storeVarPtr(std::make_shared<ScannedVar>("LampPolled", 2005, true, true));
        pool.storeVarPtr(std::make_shared<ScannedVar>("LampSteady", 2010, true));
    };
    builders.listing = [](VarPoolImpl& pool) {
        for (const auto& [number, var] : pool.vars)
            pool.listing.push_back(std::to_string(number) + " " + var->name);
    };
    return std::make_shared<VarPoolImpl>(builders);
}

template <typename List = Numbers> List lf_numbers(const std::string& text)
{
    std::istringstream in(text);
    List numbers;
    for (std::uint32_t n; in >> n;)
        numbers.insert(numbers.end(), static_cast<typename List::value_type>(n));
    return numbers;
}

class ScriptScanTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        gf_clearSelectionLists();
        display = std::make_shared<StatusTexts>();
        g_display = display;
        g_log.open();
    }
    void TearDown() override
    {
        gf_clearSelectionLists();
        TempDirTest::TearDown();
    }

    // Writes the script and scans it as the SIOC parameters' script: the error, if any.
    static std::string scan(const Numbers& numbers)
    {
        std::vector<std::int32_t> fields;
        for (std::uint32_t n : numbers)
            fields.push_back(-static_cast<std::int32_t>(n));
        test::writeFile("cockpit.ssi", gf_ssiRecords(fields));
        return scanned("cockpit.ssi");
    }
    static std::string scanned(const std::string& path)
    {
        auto parameters = std::make_shared<SiocParameters>();
        parameters->script = path;
        g_siocparameters = parameters;
        try {
            sioc::detectVariables();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }
    static Numbers infoVarNumbers()
    {
        Numbers numbers;
        for (const auto& var : g_infoVars)
            numbers.push_back(var->number);
        return numbers;
    }

    std::shared_ptr<StatusTexts> display;
};

TEST(SwitchNumbersNotInScriptsTest, AreTheCollectionsOfVirtualSwitchPositionsAScriptCouldDeclare)
{
    for (bool dualEncoders : {true, false}) {
        CatalogueOptions options;
        options.dualEncoder.fill(dualEncoders);
        VarPoolImpl pool{VarPoolImpl::Builders{}};
        gf_buildGroups(pool, options);
        std::set<std::uint32_t> collections;
        for (const auto& [base, positions] : pool.groups)
            if (base >= SsiReader::kLowest)
                collections.insert(base);
        EXPECT_EQ(collections, std::set<std::uint32_t>(kSwitchNumbersNotInScripts.begin(),
                                                       kSwitchNumbersNotInScripts.end()));
    }
}

TEST_F(ScriptScanTest, SelectsInitialisesAndReportsTheDeclaredVariables)
{
    for (const std::string& line : test::dataLines("sioc-scripts.txt")) {
        SCOPED_TRACE(line);
        std::vector<std::string> column = test::cells(line, 7);
        g_varPool = lf_smallCatalogue();
        g_whitelist = lf_numbers<NumberList>(column[1]);
        g_blacklist = lf_numbers<NumberList>(column[2]);
        g_initialised.clear();
        g_infoVars.clear();
        display->setVariableCount(0);
        const std::string error = column[6].erase(0, column[6].find_first_not_of(' '));
        EXPECT_EQ(scan(lf_numbers(column[0])), error);
        Numbers selected;
        for (const auto& [number, var] : g_varPool->vars)
            selected.push_back(number);
        EXPECT_EQ(selected, lf_numbers(column[3]));
        EXPECT_EQ(g_initialised, error.empty() ? selected : Numbers{});
        EXPECT_EQ(Numbers(g_varPool->siocNumbers.begin(), g_varPool->siocNumbers.end()), lf_numbers(column[4]));
        EXPECT_EQ(infoVarNumbers(), lf_numbers(column[5]));
        EXPECT_EQ(display->variableCount(), error.empty() ? selected.size() : 0u);
        EXPECT_FALSE(g_readingScript);
    }
    g_log.close();
    const std::string log = test::readFile("Log.txt");
    EXPECT_THAT(log, HasSubstr("Reading file cockpit.ssi\n\n3 Talvesync variables detected:\n"
                               "1006 LtStorm\n2005 LampPolled\n2010 LampSteady\n\nNumber of infovars to be checked: 1\n"));
    EXPECT_THAT(log, HasSubstr("\n1 Talvesync variable detected:\n1006 LtStorm\n"));
}

TEST_F(ScriptScanTest, AScriptThatCannotBeReadEndsTheReadingWithCode16)
{
    std::filesystem::create_directory("folder.ssi");
    EXPECT_EQ(scanned("absent.ssi"), "16: absent.ssi not found");
    EXPECT_EQ(scanned("folder.ssi"), "16: folder.ssi not found (not a regular file)");
    EXPECT_FALSE(g_readingScript);
}

TEST_F(ScriptScanTest, WithTheWholeCatalogueAPositionBringsItsCollection)
{
    g_varPool = std::make_shared<VarPoolImpl>();
    ASSERT_EQ(scan({1006, 3011, 3063}), "");
    EXPECT_THAT(g_varPool->siocNumbers, ElementsAre(1006u, 3011u));
    EXPECT_TRUE(g_varPool->psxNumbers.contains(117u)); // Qs117, set by position 3011
    EXPECT_THAT(infoVarNumbers(), ElementsAre(3063u));
    EXPECT_EQ(display->variableCount(), 3u);
}

} // namespace
} // namespace brg
