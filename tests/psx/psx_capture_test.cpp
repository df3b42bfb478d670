// A real PSX opening burst through decodeMessage, with a realistic set of variables bound.
#include "psx_test_support.h"
#include "vars/decoded_values.h"

#include <gmock/gmock.h>

#include <bit>
#include <fstream>

namespace brg::test {
namespace {

// Every number of the ranges, as Vars that answer PSX (controls) or read the table (info).
void lf_addRange(std::map<std::uint32_t, std::shared_ptr<RecordingVar>>& vars, std::uint32_t first,
                 std::uint32_t last, bool polled)
{
    for (std::uint32_t n = first; n <= last; ++n)
        vars[n] = std::make_shared<RecordingVar>(n, polled);
}

class PsxCapture : public PsxInboundTest {
protected:
    void SetUp() override
    {
        PsxInboundTest::SetUp();
        cfg::CDU_L.setRunning(true);
        // Panel texts, collections and Qh controls answer PSX; Qi values, lights and decoder
        // fields are info variables.
        lf_addRange(vars, 4, 61, false);
        for (std::uint32_t n : {104u, 105u, 109u, 110u, 111u, 113u, 114u, 115u, 117u, 120u, 357u, 436u})
            vars[n] = std::make_shared<RecordingVar>(n, false);
        lf_addRange(vars, 1000, 1427, false);
        lf_addRange(vars, 2000, 2274, true);
        lf_addRange(vars, 3006, 3028, true);
        lf_addRange(vars, 3063, 3075, true);
        lf_addRange(vars, 3124, 3135, true);
        lf_addRange(vars, 3428, 3434, true);
        lf_addRange(vars, 3708, 3712, false);
        lf_addRange(vars, 3720, 3740, true);
        lf_addRange(vars, 4700, 4748, false);
        lf_addRange(vars, 4880, 4999, true);
        lf_addRange(vars, 5000, 5031, false);
        lf_addRange(vars, 5237, 5420, false);
        lf_addRange(vars, 5421, 5688, true);
        bind({});
    }
};

TEST_F(PsxCapture, TheOpeningBurstDecodesToTheValuesItHolds)
{
    std::ifstream capture(std::string(TALVESYNC_TEST_DATA_DIR) + "/psx-opening-capture.txt");
    ASSERT_TRUE(capture);
    std::string line;
    int lines = 0;
    while (std::getline(capture, line)) {
        ASSERT_NO_THROW(decode(line + "\r\n")) << line;
        ++lines;
        if (lines % 200 == 0)
            FromPSXClient->flushQueue();
    }
    EXPECT_EQ(lines, 2693);
    FromPSXClient->flushQueue();

    const auto value = [](std::uint32_t n) { return static_cast<std::int32_t>(g_psxValues[n].load()); };
    EXPECT_EQ(g_psxVersion, "10.181 NG");
    // Qs118=65426542NNN
    EXPECT_EQ(value(3028), 6542);
    EXPECT_EQ(g_decoded.squawkDigitCount, 4);
    // Qs121: pitch, bank, heading (float), altitude, TAS, latitude and longitude (floats).
    EXPECT_EQ(value(4883), 32276);
    EXPECT_FLOAT_EQ(std::bit_cast<float>(value(4882)), 0.8019999861717224f);
    EXPECT_FLOAT_EQ(std::bit_cast<float>(value(4885)), 0.2127519465194235f);
    EXPECT_FLOAT_EQ(std::bit_cast<float>(value(4886)), -1.2038493125974852f);
    // Last Qs124=1397621442011: 2014-04-16 04:10:42 UTC.
    EXPECT_EQ(value(3124), 410);
    EXPECT_EQ(value(3130), 416);
    EXPECT_EQ(value(3131), 2014);
    // Last Qs438=d78396;77615;77732;78381;0;0;0;0;0;359413;2699;
    EXPECT_EQ(value(5613), 78396);
    EXPECT_EQ(value(5614), 77615);
    EXPECT_EQ(value(5622), 359413);
    EXPECT_EQ(value(5623), 2699);
    // Qs458=121.800121.950; and Qs459= DATA  132.940;
    EXPECT_EQ(value(3022), 121800);
    EXPECT_EQ(value(3023), 121950);
    EXPECT_EQ(value(3024), 0);
    EXPECT_EQ(value(3025), 132940);
    // Last Qs432, the cabin temperatures as "target,actual" pairs.
    EXPECT_EQ(value(4890), 73);
    EXPECT_EQ(value(4891), 79);
    EXPECT_EQ(value(4915), 78);
    EXPECT_EQ(value(4916), 73);
    // Qs106, the left radio panel; Qs448, the left baro pair; Qs328 with a field "00010011".
    EXPECT_EQ(value(5631), 121800);
    EXPECT_EQ(value(5644), 0);
    EXPECT_EQ(value(5685), 101219);
    EXPECT_EQ(value(5439), 10011);
    // Qs126=11640202 ms is 194 minutes; Qs483 comes without a flag.
    EXPECT_EQ(value(3126), 194);
    EXPECT_EQ(value(4995), -114);
    // Qs120=0;0;0 went straight to the virtual Vars.
    EXPECT_THAT(var(4744).values, ::testing::Contains(0));
}

} // namespace
} // namespace brg::test
