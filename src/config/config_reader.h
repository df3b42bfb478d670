#pragma once

namespace brg {

// Reads every setting of Talvesync.cfg at start-up (not the window positions, not the SIOC keys),
// switches the protocol traces and the CDU screen mode accordingly, and fills the selection lists
// and the CDU key map. Never throws: an error is logged and the keys not yet read keep their defaults.
void gf_getCfgData() noexcept;

} // namespace brg
