#include "base/log.h"
#include "app/process_state.h"
#include "base/display.h"
#include "config/config_items.h"
#include "net/main_loop.h"
#include "psx/to_psx_channel.h"
#include "support/fake_socket_test.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

class ToPsx : public test::FakeSocketTest {
protected:
    void SetUp() override
    {
        FakeSocketTest::SetUp();
        g_ToPSXClient->connectToServer(loop, "127.0.0.1", 10747, kMsgPsxSocket, nullptr);
    }

    std::string drain(const std::vector<ChannelElement>& elements)
    {
        provider->script->sent.clear();
        for (const ChannelElement& e : elements)
            g_ToPSXClient->pushElement(e);
        g_ToPSXClient->flushQueue();
        return provider->script->sent;
    }
};

// PSX's words before the drain, what the drain sends, and the words after it. Bit 0 merges keep
// PSX's other bits and chain within a drain; the fire handles, the ELT and the evacuation light merge
// through their masks; other Qh values leave the table alone.
struct DrainCase {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> before;
    std::vector<ChannelElement> elements;
    std::string sent;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> after;
};

TEST_F(ToPsx, ADrainSendsItsLinesAsOneBatchAndMergesBitsWithPsxs)
{
    const std::vector<DrainCase> cases = {
        {{}, {{2005, -3}, {1042, 1}}, "Qi5=-3\r\nQh42=1\r\n", {{1042, 0}}},
        {{{1063, 6}}, {{1063, 1}}, "Qh63=7\r\n", {{1063, 7}}},
        {{{1063, 7}}, {{1063, 0}}, "Qh63=6\r\n", {{1063, 6}}},
        {{{1417, 0x10}}, {{1417, 1}, {1417, 0}}, "Qh417=17\r\nQh417=16\r\n", {{1417, 16}}},
        {{{1275, 255}, {1279, 255}, {1224, 0xFFFF}, {1424, 0xFF}}, {{1275, 1}, {1279, 32}, {1224, 1}, {1424, 8}},
         "Qh275=95\r\nQh279=126\r\nQh224=8201\r\nQh424=14\r\n", {{1275, 95}, {1224, 8201}, {1424, 14}}},
    };
    for (const DrainCase& c : cases) {
        for (const auto& [n, word] : c.before)
            g_psxValues[n] = word;
        const std::size_t calls = sendCalls().size();
        EXPECT_EQ(drain(c.elements), c.sent);
        EXPECT_EQ(sendCalls().size(), calls + 1) << c.sent;
        for (const auto& [n, word] : c.after)
            EXPECT_EQ(g_psxValues[n], word) << n;
    }
}

TEST_F(ToPsx, QsLinesCarryTheCurrentTextAndIgnoreTheValue)
{
    EXPECT_EQ(drain({{12, 0}}), "Qs12=\r\n");
    g_qsStrings.set(12, "KEYB;0");
    EXPECT_EQ(drain({{12, -1}}), "Qs12=KEYB;0\r\n");
}

// Records the CDU choice as the screen would see it when asked to redraw.
class CduChoiceDisplay : public StatusTexts {
public:
    void cduSelectionChanged() override
    {
        seen.push_back({cfg::CDU_L.value(), cfg::CDU_C.value(), cfg::CDU_R.value()});
    }
    std::vector<std::array<bool, 3>> seen;
};

TEST_F(ToPsx, TheCduScreenSelectorSwitchesTheWindowAndSendsNothing)
{
    auto display = std::make_shared<CduChoiceDisplay>();
    g_display = display;
    test::writeFile("Talvesync.cfg", "CDU_L = 1\n");
    cfg::CDU_L.setRunning(true);

    EXPECT_EQ(drain({{1998, 2}, {1998, 1}, {1998, 0}}), "");
    using Choice = std::array<bool, 3>;
    EXPECT_EQ(display->seen, (std::vector<Choice>{{false, false, true}, {false, true, false}, {true, false, false}}));
    EXPECT_EQ(test::readFile("Talvesync.cfg"), "CDU_L = 1\n");
    EXPECT_EQ(g_psxValues[1998], 0u);
}

TEST_F(ToPsx, NumbersWithoutAPsxLineAreRefused)
{
    using ::testing::StrEq;
    using ::testing::ThrowsMessage;
    g_ToPSXClient->pushElement({3124, 5});
    EXPECT_THAT([] { g_ToPSXClient->flushQueue(); },
                ThrowsMessage<std::runtime_error>(StrEq("unexpected flushing of 3124 to PSX?")));
    ToPsxChannel other;
    other.pushElement({562, 0});
    EXPECT_THROW(other.flushQueue(), std::out_of_range);
    EXPECT_TRUE(provider->script->sent.empty());
}

TEST_F(ToPsx, ABatchPassing4000CharactersIsSentAtOnce)
{
    // "Qi100=1234567\r\n" is 15 characters: the 267th line takes the batch to 4005.
    std::string all;
    for (int i = 0; i < 300; ++i) {
        g_ToPSXClient->pushElement({2100, 1234567});
        all += "Qi100=1234567\r\n";
    }
    g_ToPSXClient->flushQueue();
    ASSERT_EQ(sendCalls().size(), 2u);
    EXPECT_EQ(sendCalls()[0].size(), 267 * 15u);
    EXPECT_EQ(sendCalls()[1].size(), 33 * 15u);
    EXPECT_EQ(provider->script->sent, all);
}

TEST_F(ToPsx, DemandsAndExitBypassTheBatch)
{
    g_ToPSXClient->pushElement({2005, 1});
    g_ToPSXClient->sendDemandQi(211);
    g_ToPSXClient->sendDemandQs(480);
    g_ToPSXClient->sendExit();
    EXPECT_EQ(sendCalls(), (std::vector<std::string>{"demand=Qi211\r\n", "demand=Qs480\r\n", "exit\r\n"}));
    g_ToPSXClient->flushQueue();
    EXPECT_EQ(sendCalls().back(), "Qi5=1\r\n");
}

TEST_F(ToPsx, TheSendTraceShowsEachBatchAsSent)
{
    g_log.open("Log.txt");
    drain({{2005, -3}});
    g_log.setTrace(Trace::PsxOut, true);
    drain({{2005, -3}, {1042, 1}});
    g_log.close();
    const std::string log = test::readFile("Log.txt");
    EXPECT_EQ(log.substr(log.find('\n') + 1), "> Qi5=-3\r\nQh42=1\r\n");
}

} // namespace
} // namespace brg
