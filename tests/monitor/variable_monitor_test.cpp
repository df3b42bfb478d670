#include "app/process_state.h"
#include "monitor/monitor_view.h"
#include "monitor/variable_monitor.h"
#include "net/main_loop.h"
#include "psx/from_psx_channel.h"
#include "psx/to_psx_channel.h"
#include "sioc/from_sioc_channel.h"
#include "sioc/to_sioc_channel.h"
#include "support/fake_clock.h"
#include "support/fake_socket_test.h"
#include "vars/var_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace brg {
namespace {

using namespace std::chrono_literals;

// The real catalogue and the four real channels on fake sockets: what the worker's drains do.
class MonitorFedByChannels : public test::FakeSocketTest {
protected:
    void SetUp() override
    {
        FakeSocketTest::SetUp();
        clock = test::FakeClock::install();
        g_varPool->selectVariables({1006, 2000, 12, 3424});
        g_variableMonitor.bind(gf_monitorRows(*g_varPool));
        g_FromSIOCClient->initInicio(g_varPool->siocNumbers);
        g_FromPSXClient->initInicio(g_varPool->psxNumbers);
        g_ToSIOCClient->connectToServer(loop, "127.0.0.1", 8092, kMsgSiocSocket, g_FromSIOCClient);
        g_ToPSXClient->connectToServer(loop, "127.0.0.1", 10747, kMsgPsxSocket, g_FromPSXClient);
        g_initPhase = false;
    }
    void TearDown() override
    {
        test::FakeClock::uninstall();
        FakeSocketTest::TearDown();
    }

    // A cycle of the worker: what arrived is applied, what the variables queued is sent.
    void cycle()
    {
        g_FromPSXClient->flushQueue();
        g_FromSIOCClient->flushQueue();
        g_ToPSXClient->flushQueue();
        g_ToSIOCClient->flushQueue();
    }

    MonitorRow row(std::uint32_t number) const
    {
        for (const MonitorRow& r : g_variableMonitor.snapshot())
            if (r.info.number == number)
                return r;
        ADD_FAILURE() << "no row " << number;
        return {};
    }

    std::shared_ptr<test::FakeClock> clock;
};

TEST_F(MonitorFedByChannels, RowsNameEachBoundVariableAndItsPsxVariableAndType)
{
    const std::vector<MonitorRow> rows = g_variableMonitor.snapshot();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].info.number, 12u);
    EXPECT_EQ(rows[0].info.psxName, "Qs12");
    EXPECT_EQ(rows[0].info.type, "QsLetterVar");
    EXPECT_TRUE(rows[0].info.psxText);
    EXPECT_EQ(rows[1].info.number, 1006u);
    EXPECT_EQ(rows[1].info.name, "LtStorm");
    EXPECT_EQ(rows[1].info.psxName, "Qh6");
    EXPECT_EQ(rows[1].info.type, "SwitchVar");
    EXPECT_EQ(rows[2].info.name, "CfgVariant");
    EXPECT_EQ(rows[2].info.psxName, "Qi0");
    EXPECT_EQ(rows[2].info.type, "ValueVar");
    EXPECT_EQ(rows[3].info.name, "EvacLight");
    EXPECT_EQ(rows[3].info.psxName, "Qh424");
    EXPECT_EQ(rows[3].info.psxNumber, 1424u);
    EXPECT_FALSE(rows[3].info.psxText);
}

// A switch from SIOC on its way to PSX, PSX's report answered with the cockpit's position, and a
// PSX value on its way to SIOC: each side's last value, the changes counted once each, and the
// time of the last one. Nothing is recorded while nobody watches.
TEST_F(MonitorFedByChannels, EachSideShowsTheLastValueThatCrossedItWhileWatched)
{
    g_FromSIOCClient->decodeMessage("Arn.Resp:1006=1:\r\n");
    cycle();
    EXPECT_FALSE(row(1006).sioc);
    EXPECT_EQ(row(1006).changes, 0u);

    const MonitorFeed feed;
    clock->advance(5s);
    const Clock::TimePoint switched = clock->now();
    g_FromSIOCClient->decodeMessage("Arn.Resp:1006=0:\r\n");
    cycle();
    EXPECT_EQ(row(1006).sioc, 0);
    EXPECT_EQ(row(1006).psx, 0);
    EXPECT_EQ(row(1006).changes, 2u);
    EXPECT_EQ(row(1006).changedAt, switched);

    // PSX moved it; the cockpit's switch wins and goes back.
    clock->advance(1s);
    g_FromPSXClient->decodeMessage("Qh6=1\r\n");
    cycle();
    EXPECT_EQ(row(1006).psx, 0);
    EXPECT_EQ(row(1006).changes, 4u);
    EXPECT_EQ(row(1006).changedAt, switched + 1s);

    // The same value again is no change.
    clock->advance(1s);
    g_FromSIOCClient->decodeMessage("Arn.Resp:1006=0:\r\n");
    cycle();
    EXPECT_EQ(row(1006).changes, 4u);
    EXPECT_EQ(row(1006).changedAt, switched + 1s);

    g_FromPSXClient->decodeMessage("Qi0=7\r\n");
    cycle();
    EXPECT_EQ(row(2000).psx, 7);
    EXPECT_EQ(row(2000).sioc, 7);
    EXPECT_EQ(row(2000).changes, 2u);

    // A lamp computed from Qh424 shows what PSX said of Qh424.
    g_FromPSXClient->decodeMessage("Qh424=2\r\n");
    cycle();
    EXPECT_EQ(row(3424).psx, 2);
    EXPECT_EQ(row(3424).changes, 1u);

    // A text to PSX counts as a change each time; the row shows the text itself.
    g_qsStrings.set(12, "KEYB;0");
    g_ToPSXClient->pushElement({12, 0});
    g_ToPSXClient->pushElement({12, 0});
    cycle();
    EXPECT_EQ(row(12).changes, 2u);
    EXPECT_EQ(gf_monitorCell(row(12), MonitorColumn::PsxValue, MonitorTime::now()), "KEYB;0");
}

TEST_F(MonitorFedByChannels, ValuesOfUnboundNumbersAndBindingsAfterwardsLeaveNoTrace)
{
    const MonitorFeed feed;
    g_variableMonitor.recordSioc(7, 1);
    g_variableMonitor.recordPsx(kVarCount, 1);
    g_variableMonitor.recordPsx(1006, 3);
    EXPECT_EQ(row(1006).psx, 3);
    EXPECT_EQ(g_variableMonitor.snapshot().size(), 4u);

    g_variableMonitor.bind({{7, "Seven", "Qs7", "SwitchVar", false}, {1006, "LtStorm", "Qh6", "SwitchVar", false}});
    EXPECT_FALSE(row(1006).psx);
    EXPECT_EQ(row(1006).changes, 0u);
    EXPECT_FALSE(row(7).sioc);
}

// The viewer's copy of a row is all of one moment: the value and the count written together
// always agree, however the worker's writes fall between the reads.
TEST(VariableMonitor, ACopyIsNeverHalfOldHalfNew)
{
    VariableMonitor monitor;
    monitor.bind({{1006, "LtStorm", "Qh6", "SwitchVar", false}});
    monitor.watch();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (std::int32_t value = 1; value <= 200000; ++value)
            monitor.recordSioc(1006, value);
        done = true;
    });
    std::size_t copies = 0;
    while (!done) {
        const MonitorRow row = monitor.snapshot().front();
        if (row.sioc) {
            ASSERT_EQ(static_cast<std::uint32_t>(*row.sioc), row.changes);
        }
        ++copies;
    }
    worker.join();
    EXPECT_EQ(monitor.snapshot().front().changes, 200000u);
    EXPECT_GT(copies, 0u);
}

TEST(MonitorFeed, HandsRowsOverAtMostEvery200MsAndOnlyWhenSomethingChanged)
{
    auto clock = test::FakeClock::install();
    VariableMonitor monitor;
    monitor.bind({{1006, "LtStorm", "Qh6", "SwitchVar", false}});
    EXPECT_FALSE(monitor.watched());
    auto feed = std::make_unique<MonitorFeed>(monitor);
    EXPECT_TRUE(monitor.watched());
    const Clock::TimePoint start = clock->now();

    EXPECT_TRUE(feed->poll(start));
    EXPECT_FALSE(feed->poll(start + 250ms)); // nothing new
    monitor.recordSioc(1006, 1);
    EXPECT_TRUE(feed->poll(start + 260ms));
    EXPECT_FALSE(feed->poll(start + 400ms)); // too soon after the last hand-over
    // The change is highlighted: handed over again until a hand-over finds it run out, however
    // late the viewer asks (a timer that fires late must not leave a highlight standing).
    EXPECT_TRUE(feed->poll(start + 460ms));
    EXPECT_TRUE(feed->poll(start + 1900ms));
    EXPECT_TRUE(feed->poll(start + 2700ms));
    EXPECT_FALSE(feed->poll(start + 2900ms));
    EXPECT_FALSE(feed->poll(start + 60s));
    test::FakeClock::uninstall();

    feed.reset();
    EXPECT_FALSE(monitor.watched());
}

MonitorRow lf_row(std::uint32_t number, std::string name, std::string psxName, std::optional<Clock::TimePoint> changedAt)
{
    MonitorRow row;
    row.info = {number, std::move(name), std::move(psxName), "SwitchVar", false};
    row.changedAt = changedAt;
    return row;
}

TEST(MonitorView, CellsFilterHighlightAndOrder)
{
    const Clock::TimePoint now = Clock::TimePoint{} + 10h;
    const MonitorTime at{now, std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + 18h + 30min};
    MonitorRow row = lf_row(1006, "LtStorm", "Qh6", now - 61s);
    row.sioc = -5;
    row.changes = 3;
    const std::vector<std::string> cells = {"1006", "LtStorm", "Qh6", "SwitchVar", "-5", "", "18:28:59", "3"};
    for (std::size_t c = 0; c < kMonitorColumnCount; ++c)
        EXPECT_EQ(gf_monitorCell(row, static_cast<MonitorColumn>(c), at), cells[c]) << c;
    EXPECT_EQ(gf_monitorCell(lf_row(7, "", "", std::nullopt), MonitorColumn::Changed, at), "");

    for (const char* filter : {"", "100", "06", "ltstORM", "qh6", "Storm"})
        EXPECT_TRUE(gf_monitorMatches(row, filter)) << filter;
    for (const char* filter : {"1007", "Qi", "Lt Storm", "Qh60"})
        EXPECT_FALSE(gf_monitorMatches(row, filter)) << filter;

    EXPECT_TRUE(gf_monitorHighlighted(lf_row(1, "", "", now - 1999ms), now));
    EXPECT_FALSE(gf_monitorHighlighted(lf_row(1, "", "", now - 2s), now));
    EXPECT_FALSE(gf_monitorHighlighted(lf_row(1, "", "", std::nullopt), now));

    std::vector<MonitorRow> rows = {lf_row(5, "", "", std::nullopt), lf_row(9, "", "", now - 5s),
                                    lf_row(3, "", "", std::nullopt), lf_row(8, "", "", now - 1s)};
    gf_sortByLatestChange(rows);
    std::vector<std::uint32_t> order;
    for (const MonitorRow& r : rows)
        order.push_back(r.info.number);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{8, 9, 3, 5}));
}

} // namespace
} // namespace brg
