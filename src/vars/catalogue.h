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

    bool includes(const CatalogueRow& row) const;
};

// One group per collection: its number and the positions that set its items, ascending.
void gf_buildGroups(VarPoolImpl& pool, const CatalogueOptions& options);

} // namespace brg
