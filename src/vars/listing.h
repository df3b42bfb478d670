#pragma once
// The log listing of the selected variables: five entries per line.
#include "vars/var_pool.h"

namespace brg {

// Fills pool.listing from pool.vars.
void gf_makeListing(VarPoolImpl& pool);

} // namespace brg
