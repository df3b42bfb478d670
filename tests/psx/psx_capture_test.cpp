// A real PSX opening burst through decodeMessage, with a realistic set of variables bound.
#include "psx_test_support.h"
#include "support/data_file.h"
#include "vars/decoded_values.h"

#include <gmock/gmock.h>

#include <bit>
#include <cctype>
#include <fstream>
#include <sstream>

namespace brg::test {
namespace {

using PsxCapture = PsxInboundTest;

TEST_F(PsxCapture, TheOpeningBurstDecodesToTheValuesItHolds)
{
    cfg::CDU_L.setRunning(true);
    const std::vector<std::string> table = dataLines("psx-capture-values.txt");
    for (const std::string& line : table) {
        std::istringstream ranges(line.substr(4));
        for (std::uint32_t first, last; !std::isdigit(line[0]) && ranges >> first && ranges.ignore(1) >> last;)
            for (std::uint32_t n = first; n <= last; ++n)
                vars[n] = std::make_shared<RecordingVar>(n, line.starts_with("poll"), varCalls);
    }
    bind({});

    std::ifstream capture(std::string(TALVESYNC_TEST_DATA_DIR) + "/psx-opening-capture.txt");
    ASSERT_TRUE(capture);
    std::string line;
    for (int lines = 1; std::getline(capture, line); ++lines) {
        ASSERT_NO_THROW(decode(line + "\r\n")) << line;
        if (lines % 200 == 0)
            g_FromPSXClient->flushQueue();
    }
    g_FromPSXClient->flushQueue();

    int checked = 0;
    for (const std::string& row : table) {
        std::istringstream words(row);
        std::uint32_t n = 0;
        std::int32_t value = 0;
        if (std::isdigit(row[0]) && words >> n >> value && ++checked) {
            EXPECT_EQ(static_cast<std::int32_t>(g_psxValues[n].load()), value) << row;
        }
    }
    EXPECT_EQ(checked, 13);
    EXPECT_EQ(g_psxVersion, "10.181 NG");
    EXPECT_EQ(g_decoded.squawkDigitCount, 4);
    EXPECT_FLOAT_EQ(std::bit_cast<float>(g_psxValues[4885].load()), 0.2127519465194235f); // Qs121's latitude
    EXPECT_THAT(varCalls, ::testing::Contains("4744=0")); // Qs120=0;0;0 went straight to the Var
}

} // namespace
} // namespace brg::test
