#include "vars/catalogue.h"

#include "vars/listing.h"

#include <map>
#include <vector>

namespace brg {

bool CatalogueOptions::includes(const CatalogueRow& row) const
{
    switch (row.only) {
    case RcpSet::Always:
        return true;
    case RcpSet::DualEncoderL:
        return dualEncoder[0];
    case RcpSet::SingleEncoderL:
        return !dualEncoder[0];
    case RcpSet::DualEncoderC:
        return dualEncoder[1];
    case RcpSet::SingleEncoderC:
        return !dualEncoder[1];
    case RcpSet::DualEncoderR:
        return dualEncoder[2];
    case RcpSet::SingleEncoderR:
        return !dualEncoder[2];
    }
    return false;
}

namespace {

void lf_addRows(VarPoolImpl& pool, std::span<const CatalogueRow> rows, const CatalogueOptions& options)
{
    for (const CatalogueRow& row : rows)
        if (options.includes(row))
            gf_addCatalogueVar(pool, row, options);
}

} // namespace

// Where the collection stands among a position's parameters follows the factory order.
std::uint32_t gf_collectionOf(const CatalogueRow& position)
{
    switch (position.type) {
    case VarType::ItemClampVar:
    case VarType::ItemBandVar:
        return static_cast<std::uint32_t>(position.params[2]);
    case VarType::ItemEncoderVar:
        return static_cast<std::uint32_t>(position.params[1]);
    case VarType::ItemPotVar:
        return 105;
    default:
        return static_cast<std::uint32_t>(position.params[0]);
    }
}

void gf_buildCatalogue(VarPoolImpl& pool, const CatalogueOptions& options)
{
    lf_addRows(pool, gf_virtualSwitchRows(), options);
    lf_addRows(pool, gf_mainRows(), options);
}

void gf_buildLateVariables(VarPoolImpl& pool, const CatalogueOptions& options)
{
    lf_addRows(pool, gf_lateRows(), options);
}

void gf_buildGroups(VarPoolImpl& pool, const CatalogueOptions& options)
{
    // The rows are in ascending number order, so each group's members are too.
    std::map<std::uint32_t, std::vector<std::uint32_t>> members;
    for (const CatalogueRow& row : gf_virtualSwitchRows()) {
        if (!options.includes(row))
            continue;
        members[gf_collectionOf(row)].push_back(row.number);
    }
    for (auto& [base, numbers] : members)
        pool.groups.emplace_back(base, std::move(numbers));
}

VarPoolImpl::Builders gf_catalogueBuilders(const CatalogueOptions& options)
{
    return {
        .catalogue = [options](VarPoolImpl& pool) { gf_buildCatalogue(pool, options); },
        .groups = [options](VarPoolImpl& pool) { gf_buildGroups(pool, options); },
        .lateVariables = [options](VarPoolImpl& pool) { gf_buildLateVariables(pool, options); },
        .listing = gf_makeListing,
    };
}

VarPoolImpl::Builders gf_catalogueBuilders()
{
    return {
        .catalogue = [](VarPoolImpl& pool) { gf_buildCatalogue(pool, CatalogueOptions::fromConfiguration()); },
        .groups = [](VarPoolImpl& pool) { gf_buildGroups(pool, CatalogueOptions::fromConfiguration()); },
        .lateVariables =
            [](VarPoolImpl& pool) { gf_buildLateVariables(pool, CatalogueOptions::fromConfiguration()); },
        .listing = gf_makeListing,
    };
}

} // namespace brg
