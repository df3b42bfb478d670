#include "support/fresh_state.h"
#include "vars/var_state.h"
#include "vars/var_pool.h"

#include <gtest/gtest.h>

namespace brg {
namespace {

using VarPoolTest = test::FreshState;

TEST_F(VarPoolTest, StoresEachNumberOnceAndFindsThroughTheProcessPoolWhileThereIsOne)
{
    g_varPool = std::make_shared<VarPoolImpl>(VarPoolImpl::Builders{});
    EXPECT_THROW(g_varPool->storeVarPtr(nullptr), std::runtime_error);
    g_varPool->storeVarPtr(std::make_shared<ControlVar>("A", 1006));
    EXPECT_THROW(g_varPool->storeVarPtr(std::make_shared<ControlVar>("B", 1006)), std::runtime_error);
    EXPECT_EQ(vars::getVar(Qcode{1006})->name, "A");
    EXPECT_EQ(vars::getVar(Qcode{5688}), nullptr);
    g_varPool.reset();
    EXPECT_EQ(vars::getVar(Qcode{1006}), nullptr);
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
