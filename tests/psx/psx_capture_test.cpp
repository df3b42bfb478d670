// A real PSX opening burst through decodeMessage, with a realistic set of variables bound.
#include "psx_test_support.h"
#include "vars/decoded_values.h"

#include <gmock/gmock.h>

#include <bit>
#include <fstream>

namespace brg::test {
namespace {

using PsxCapture = PsxInboundTest;

TEST_F(PsxCapture, TheOpeningBurstDecodesToTheValuesItHolds)
{
    cfg::CDU_L.setRunning(true);
    // Panel texts, collections and Qh controls answer PSX; Qi values, lights and decoder fields
    // are info variables.
    const std::vector<std::tuple<std::uint32_t, std::uint32_t, bool>> ranges = {
        {4, 61, false},      {104, 105, false},   {109, 111, false},   {113, 115, false},   {117, 117, false},
        {120, 120, false},   {357, 357, false},   {436, 436, false},   {1000, 1427, false}, {2000, 2274, true},
        {3006, 3028, true},  {3063, 3075, true},  {3124, 3135, true},  {3428, 3434, true},  {3708, 3712, false},
        {3720, 3740, true},  {4700, 4748, false}, {4880, 4999, true},  {5000, 5031, false}, {5237, 5420, false},
        {5421, 5688, true}};
    for (const auto& [first, last, polled] : ranges)
        for (std::uint32_t n = first; n <= last; ++n)
            vars[n] = std::make_shared<RecordingVar>(n, polled);
    bind({});

    std::ifstream capture(std::string(TALVESYNC_TEST_DATA_DIR) + "/psx-opening-capture.txt");
    ASSERT_TRUE(capture);
    std::string line;
    for (int lines = 1; std::getline(capture, line); ++lines) {
        ASSERT_NO_THROW(decode(line + "\r\n")) << line;
        if (lines % 200 == 0)
            g_FromPSXClient->flushQueue();
    }
    g_FromPSXClient->flushQueue();

    const auto value = [](std::uint32_t n) { return static_cast<std::int32_t>(g_psxValues[n].load()); };
    EXPECT_EQ(g_psxVersion, "10.181 NG");
    EXPECT_EQ(value(3028), 6542); // Qs118=65426542NNN
    EXPECT_EQ(g_decoded.squawkDigitCount, 4);
    EXPECT_EQ(value(4883), 32276); // Qs121: altitude, and latitude as a float
    EXPECT_FLOAT_EQ(std::bit_cast<float>(value(4885)), 0.2127519465194235f);
    EXPECT_EQ(value(3124), 410); // last Qs124=1397621442011: 2014-04-16 04:10:42 UTC
    EXPECT_EQ(value(3130), 416);
    EXPECT_EQ(value(5622), 359413); // last Qs438=d78396;...;359413;2699;
    EXPECT_EQ(value(3025), 132940); // Qs459= DATA  132.940;
    EXPECT_EQ(value(4891), 79); // last Qs432, the cabin temperatures as "target,actual" pairs
    EXPECT_EQ(value(4916), 73);
    EXPECT_EQ(value(5631), 121800); // Qs106, the left radio panel
    EXPECT_EQ(value(5685), 101219); // Qs448, the left baro pair
    EXPECT_EQ(value(5439), 10011);  // Qs328 with a field "00010011"
    EXPECT_EQ(value(3126), 194);    // Qs126=11640202 ms is 194 minutes
    EXPECT_EQ(value(4995), -114);   // Qs483 comes without a flag
    EXPECT_THAT(var(4744).values, ::testing::Contains(0)); // Qs120=0;0;0 went straight to the Var
}

} // namespace
} // namespace brg::test
