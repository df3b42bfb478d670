#include "base/exceptions.h"
#include "support/fresh_state.h"
#include "vars/var_state.h"
#include "vars/var_pool.h"

#include <gmock/gmock.h>

namespace brg {
namespace {

using ::testing::ElementsAre;
using VarPoolTest = test::FreshState;

struct FakeInfo : InfoVar {
    using InfoVar::InfoVar;
    void refresh() override {}
};

// A small catalogue: two controls, one info variable, and collection 1100 set by positions 3500/3501.
VarPoolImpl::Builders fakeCatalogue()
{
    VarPoolImpl::Builders b;
    b.catalogue = [](VarPoolImpl& pool) {
        pool.storeVarPtr(std::make_shared<ControlVar>("Sw1", 1006));
        pool.storeVarPtr(std::make_shared<ControlVar>("Sw2", 1007));
        pool.storeVarPtr(std::make_shared<FakeInfo>("Lt1", 3200));
        pool.storeVarPtr(std::make_shared<ControlVar>("Pos0", 3500));
        pool.storeVarPtr(std::make_shared<ControlVar>("Pos1", 3501));
    };
    b.groups = [](VarPoolImpl& pool) { pool.groups = {{1100, {3500, 3501}}, {1101, {3502}}}; };
    b.lateVariables = [](VarPoolImpl& pool) {
        pool.storeVarPtr(std::make_shared<CollectionVar>("Coll", 1100, 2));
        pool.storeVarPtr(std::make_shared<CollectionVar>("Other", 1101, 1));
    };
    b.listing = [](VarPoolImpl& pool) { pool.listing.push_back(std::to_string(pool.vars.size())); };
    return b;
}

TEST_F(VarPoolTest, StoreRejectsNullAndDuplicates)
{
    VarPoolImpl pool(VarPoolImpl::Builders{});
    EXPECT_THROW(pool.storeVarPtr(nullptr), std::runtime_error);
    pool.storeVarPtr(std::make_shared<ControlVar>("A", 1006));
    EXPECT_THROW(pool.storeVarPtr(std::make_shared<ControlVar>("B", 1006)), std::runtime_error);
    EXPECT_EQ(pool.find(1006)->name, "A");
}

TEST_F(VarPoolTest, SelectionAddsTheCollectionOfAUsedPositionOnlyToThePsxSide)
{
    VarPoolImpl pool(fakeCatalogue());
    pool.selectVariables({1006, 3200, 3501, 4000});
    EXPECT_THAT(pool.siocNumbers, ElementsAre(1006, 3501));
    EXPECT_EQ(pool.count, 3u);
    EXPECT_THAT(pool.listing, ElementsAre("3"));
    EXPECT_THAT(pool.addedBases, ElementsAre(1100));
    EXPECT_THAT(pool.psxNumbers, ElementsAre(1006, 1100, 3200, 3501));

    VarPoolImpl none(fakeCatalogue());
    EXPECT_THROW(none.selectVariables({5, 4000}), UserErrorException);
}

TEST_F(VarPoolTest, GetVarFindsThroughTheProcessPoolAndIsEmptyAfterwards)
{
    g_varPool = std::make_shared<VarPoolImpl>(fakeCatalogue());
    g_varPool->buildCatalogue();
    EXPECT_EQ(vars::getVar(Qcode{1007})->name, "Sw2");
    EXPECT_EQ(vars::getVar(Qcode{5688}), nullptr);
    g_varPool.reset();
    EXPECT_EQ(vars::getVar(Qcode{1007}), nullptr);
}

TEST(PsxName, RangesAndBorders)
{
    const std::vector<std::pair<std::uint32_t, std::string>> rows = {
        {0, "Qs0"}, {999, "Qs999"}, {1000, "Qh0"}, {2999, "Qi999"}, {3000, ""}, {5688, ""}};
    for (const auto& [number, name] : rows)
        EXPECT_EQ(gf_psxName(number), name) << number;
}

} // namespace
} // namespace brg
