#pragma once
// The users' variable reference: the whole catalogue as one Markdown document, and as a table for a
// spreadsheet.
#include <string>

namespace brg {

std::string gf_catalogueReference();
// One line per variable: number, name, PSX variable, type, direction, description (RFC 4180).
std::string gf_catalogueCsv();

} // namespace brg
