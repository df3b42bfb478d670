#include "app/worker.h"

#include "app/bridge_engine.h"
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

#include <chrono>
#include <fmt/format.h>
#include <thread>
#include <utility>

namespace brg {

using namespace std::chrono_literals;

std::function<void()> g_startWorkerThread = [] { std::thread(lf_syncAndProcess_as_Thread).detach(); };

namespace {

void lf_sendDemands()
{
    const PsxDemands& demands = FromPSXClient->demands();
    for (const std::uint32_t number : demands.qi)
        ToPSXClient->sendDemandQi(number);
    for (const std::uint32_t number : demands.qs)
        ToPSXClient->sendDemandQs(number);
}

void lf_runCycle()
{
    const std::uint64_t cycle = ++g_cycle;
    gf_sleep(50ms);
    const bool phaseZero = cycle % 4 == 0;

    FromPSXClient->flushQueue();
    // Newest first, as variable code appended them.
    while (!g_psxElementList.empty()) {
        const std::uint32_t number = g_psxElementList.back();
        g_psxElementList.pop_back();
        ToPSXClient->pushElement({number, -1});
    }
    FromSIOCClient->flushQueue();
    if (phaseZero)
        for (const auto& var : g_infoVars)
            var->refresh();
    // At most one value and one text per cycle: PSX is fed at a pace it takes without loss.
    if (auto pair = g_psxValueQueue.tryPop())
        ToPSXClient->pushElement({pair->first, pair->second});
    if (auto text = g_psxStringQueue.tryPop()) {
        g_qsStrings.set(text->first, std::move(text->second));
        ToPSXClient->pushElement({text->first, 0});
    }
    ToPSXClient->flushQueue();
    ToSIOCClient->flushQueue();
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

void lf_synchronise()
{
    g_log.write("Synchronising PSX with SIOC variables ...");
    const auto pool = g_varPool;
    if (pool && !pool->siocNumbers.empty()) {
        ToSIOCClient->sendInicio(pool->siocNumbers);
        g_log.write(fmt::format("{} variables registered at SIOC server", pool->siocNumbers.size()));
    }
    // Meanwhile the main thread queues SIOC's answers to the registration and PSX's values.
    gf_sleep(1000ms);
    FromSIOCClient->flushQueue();
    FromPSXClient->flushQueue();
    g_varPool.reset();
    g_initPhase = false;
}

void lf_processInput()
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
                lf_runCycle();
            } catch (const ConnectionLostError& e) {
                gf_connectionLost(e); // runs the exit sequence, which ends the loop
            }
        }
    } catch (const std::exception& e) {
        lf_stopOnFailure(e);
    }
    g_log.write("processing input from PSX and SIOC stopped");
    lf_exit(E_MAIN_LOOP_EXIT);
}

void lf_syncAndProcess_as_Thread()
{
    try {
        lf_synchronise();
        lf_sendDemands();
        g_display->setStatus("");
        if (g_cduMode)
            g_display->setCduMode(true);
        lf_processInput();
    } catch (const ConnectionLostError& e) {
        gf_connectionLost(e);
    } catch (const std::exception& e) {
        lf_stopOnFailure(e);
        lf_exit(E_MAIN_LOOP_EXIT);
    } catch (...) {
        gf_logException("lf_syncAndProcess_as_Thread");
    }
}

} // namespace brg
