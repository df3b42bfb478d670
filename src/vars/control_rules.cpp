#include "vars/control_rules.h"

#include "vars/var_state.h"

namespace brg {

bool gf_momentaryAccepts(std::int32_t v) { return !g_initPhase && gf_isSwitchValue(v); }

} // namespace brg
