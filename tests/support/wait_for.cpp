#include "support/wait_for.h"

#include <thread>

namespace brg::test {

using Clock = std::chrono::steady_clock;

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() >= deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool gf_receiveUntil(TcpPeer& peer, const std::string& text, std::string& received, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (received.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const auto data = left.count() > 0 ? peer.receive(left) : std::nullopt;
        if (!data)
            return false;
        received += *data;
    }
    return true;
}

} // namespace brg::test
