#pragma once
// The two server connections: the attempts, the socket notifications of both servers, the paced
// retry after a failed attempt, and the start of the worker once both servers take data.
#include <atomic>
#include <chrono>
#include <cstdint>

namespace brg {

class ConnectionLostError;

// Hands the pool's variables to the receiving channels and logs how many each got.
void gf_initVariables();

// One connection attempt each, unless the user is closing. A host name that does not resolve is
// shown and retried; other errors of the attempt propagate.
void gf_connectSIOC();
void gf_connectPSX();

// Forgets the failed attempts shown on the status line (for a fresh process state).
void gf_resetConnectionProblems();

// One notification of the SIOC or the PSX socket: wParam names the socket, lParam packs
// (error << 16) | event. The engine has the main loop's timer post the same message without a
// socket (wParam 0) to ask for the next attempt after a failed one. Let no exception escape.
void gf_handle_WINSOCK_IOCP_param(std::uintptr_t wParam, std::intptr_t lParam);
void gf_handle_WINSOCK_PSX_param(std::uintptr_t wParam, std::intptr_t lParam);

// A send or read failed on one of the two connections (on any thread): logs why and handles it
// as that server's close: the run ends, or with RECONNECT waits for the server to return.
void gf_connectionLost(const ConnectionLostError& e);

// What the front ends call on the main thread for kMsgSiocSocket and kMsgPsxSocket; other
// messages are ignored.
void gf_handleSocketMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// A failed attempt is retried this long after it started (at once if it took longer): a refused
// connection fails at once, and retrying at that pace would only flood the log.
inline constexpr std::chrono::milliseconds kReconnectPause{1000};

} // namespace brg
