// g_FromPSXClient: which received lines count, what they queue, how elements reach the Vars, and what
// a real opening burst leaves.
#include "base/exceptions.h"
#include "config/selection_lists.h"
#include "psx_test_support.h"
#include "support/data_file.h"
#include "vars/decoded_values.h"

#include <gmock/gmock.h>

#include <bit>
#include <cctype>
#include <sstream>

namespace brg::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using FromPsx = PsxInboundTest;

// Qs texts are kept for their users, CDU screen lines go to the shown CDU only and blank states of
// all; a version line repaints; "exit" alone ends the session.
TEST_F(FromPsx, TextLinesGoToTheirUsers)
{
    cfg::CDU_C.setRunning(true);
    cfg::LCD_CDU.setRunning(true);
    bind({4, 5237});
    g_qsStrings.set(4, "old");
    for (const char* line : {"Qs4=\r\n", "Qs5=unbound\n", "Qs137=MESSAGE\n", "Qs138=NOT USED\n", "Qs2=ignored\n", "Qi89=1\n",
                             "Qi90=1\n", "Qi90=0\n", "Qs62=LEFT TITLE\n", "Qs77=CENTRE ROW 1\n", "Qs515=gggg\n", "Qs500=wwww\n",
                             "exit \n", "Exit\n", "version=\n", "version=10.181 NG\r\n"})
        decode(line);
    EXPECT_EQ(varCalls, Calls{"^4"});
    EXPECT_EQ(display->calls,
              (Calls{"blank 0 1", "blank 1 1", "blank 1 0", "large 1 1 CENTRE ROW 1", "colour 1 1 gggg", "repaint"}));
    for (const auto& [n, text] : std::vector<std::pair<std::uint32_t, std::string>>{
             {4, ""}, {5, ""}, {137, "MESSAGE"}, {138, ""}, {2, ""}, {62, "LEFT TITLE"}, {500, "wwww"}})
        EXPECT_EQ(g_qsStrings.get(n), text) << n;
    EXPECT_EQ(g_psxVersion, "10.181 NG");
    EXPECT_EQ(queued(), Elements{});
    cfg::LCD_CDU.setRunning(false);
    decode("Qs501=rrrr\n");
    EXPECT_EQ(g_qsStrings.get(501), "");
    EXPECT_THROW(decode("exit\r\n"), ExitPSXReceivedException);
}

TEST_F(FromPsx, TracesFollowTheirSwitchesAndLists)
{
    bind({1001});
    openLog();
    g_log.setTrace(Trace::PsxInQh, true);
    g_log.setTrace(Trace::PsxInNonQ, true);
    g_qhTraceList = {1, 45};
    for (const char* line : {"Qh1a=2\n", "Qh45=1\r\n", "Qh46=1\r\n", "Qi46=1\r\n", "Qs46=x\r\n", "layout=1\n"})
        decode(line);
    EXPECT_THAT(log(), HasSubstr("   < Qh45=1\n   < layout=1\n")); // nothing of 46 between them
    EXPECT_THAT(log(), Not(HasSubstr("Qh1")));
}

TEST_F(FromPsx, ElementsReachTheVarsAndThePsxTable)
{
    bind({1134, 1401, 1045, 2005, 5005, 4700}, {2040});
    cfg::AUTOBRAKES_DOMINANT.setRunning(false);
    bind({});
    EXPECT_TRUE(g_dominanceFilter);
    for (const ChannelElement& e : Elements{{1134, 3}, {1401, 9}, {1045, 1}, {2005, 7}, {2040, 8}, {2041, 9}})
        g_FromPSXClient->pushElement(e);
    g_FromPSXClient->flushQueue();
    EXPECT_EQ(g_psxValues[1134], 3u);
    // The virtual switch 4700 follows PSX, which dominates the autobrakes (1134, 1401); the polled
    // 2040 reads g_psxValues itself.
    EXPECT_EQ(varCalls, (Calls{"4700=3", "^1045", "2005=7", "^5005"}));
    EXPECT_EQ(g_psxValues[2040], 8u);
    EXPECT_EQ(g_psxValues[2041], 9u);

    cfg::AUTOBRAKES_DOMINANT.setRunning(true);
    bind({});
    EXPECT_FALSE(g_dominanceFilter);
    varCalls.clear();
    g_FromPSXClient->pushElement({1134, 4});
    g_FromPSXClient->flushQueue();
    EXPECT_EQ(varCalls, (Calls{"4700=4", "^1134"}));
    g_FromPSXClient->pushElement({5689, 1});
    EXPECT_THROW(g_FromPSXClient->flushQueue(), std::out_of_range);
}

TEST_F(FromPsx, InitInicioBindsThroughTheLookupAndSetsTheDemands)
{
    bind({2214, 2274, 4985, 3022});
    EXPECT_EQ(g_FromPSXClient->demands().qi, (std::vector<std::uint32_t>{214, 274}));
    EXPECT_EQ(g_FromPSXClient->demands().qs, (std::vector<std::uint32_t>{480}));

    const auto lookup = [this](Qcode code) -> std::shared_ptr<Var> {
        return static_cast<std::uint32_t>(code) == 7 ? nullptr : vars.at(2214);
    };
    EXPECT_THROW(g_FromPSXClient->initInicio({3, 7, 9}, lookup), std::runtime_error);
    EXPECT_TRUE(g_FromPSXClient->isBound(3));
    EXPECT_FALSE(g_FromPSXClient->isBound(9));
}

// A real PSX opening burst, with a realistic set of variables bound.
TEST_F(FromPsx, TheOpeningBurstDecodesToTheValuesItHolds)
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

    const std::vector<std::string> capture = dataLines("psx-opening-capture.txt");
    for (std::size_t i = 0; i < capture.size(); ++i) {
        ASSERT_NO_THROW(decode(capture[i] + "\r\n")) << capture[i];
        if (i % 200 == 199)
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
