#pragma once
// All variables keyed by number, cut down at start-up to those the user's SIOC script uses.
#include "vars/var.h"

#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace brg {

class VarPoolImpl {
public:
    // What fills the pool: the catalogue, the groups of the collection variables, the variables
    // created after the first selection, and the listing. Unset builders do nothing.
    struct Builders {
        std::function<void(VarPoolImpl&)> catalogue;
        std::function<void(VarPoolImpl&)> groups;
        std::function<void(VarPoolImpl&)> lateVariables;
        std::function<void(VarPoolImpl&)> listing;
    };

    VarPoolImpl();
    explicit VarPoolImpl(Builders builders) : m_builders(std::move(builders)) {}

    void storeVarPtr(std::shared_ptr<Var> var);
    std::shared_ptr<Var> find(std::uint32_t number) const;
    void retainOnly(const std::set<std::uint32_t>& numbers);

    void buildCatalogue() { run(m_builders.catalogue); }
    void buildGroups() { run(m_builders.groups); }
    void buildLateVariables() { run(m_builders.lateVariables); }
    void makeListing() { run(m_builders.listing); }

    // The start-up selection from the numbers found in the user's script.
    void selectVariables(const std::set<std::uint32_t>& scriptNumbers);

    std::uint32_t count = 0;
    std::vector<std::pair<std::uint32_t, std::vector<std::uint32_t>>> groups;
    std::list<std::string> listing;
    std::set<std::uint32_t> addedBases;
    std::map<std::uint32_t, std::shared_ptr<Var>> vars;
    std::set<std::uint32_t> siocNumbers;
    std::set<std::uint32_t> psxNumbers;

private:
    void run(const std::function<void(VarPoolImpl&)>& builder)
    {
        if (builder)
            builder(*this);
    }

    Builders m_builders;
};

// The builders of the full catalogue; the pool's default.
VarPoolImpl::Builders gf_catalogueBuilders();

namespace vars {

// The pool's variable with that number; empty if there is none or the pool is gone.
std::shared_ptr<Var> getVar(Qcode code);

} // namespace vars

} // namespace brg
