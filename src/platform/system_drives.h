#pragma once
// The drives of the machine the program runs on; the front end installs it as g_driveProvider.
#include "sioc/drives.h"

#include <memory>

namespace brg {

std::shared_ptr<DriveProvider> gf_systemDrives();

} // namespace brg
