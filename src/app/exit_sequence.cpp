#include "app/exit_sequence.h"

#include "app/process_state.h"
#include "base/clock.h"
#include "base/display.h"
#include "base/log.h"
#include "net/channel.h"
#include "net/main_loop.h"
#include "psx/psx_line.h"
#include "psx/to_psx_channel.h"
#include "sioc/to_sioc_channel.h"

#include <array>
#include <chrono>
#include <fmt/format.h>
#include <string>

namespace brg {

using namespace std::chrono_literals;

std::string_view gf_exitEventName(ExitEvent reason)
{
    static constexpr std::array<std::string_view, 10> names = {
        "E_NEW_SITU",   "E_SIM_CLOSED", "E_USER_CLOSE",     "E_MAIN_LOOP_EXIT", "E_IOCP_CLOSE",
        "E_PSX_CLOSE",  "E_PSX_EXIT",   "E_PSXBOOST_CLOSE", "E_PSXBOOST_EXIT",  "E_IOCP_FIN",
    };
    return reason < names.size() ? names[reason] : "unknown exit reason";
}

void gf_exit(ExitEvent reason)
{
    // exchange: two threads may come here at once (a closing server and the ending loop).
    if (!g_exitPending.exchange(false))
        return;
    g_log.write(fmt::format("Exiting: {}", gf_exitEventName(reason)));

    // The sleeps give the other threads time to see the cleared flags and finish their step.
    if (g_processing.exchange(false))
        gf_sleep(350ms);

    if (g_psxConnected && reason != E_PSX_CLOSE && reason != E_PSX_EXIT) {
        try {
            g_log.write("Force disconnect from PSX ...");
            g_ToPSXClient->sendData(std::string(kPsxExitKeyword) + "\r\n");
            gf_sleep(250ms);
        } catch (const std::exception& e) {
            g_log.write(fmt::format("Exception while trying to exit PSX: {}\n", e.what()));
        }
    }

    if (g_siocConnected && reason != E_IOCP_CLOSE && reason != E_IOCP_FIN) {
        try {
            g_log.write("Force disconnect from SIOC ...");
            g_ToSIOCClient->sendData("Arn.Fin:\r\n");
            if (g_log.traceOn(Trace::SiocOut))
                g_log.write("Fin sent to SIOC");
            gf_sleep(100ms);
        } catch (const std::exception& e) {
            g_log.write(fmt::format("Exception while trying to exit SIOC: {}\n", e.what()));
        }
    }

    if (!(g_psxConnected && g_siocConnected))
        gf_sleep(250ms);
    // The loop ends first only when a failure stopped it; its error stays on screen. The CDU
    // screen would hide it, so the window goes back to the status panel.
    if (reason == E_MAIN_LOOP_EXIT && g_runFailed && g_keepFailedRunOpen) {
        g_finishHeld = true;
        g_display->setCduMode(false);
        g_log.write("The window stays open with the error until it is closed");
        // A close that came meanwhile found nothing to release.
        if (g_closing)
            gf_releaseHeldFinish();
        return;
    }
    if (MainLoop* window = g_mainWindow.load())
        window->post(kMsgFinish);
}

void gf_releaseHeldFinish()
{
    if (!g_finishHeld.exchange(false))
        return;
    if (MainLoop* window = g_mainWindow.load())
        window->post(kMsgFinish);
}

void gf_reportSystemError(const std::exception& e)
{
    const std::string text = fmt::format("System Error: {}\n", e.what());
    g_log.write(text);
    if (!g_processing)
        return;
    // Marked failed before the loop can see the cleared flag and run the exit sequence.
    g_runFailed = true;
    if (g_processing.exchange(false))
        gf_failRun(text);
}

void gf_failRun(const std::string& text)
{
    g_runFailed = true;
    g_display->setError(text);
}

} // namespace brg
