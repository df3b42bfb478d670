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

#include <ios>
#include <istream>
#include <iterator>
#include <memory>
#include <ranges>
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
    return List(std::istream_iterator<typename List::value_type>(in), {});
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
        const auto numbers = std::views::transform(g_infoVars, [](const auto& var) { return var->number; });
        return Numbers(numbers.begin(), numbers.end());
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
        const auto keys = std::views::keys(g_varPool->vars);
        const Numbers selected(keys.begin(), keys.end());
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

using SsiReaderTest = test::TempDirTest;

TEST_F(SsiReaderTest, NegativeFieldsDeclareTheirNegationOnceIn1000To5688)
{
    // A file of 1000 bytes: the third record is read from offset 800.
    std::string thousand = gf_ssiRecords({-1001, -1002, 0});
    thousand.resize(1000);
    thousand.replace(940, 4, std::string("\x48\xF4\xFF\xFF", 4)); // -3000
    // A last record of 143 bytes ends inside the field: its bytes glued to the 0xFF left over from
    // -1002 would read as -4000. Exactly 144 bytes hold the whole field.
    const std::string cut = gf_ssiRecords({-1001, -1002}) + std::string(140, '\0') + "\x60\xF0\xFF";
    const std::string whole = gf_ssiRecords({-1001}) + gf_ssiRecords({-4000}).substr(0, 144);
    const std::vector<std::pair<std::string, std::vector<std::uint32_t>>> cases = {
        {"", {}},
        {gf_ssiRecords({-1234, -1234}), {1234}},
        {gf_ssiRecords({-1234, -1300, -1234}), {1234, 1300}}, // repeats only in consecutive records
        // A non-negative field leaves the previous value alone: -2000 after it is still a repeat.
        {gf_ssiRecords({-2000, 0, 7, -2000, -2001}), {2000, 2001}},
        {gf_ssiRecords({-999, -5689, -1000, -5688, 0, 1234, INT32_MIN, -1}), {1000, 5688}},
        {thousand, {1001, 1002, 3000}},
        {cut, {1001, 1002}},
        {whole, {1001, 4000}},
    };
    for (const auto& [image, expected] : cases) {
        test::writeFile("script.ssi", image);
        SsiReader reader;
        ASSERT_TRUE(reader.openFile("script.ssi"));
        reader.readNumbers();
        reader.closeFile();
        EXPECT_EQ(std::vector<std::uint32_t>(reader.numbers().begin(), reader.numbers().end()), expected)
            << image.size() << " bytes";
    }
}

// Fails every read that reaches past `readable` bytes, as a failing disk or a vanished share does.
class FailingScript : public std::stringbuf {
public:
    FailingScript(const std::string& image, std::streamsize readable) : std::stringbuf(image), m_readable(readable) {}

protected:
    std::streamsize xsgetn(char* out, std::streamsize count) override
    {
        if (gptr() - eback() + count > m_readable)
            throw std::ios_base::failure("device error");
        return std::stringbuf::xsgetn(out, count);
    }

private:
    std::streamsize m_readable;
};

TEST_F(SsiReaderTest, AReadErrorEndsTheReadWithAnError)
{
    FailingScript failing(gf_ssiRecords({-1001, -1002, -1003}), 800);
    std::istream in(&failing);
    SsiReader reader;
    EXPECT_THROW(reader.readNumbers(in), std::runtime_error);
    EXPECT_THAT(reader.numbers(), ElementsAre(1001u, 1002u)); // read before the failure
}

} // namespace
} // namespace brg
