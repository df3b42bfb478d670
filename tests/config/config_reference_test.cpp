#include "app/process_state.h"
#include "config/config_items.h"
#include "config/config_reader.h"
#include "config/config_reference.h"
#include "config_test_fixture.h"

#include <fmt/format.h>
#include <regex>

namespace brg::test {
namespace {

using ConfigReferenceTest = ConfigTest;

std::string lf_docs(const std::string& name) { return readFile(std::string(TALVESYNC_TEST_DATA_DIR) + "/../../docs/" + name); }

// Both documents are generated; a change to the items without regenerating them shows here.
TEST_F(ConfigReferenceTest, TheCommittedReferenceAndSampleAreCurrent)
{
    EXPECT_TRUE(lf_docs("configuration.md") == gf_configReference())
        << "regenerate with: cfg-reference > docs/configuration.md";
    EXPECT_TRUE(lf_docs("Talvesync.cfg.sample") == gf_configSample())
        << "regenerate with: cfg-reference --sample > docs/Talvesync.cfg.sample";
}

// The sample, used as it is (with a CDU selected so that every CDU key is read too), gives every
// item its default and not one complaint in the log.
TEST_F(ConfigReferenceTest, TheSampleReadsBackAsTheDefaultsWithoutAComplaint)
{
    std::string sample = gf_configSample();
    sample = std::regex_replace(sample, std::regex("\nCDU_L = 0\n"), "\nCDU_L = 1\n");
    ASSERT_NE(sample.find("\nCDU_L = 1\n"), std::string::npos);
    writeCfg(sample);
    gf_getCfgData();

    const std::string log = readFile("Log.txt");
    for (const char* complaint : {"EXCEPTION", "Exception", "is not a", "is missing", "Wrong key", "already used",
                                  "No PSX_HOSTADDRESS", "Searching for USB-Keys"})
        EXPECT_EQ(log.find(complaint), std::string::npos) << complaint << "\n" << log;
    EXPECT_TRUE(g_cduMode);
    for (CfgItem* item : gf_configItems()) {
        SCOPED_TRACE(item->key());
        if (auto* i = dynamic_cast<IntParam*>(item)) {
            if (!item->key().starts_with("MAIN_")) { // the window code reads these, not the start-up
                EXPECT_TRUE(logHas(fmt::format("{}={}", item->key(), i->defaultValue())));
            }
            EXPECT_EQ(i->value(), i->defaultValue());
        } else if (auto* b = dynamic_cast<BoolParam*>(item); b && item->key() != "CDU_L") {
            EXPECT_EQ(b->value(), b->defaultValue());
            if (item->key() != "CDU_C" && item->key() != "CDU_R") { // not read once CDU_L is on
                EXPECT_TRUE(logHas(fmt::format("{}={}", item->key(), b->defaultValue() ? 1 : 0)));
            }
        } else if (auto* s = dynamic_cast<StringParam*>(item)) {
            EXPECT_EQ(s->value(), s->defaultValue());
        }
    }
}

} // namespace
} // namespace brg::test
