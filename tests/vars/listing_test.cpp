#include "vars/listing.h"

#include "support/fresh_state.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace brg {
namespace {

using Listing = test::FreshState;

// Names padded to twenty with their closing quote, five to a line, in number order.
TEST_F(Listing, PadsNamesAndPutsFiveOnALine)
{
    using Entries = std::vector<std::pair<std::uint32_t, std::string>>;
    const std::vector<std::pair<Entries, std::vector<std::string>>> cases = {
        {{}, {}},
        {{{1006, "LtStorm"}, {4, "P71A"}, {2032, "McpWdoSpd"}, {1007, "LtOvhd"}, {5688, "EfisActRBaro"}},
         {"4 \"P71A\"               1006 \"LtStorm\"            1007 \"LtOvhd\"             "
          "2032 \"McpWdoSpd\"          5688 \"EfisActRBaro\"       "}},
        {{{1001, "V"}, {1002, "V"}, {1003, "V"}, {1004, "V"}, {1005, "V"}, {1006, "V"}},
         {"1001 \"V\"                  1002 \"V\"                  1003 \"V\"                  "
          "1004 \"V\"                  1005 \"V\"                  ",
          "1006 \"V\"                  "}},
        // 19 characters and the quote make 20; longer names stay whole.
        {{{3001, "ABCDEFGHIJKLMNOPQRS"}, {3002, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, {3003, "Short"}},
         {"3001 \"ABCDEFGHIJKLMNOPQRS\"3002 \"ABCDEFGHIJKLMNOPQRSTUVWXYZ\"3003 \"Short\"              "}},
    };
    for (const auto& [entries, expected] : cases) {
        VarPoolImpl pool{VarPoolImpl::Builders{}};
        for (const auto& [number, name] : entries)
            pool.storeVarPtr(std::make_shared<ControlVar>(name, number));
        gf_makeListing(pool);
        EXPECT_EQ(std::vector<std::string>(pool.listing.begin(), pool.listing.end()), expected);
    }
}

} // namespace
} // namespace brg
