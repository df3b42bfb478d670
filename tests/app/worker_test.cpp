#include "app/worker.h"

#include "engine_fixture.h"
#include "net/hand_over_queues.h"
#include "vars/var_pool.h"

#include <chrono>
#include <fmt/format.h>
#include <gmock/gmock.h>
#include <stdexcept>

namespace brg {
namespace {

using test::contains;
using test::countOf;
using testing::AllOf;
using testing::HasSubstr;
using testing::Not;

using namespace std::chrono_literals;

// Every element a channel drains, as "CYCLE CHANNEL NUMBER=VALUE" in one shared order; told to
// fail, it throws as broken variable code would.
template <typename Channel>
class Recording : public Channel {
public:
    explicit Recording(std::vector<std::string>& flushed) : m_flushed(flushed) {}
    bool fail = false;

protected:
    void flushElement(const ChannelElement& element) override
    {
        if (fail)
            throw std::runtime_error("bad value");
        m_flushed.push_back(fmt::format("{} {} {}={}", g_cycle.load(), this->name, element.number, element.value));
    }

private:
    std::vector<std::string>& m_flushed;
};

class CountingInfoVar : public InfoVar {
public:
    CountingInfoVar() : InfoVar("Counting", 3500) {}
    void refresh() override
    {
        if (fail)
            throw std::runtime_error("refresh failed in Counting");
        cycles.push_back(g_cycle);
    }
    std::vector<std::uint64_t> cycles;
    bool fail = false;
};

class WorkerTest : public test::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        g_FromSIOCClient = std::make_shared<Recording<FromSiocChannel>>(flushed);
        g_FromPSXClient = fromPsx = std::make_shared<Recording<FromPsxChannel>>(flushed);
        g_ToPSXClient = std::make_shared<Recording<ToPsxChannel>>(flushed);
    }
    // Runs the processing loop on this thread for `cycles` cycles.
    void runCycles(std::uint64_t cycles)
    {
        clock->onSleep = [cycles](std::chrono::milliseconds) {
            if (g_cycle >= cycles)
                g_processing = false;
        };
        gf_processInput();
    }

    std::vector<std::string> flushed;
    std::shared_ptr<Recording<FromPsxChannel>> fromPsx;
};

// Per cycle: the whole element list, newest first, then at most one value and one text, each
// text stored before it is announced; the cycle sleeps 50 ms.
TEST_F(WorkerTest, ElementListGoesWholeNewestFirstValuesAndTextsOnePerCycle)
{
    g_psxElementList = {3001, 3002, 3003};
    for (std::int32_t i = 0; i < 3; ++i)
        g_psxValueQueue.push({1045u, i});
    g_psxStringQueue.push({12u, "FIRST"});
    g_psxStringQueue.push({12u, "SECOND"});
    clock->onSleep = [](std::chrono::milliseconds duration) {
        if (g_cycle == 2 && duration == 50ms) {
            EXPECT_EQ(g_qsStrings.get(12), "FIRST"); // the first text is stored before the second is taken
        }
        if (g_cycle >= 4)
            g_processing = false;
    };
    gf_processInput();

    EXPECT_EQ(flushed, (std::vector<std::string>{"1 ToPSX 3003=-1", "1 ToPSX 3002=-1", "1 ToPSX 3001=-1", "1 ToPSX 1045=0",
                                                 "1 ToPSX 12=0", "2 ToPSX 1045=1", "2 ToPSX 12=0", "3 ToPSX 1045=2"}));
    EXPECT_TRUE(g_psxElementList.empty());
    EXPECT_EQ(g_qsStrings.get(12), "SECOND");
    auto sleeps = clock->sleeps();
    sleeps.resize(4); // then the exit sequence's own
    EXPECT_EQ(sleeps, std::vector<std::chrono::milliseconds>(4, 50ms));
    EXPECT_EQ(countOf(log(), "processing input from PSX and SIOC started\n"), 1u);

    // After an exit (as one during synchronisation) the loop does not start.
    g_psxValueQueue.push({1045u, 3});
    gf_processInput();
    EXPECT_EQ(g_cycle, 4u);
    EXPECT_EQ(flushed.size(), 8u);
    EXPECT_EQ(countOf(log(), "Exiting:"), 1u);
}

TEST_F(WorkerTest, InfoVariablesAndCduScreenFollowEveryFourthCycle)
{
    auto info = std::make_shared<CountingInfoVar>();
    g_infoVars.push_back(info);
    g_cduMode = true;
    display->cduActive = true;
    runCycles(9);
    EXPECT_EQ(info->cycles, (std::vector<std::uint64_t>{4, 8}));
    EXPECT_EQ(display->calls, (std::vector<std::string>{"hand-over in cycle 4", "hand-over in cycle 8"}));

    display->cduActive = false; // not fed while its mode is inactive
    g_exitPending = true; // the first run ended with the exit sequence
    runCycles(13);
    EXPECT_EQ(info->cycles, (std::vector<std::uint64_t>{4, 8, 12}));
    EXPECT_EQ(display->calls, (std::vector<std::string>{"hand-over in cycle 4", "hand-over in cycle 8"}));
}

TEST_F(WorkerTest, SynchronisingWaitsASecondThenAppliesSiocBeforePsxAndReleasesThePool)
{
    g_FromPSXClient->pushElement({1045, 1});
    g_FromSIOCClient->pushElement({45, 1});
    clock->onSleep = [this](std::chrono::milliseconds) {
        // Values arriving during the wait are applied too.
        g_FromSIOCClient->pushElement({46, 2});
        EXPECT_TRUE(flushed.empty());
    };
    gf_synchronise();

    EXPECT_EQ(clock->sleeps(), std::vector<std::chrono::milliseconds>{1000ms});
    EXPECT_EQ(flushed, (std::vector<std::string>{"0 FromSIOC 45=1", "0 FromSIOC 46=2", "0 FromPSX 1045=1"}));
    EXPECT_EQ(g_varPool, nullptr);
    EXPECT_FALSE(g_initPhase);
    // Nothing in use at SIOC: nothing registered there.
    EXPECT_THAT(log(), AllOf(HasSubstr("Synchronising PSX with SIOC variables ...\n"),
                             Not(HasSubstr("registered at SIOC server"))));
}

TEST_F(WorkerTest, AFailureInVariableCodeEndsTheRunWithTheExitSequenceAndKeepsTheError)
{
    auto info = std::make_shared<CountingInfoVar>();
    info->fail = true;
    g_infoVars.push_back(info);
    g_ToPSXClient = std::make_shared<ToPsxChannel>();
    activateClients();
    g_psxConnected = true;
    g_siocConnected = true;
    g_cduMode = true;
    display->setStatus("connecting to PSX ...");
    gf_syncAndProcess_as_Thread();

    EXPECT_EQ(g_cycle, 4u);
    // Before processing the status was cleared and the CDU screen shown.
    EXPECT_EQ(display->statusText(), "");
    EXPECT_EQ(display->calls, std::vector<std::string>{"CDU mode on"});
    EXPECT_FALSE(g_processing);
    EXPECT_TRUE(g_runFailed);
    EXPECT_THAT(log(), AllOf(HasSubstr("\nSystem Error: refresh failed in Counting\n\n"),
                             HasSubstr("processing input from PSX and SIOC stopped\nExiting: E_MAIN_LOOP_EXIT\n")));
    // Neither server may go on believing the bridge works.
    EXPECT_EQ(sockets->script->sent, "exit\r\nArn.Fin:\r\n");
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
    EXPECT_EQ(display->errorText(), "Processing stopped: refresh failed in Counting\n");
}

TEST_F(WorkerTest, AFailureWhileSynchronisingAlsoEndsTheRun)
{
    fromPsx->fail = true;
    fromPsx->pushElement({1045u, 1});
    g_psxConnected = true;
    gf_syncAndProcess_as_Thread();

    EXPECT_TRUE(g_runFailed);
    EXPECT_EQ(g_cycle, 0u);
    EXPECT_TRUE(contains(log(), "Exiting: E_MAIN_LOOP_EXIT\n")) << log();
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{kMsgFinish});
}

// A send that fails on the worker ends the run like the server's close: only the other one is told.
TEST_F(WorkerTest, AFailedSendToPsxEndsTheRunLikePsxClosing)
{
    g_ToPSXClient = std::make_shared<ToPsxChannel>();
    activateClients();
    g_psxConnected = true;
    g_siocConnected = true;
    g_psxValueQueue.push({1045u, 1});
    sockets->script->sendLimits = {-1};
    sockets->script->sendError = 10054;
    runCycles(10);

    EXPECT_EQ(g_cycle, 1u);
    EXPECT_FALSE(g_runFailed);
    EXPECT_FALSE(g_psxConnected);
    EXPECT_EQ(sockets->script->sent, "Arn.Fin:\r\n");
    EXPECT_THAT(log(), AllOf(HasSubstr("\nToPSX sendData 10054 Connection reset by peer\nExiting: E_PSX_CLOSE\n"),
                             Not(HasSubstr("System Error"))));
}

} // namespace
} // namespace brg
