#include "app/startup.h"

#include "app/bridge_engine.h"
#include "app/engine_threads.h"
#include "app/exit_sequence.h"
#include "app/process_state.h"
#include "base/display.h"
#include "base/exceptions.h"
#include "base/log.h"
#include "base/utc_time.h"
#include "config/config_items.h"
#include "config/config_reader.h"
#include "net/main_loop.h"
#include "psx/from_psx_channel.h"
#include "psx/to_psx_channel.h"
#include "sioc/from_sioc_channel.h"
#include "sioc/script_scan.h"
#include "sioc/sioc_discovery.h"
#include "sioc/sioc_parameters.h"
#include "sioc/to_sioc_channel.h"

#include <fmt/format.h>
#include <filesystem>

namespace brg {

std::function<void(std::stop_token)> g_versionCheck;

namespace {

void lf_stopPoint(const std::stop_token& stop)
{
    if (stop.stop_requested())
        throw StopRequestedException();
}

} // namespace

bool gf_startUp_as_Thread(std::stop_token stop)
{
    try {
        gf_getCfgData();
        if (cfg::VERSION_CHECK.value() && g_versionCheck)
            g_versionCheck(stop);
        lf_stopPoint(stop);
        g_siocparameters = sioc::getSiocParameters(stop);
        const auto parameters = g_siocparameters.load();
        if (!parameters)
            throw std::runtime_error("g_siocparameters == null");
        g_log.write("\nSIOC parameters\n" + sioc::describeSiocParameters(*parameters));
        g_FromPSXClient->peer = g_ToPSXClient;
        g_log.write("\nPSX parameters");
        g_log.write(" PSX_HOSTADDRESS=" + cfg::PSX_HOSTADDRESS.value());
        g_log.write(fmt::format(" PSX_port={}", g_psxPort.load()));
        g_FromSIOCClient->peer = g_ToSIOCClient;
        lf_stopPoint(stop);
        sioc::detectVariables();
        gf_initVariables();
        gf_connectSIOC();
        gf_connectPSX();
        return true;
    } catch (const StopRequestedException& e) {
        g_log.write(std::string("lf_startUp_as_Thread: ") + e.what());
    } catch (const UserErrorException& e) {
        g_log.write("lf_startUp_as_Thread");
        g_display->setError(std::string(e.what()) + "\n");
    } catch (const std::exception& e) {
        g_log.write("lf_startUp_as_Thread");
        gf_reportSystemError(e);
    } catch (...) {
        gf_logException("lf_startUp_as_Thread");
    }
    return false;
}

void gf_closeRequest()
{
    if (g_readingScript) {
        g_display->setStatus("Cannot close now, wait till result of reading .ssi file ...");
        return;
    }
    g_closing = true;
    g_log.write("");
    g_log.write(fmt::format("{} User closed {}", gf_utcTimeOfDay(), "Talvesync"));
    // A drive search or a version fetch under way must not hold the close.
    g_engineThreads.requestStop();
    gf_exit(E_USER_CLOSE);
    gf_releaseHeldFinish();
}

void gf_finalStop(const std::function<std::optional<WindowPosition>()>& windowPosition)
{
    if (g_cduMode)
        g_display->setCduMode(false);
    // The start-up thread and the worker end before the log does, their last lines in it; one
    // stuck in a blocking call is not waited for beyond the bound, so a close always ends soon.
    g_engineThreads.stopAndJoin(kThreadEndBound);
    if (const auto position = windowPosition ? windowPosition() : std::nullopt) {
        // A file that cannot be written must not keep the program from ending: the old file stays whole.
        try {
            cfg::MAIN_WINDOW_X.setPosition(position->x, true);
            cfg::MAIN_WINDOW_Y.setPosition(position->y, true);
        } catch (const std::exception& e) {
            g_log.write(fmt::format("The window position is not saved: {}", e.what()));
        }
    }
    g_log.write(gf_utcAsctime());
    g_log.close();
    if (MainLoop* loop = g_mainWindow)
        loop->quit();
}

void gf_handleAppMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                         const std::function<std::optional<WindowPosition>()>& windowPosition)
{
    switch (message) {
    case kMsgStartUp:
        g_engineThreads.startStartUp([](std::stop_token stop) { gf_startUp_as_Thread(stop); });
        break;
    case kMsgSiocSocket:
    case kMsgPsxSocket:
        gf_handleSocketMessage(message, wParam, lParam);
        break;
    case kMsgFinish:
        gf_finalStop(windowPosition);
        break;
    case kMsgCloseRequest:
        gf_closeRequest();
        break;
    default:
        break;
    }
}

bool gf_createTalvesyncFolder(std::string* problem)
{
    std::error_code error;
    // A file of that name is no folder: creating it then fails with the reason.
    if (!std::filesystem::is_directory("Talvesync", error))
        std::filesystem::create_directories("Talvesync", error);
    if (!error)
        return true;
    const std::string text = fmt::format("Failed to create directory: {}", error.message());
    g_log.write(text);
    if (problem)
        *problem = text;
    return false;
}

} // namespace brg
