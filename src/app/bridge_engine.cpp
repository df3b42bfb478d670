#include "app/bridge_engine.h"

#include "app/exit_sequence.h"
#include "app/process_state.h"
#include "app/worker.h"
#include "base/clock.h"
#include "base/display.h"
#include "base/exceptions.h"
#include "base/log.h"
#include "config/config_items.h"
#include "config/config_reader.h"
#include "net/main_loop.h"
#include "monitor/variable_monitor.h"
#include "net/socket.h"
#include "psx/from_psx_channel.h"
#include "psx/to_psx_channel.h"
#include "sioc/from_sioc_channel.h"
#include "sioc/sioc_parameters.h"
#include "sioc/to_sioc_channel.h"
#include "vars/var_pool.h"

#include <algorithm>
#include <atomic>
#include <fmt/format.h>
#include <mutex>
#include <stdexcept>
#include <string>

namespace brg {

using namespace std::chrono_literals;

namespace {

// No socket has this handle: a socket message carrying it is the engine's own retry request.
constexpr std::uintptr_t kRetryRequest = 0;

// Why the last attempts of one link failed, while it is not connected: the log tells a cause once,
// the status line shows it until the server answers.
struct LinkProblem {
    std::mutex mutex;
    std::string target;     // "host:port" of the current attempt
    std::string cause;      // the logged text of the failure; empty: none since the last connect
    std::string statusText; // what the status line shows for it
};

LinkProblem g_siocProblem;
LinkProblem g_psxProblem;

// What tells the two connections apart; their handling is the same.
struct Link {
    const char* handlerName;
    const char* server;
    const char* connectedText;
    TcpClient& (*client)(); // looked up per call: tests replace the channel objects
    std::shared_ptr<ReceivingChannel> (*receiver)();
    std::atomic<bool>& connected;
    std::atomic<bool>& otherConnected;
    void (Display::*indicator)(bool);
    ExitEvent closeReason;
    ExitEvent exitReason;
    void (*connect)();
    std::uint32_t message;
    std::atomic<Clock::TimePoint>& lastAttempt;
    std::atomic<bool>& away;
    std::atomic<bool>& returned;
    LinkProblem& problem;
    const char* connectingText;
};

std::atomic<Clock::TimePoint> g_siocAttempt{};
std::atomic<Clock::TimePoint> g_psxAttempt{};

const Link g_siocLink{"lf_handle_WINSOCK_IOCP_param", "SIOC", "SIOC connected",
                  []() -> TcpClient& { return *g_ToSIOCClient; },
                  []() -> std::shared_ptr<ReceivingChannel> { return g_FromSIOCClient; }, g_siocConnected, g_psxConnected,
                  &Display::setSiocConnected, E_IOCP_CLOSE, E_IOCP_FIN, gf_connectSIOC, kMsgSiocSocket,
                  g_siocAttempt, g_siocAway, g_siocReturned, g_siocProblem, "connecting to SIOC ..."};
const Link g_psxLink{"lf_handle_WINSOCK_PSX_param", "PSX", "PSX connected",
                 []() -> TcpClient& { return *g_ToPSXClient; },
                 []() -> std::shared_ptr<ReceivingChannel> { return g_FromPSXClient; }, g_psxConnected, g_siocConnected,
                 &Display::setPsxConnected, E_PSX_CLOSE, E_PSX_EXIT, gf_connectPSX, kMsgPsxSocket,
                 g_psxAttempt, g_psxAway, g_psxReturned, g_psxProblem, "connecting to PSX ..."};

const Link& lf_other(const Link& link) { return &link == &g_siocLink ? g_psxLink : g_siocLink; }

// Shows a text the engine may set again and again (a problem per attempt): set, and so logged, on a change only.
void lf_showStatus(const std::string& text)
{
    if (g_display->statusText() != text)
        g_display->setStatus(text);
}

std::string lf_problemText(const Link& link)
{
    std::lock_guard lock(link.problem.mutex);
    return link.problem.statusText;
}

// The status line for a failed attempt: the cause and where, as the user can check it.
std::string lf_describeProblem(const Link& link, const UserErrorException& e, const std::string& target)
{
    if (const auto* notFound = dynamic_cast<const HostNotFoundError*>(&e))
        return fmt::format("{} host {} not found, retrying ...", link.server, notFound->host());
    std::string why;
    if (e.code() == 19) {
        why = "connection refused";
    } else if (e.code() == 18) {
        const auto waited = std::chrono::duration_cast<std::chrono::seconds>(g_clock->now() - link.lastAttempt.load());
        why = fmt::format("no answer in {} s", waited.count());
    } else {
        // The text without its "code: " at the start.
        const std::string text = e.what();
        const std::size_t colon = text.find(": ");
        why = colon == std::string::npos ? text : text.substr(colon + 2);
    }
    return fmt::format("{} not detected at {} ({}), retrying ...", link.server, target, why);
}

// A failed attempt, told in the log once per cause and on the status line until the server answers.
void lf_connectionProblem(const Link& link, const UserErrorException& e)
{
    bool newCause = false;
    std::string text;
    {
        std::lock_guard lock(link.problem.mutex);
        newCause = link.problem.cause != e.what();
        link.problem.cause = e.what();
        link.problem.statusText = lf_describeProblem(link, e, link.problem.target);
        text = link.problem.statusText;
    }
    if (newCause)
        g_log.write(std::string(e.what()) + "\n");
    lf_showStatus(text);
}

// The server answered: its problem is over, and the status line goes back to what it would show
// without it: the other server's problem, the note about the configuration, or the other connecting text.
void lf_connectionProblemOver(const Link& link, const Link& other)
{
    {
        std::lock_guard lock(link.problem.mutex);
        if (link.problem.cause.empty())
            return;
        link.problem.cause.clear();
        link.problem.statusText.clear();
    }
    if (const std::string otherProblem = lf_problemText(other); !otherProblem.empty())
        lf_showStatus(otherProblem);
    else if (const std::string note = gf_cfgNote(); !note.empty() && !other.connected)
        lf_showStatus(note);
    else
        lf_showStatus(other.connected ? "" : other.connectingText);
}

// The start of an attempt: a problem of this link stays on the status line while it is retried;
// otherwise the note about the configuration, until both servers are connected, or the connecting
// text. The log has the connecting text in either case.
void lf_showAttempt(const Link& link)
{
    if (!lf_problemText(link).empty())
        return;
    const std::string note = gf_cfgNote();
    if (note.empty()) {
        g_display->setStatus(link.connectingText);
        return;
    }
    g_log.write(link.connectingText);
    lf_showStatus(note);
}

MainLoop& lf_window()
{
    MainLoop* window = g_mainWindow.load();
    if (!window)
        throw std::runtime_error("no main window to receive socket notifications");
    return *window;
}

// The retry comes from the main loop's timer as the link's socket message without a socket, so
// every socket call stays on the main thread and nothing blocks while the pause runs.
void lf_scheduleReconnect(const Link& link)
{
    if (g_closing)
        return;
    const auto sinceAttempt =
        std::chrono::duration_cast<std::chrono::milliseconds>(g_clock->now() - link.lastAttempt.load());
    const auto delay = std::clamp(kReconnectPause - sinceAttempt, 0ms, kReconnectPause);
    if (MainLoop* window = g_mainWindow.load())
        window->postAfter(delay, link.message);
}

void lf_reconnect(const Link& link)
{
    try {
        link.connect();
    } catch (const UserErrorException& e) {
        // An attempt that fails at once (a rejected address, say) is paced like a refused one.
        lf_connectionProblem(link, e);
        lf_scheduleReconnect(link);
    } catch (const std::exception& e) {
        gf_reportSystemError(e);
    } catch (...) {
        gf_logException(link.handlerName);
    }
}

// The link is down: no more sends on it, and the window shows it. False when it was down already.
bool lf_markClosed(const Link& link)
{
    const bool wasActive = link.client().markInactive();
    link.connected = false;
    (g_display.get()->*link.indicator)(false);
    g_display->repaint();
    return wasActive;
}

// The run goes on without this server: the other one keeps working, and this one is tried again
// at the pace of the start-up attempts, the first a pause after the loss so the status line
// shows the loss meanwhile.
void lf_awaitReturn(const Link& link)
{
    link.away = true;
    if (!lf_markClosed(link))
        return; // a second report of the same loss (a failed send, then the close notification)
    g_display->setStatus(fmt::format("{} connection lost, reconnecting ...", link.server));
    link.lastAttempt = g_clock->now();
    lf_scheduleReconnect(link);
}

// A closed, reset or failed connection all end the run the same way: goodbye to the other server
// only. With RECONNECT the run waits for the server instead, unless it is ending anyway.
void lf_linkClosed(const Link& link)
{
    if (cfg::RECONNECT.value() && g_exitPending && !g_closing) {
        lf_awaitReturn(link);
        return;
    }
    lf_markClosed(link);
    gf_exit(link.closeReason);
}

template <typename CloseException>
void lf_onSocketEvent(const Link& link, std::uint16_t event)
{
    TcpClient& client = link.client();
    switch (event) {
    case kFdRead:
        client.receive();
        break;
    case kFdWrite:
        link.connected = true;
        // A server back after a loss is brought in step by the worker, as at start.
        if (link.away.exchange(false) && g_workerStarted)
            link.returned = true;
        client.sendData("");
        if (link.otherConnected && !g_workerStarted.exchange(true))
            g_startWorkerThread();
        break;
    case kFdConnect:
        g_log.write(link.connectedText);
        lf_connectionProblemOver(link, lf_other(link));
        (g_display.get()->*link.indicator)(true);
        g_display->repaint();
        break;
    case kFdClose:
        throw CloseException();
    default:
        throw std::runtime_error(link.handlerName);
    }
}

template <typename CloseException, typename ExitException>
void lf_handleNotification(const Link& link, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (wParam == kRetryRequest) {
        if (!g_closing) // the user closed while the pause ran
            lf_reconnect(link);
        return;
    }
    try {
        // A notification still queued for a socket that a new attempt has replaced is not ours.
        if (wParam != link.client().socketHandle())
            return;
        const std::uint16_t error = gf_selectError(lParam);
        const std::uint16_t event = gf_selectEvent(lParam);
        // A close that carries an error is a reset or an abort: still the end of this connection.
        if (error != 0 && event == kFdClose)
            throw ConnectionLostError(link.client(),
                                      link.client().name + " connection lost: " + TcpClient::wsaErrorText(error));
        if (error != 0)
            link.client().asyncError(error);
        else
            lf_onSocketEvent<CloseException>(link, event);
    } catch (const UserErrorException& e) {
        lf_connectionProblem(link, e);
        lf_scheduleReconnect(link);
    } catch (const CloseException&) {
        lf_linkClosed(link);
    } catch (const ExitException&) {
        gf_exit(link.exitReason);
    } catch (const ConnectionLostError& e) {
        gf_connectionLost(e);
    } catch (const std::exception& e) {
        gf_reportSystemError(e);
    } catch (...) {
        gf_logException(link.handlerName);
    }
}

// One attempt. A host name that does not resolve is a problem of the moment, even on the first
// attempt: retried like a refusal.
void lf_attempt(const Link& link, const std::string& host, std::uint16_t port)
{
    {
        std::lock_guard lock(link.problem.mutex);
        link.problem.target = fmt::format("{}:{}", host, port);
    }
    link.lastAttempt = g_clock->now();
    try {
        link.client().connectToServer(lf_window(), host, port, link.message, link.receiver());
    } catch (const HostNotFoundError& e) {
        lf_connectionProblem(link, e);
        lf_scheduleReconnect(link);
    }
}

} // namespace

void gf_initVariables()
{
    const auto pool = g_varPool;
    if (!pool)
        throw std::runtime_error("lf_initVariables: no variable pool");
    if (!pool->psxNumbers.empty()) {
        g_FromPSXClient->initInicio(pool->psxNumbers);
        g_log.write(fmt::format("{} variables initialised in FromPSXClient", pool->psxNumbers.size()));
    }
    if (!pool->siocNumbers.empty()) {
        g_FromSIOCClient->initInicio(pool->siocNumbers, vars::getVar);
        g_log.write(fmt::format("{} variables initialised in FromSIOCClient", pool->siocNumbers.size()));
    }
    // Before the worker starts, which is the one to record into the rows.
    g_variableMonitor.bind(gf_monitorRows(*pool));
}

void gf_connectSIOC()
{
    lf_showAttempt(g_siocLink);
    if (g_closing)
        return;
    const auto parameters = g_siocparameters.load();
    if (!parameters || !parameters->host || !parameters->port)
        throw std::runtime_error("g_siocparameters == null");
    lf_attempt(g_siocLink, *parameters->host, *parameters->port);
}

void gf_connectPSX()
{
    lf_showAttempt(g_psxLink);
    if (g_closing)
        return;
    lf_attempt(g_psxLink, cfg::PSX_HOSTADDRESS.value(), g_psxPort);
}

void gf_resetConnectionProblems()
{
    for (LinkProblem* problem : {&g_siocProblem, &g_psxProblem}) {
        std::lock_guard lock(problem->mutex);
        problem->target.clear();
        problem->cause.clear();
        problem->statusText.clear();
    }
}

void gf_handle_WINSOCK_IOCP_param(std::uintptr_t wParam, std::intptr_t lParam)
{
    lf_handleNotification<SIOC_FD_CLOSE_Exception, FinReceivedException>(g_siocLink, wParam, lParam);
}

void gf_handle_WINSOCK_PSX_param(std::uintptr_t wParam, std::intptr_t lParam)
{
    lf_handleNotification<PSX_FD_CLOSE_Exception, ExitPSXReceivedException>(g_psxLink, wParam, lParam);
}

void gf_connectionLost(const ConnectionLostError& e)
{
    g_log.write(e.what());
    for (const Link* link : {&g_siocLink, &g_psxLink})
        if (&link->client() == &e.client()) {
            lf_linkClosed(*link);
            return;
        }
    gf_reportSystemError(e);
}

void gf_handleSocketMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case kMsgSiocSocket:
        gf_handle_WINSOCK_IOCP_param(wParam, lParam);
        break;
    case kMsgPsxSocket:
        gf_handle_WINSOCK_PSX_param(wParam, lParam);
        break;
    default:
        break;
    }
}

} // namespace brg
