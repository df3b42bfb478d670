#include "bridge_harness.h"

#include "sioc/sioc_parameters.h"

#include <gtest/gtest.h>

namespace brg::test {

using namespace std::chrono_literals;

void BridgeRun::SetUp()
{
    TempDirTest::SetUp();
    g_log.open();
    g_socketProvider = std::make_shared<NativeSocketProvider>();

    m_siocServer = std::make_unique<TcpListener>();
    auto parameters = std::make_shared<SiocParameters>();
    parameters->host = "127.0.0.1";
    parameters->port = m_siocServer->port();
    g_siocparameters = parameters;
    // A port nobody listens on until the test calls listenPsx().
    g_psxPort = TcpListener().port();

    // A Win32 loop's window belongs to the thread that makes it, and only that thread receives its
    // messages: the loop is made, run and destroyed on a thread of its own.
    std::promise<void> made;
    auto madeFuture = made.get_future();
    m_loopThread = std::thread([this, &made] {
        try {
            m_loop = std::make_unique<NativeMainLoop>(
                [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) { handle(message, wParam, lParam); });
        } catch (...) {
            made.set_exception(std::current_exception());
            return;
        }
        made.set_value();
        m_loop->run();
        m_loopStopped.set_value();
        m_loopReleased.get_future().wait();
        m_loop.reset();
    });
    try {
        madeFuture.get();
    } catch (...) {
        m_loopThread.join();
        throw;
    }
    g_mainWindow = m_loop.get();
}

void BridgeRun::TearDown()
{
    // No more notifications, hence no worker start, from here on.
    m_loop->quit();
    m_loopStopped.get_future().wait();
    // Ends a processing loop the test left running; does nothing after an exit.
    g_closing = true;
    gf_exit(E_USER_CLOSE);
    // The worker is joined, and the sockets go while their loop still exists.
    gf_resetProcessState();
    m_loopReleased.set_value();
    m_loopThread.join();
    g_socketProvider.reset();
    g_psxPort = 10747;
    TempDirTest::TearDown();
}

void BridgeRun::handle(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case kMsgFinish:
        m_finishedAt = std::chrono::steady_clock::now();
        m_finished = true;
        break;
    case kMsgCloseRequest:
        g_closing = true;
        gf_exit(E_USER_CLOSE);
        break;
    default:
        gf_handleSocketMessage(message, wParam, lParam);
        break;
    }
}

void BridgeRun::startConnecting()
{
    gf_initVariables();
    gf_connectSIOC();
    gf_connectPSX();
}

void BridgeRun::runBridge()
{
    listenPsx();
    startConnecting();
    m_sioc = m_siocServer->accept(kTimeout);
    m_psx = m_psxServer->accept(kTimeout);
    ASSERT_TRUE(m_sioc && m_psx);
    // Synchronising takes a second before the loop starts.
    ASSERT_TRUE(waitFor([] { return g_processing.load(); }, kTimeout));
}

} // namespace brg::test
