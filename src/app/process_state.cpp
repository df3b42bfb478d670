#include "app/process_state.h"

#include "app/bridge_engine.h"
#include "app/engine_threads.h"
#include "base/display.h"
#include "base/log.h"
#include "config/config_items.h"
#include "monitor/variable_monitor.h"
#include "psx/from_psx_channel.h"
#include "psx/to_psx_channel.h"
#include "sioc/from_sioc_channel.h"
#include "sioc/sioc_parameters.h"
#include "sioc/to_sioc_channel.h"
#include "vars/decoded_values.h"
#include "vars/var_pool.h"

namespace brg {

std::array<std::atomic<std::uint32_t>, kVarCount> g_psxValues{};
QsStringTable g_qsStrings;
DecodedValues g_decoded;
std::vector<std::shared_ptr<Var>> g_infoVars;
std::atomic<bool> g_initPhase{true};
std::atomic<MainLoop*> g_mainWindow{nullptr};
std::atomic<bool> g_psxConnected{false};
std::atomic<bool> g_siocConnected{false};
std::atomic<bool> g_workerStarted{false};
std::atomic<bool> g_processing{false};
std::atomic<bool> g_closing{false};
std::atomic<bool> g_exitPending{true};
std::atomic<bool> g_psxAway{false};
std::atomic<bool> g_siocAway{false};
std::atomic<bool> g_psxReturned{false};
std::atomic<bool> g_siocReturned{false};
std::atomic<bool> g_cduMode{false};
std::atomic<bool> g_readingScript{false};
std::atomic<bool> g_runFailed{false};
std::atomic<bool> g_keepFailedRunOpen{false};
std::atomic<bool> g_finishHeld{false};
std::atomic<std::uint64_t> g_cycle{0};
std::shared_ptr<VarPoolImpl> g_varPool = std::make_shared<VarPoolImpl>();
std::string g_psxVersion;
std::atomic<bool> g_dominanceFilter{false};

std::vector<std::uint32_t> g_psxElementList;
LockedQueue<std::pair<std::uint32_t, std::int32_t>> g_psxValueQueue;
LockedQueue<std::pair<std::uint32_t, std::string>> g_psxStringQueue;

std::shared_ptr<ToSiocChannel> g_ToSIOCClient = std::make_shared<ToSiocChannel>();
std::shared_ptr<FromSiocChannel> g_FromSIOCClient = std::make_shared<FromSiocChannel>();
std::shared_ptr<ToPsxChannel> g_ToPSXClient = std::make_shared<ToPsxChannel>();
std::shared_ptr<FromPsxChannel> g_FromPSXClient = std::make_shared<FromPsxChannel>();

namespace {

void lf_queueForPsx(std::uint32_t number, std::int32_t value) { g_ToPSXClient->pushElement({number, value}); }

void lf_queueForSioc(std::uint32_t number, std::int32_t value) { g_ToSIOCClient->pushElement({number, value}); }

// The variables queue through these from the first moment on, before any reset.
const bool g_varQueuesSet = (gf_setVarQueues(&lf_queueForPsx, &lf_queueForSioc), true);

} // namespace

void gf_resetProcessState()
{
    // A run's threads end before the state they work on is replaced.
    g_engineThreads.stopAndJoin(kThreadEndBound);
    g_engineThreads.reopen();
    for (auto& word : g_psxValues)
        word = 0;
    g_qsStrings.clear();
    g_decoded.reset();
    g_infoVars.clear();
    g_initPhase = true;
    g_mainWindow = nullptr;
    g_psxConnected = false;
    g_siocConnected = false;
    g_workerStarted = false;
    g_processing = false;
    g_closing = false;
    g_exitPending = true;
    g_psxAway = false;
    g_siocAway = false;
    g_psxReturned = false;
    g_siocReturned = false;
    g_cduMode = false;
    g_readingScript = false;
    g_runFailed = false;
    g_keepFailedRunOpen = false;
    g_finishHeld = false;
    g_cycle = 0;
    g_varPool = std::make_shared<VarPoolImpl>();
    g_psxVersion.clear();
    g_dominanceFilter = false;
    g_psxElementList.clear();
    g_psxValueQueue.clear();
    g_psxStringQueue.clear();
    g_ToSIOCClient = std::make_shared<ToSiocChannel>();
    g_FromSIOCClient = std::make_shared<FromSiocChannel>();
    g_ToPSXClient = std::make_shared<ToPsxChannel>();
    g_FromPSXClient = std::make_shared<FromPsxChannel>();
    gf_setVarQueues(&lf_queueForPsx, &lf_queueForSioc);
    g_log.clearTraces();
    g_display = std::make_shared<StatusTexts>();
    gf_resetConfiguration();
    gf_resetConnectionProblems();
    g_siocparameters = std::shared_ptr<const SiocParameters>();
    g_variableMonitor.clear();
}

} // namespace brg
