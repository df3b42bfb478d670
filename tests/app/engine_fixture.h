#pragma once
// What the engine tests share: fake sockets, a fake clock, a recording window and display, an
// open log in a temporary folder, SIOC's parameters, and worker starts counted instead of run.
#include "app/process_state.h"
#include "app/worker.h"
#include "base/clock.h"
#include "base/display.h"
#include "base/log.h"
#include "net/main_loop.h"
#include "psx/from_psx_channel.h"
#include "psx/to_psx_channel.h"
#include "sioc/from_sioc_channel.h"
#include "sioc/sioc_parameters.h"
#include "sioc/to_sioc_channel.h"
#include "support/fake_clock.h"
#include "support/fake_socket.h"
#include "support/fresh_state.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brg::test {

class RecordingDisplay : public StatusTexts {
public:
    void repaint() override { ++repaints; }
    void setCduMode(bool on) override { cduModeCalls.push_back(on); }
    bool cduModeActive() const override { return cduActive; }
    void cduHandOver() override { handOverCycles.push_back(g_cycle); }

    int repaints = 0;
    std::vector<bool> cduModeCalls;
    bool cduActive = false;
    std::vector<std::uint64_t> handOverCycles;
};

class EngineTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        sockets = FakeSocketProvider::install();
        clock = FakeClock::install();
        display = std::make_shared<RecordingDisplay>();
        g_display = display;
        window.clock = clock;
        g_mainWindow = &window;
        m_startWorkerThread = g_startWorkerThread;
        g_startWorkerThread = [this] { ++workerStarts; };
        g_log.open();
        auto parameters = std::make_shared<SiocParameters>();
        parameters->host = "127.0.0.1";
        parameters->port = 8092;
        g_siocparameters = parameters;
    }
    void TearDown() override
    {
        g_startWorkerThread = m_startWorkerThread;
        g_mainWindow = nullptr;
        FakeClock::uninstall();
        g_socketProvider.reset();
        TempDirTest::TearDown();
    }

    // Both sending clients with a connection attempt under way, as after connectToServer.
    void activateClients()
    {
        g_ToPSXClient->connectToServer(window, "127.0.0.1", 10747, kMsgPsxSocket, g_FromPSXClient);
        g_ToSIOCClient->connectToServer(window, "127.0.0.1", 8092, kMsgSiocSocket, g_FromSIOCClient);
    }

    // Every log line is flushed at once, so the file can be read while it is open.
    static std::string log() { return readFile("Log.txt"); }

    std::shared_ptr<FakeSocketProvider> sockets;
    std::shared_ptr<FakeClock> clock;
    std::shared_ptr<RecordingDisplay> display;
    NullMainLoop window;
    int workerStarts = 0;

private:
    std::function<void()> m_startWorkerThread;
};

} // namespace brg::test
