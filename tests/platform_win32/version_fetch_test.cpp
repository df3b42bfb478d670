// The version check through WinINet against a small HTTP server on loopback: what a real web
// server may answer, or not answer at all.
#include "display/display_fixture.h"
#include "display/version_check.h"
#include "native_platform.h"
#include "platform/win32/version_fetch_win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fmt/format.h>
#include <future>
#include <iostream>

namespace brg {
namespace {

using namespace std::chrono_literals;

// Serves `answer` to the first request and returns that request; an empty answer keeps the
// connection open and silent until the client gives up or `stop` is set.
std::string lf_serveOnce(TcpListener& listener, const std::string& answer, const std::atomic<bool>& stop)
{
    std::unique_ptr<TcpPeer> peer;
    while (!stop && !peer)
        peer = listener.accept(100ms);
    std::string received;
    while (!stop && peer && (answer.empty() || received.find("\r\n\r\n") == std::string::npos)) {
        const auto bytes = peer->receive(100ms);
        if (!bytes)
            return received; // the client gave up
        received += *bytes;
    }
    if (stop || !peer)
        return received;
    peer->sendAll(answer);
    peer->close();
    // Holds the connection until the client has read the answer and closed.
    while (!stop && peer->receive(100ms))
        ;
    return received;
}

std::string lf_response(const std::string& statusLine, const std::string& body)
{
    return fmt::format("HTTP/1.1 {}\r\nContent-Type: text/plain\r\nContent-Length: {}\r\nConnection: close\r\n\r\n{}",
                       statusLine, body.size(), body);
}

struct Answer {
    const char* name;
    std::string response; // empty: the server accepts and never answers
    std::string title;
    std::string status;
    std::string logged; // the check's last line in the log
};

class WinInetVersionCheck : public test::DisplayTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(WinInetVersionCheck, ShowsNewVersionsAndOtherwiseLetsStartUpGoOn)
{
    const Answer& answer = GetParam();
    TcpListener listener;
    std::atomic<bool> stop{false};
    auto request = std::async(std::launch::async, [&] { return lf_serveOnce(listener, answer.response, stop); });

    const auto start = std::chrono::steady_clock::now();
    display::checkVersion(gf_winInetFetch, fmt::format("http://127.0.0.1:{}/talvesync/version.txt", listener.port()));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::cout << "[ measured ] " << answer.name << ": the check took " << took.count() << " ms\n";
    stop = true;
    EXPECT_EQ(request.get().rfind("GET /talvesync/version.txt HTTP/1.1\r\n", 0), 0u);

    EXPECT_TRUE(paint().textAt(3, 7).ends_with(": " + answer.title)) << paint().textAt(3, 7);
    EXPECT_EQ(display->statusText(), answer.status);
    if (answer.logged.empty()) {
        EXPECT_EQ(log().find("Version file"), std::string::npos) << log();
    } else {
        EXPECT_NE(log().find(answer.logged + "\n"), std::string::npos) << log();
    }
    // The time-outs of connect, send and receive bound a silent server; 3 s for the rest.
    EXPECT_LT(took, 18s);
}

INSTANTIATE_TEST_SUITE_P(
    Loopback, WinInetVersionCheck,
    ::testing::Values(
        Answer{"newer", lf_response("200 OK", "3.46.1\nfixes\n"), "Version 3.46.0 (new=3.46.1)",
               "A new version is available", ""},
        Answer{"unparsable", lf_response("200 OK", "<html>maintenance</html>\n"), "Version 3.46.0", "",
               "Version file not understood: <html>maintenance</html>"},
        Answer{"missing", lf_response("404 Not Found", "3.99.0\n"), "Version 3.46.0", "", "Version file not found"},
        Answer{"silent", "", "Version 3.46.0", "", "Version file not found"}),
    [](const ::testing::TestParamInfo<Answer>& info) { return std::string(info.param.name); });

} // namespace
} // namespace brg
