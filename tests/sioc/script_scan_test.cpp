#include "app/process_state.h"
#include "base/display.h"
#include "base/log.h"
#include "config/selection_lists.h"
#include "sioc/script_scan.h"
#include "sioc/sioc_parameters.h"
#include "sioc/ssi_format.h"
#include "sioc/ssi_reader.h"
#include "support/fresh_state.h"
#include "vars/catalogue.h"
#include "vars/var_pool.h"

#include <gmock/gmock.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace brg {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Numbers = std::vector<std::uint32_t>;

// Records what the scan shows and whether the script was being read when it cleared the status.
class RecordingDisplay : public StatusTexts {
public:
    void setStatus(const std::string& text) override
    {
        statusWhileReading.push_back(g_readingScript.load());
        StatusTexts::setStatus(text);
    }
    void repaint() override { ++repaints; }

    std::vector<bool> statusWhileReading;
    int repaints = 0;
};

Numbers g_initialised;

// Records its initialisation; a lamp when `info`, one checked every cycle when also `polled`.
class ScannedVar : public Var {
public:
    ScannedVar(std::string name, std::uint32_t number, bool info = false, bool polled = false)
        : Var(std::move(name), number, 0), m_info(info), m_polled(polled) {}
    void initialise() override { g_initialised.push_back(number); }
    void refresh() override {}
    void sendToPsx() override {}
    void setValue(std::int32_t) override {}
    bool isInfoVar() const override { return m_info; }
    bool isPolled() const override { return m_polled; }

private:
    bool m_info;
    bool m_polled;
};

// Switches at 1006, 1115 to 1128 and 1500, lamps at 2005 (polled) and 2010 (steady), and a
// listing of one line per variable.
std::shared_ptr<VarPoolImpl> lf_smallCatalogue()
{
    VarPoolImpl::Builders builders;
    builders.catalogue = [](VarPoolImpl& pool) {
        for (std::uint32_t n : {1006u, 1500u})
            pool.storeVarPtr(std::make_shared<ScannedVar>(n == 1006 ? "LtStorm" : "Knob", n));
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

class ScriptScanTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        g_initialised.clear();
        gf_clearSelectionLists();
        display = std::make_shared<RecordingDisplay>();
        g_display = display;
        g_varPool = lf_smallCatalogue();
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
    static std::string log()
    {
        g_log.close();
        return test::readFile("Log.txt");
    }
    static Numbers infoVarNumbers()
    {
        Numbers numbers;
        for (const auto& var : g_infoVars)
            numbers.push_back(var->number);
        return numbers;
    }

    std::shared_ptr<RecordingDisplay> display;
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
    ASSERT_EQ(scan({2010, 1006, 999, 2005, 1275, 5689, 1006}), "");
    EXPECT_THAT(g_varPool->siocNumbers, ElementsAre(1006u));
    EXPECT_THAT(g_initialised, ElementsAre(1006u, 2005u, 2010u));
    EXPECT_THAT(infoVarNumbers(), ElementsAre(2005u));
    EXPECT_EQ(display->variableCount(), 3u);
    EXPECT_EQ(display->repaints, 1);
    EXPECT_THAT(display->statusWhileReading, ElementsAre(true));
    EXPECT_FALSE(g_readingScript);

    // 1116 to 1127 may not be declared by a script; one variable is counted in the singular.
    g_varPool = lf_smallCatalogue();
    ASSERT_EQ(scan({1115, 1116, 1120, 1127, 1128}), "");
    EXPECT_THAT(g_varPool->siocNumbers, ElementsAre(1115u, 1128u));
    g_varPool = lf_smallCatalogue();
    g_blacklist = {1500};
    ASSERT_EQ(scan({1006, 1500}), "");
    EXPECT_THAT(log(), HasSubstr("Reading file cockpit.ssi\n\n3 Talvesync variables detected:\n"
                                 "1006 LtStorm\n2005 LampPolled\n2010 LampSteady\n\nNumber of infovars to be checked: 1\n"));
    EXPECT_THAT(log(), HasSubstr("\n1 Talvesync variable detected:\n1006 LtStorm\n"));
}

TEST_F(ScriptScanTest, ScriptsThatCannotServeEndTheReadingWithTheirCode)
{
    std::filesystem::create_directory("folder.ssi");
    EXPECT_EQ(scanned("absent.ssi"), "16: absent.ssi not found");
    EXPECT_EQ(scanned("folder.ssi"), "16: folder.ssi not found (not a regular file)");
    EXPECT_FALSE(g_readingScript);
    EXPECT_TRUE(display->statusWhileReading.empty());

    const struct {
        Numbers numbers;
        NumberList whitelist;
        std::string error;
    } rows[] = {
        {{}, {}, "1: No variables found in cockpit.ssi"},
        {{1275, 1276, 999}, {}, "1: No variables found in cockpit.ssi"},
        {{1006}, {1500}, "1: No variables found in cockpit.ssi"},
        {{1006, 1700, 1800}, {}, "2: Var 1700 in your cockpit.ssi is not a Talvesync variable"},
        {{1700}, {}, "1: No variables found in your CONFIG_FILE"},
    };
    for (const auto& row : rows) {
        g_varPool = lf_smallCatalogue();
        g_whitelist = row.whitelist;
        EXPECT_EQ(scan(row.numbers), row.error);
        EXPECT_EQ(g_varPool->vars.empty(), row.error.starts_with("1:")) << row.error; // nothing selected
        EXPECT_TRUE(g_initialised.empty()) << row.error;
    }
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
