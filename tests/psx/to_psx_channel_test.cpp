#include "net/main_loop.h"
#include "psx/to_psx_channel.h"
#include "psx_test_support.h"
#include "support/data_file.h"
#include "support/fake_socket_test.h"

#include <gmock/gmock.h>

#include <sstream>

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

TEST_F(ToPsx, ADrainSendsItsLinesAsOneBatchAndMergesBitsWithPsxs)
{
    for (const std::string& line : test::dataLines("psx-drains.txt")) {
        const std::vector<std::string> column = test::cells(line, 4);
        for (const ChannelElement& word : test::elementsOf(column[0]))
            g_psxValues[word.number] = static_cast<std::uint32_t>(word.value);
        const std::size_t calls = sendCalls().size();
        std::string sent;
        std::istringstream(column[2]) >> sent;
        EXPECT_EQ(drain(test::elementsOf(column[1])), test::unescape(sent));
        EXPECT_EQ(sendCalls().size(), calls + 1) << line;
        for (const ChannelElement& word : test::elementsOf(column[3]))
            EXPECT_EQ(g_psxValues[word.number], static_cast<std::uint32_t>(word.value)) << word.number;
    }
    // Qs lines carry the current text, whatever the value.
    EXPECT_EQ(drain({{12, 0}}), "Qs12=\r\n");
    g_qsStrings.set(12, "KEYB;0");
    EXPECT_EQ(drain({{12, -1}}), "Qs12=KEYB;0\r\n");
}

TEST_F(ToPsx, TheCduScreenSelectorSwitchesTheWindowAndSendsNothing)
{
    auto display = std::make_shared<test::RecordingDisplay>();
    g_display = display;
    test::writeFile("Talvesync.cfg", "CDU_L = 1\n");
    cfg::CDU_L.setRunning(true);

    EXPECT_EQ(drain({{1998, 2}, {1998, 1}, {1998, 0}}), "");
    EXPECT_EQ(display->calls, (test::Calls{"shown 001", "shown 010", "shown 100"}));
    EXPECT_EQ(test::readFile("Talvesync.cfg"), "CDU_L = 1\n");
    EXPECT_EQ(g_psxValues[1998], 0u);
}

TEST_F(ToPsx, NumbersWithoutAPsxLineAreRefused)
{
    g_ToPSXClient->pushElement({3124, 5});
    EXPECT_THAT([] { g_ToPSXClient->flushQueue(); },
                ::testing::ThrowsMessage<std::runtime_error>("unexpected flushing of 3124 to PSX?"));
    ToPsxChannel other;
    other.pushElement({562, 0});
    EXPECT_THROW(other.flushQueue(), std::out_of_range);
    EXPECT_TRUE(provider->script->sent.empty());
}

// Demands and exit go out at once, ahead of the batch; a batch passing 4000 characters is sent at
// once; the send trace shows each batch as sent.
TEST_F(ToPsx, BatchesDemandsAndTheirTrace)
{
    g_log.open("Log.txt");
    g_ToPSXClient->pushElement({2005, 1});
    g_ToPSXClient->sendDemandQi(211);
    g_ToPSXClient->sendDemandQs(480);
    g_ToPSXClient->sendExit();
    g_ToPSXClient->flushQueue();
    g_log.setTrace(Trace::PsxOut, true);
    drain({{2005, -3}, {1042, 1}});
    g_log.setTrace(Trace::PsxOut, false);
    // "Qi100=1234567\r\n" is 15 characters: the 267th line takes the batch to 4005.
    std::string batch;
    for (int i = 0; i < 300; ++i) {
        g_ToPSXClient->pushElement({2100, 1234567});
        batch += "Qi100=1234567\r\n";
    }
    g_ToPSXClient->flushQueue();
    g_log.close();

    EXPECT_EQ(sendCalls(), (std::vector<std::string>{"demand=Qi211\r\n", "demand=Qs480\r\n", "exit\r\n", "Qi5=1\r\n",
                                                     "Qi5=-3\r\nQh42=1\r\n", batch.substr(0, 267 * 15), batch.substr(267 * 15)}));
    const std::string log = test::readFile("Log.txt");
    EXPECT_EQ(log.substr(log.find('\n') + 1), "> Qi5=-3\r\nQh42=1\r\n");
}

} // namespace
} // namespace brg
