// The stand-in servers as the end-to-end tests and users drive them: their traffic, their
// commands, and their output lines.
#include "sim_process.h"
#include "support/fresh_state.h"
#include "support/wait_for.h"

#include <gtest/gtest.h>

namespace brg::test {
namespace {

using namespace std::chrono_literals;

// The opening burst is the whole capture with PSX's line ends. What a client sends is recorded, a
// demand is answered, commands reach the client, and a client that says goodbye is disconnected.
TEST(PsxSim, SendsTheCaptureRecordsAnswersDemandsAndObeysItsCommands)
{
    SimProcess psx("psx-sim", {"--tick-ms", "0"});
    auto client = psx.connect();
    std::string burst;
    for (const char c : readFile(TALVESYNC_TEST_DATA_DIR "/psx-opening-capture.txt"))
        burst += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string received;
    ASSERT_TRUE(gf_receiveUntil(*client, burst, received));
    EXPECT_TRUE(received.starts_with(burst));

    ASSERT_TRUE(client->sendAll("Qh45=2\r\ndemand=Qh45\r\n"));
    EXPECT_TRUE(psx.waitForLine("recv Qh45=2"));
    EXPECT_TRUE(psx.waitForLine("recv demand=Qh45"));
    received.clear();
    EXPECT_TRUE(gf_receiveUntil(*client, "Qh45=2\r\n", received));
    psx.command("send Qs0=9V-SFG");
    psx.command("exit");
    EXPECT_TRUE(gf_receiveUntil(*client, "Qs0=9V-SFG\r\nexit\r\n", received));
    ASSERT_TRUE(client->sendAll("exit\r\n"));
    EXPECT_TRUE(psx.waitForLine("recv exit"));
    EXPECT_TRUE(psx.waitForLine("disconnected"));
    EXPECT_FALSE(client->receive(5s).has_value());
}

TEST(PsxSim, KeepsTheClockAndALampMovingAndEndsOnSigterm)
{
    SimProcess psx("psx-sim", {"--tick-ms", "20"});
    auto client = psx.connect();
    std::string received;
    ASSERT_TRUE(gf_receiveUntil(*client, "Qh424=1\r\n", received));
    ASSERT_TRUE(gf_receiveUntil(*client, "Qh424=0\r\n", received));
    EXPECT_GE(countOf(received, "\r\nQs123="), 2u);
    EXPECT_EQ(psx.waitForExit(true), 0);
}

// Registrations are answered with the values held, also those a client sent, and a long answer is
// split as SIOC splits its lines; "set" goes only to the clients that registered the number, "fin"
// to every client.
TEST(SiocSim, AnswersRegistrationsAsSiocDoesAndSendsASetValueToThoseThatRegisteredIt)
{
    SimProcess sioc("sioc-sim", {"--vivo-ms", "0"});
    auto client = sioc.connect();
    auto other = sioc.connect();
    // A command reaches the clients accepted by then.
    ASSERT_TRUE(sioc.waitForLine("connected"));
    ASSERT_TRUE(sioc.waitForLine("connected"));
    std::string registration = "Arn.Inicio:";
    for (int number = 1000; number < 2000; ++number)
        registration += std::to_string(number) + ":";
    ASSERT_TRUE(client->sendAll(registration + "\r\n"));
    std::string received, toOther;
    ASSERT_TRUE(gf_receiveUntil(*client, "1999=0:\r\n", received));
    // 7 characters a value: the first line closes at 4004 characters (572 values).
    EXPECT_EQ(countOf(received, "Arn.Resp:"), 2u);
    EXPECT_EQ(received.find("\r\n"), std::string("Arn.Resp:").size() + 572 * 7);
    EXPECT_EQ(countOf(received, "=0:"), 1000u);

    ASSERT_TRUE(client->sendAll("Arn.Resp:1040=-250:\r\n"));
    ASSERT_TRUE(sioc.waitForLine("recv Arn.Resp:1040=-250:"));
    ASSERT_TRUE(other->sendAll("Arn.Inicio:1040:\r\n"));
    EXPECT_TRUE(gf_receiveUntil(*other, "Arn.Resp:1040=-250:\r\n", toOther));
    sioc.command("set 1012 1");
    sioc.command("fin");
    received.clear();
    EXPECT_TRUE(gf_receiveUntil(*client, "Arn.Resp:1012=1:\r\nArn.Fin:\r\n", received));
    toOther.clear();
    EXPECT_TRUE(gf_receiveUntil(*other, "Arn.Fin:\r\n", toOther));
    EXPECT_EQ(toOther, "Arn.Fin:\r\n");
}

TEST(SiocSim, SendsKeepAlivesClosesOnCommandAndEndsWithItsInputWhenAsked)
{
    SimProcess sioc("sioc-sim", {"--vivo-ms", "20", "--exit-on-eof"});
    auto client = sioc.connect();
    std::string received;
    ASSERT_TRUE(gf_receiveUntil(*client, "Arn.Vivo:\r\nArn.Vivo:\r\n", received));
    sioc.command("close");
    EXPECT_TRUE(sioc.waitForLine("disconnected"));
    sioc.closeInput();
    EXPECT_EQ(sioc.waitForExit(false), 0);
}

} // namespace
} // namespace brg::test
