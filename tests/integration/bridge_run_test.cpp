// Whole runs of the bridge over loopback: starting, the goodbyes when the user or SIOC ends the
// run, and the paced retry while PSX is not there yet.
#include "bridge_harness.h"

#include <gtest/gtest.h>

namespace brg {
namespace {

using namespace std::chrono_literals;
using test::waitFor;
using Clock = std::chrono::steady_clock;

class BridgeRunTest : public test::BridgeRun {};

TEST_F(BridgeRunTest, UserCloseSaysGoodbyeToBothServersAndFinishes)
{
    runBridge();
    closeByUser();

    std::string toPsx, toSioc;
    EXPECT_TRUE(test::gf_receiveUntil(*m_psx, "exit\r\n", toPsx)) << toPsx;
    EXPECT_TRUE(test::gf_receiveUntil(*m_sioc, "Arn.Fin:\r\n", toSioc)) << toSioc;
    ASSERT_TRUE(waitFor([this] { return m_finished.load(); }, kTimeout));
    ASSERT_TRUE(waitFor([] { return log().find("processing input from PSX and SIOC stopped") != std::string::npos; }, kTimeout));

    const std::string text = log();
    const auto order = {"SIOC connected", "PSX connected", "Synchronising PSX with SIOC variables ...",
                        "processing input from PSX and SIOC started", "Exiting: E_USER_CLOSE",
                        "Force disconnect from PSX ...", "Force disconnect from SIOC ..."};
    std::size_t at = 0;
    for (const char* line : order) {
        const auto found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "\n" << text;
        at = found;
    }
    EXPECT_EQ(test::countOf(text, "Exiting:"), 1u);
}

TEST_F(BridgeRunTest, RefusedPsxIsRetriedAboutOnceASecondUntilItListens)
{
    const std::string refused = "19: ToPSX not detected (connection refused)";
    startConnecting();
    m_sioc = m_siocServer->accept(kTimeout);
    ASSERT_TRUE(m_sioc);

    ASSERT_TRUE(waitFor([&] { return test::countOf(log(), refused) >= 1; }, kTimeout)) << log();
    const auto first = Clock::now();
    ASSERT_TRUE(waitFor([&] { return test::countOf(log(), refused) >= 2; }, kTimeout)) << log();
    const auto second = Clock::now();
    EXPECT_GE(second - first, 800ms);

    listenPsx();
    m_psx = m_psxServer->accept(kTimeout);
    ASSERT_TRUE(m_psx);
    EXPECT_TRUE(waitFor([] { return g_processing.load(); }, kTimeout));
}

} // namespace
} // namespace brg
