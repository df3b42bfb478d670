// The version check through WinINet against a small HTTP server on loopback: what a real web
// server may answer, or not answer at all.
#include "display/display_fixture.h"
#include "display/version_check.h"
#include "native_platform.h"
#include "platform/win32/version_fetch_win32.h"
#include "support/wait_for.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fmt/format.h>
#include <future>
#include <iostream>
#include <stop_token>

namespace brg {
namespace {

using namespace std::chrono_literals;

// Serves `answer` to the first request and returns that request; an empty answer keeps the
// connection open and silent until the client gives up or `stop` is set.
std::string lf_serveOnce(TcpListener& listener, const std::string& answer, const std::atomic<bool>& stop)
{
    const auto peer = listener.accept(5s);
    std::string received;
    if (!peer || !test::gf_receiveUntil(*peer, "\r\n\r\n", received))
        return received;
    if (!answer.empty()) {
        peer->sendAll(answer);
        peer->close();
    }
    // Holds the connection until the client has read the answer, or given up, and closed.
    while (!stop && peer->receive(100ms))
        ;
    return received;
}

// The cases are in tests/data/version-answers.txt.
class WinInetVersionCheck : public test::DisplayTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(WinInetVersionCheck, ShowsNewVersionsAndOtherwiseLetsStartUpGoOn)
{
    // name, HTTP status, body, title, status, logged
    const auto answer = test::cells(test::unescape(GetParam()), 6);
    const std::string response =
        answer[1].empty() ? ""
                          : fmt::format("HTTP/1.1 {}\r\nContent-Type: text/plain\r\nContent-Length: {}\r\n"
                                        "Connection: close\r\n\r\n{}",
                                        answer[1], answer[2].size(), answer[2]);
    TcpListener listener;
    std::atomic<bool> stop{false};
    auto request = std::async(std::launch::async, [&] { return lf_serveOnce(listener, response, stop); });

    const auto start = std::chrono::steady_clock::now();
    display::checkVersion(gf_winInetFetch, fmt::format("http://127.0.0.1:{}/talvesync/version.txt", listener.port()));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::cout << "[ measured ] " << answer[0] << ": the check took " << took.count() << " ms\n";
    stop = true;
    EXPECT_EQ(request.get().rfind("GET /talvesync/version.txt HTTP/1.1\r\n", 0), 0u);

    EXPECT_TRUE(paint().textAt(3, 7).ends_with(": " + answer[3])) << paint().textAt(3, 7);
    EXPECT_EQ(display->statusText(), answer[4]);
    if (answer[5].empty()) {
        EXPECT_EQ(log().find("Version file"), std::string::npos) << log();
    } else {
        EXPECT_NE(log().find(answer[5] + "\n"), std::string::npos) << log();
    }
    // The time-outs of connect, send and receive bound a silent server; 3 s for the rest.
    EXPECT_LT(took, 18s);
}

// The user closes while the server keeps silent: the fetch's handles are closed from the closing
// thread and the fetch gives up at once, not after its time-outs.
TEST(WinInetFetch, AStopRequestEndsAFetchThatWaitsForASilentServer)
{
    TcpListener listener;
    std::atomic<bool> stop{false};
    auto request = std::async(std::launch::async, [&] { return lf_serveOnce(listener, "", stop); });
    std::stop_source close;
    auto fetched = std::async(std::launch::async, [&] {
        return gf_winInetFetch(fmt::format("http://127.0.0.1:{}/talvesync/version.txt", listener.port()), 64,
                               close.get_token());
    });
    EXPECT_EQ(fetched.wait_for(500ms), std::future_status::timeout); // waiting for the answer
    const auto start = std::chrono::steady_clock::now();
    close.request_stop();
    ASSERT_EQ(fetched.wait_for(1s), std::future_status::ready);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::cout << "[ measured ] from the stop request to the fetch's end: " << took.count() << " ms\n";
    EXPECT_EQ(fetched.get().outcome, VersionDocument::Outcome::Stopped);
    stop = true;
    EXPECT_EQ(request.get().rfind("GET /talvesync/version.txt HTTP/1.1\r\n", 0), 0u);

    // Requested before the fetch began: nothing is opened.
    EXPECT_EQ(gf_winInetFetch("http://127.0.0.1:1/version.txt", 64, close.get_token()).outcome,
              VersionDocument::Outcome::Stopped);
}

INSTANTIATE_TEST_SUITE_P(Loopback, WinInetVersionCheck, ::testing::ValuesIn(test::dataLines("version-answers.txt")),
                         [](const auto& info) { return test::cells(info.param, 1)[0]; });

} // namespace
} // namespace brg
