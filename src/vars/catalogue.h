#pragma once
// Building the pool from the catalogue rows, with the settings that choose between rows.
#include "vars/catalogue_rows.h"
#include "vars/var_pool.h"

#include <array>

namespace brg {

struct CatalogueOptions {
    // DUAL_ENCODER_RCPL/C/R: three encoders per radio panel (true) or one encoder and a switch.
    std::array<bool, 3> dualEncoder{true, true, true};
    // The Invert* keys, indexed by InvertKey: 1 sends an encoder's delta unchanged, 0 negates it.
    std::array<bool, kInvertKeyCount> invert{};

    // The settings as the configuration file gave them.
    static CatalogueOptions fromConfiguration();

    bool includes(const CatalogueRow& row) const;
};

// The number of the collection that a row of gf_virtualSwitchRows() sets an item of.
std::uint32_t gf_collectionOf(const CatalogueRow& position);

// Creates the variable of one row in the pool.
void gf_addCatalogueVar(VarPoolImpl& pool, const CatalogueRow& row, const CatalogueOptions& options);

// The virtual switch positions, then the main catalogue.
void gf_buildCatalogue(VarPoolImpl& pool, const CatalogueOptions& options);
// One group per collection: its number and the positions that set its items, ascending.
void gf_buildGroups(VarPoolImpl& pool, const CatalogueOptions& options);
void gf_buildLateVariables(VarPoolImpl& pool, const CatalogueOptions& options);

// Builders with fixed settings (tests, the reference tool); gf_catalogueBuilders() reads the
// configuration each time a builder runs, since the pool is made before the file is read.
VarPoolImpl::Builders gf_catalogueBuilders(const CatalogueOptions& options);

} // namespace brg
