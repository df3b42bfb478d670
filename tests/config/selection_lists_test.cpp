#include "config/selection_lists.h"

#include <gtest/gtest.h>

namespace brg {
namespace {

TEST(TraceList, AllowsItsNumbersOrAllWhenEmpty)
{
    EXPECT_TRUE(gf_traceListAllows(NumberList{5, 561}, 561));
    EXPECT_FALSE(gf_traceListAllows(NumberList{5, 561}, 562));
    EXPECT_TRUE(gf_traceListAllows(NumberList{}, 0xFFFFFFFFU));
}

} // namespace
} // namespace brg
