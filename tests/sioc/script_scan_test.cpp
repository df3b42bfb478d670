#include "base/exceptions.h"
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

using test::readFile;
using test::writeFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

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

std::vector<std::uint32_t> g_initialised;

class SwitchVar : public ControlVar {
public:
    using ControlVar::ControlVar;
    void initialise() override { g_initialised.push_back(number); }
};

class LampVar : public InfoVar {
public:
    LampVar(std::string name, std::uint32_t number, bool polled)
        : InfoVar(std::move(name), number), m_polled(polled) {}
    void initialise() override { g_initialised.push_back(number); }
    void refresh() override {}
    bool isPolled() const override { return m_polled; }

private:
    bool m_polled;
};

// A small catalogue: switches at 1006, 1115 to 1128 and 1500, lamps at 2005 (polled) and 2010
// (not polled), and a listing of one line per variable.
VarPoolImpl::Builders lf_smallCatalogue()
{
    VarPoolImpl::Builders builders;
    builders.catalogue = [](VarPoolImpl& pool) {
        pool.storeVarPtr(std::make_shared<SwitchVar>("LtStorm", 1006));
        for (std::uint32_t n = 1115; n <= 1128; ++n)
            pool.storeVarPtr(std::make_shared<SwitchVar>("Switch" + std::to_string(n), n));
        pool.storeVarPtr(std::make_shared<SwitchVar>("Knob", 1500));
        pool.storeVarPtr(std::make_shared<LampVar>("LampPolled", 2005, true));
        pool.storeVarPtr(std::make_shared<LampVar>("LampSteady", 2010, false));
    };
    builders.listing = [](VarPoolImpl& pool) {
        for (const auto& [number, var] : pool.vars)
            pool.listing.push_back(std::to_string(number) + " " + var->name);
    };
    return builders;
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
        g_varPool = std::make_shared<VarPoolImpl>(lf_smallCatalogue());
        g_log.open();
    }
    void TearDown() override
    {
        gf_clearSelectionLists();
        TempDirTest::TearDown();
    }

    // Writes the script and makes it the script of the SIOC parameters.
    static void script(const std::vector<std::uint32_t>& numbers)
    {
        std::vector<std::int32_t> fields;
        for (std::uint32_t n : numbers)
            fields.push_back(-static_cast<std::int32_t>(n));
        writeFile("cockpit.ssi", gf_ssiRecords(fields));
        auto parameters = std::make_shared<SiocParameters>();
        parameters->script = "cockpit.ssi";
        g_siocparameters = parameters;
    }

    static std::string errorOf(void (*call)())
    {
        try {
            call();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no error";
    }

    static std::string log()
    {
        g_log.close();
        return readFile("Log.txt");
    }

    static std::vector<std::uint32_t> infoVarNumbers()
    {
        std::vector<std::uint32_t> numbers;
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
    script({2010, 1006, 999, 2005, 1275, 5689, 1006});
    detectVariables();

    EXPECT_THAT(g_varPool->siocNumbers, ElementsAre(1006u));
    EXPECT_THAT(g_initialised, ElementsAre(1006u, 2005u, 2010u));
    EXPECT_THAT(infoVarNumbers(), ElementsAre(2005u));
    EXPECT_EQ(display->variableCount(), 3u);
    EXPECT_EQ(display->repaints, 1);
    EXPECT_THAT(display->statusWhileReading, ElementsAre(true));
    EXPECT_FALSE(g_readingScript);
    EXPECT_THAT(log(), HasSubstr("Reading file cockpit.ssi\n"
                                 "\n3 Talvesync variables detected:\n"
                                 "1006 LtStorm\n2005 LampPolled\n2010 LampSteady\n"
                                 "\nNumber of infovars to be checked: 1\n"));
}

TEST_F(ScriptScanTest, OneVariableIsCountedInTheSingularAndUnscriptableSwitchesAreNotTaken)
{
    std::vector<std::uint32_t> numbers;
    for (std::uint32_t n = 1115; n <= 1128; ++n)
        numbers.push_back(n); // 1116 to 1127 may not be declared by a script
    script(numbers);
    detectVariables();
    EXPECT_THAT(g_varPool->siocNumbers, ElementsAre(1115u, 1128u));

    g_varPool = std::make_shared<VarPoolImpl>(lf_smallCatalogue());
    script({1006});
    detectVariables();
    EXPECT_THAT(log(), HasSubstr("\n1 Talvesync variable detected:\n1006 LtStorm\n"));
}

TEST_F(ScriptScanTest, ScriptsThatCannotServeEndTheReadingWithTheirCode)
{
    script({1006});
    std::filesystem::remove("cockpit.ssi");
    EXPECT_EQ(errorOf(detectVariables), "16: cockpit.ssi not found");
    std::filesystem::create_directory("cockpit.ssi");
    EXPECT_EQ(errorOf(detectVariables), "16: cockpit.ssi not found (not a regular file)");
    EXPECT_FALSE(g_readingScript);
    EXPECT_TRUE(display->statusWhileReading.empty());
    std::filesystem::remove("cockpit.ssi");

    script({});
    EXPECT_EQ(errorOf(detectVariables), "1: No variables found in cockpit.ssi");
    script({1275, 1276, 999});
    EXPECT_EQ(errorOf(detectVariables), "1: No variables found in cockpit.ssi");
    script({1006});
    g_whitelist = {1500};
    EXPECT_EQ(errorOf(detectVariables), "1: No variables found in cockpit.ssi");
    EXPECT_TRUE(g_varPool->vars.empty()); // the catalogue was never built
    gf_clearSelectionLists();

    script({1006, 1700, 1800});
    EXPECT_EQ(errorOf(detectVariables), "2: Var 1700 in your cockpit.ssi is not a Talvesync variable");
    EXPECT_TRUE(g_initialised.empty());
    g_varPool = std::make_shared<VarPoolImpl>(lf_smallCatalogue());
    script({1700});
    EXPECT_EQ(errorOf(detectVariables), "1: No variables found in your CONFIG_FILE");
}

TEST_F(ScriptScanTest, WhitelistKeepsAndBlacklistDrops)
{
    script({1006, 1500, 2005});
    g_blacklist = {1500};
    detectVariables();
    EXPECT_THAT(g_varPool->siocNumbers, ElementsAre(1006u));

    g_varPool = std::make_shared<VarPoolImpl>(lf_smallCatalogue());
    g_whitelist = {1500, 2005, 3000};
    detectVariables();
    EXPECT_THAT(g_varPool->siocNumbers, ElementsAre(1500u));
    EXPECT_THAT(log(), HasSubstr("You cannot have a WHITELIST and a BLACKLIST; the latter is ignored!"));
}

TEST_F(ScriptScanTest, WithTheWholeCatalogueAPositionBringsItsCollection)
{
    g_varPool = std::make_shared<VarPoolImpl>();
    script({1006, 3011, 3063});
    detectVariables();

    EXPECT_THAT(g_varPool->siocNumbers, ElementsAre(1006u, 3011u));
    EXPECT_TRUE(g_varPool->psxNumbers.contains(117u)); // Qs117, set by position 3011
    EXPECT_THAT(infoVarNumbers(), ElementsAre(3063u));
    EXPECT_EQ(display->variableCount(), 3u);
}

} // namespace
} // namespace brg
