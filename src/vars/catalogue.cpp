#include "vars/var_pool.h"

namespace brg {

// Skeleton until the catalogue is built: an empty pool.
VarPoolImpl::Builders gf_catalogueBuilders() { return {}; }

} // namespace brg
