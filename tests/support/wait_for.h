#pragma once
// Integration tests wait for a condition, never for a fixed time that hopes to be long enough.
#include "tcp_listener.h"

#include <chrono>
#include <functional>
#include <string>

namespace brg::test {

// Polls `condition` every few milliseconds until it holds (true) or `timeout` has passed (false).
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// Reads from `peer` until `text` is among the bytes received (kept in `received`); false on a
// time-out or once the peer has gone.
bool gf_receiveUntil(TcpPeer& peer, const std::string& text, std::string& received,
                     std::chrono::milliseconds timeout = std::chrono::seconds(5));

} // namespace brg::test
