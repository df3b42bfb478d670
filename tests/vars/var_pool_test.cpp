#include "base/exceptions.h"
#include "app/process_state.h"
#include "psx/to_psx_channel.h"
#include "sioc/to_sioc_channel.h"
#include "support/fresh_state.h"
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

TEST_F(VarPoolTest, StoreRejectsNullAndDuplicatesWithExactTexts)
{
    VarPoolImpl pool(VarPoolImpl::Builders{});
    try {
        pool.storeVarPtr(nullptr);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "VarPoolImpl::storeVarPtr is null");
    }
    pool.storeVarPtr(std::make_shared<ControlVar>("A", 1006));
    try {
        pool.storeVarPtr(std::make_shared<ControlVar>("B", 1006));
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "VarPoolImpl::storeVarPtr var already exists, var 1006 already exists");
    }
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
}

TEST_F(VarPoolTest, SelectionWithoutKnownNumbersIsAUserError)
{
    VarPoolImpl pool(fakeCatalogue());
    try {
        pool.selectVariables({5, 4000});
        FAIL();
    } catch (const UserErrorException& e) {
        EXPECT_STREQ(e.what(), "1: No variables found in your CONFIG_FILE");
    }
}

TEST_F(VarPoolTest, GetVarFindsThroughTheProcessPoolAndIsEmptyAfterwards)
{
    g_varPool = std::make_shared<VarPoolImpl>(fakeCatalogue());
    g_varPool->buildCatalogue();
    EXPECT_EQ(getVar(Qcode{1007})->name, "Sw2");
    EXPECT_EQ(getVar(Qcode{5688}), nullptr);
    g_varPool.reset();
    EXPECT_EQ(getVar(Qcode{1007}), nullptr);
}

TEST(PsxName, RangesAndBorders)
{
    EXPECT_EQ(psxName(0), "Qs0");
    EXPECT_EQ(psxName(999), "Qs999");
    EXPECT_EQ(psxName(1000), "Qh0");
    EXPECT_EQ(psxName(2999), "Qi999");
    EXPECT_EQ(psxName(3000), "");
    EXPECT_EQ(psxName(5688), "");
}

TEST_F(VarPoolTest, DefaultOperationsQueueForTheRightSide)
{
    ControlVar control("Sw", 1006);
    FakeInfo info("Lt", 3200);
    EXPECT_EQ(control.value, 0);
    EXPECT_EQ(info.value, kInfoVarStartValue);
    control.setValue(5);
    control.sendValueToPsx(9);
    control.sendQsString();
    info.setValue(3);
    EXPECT_EQ(ToPSXClient->queuedElements(), (std::vector<ChannelElement>{{1006, 5}, {1006, 9}, {1006, 0}}));
    EXPECT_EQ(ToSIOCClient->queuedElements(), (std::vector<ChannelElement>{{3200, 3}}));
    EXPECT_EQ(control.value, 5);
    EXPECT_FALSE(control.isInfoVar());
    EXPECT_TRUE(info.isInfoVar() && info.isPolled());

    CollectionVar collection("Coll", 1100, 3);
    EXPECT_EQ(collection.description(), "Collection of 3...");
    EXPECT_THROW(collection.setItem(3, 1), std::out_of_range);
}

} // namespace
} // namespace brg
