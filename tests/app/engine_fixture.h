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

#include <fmt/format.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brg::test {

// Notes what the window is asked, one line a call: "repaint", "CDU mode on", "hand-over in cycle 4".
class RecordingDisplay : public StatusTexts {
public:
    void repaint() override { calls.push_back("repaint"); }
    void setCduMode(bool on) override { calls.push_back(on ? "CDU mode on" : "CDU mode off"); }
    bool cduModeActive() const override { return cduActive; }
    void cduHandOver() override { calls.push_back(fmt::format("hand-over in cycle {}", g_cycle.load())); }

    std::vector<std::string> calls;
    bool cduActive = false;
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
