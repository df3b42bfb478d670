#include "base/str2int32.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace brg {
namespace {

TEST(Str2Int32, AcceptsTheWholeSignedRangeAndNothingElse)
{
    for (const auto& [text, value] : std::vector<std::pair<const char*, std::int32_t>>{
             {"0", 0}, {"-0", 0}, {"007", 7}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
             {"00000000000000000000000042", 42}})
        EXPECT_EQ(base::str2int32(text), value) << text;
    for (const char* text : {"2147483648", "-2147483649", "99999999999999999999", "--5", "", "-", "12 ", " 12",
                             "+5", "1.5", "0x10", "1e3", "12\r"})
        EXPECT_THROW(base::str2int32(text), std::invalid_argument) << text;
}

} // namespace
} // namespace brg
