#include "base/str2int32.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace brg {
namespace {

TEST(Str2Int32, AcceptsTheWholeSignedRange)
{
    EXPECT_EQ(str2int32("0"), 0);
    EXPECT_EQ(str2int32("-0"), 0);
    EXPECT_EQ(str2int32("007"), 7);
    EXPECT_EQ(str2int32("2147483647"), 2147483647);
    EXPECT_EQ(str2int32("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(str2int32("00000000000000000000000042"), 42);
}

TEST(Str2Int32, RejectsEverythingElseWithItsText)
{
    for (const char* text : {"2147483648", "-2147483649", "99999999999999999999", "--5", "", "-", "12 ",
                             " 12", "+5", "1.5", "0x10", "1e3", "12\r"}) {
        try {
            str2int32(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "str2int32: invalid integer input") << text;
        }
    }
}

} // namespace
} // namespace brg
