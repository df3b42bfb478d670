#include "psx/field_split.h"
#include "psx/thrust_lever_trend.h"

#include <gtest/gtest.h>

namespace brg {
namespace {

using Fields = std::vector<std::string_view>;

// As a stream line reader splits: a last empty field is no field; the cabin temperature pairs give
// the same fields with "," as with ";".
TEST(SplitFields, ReadsLikeAStreamLineReader)
{
    for (const auto& [text, fields] : std::vector<std::pair<const char*, Fields>>{
             {"", {}}, {";", {""}}, {"1;2;3", {"1", "2", "3"}}, {"1;2;3;", {"1", "2", "3"}}, {"1;;3;;", {"1", "", "3", ""}},
             {";1", {"", "1"}}})
        EXPECT_EQ(psx::splitFields(text), fields) << text;
    EXPECT_EQ(psx::splitFields("73,78;73,81;73;", ";,"), (Fields{"73", "78", "73", "81", "73"}));
}

TEST(ThrustLeverTrend, FirstChangeOnlyPrimesThenChangesAreReported)
{
    ThrustLeverTrend trend;
    EXPECT_EQ(trend.update({50, 50, 50, 50}), std::nullopt); // 0 -> +1: primes
    EXPECT_EQ(trend.update({100, 100, 100, 100}), 1);        // delta 50
    EXPECT_EQ(trend.update({125, 125, 125, 125}), 0);        // delta 25: standing
    EXPECT_EQ(trend.update({125, 125, 125, 125}), std::nullopt);
    EXPECT_EQ(trend.update({99, 99, 99, 99}), -1);           // delta -26
    // Negative positions count as 0: average (0 + 0 + 0 + 400) / 4 = 100, delta 1.
    EXPECT_EQ(trend.update({-500, -500, -500, 400}), 0);
    trend.forgetLastTrend();
    EXPECT_EQ(trend.update({100, 100, 100, 100}), std::nullopt); // still 0 after forgetting
    EXPECT_EQ(trend.update({200, 200, 200, 200}), 1);
}

} // namespace
} // namespace brg
