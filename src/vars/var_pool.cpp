#include "vars/var_pool.h"

#include "base/exceptions.h"
#include "vars/var_state.h"

#include <stdexcept>

namespace brg {

VarPoolImpl::VarPoolImpl() : m_builders(gf_catalogueBuilders()) {}

void VarPoolImpl::storeVarPtr(std::shared_ptr<Var> var)
{
    if (!var)
        throw std::runtime_error("VarPoolImpl::storeVarPtr is null");
    const std::uint32_t number = var->number;
    if (vars.contains(number))
        throw std::runtime_error("VarPoolImpl::storeVarPtr var already exists, var " +
                                 std::to_string(number) + " already exists");
    vars.emplace(number, std::move(var));
}

std::shared_ptr<Var> VarPoolImpl::find(std::uint32_t number) const
{
    const auto it = vars.find(number);
    return it == vars.end() ? nullptr : it->second;
}

void VarPoolImpl::retainOnly(const std::set<std::uint32_t>& numbers)
{
    std::vector<std::uint32_t> unwanted;
    for (const auto& [number, var] : vars)
        if (!numbers.contains(number))
            unwanted.push_back(number);
    for (std::uint32_t number : unwanted)
        vars.erase(number);
}

void VarPoolImpl::selectVariables(const std::set<std::uint32_t>& scriptNumbers)
{
    buildCatalogue();
    std::set<std::uint32_t> selected = scriptNumbers;
    retainOnly(selected);
    if (vars.empty())
        throw UserErrorException(1, "No variables found in your CONFIG_FILE");
    for (const auto& [number, var] : vars)
        if (!var->isInfoVar())
            siocNumbers.insert(number);
    count = static_cast<std::uint32_t>(vars.size());
    makeListing();
    buildGroups();
    buildLateVariables();
    // A virtual switch position needs the collection variable whose item it sets.
    for (const auto& [base, members] : groups) {
        for (std::uint32_t member : members) {
            if (selected.contains(member)) {
                selected.insert(base);
                addedBases.insert(base);
                break;
            }
        }
    }
    retainOnly(selected);
    for (const auto& [number, var] : vars)
        psxNumbers.insert(number);
}

std::shared_ptr<Var> vars::getVar(Qcode code)
{
    const std::shared_ptr<VarPoolImpl> pool = g_varPool;
    return pool ? pool->find(static_cast<std::uint32_t>(code)) : nullptr;
}

} // namespace brg
