#include "sioc/drives.h"

namespace brg {

std::shared_ptr<DriveProvider> g_driveProvider;

} // namespace brg
