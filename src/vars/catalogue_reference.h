#pragma once
// The users' variable reference: the whole catalogue as one Markdown document.
#include <string>

namespace brg {

std::string gf_catalogueReference();

} // namespace brg
