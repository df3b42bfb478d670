#include "vars/catalogue_rows.h"

namespace brg {

std::string_view gf_varTypeName(VarType type)
{
    switch (type) {
#define BRG_VAR_TYPE_NAME(t)                                                                       \
    case VarType::t:                                                                               \
        return #t;
        BRG_VAR_TYPES(BRG_VAR_TYPE_NAME)
#undef BRG_VAR_TYPE_NAME
    }
    return {};
}

} // namespace brg
