#include "vars/listing.h"

#include "support/fresh_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brg {
namespace {

class Listing : public test::FreshState {
protected:
    void add(std::uint32_t number, const std::string& name)
    {
        pool.storeVarPtr(std::make_shared<ControlVar>(name, number));
    }
    std::vector<std::string> lines() const { return {pool.listing.begin(), pool.listing.end()}; }

    VarPoolImpl pool{VarPoolImpl::Builders{}};
};

TEST_F(Listing, PadsEachNameToTwentyAndPutsFiveOnALine)
{
    add(1006, "LtStorm");
    add(4, "P71A");
    add(2032, "McpWdoSpd");
    add(1007, "LtOvhd");
    add(5688, "EfisActRBaro");
    gf_makeListing(pool);
    ASSERT_EQ(lines(), (std::vector<std::string>{
                           "4 \"P71A\"               "
                           "1006 \"LtStorm\"            "
                           "1007 \"LtOvhd\"             "
                           "2032 \"McpWdoSpd\"          "
                           "5688 \"EfisActRBaro\"       "}));
}

TEST_F(Listing, StartsASecondLineForTheSixthEntry)
{
    for (std::uint32_t n = 1; n <= 6; ++n)
        add(1000 + n, "V");
    gf_makeListing(pool);
    ASSERT_EQ(pool.listing.size(), 2u);
    EXPECT_EQ(pool.listing.back(), "1006 \"V\"                  ");
}

TEST_F(Listing, LeavesLongNamesUnpadded)
{
    add(3001, "ABCDEFGHIJKLMNOPQRS");   // 19 characters and the quote make 20
    add(3002, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    add(3003, "Short");
    gf_makeListing(pool);
    ASSERT_EQ(lines(), (std::vector<std::string>{"3001 \"ABCDEFGHIJKLMNOPQRS\""
                                                 "3002 \"ABCDEFGHIJKLMNOPQRSTUVWXYZ\""
                                                 "3003 \"Short\"              "}));
}

TEST_F(Listing, EmptyPoolListsNothing)
{
    gf_makeListing(pool);
    EXPECT_TRUE(pool.listing.empty());
}

} // namespace
} // namespace brg
