#pragma once
// A whole bridge in one process, on both platforms: this platform's main loop on a thread of its own, its sockets,
// the engine, and plain loopback servers standing in for SIOC and PSX that the test drives.
#include "app/bridge_engine.h"
#include "app/exit_sequence.h"
#include "app/process_state.h"
#include "base/log.h"
#include "native_platform.h"
#include "psx/to_psx_channel.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

namespace brg::test {

class BridgeRun : public TempDirTest {
protected:
    static constexpr std::chrono::milliseconds kTimeout{5000};

    void SetUp() override;
    void TearDown() override;

    // The PSX stand-in listens from now on, on the port the bridge was given.
    void listenPsx() { m_psxServer = std::make_unique<TcpListener>(g_psxPort); }
    // What the start-up thread does last: the receivers, then SIOC, then PSX.
    static void startConnecting();
    // Both servers accepted and the processing loop running.
    void runBridge();
    void closeByUser() { m_loop->post(kMsgCloseRequest); }

    static std::string log() { return readFile("Log.txt"); }

    std::unique_ptr<TcpListener> m_siocServer;
    std::unique_ptr<TcpListener> m_psxServer;
    std::unique_ptr<TcpPeer> m_sioc;
    std::unique_ptr<TcpPeer> m_psx;
    std::atomic<bool> m_finished{false};
    std::atomic<std::chrono::steady_clock::time_point> m_finishedAt{};

private:
    void handle(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    std::unique_ptr<NativeMainLoop> m_loop;
    std::thread m_loopThread;
    std::promise<void> m_loopStopped;
    std::promise<void> m_loopReleased; // the loop goes after the sockets that notify it
};

} // namespace brg::test
