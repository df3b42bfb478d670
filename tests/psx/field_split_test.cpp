#include "psx/field_split.h"
#include "psx/thrust_lever_trend.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace brg {
namespace {

using Fields = std::vector<std::string_view>;

TEST(SplitFields, ReadsLikeAStreamLineReader)
{
    EXPECT_EQ(splitFields(""), Fields{});
    EXPECT_EQ(splitFields(";"), Fields{""});
    EXPECT_EQ(splitFields("1;2;3"), (Fields{"1", "2", "3"}));
    EXPECT_EQ(splitFields("1;2;3;"), (Fields{"1", "2", "3"}));
    EXPECT_EQ(splitFields("1;;3;;"), (Fields{"1", "", "3", ""}));
    EXPECT_EQ(splitFields(";1"), (Fields{"", "1"}));
}

TEST(SplitFields, CabinTemperaturePairsGiveTheSameFieldsAsPlainSemicolons)
{
    const Fields pairs = splitFields("73,78;73,81;73;", ";,");
    EXPECT_EQ(pairs, (Fields{"73", "78", "73", "81", "73"}));
    EXPECT_EQ(splitFields("73;78;73;81;73;", ";,"), pairs);
}

TEST(SplitFields, ShortInputsReportTheErrorsOfTheDecoders)
{
    const Fields fields = splitFields("a;b");
    EXPECT_EQ(fieldAt(fields, 1), "b");
    EXPECT_THROW(fieldAt(fields, 2), std::out_of_range);
    EXPECT_EQ(charsAt("1234567", 7, 7), "");
    EXPECT_EQ(charsAt("123456789", 7, 7), "89");
    EXPECT_THROW(charsAt("123456", 7, 7), std::out_of_range);
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
