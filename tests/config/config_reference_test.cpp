#include "config/config_reader.h"
#include "config/config_reference.h"
#include "config_test_fixture.h"

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
// item its default, logs each one read, and not one complaint.
TEST_F(ConfigReferenceTest, TheSampleReadsBackAsTheDefaultsWithoutAComplaint)
{
    const std::string sample = std::regex_replace(gf_configSample(), std::regex("\nCDU_L = 0\n"), "\nCDU_L = 1\n");
    ASSERT_NE(sample.find("\nCDU_L = 1\n"), std::string::npos);
    writeCfg(sample);
    gf_getCfgData();

    const std::string log = readFile("Log.txt");
    for (const char* complaint : {"EXCEPTION", "Exception", "is not a", "is missing", "Wrong key", "already used",
                                  "No PSX_HOSTADDRESS", "Searching for USB-Keys"})
        EXPECT_EQ(log.find(complaint), std::string::npos) << complaint << "\n" << log;
    for (const CfgItem* item : gf_configItems()) {
        const std::string& key = item->key();
        if (key == "CDU_L")
            continue;
        EXPECT_EQ(text(*item), text(*item, true)) << key;
        // The window code reads the positions and the Variables window's keys, not the start-up;
        // CDU_C and CDU_R are not read once CDU_L is on.
        if (!key.starts_with("MAIN_") && !key.starts_with("VARIABLES_WINDOW") && key != "CDU_C" && key != "CDU_R") {
            EXPECT_TRUE(logHas(key + "=" + text(*item, true))) << key;
        }
    }
}

} // namespace
} // namespace brg::test
