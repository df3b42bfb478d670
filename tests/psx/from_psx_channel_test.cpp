// g_FromPSXClient: which received lines count, what they queue, and how elements reach the Vars.
#include "base/exceptions.h"
#include "config/selection_lists.h"
#include "psx_test_support.h"

#include <gmock/gmock.h>

namespace brg::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

using FromPsx = PsxInboundTest;

TEST_F(FromPsx, AValueThatIsNoNumberIsLoggedWithItsLine)
{
    bind({1045});
    openLog();
    EXPECT_THROW(decode("Qh45=ab\r\n"), std::invalid_argument);
    EXPECT_THAT(log(), HasSubstr("? decodeMessage Qh45=ab\r\n str2int32: invalid integer input\n"));
}

TEST_F(FromPsx, CduScreenLinesGoToTheShownCduOnlyAndBlankStatesOfAll)
{
    cfg::CDU_C.setRunning(true);
    cfg::LCD_CDU.setRunning(true);
    for (const char* line : {"Qi89=1\n", "Qi90=1\n", "Qi90=0\n", "Qs62=LEFT TITLE\n", "Qs77=CENTRE ROW 1\n",
                             "Qs515=gggg\n", "Qs500=wwww\n"})
        decode(line);
    EXPECT_EQ(display->calls, (std::vector<CduCall>{{"blank", 0, 0, "1"},
                                                    {"blank", 1, 0, "1"},
                                                    {"blank", 1, 0, "0"},
                                                    {"large", 1, 1, "CENTRE ROW 1"},
                                                    {"colour", 1, 1, "gggg"}}));
    EXPECT_EQ(g_qsStrings.get(62), "LEFT TITLE");
    EXPECT_EQ(g_qsStrings.get(500), "wwww");
    EXPECT_THAT(queued(), IsEmpty());
    cfg::LCD_CDU.setRunning(false);
    decode("Qs501=rrrr\n");
    EXPECT_EQ(g_qsStrings.get(501), "");
}

TEST_F(FromPsx, QsTextsAreStoredForTheirUsers)
{
    bind({4, 5237});
    g_qsStrings.set(4, "old");
    decode("Qs4=\r\n");
    EXPECT_EQ(var(4).sends, 1);
    for (const char* line : {"Qs5=unbound\n", "Qs137=MESSAGE\n", "Qs138=NOT USED\n", "Qs2=ignored\n"})
        decode(line);
    for (const auto& [n, text] : std::vector<std::pair<std::uint32_t, std::string>>{
             {4, ""}, {5, ""}, {137, "MESSAGE"}, {138, ""}, {2, ""}})
        EXPECT_EQ(g_qsStrings.get(n), text) << n;
    EXPECT_THAT(queued(), IsEmpty());
}

TEST_F(FromPsx, ExitAndVersionLines)
{
    openLog();
    for (const char* line : {"exit \n", "Exit\n", "version=\n"})
        decode(line);
    EXPECT_EQ(display->repaints, 0);
    decode("version=10.181 NG\r\n");
    EXPECT_EQ(g_psxVersion, "10.181 NG");
    EXPECT_EQ(display->repaints, 1);
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
    EXPECT_THAT(var(4700).values, ElementsAre(3)); // the virtual switch follows PSX
    EXPECT_EQ(var(1134).sends, 0);                 // PSX dominates the autobrakes
    EXPECT_EQ(var(1401).sends, 0);
    EXPECT_EQ(var(1045).sends, 1);
    EXPECT_THAT(var(2005).values, ElementsAre(7));
    EXPECT_EQ(var(5005).sends, 1);
    EXPECT_THAT(var(2040).values, IsEmpty()); // polled: reads g_psxValues itself
    EXPECT_EQ(g_psxValues[2040], 8u);
    EXPECT_EQ(g_psxValues[2041], 9u);

    cfg::AUTOBRAKES_DOMINANT.setRunning(true);
    bind({});
    EXPECT_FALSE(g_dominanceFilter);
    g_FromPSXClient->pushElement({1134, 4});
    g_FromPSXClient->flushQueue();
    EXPECT_EQ(var(1134).sends, 1);
    g_FromPSXClient->pushElement({5689, 1});
    EXPECT_THROW(g_FromPSXClient->flushQueue(), std::out_of_range);
}

TEST_F(FromPsx, InitInicioBindsThroughTheLookupAndSetsTheDemands)
{
    bind({2214, 2274, 4985, 3022});
    EXPECT_EQ(g_FromPSXClient->demands().qi, (std::vector<std::uint32_t>{214, 274}));
    EXPECT_EQ(g_FromPSXClient->demands().qs, (std::vector<std::uint32_t>{480}));
    EXPECT_TRUE(g_FromPSXClient->decoderFlag(DecoderFlag::Qs458));
    EXPECT_FALSE(g_FromPSXClient->decoderFlag(DecoderFlag::Qs459));

    const auto lookup = [this](Qcode code) -> std::shared_ptr<Var> {
        return static_cast<std::uint32_t>(code) == 7 ? nullptr : vars.at(2214);
    };
    EXPECT_THROW(g_FromPSXClient->initInicio({3, 7, 9}, lookup), std::runtime_error);
    EXPECT_TRUE(g_FromPSXClient->isBound(3));
    EXPECT_FALSE(g_FromPSXClient->isBound(9));
}

} // namespace
} // namespace brg::test
