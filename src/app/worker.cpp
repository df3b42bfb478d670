#include "app/worker.h"

#include "app/bridge_engine.h"
#include "app/engine_threads.h"
#include "app/exit_sequence.h"
#include "app/process_state.h"
#include "base/clock.h"
#include "base/display.h"
#include "base/log.h"
#include "net/hand_over_queues.h"
#include "net/tcp_client.h"
#include "psx/from_psx_channel.h"
#include "psx/to_psx_channel.h"
#include "sioc/from_sioc_channel.h"
#include "sioc/to_sioc_channel.h"
#include "vars/var_pool.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fmt/format.h>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace brg {

using namespace std::chrono_literals;

std::function<void()> g_startWorkerThread = [] { g_engineThreads.startWorker(gf_syncAndProcess_as_Thread); };

namespace {

void lf_sendDemands()
{
    const PsxDemands& demands = g_FromPSXClient->demands();
    for (const std::uint32_t number : demands.qi)
        g_ToPSXClient->sendDemandQi(number);
    for (const std::uint32_t number : demands.qs)
        g_ToPSXClient->sendDemandQs(number);
}

// Lines for a server that is away are dropped, so nothing piles up while it is gone: what it
// must know again comes from the variables when it returns.
void lf_send(Channel& channel, const std::atomic<bool>& away)
{
    if (away)
        channel.discardQueue();
    else
        channel.flushQueue();
}

// Registers the SIOC numbers; SIOC answers with the cockpit's values of every one of them.
void lf_register(const std::set<std::uint32_t>& numbers)
{
    if (numbers.empty())
        return;
    g_ToSIOCClient->sendInicio(numbers);
    g_log.write(fmt::format("{} variables registered at SIOC server", numbers.size()));
}

// A SIOC that restarted has forgotten what the bridge showed on it, and PSX sends only changes:
// the last value of every lamp and display goes to SIOC again, once each.
void lf_showAgain()
{
    std::map<std::uint32_t, const Var*> shown;
    for (std::uint32_t number = 0; number < kVarCount; ++number)
        if (const Var* var = g_FromPSXClient->boundVar(number); var && var->isInfoVar())
            shown.emplace(var->number, var);
    for (const auto& var : g_infoVars)
        shown.emplace(var->number, var.get());
    for (const auto& [number, var] : shown)
        if (var->value != kInfoVarStartValue)
            g_ToSIOCClient->pushElement({number, var->value});
}

// A server back after a loss gets what it got at start: the registration at SIOC, whose answers
// carry the cockpit's switches to PSX, and PSX's values for the cockpit (its opening burst when
// PSX returned), applied after SIOC's.
void lf_resynchronise(bool siocReturned)
{
    g_log.write("Synchronising PSX with SIOC variables ...");
    std::set<std::uint32_t> numbers;
    for (std::uint32_t number = 0; number < kVarCount; ++number)
        if (g_FromSIOCClient->varTable[number])
            numbers.insert(number);
    lf_register(numbers);
    gf_sleep(1000ms);
    // Applied as at start: a push button SIOC reports held is not pressed again.
    g_initPhase = true;
    g_FromSIOCClient->flushQueue();
    if (siocReturned)
        lf_showAgain();
    g_FromPSXClient->flushQueue();
    g_initPhase = false;
}

void lf_bringBackReturnedServers()
{
    const bool siocReturned = g_siocReturned.exchange(false);
    const bool psxReturned = g_psxReturned.exchange(false);
    if (!siocReturned && !psxReturned)
        return;
    lf_resynchronise(siocReturned);
    if (psxReturned)
        lf_sendDemands();
    if (!g_psxAway && !g_siocAway)
        g_display->setStatus("");
}

void lf_runCycle()
{
    const std::uint64_t cycle = ++g_cycle;
    gf_sleep(50ms);
    const bool phaseZero = cycle % 4 == 0;

    g_FromPSXClient->flushQueue();
    // Newest first, as variable code appended them.
    while (!g_psxElementList.empty()) {
        const std::uint32_t number = g_psxElementList.back();
        g_psxElementList.pop_back();
        g_ToPSXClient->pushElement({number, -1});
    }
    g_FromSIOCClient->flushQueue();
    if (phaseZero)
        for (const auto& var : g_infoVars)
            var->refresh();
    // At most one value and one text per cycle: PSX is fed at a pace it takes without loss.
    if (auto pair = g_psxValueQueue.tryPop())
        g_ToPSXClient->pushElement({pair->first, pair->second});
    if (auto text = g_psxStringQueue.tryPop()) {
        g_qsStrings.set(text->first, std::move(text->second));
        g_ToPSXClient->pushElement({text->first, 0});
    }
    lf_send(*g_ToPSXClient, g_psxAway);
    lf_send(*g_ToSIOCClient, g_siocAway);
    if (phaseZero && g_cduMode && g_display->cduModeActive())
        g_display->cduHandOver();
}

// Nothing can be forwarded any more: end the run rather than leave both servers believing the
// bridge still works. The cause stays on the error line.
void lf_stopOnFailure(const std::exception& e)
{
    g_log.write(fmt::format("System Error: {}\n", e.what()));
    g_processing = false;
    gf_failRun(fmt::format("Processing stopped: {}\n", e.what()));
}

} // namespace

void gf_synchronise()
{
    g_log.write("Synchronising PSX with SIOC variables ...");
    if (const auto pool = g_varPool)
        lf_register(pool->siocNumbers);
    // Meanwhile the main thread queues SIOC's answers to the registration and PSX's values.
    gf_sleep(1000ms);
    g_FromSIOCClient->flushQueue();
    g_FromPSXClient->flushQueue();
    g_varPool.reset();
    g_initPhase = false;
}

void gf_processInput()
{
    g_processing = true;
    // A server that left during synchronisation has run the exit sequence already; the loop must
    // not start after it. Set-then-check here and clear-then-check there: one of the two sees it.
    if (!g_exitPending)
        g_processing = false;
    g_log.write("processing input from PSX and SIOC started");
    try {
        while (g_processing) {
            try {
                lf_bringBackReturnedServers();
                lf_runCycle();
            } catch (const ConnectionLostError& e) {
                gf_connectionLost(e); // runs the exit sequence, which ends the loop
            }
        }
    } catch (const std::exception& e) {
        lf_stopOnFailure(e);
    }
    g_log.write("processing input from PSX and SIOC stopped");
    gf_exit(E_MAIN_LOOP_EXIT);
}

void gf_syncAndProcess_as_Thread()
{
    try {
        gf_synchronise();
        lf_sendDemands();
        g_display->setStatus("");
        // Not once the run is ending: the final stop turns the CDU screen off and may be waiting
        // for this thread, so the window must not be asked for anything it has to answer.
        if (g_cduMode && g_exitPending)
            g_display->setCduMode(true);
        gf_processInput();
    } catch (const ConnectionLostError& e) {
        gf_connectionLost(e);
    } catch (const std::exception& e) {
        lf_stopOnFailure(e);
        gf_exit(E_MAIN_LOOP_EXIT);
    } catch (...) {
        gf_logException("lf_syncAndProcess_as_Thread");
    }
}

} // namespace brg
