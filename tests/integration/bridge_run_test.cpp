// A whole run of the bridge in one process, on both platforms and under the thread sanitizer:
// this platform's main loop, its sockets, the engine and the front ends' message handling, against
// plain loopback servers standing in for SIOC and PSX.
#include "app/bridge_engine.h"
#include "app/process_state.h"
#include "app/startup.h"
#include "base/log.h"
#include "native_platform.h"
#include "psx/to_psx_channel.h"
#include "sioc/sioc_parameters.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <atomic>
#include <thread>

namespace brg::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kTimeout = 5s;

class BridgeRunTest : public TempDirTest {
protected:
    // The main loop runs on the test's thread (a Win32 loop's window serves only the thread that
    // made it) until the final stop ends it; `drive` runs meanwhile on a thread of its own, as the
    // start-up thread and the servers would.
    void run(const std::function<void()>& drive)
    {
        g_log.open();
        g_socketProvider = std::make_shared<NativeSocketProvider>();
        NativeMainLoop loop([](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
            gf_handleAppMessage(message, wParam, lParam, nullptr);
        });
        g_mainWindow = &loop;
        std::atomic<bool> stopped{false};
        std::thread driver([&] {
            drive();
            if (!m_closed)
                closeByUser();
            // A run that does not stop would hold the test forever: the final stop is forced then.
            if (!waitFor([&] { return stopped.load(); }, 3 * kTimeout)) {
                ADD_FAILURE() << "the run did not stop";
                loop.post(kMsgFinish);
            }
        });
        loop.run();
        stopped = true;
        driver.join();
        // The sockets go while their loop still exists.
        gf_resetProcessState();
        g_socketProvider.reset();
    }
    void closeByUser()
    {
        m_closed = true;
        g_mainWindow.load()->post(kMsgCloseRequest);
    }
    static std::string log() { return readFile("Log.txt"); }

private:
    std::atomic<bool> m_closed{false};
};

TEST_F(BridgeRunTest, ARefusedPsxIsRetriedAboutOnceASecondAndTheUsersCloseSaysGoodbyeToBoth)
{
    TcpListener siocServer;
    auto parameters = std::make_shared<SiocParameters>();
    parameters->host = "127.0.0.1";
    parameters->port = siocServer.port();
    g_siocparameters = parameters;
    // A port nobody listens on until the PSX stand-in starts.
    g_psxPort = TcpListener().port();
    const std::string refused = "19: ToPSX not detected (connection refused)";
    run([&] {
        // What the start-up thread does last: the receivers, then SIOC, then PSX.
        gf_initVariables();
        gf_connectSIOC();
        gf_connectPSX();
        const auto sioc = siocServer.accept(kTimeout);
        ASSERT_TRUE(sioc && waitFor([&] { return countOf(log(), refused) >= 1; }, kTimeout)) << log();
        // Each attempt has a socket of its own; the log tells the refusal once, not per attempt.
        const auto first = Clock::now();
        const std::uintptr_t firstSocket = g_ToPSXClient->socketHandle();
        ASSERT_TRUE(waitFor([&] { return g_ToPSXClient->socketHandle() != firstSocket; }, kTimeout));
        EXPECT_GE(Clock::now() - first, 800ms);
        const std::uintptr_t secondSocket = g_ToPSXClient->socketHandle();
        ASSERT_TRUE(waitFor([&] { return g_ToPSXClient->socketHandle() != secondSocket; }, kTimeout));
        EXPECT_EQ(countOf(log(), refused), 1u) << log();

        TcpListener psxServer(g_psxPort);
        const auto psx = psxServer.accept(kTimeout);
        // Synchronising takes a second before the processing loop starts.
        ASSERT_TRUE(psx && waitFor([] { return g_processing.load(); }, kTimeout));
        closeByUser();
        std::string toPsx, toSioc;
        EXPECT_TRUE(gf_receiveUntil(*psx, "exit\r\n", toPsx)) << toPsx;
        EXPECT_TRUE(gf_receiveUntil(*sioc, "Arn.Fin:\r\n", toSioc)) << toSioc;
    });
    g_psxPort = 10747;

    const std::string text = log();
    std::size_t at = 0;
    for (const char* line : {"SIOC connected", "PSX connected", "Synchronising PSX with SIOC variables ...",
                             "processing input from PSX and SIOC started", "Exiting: E_USER_CLOSE",
                             "processing input from PSX and SIOC stopped", "Force disconnect from PSX ...",
                             "Force disconnect from SIOC ..."})
        ASSERT_NE(at = text.find(line, at), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(countOf(text, "Exiting:"), 1u);
}

} // namespace
} // namespace brg::test
