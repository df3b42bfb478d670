#pragma once
// Which lines of Talvesync.cfg the program does not understand, and why: a line that is neither
// blank nor a comment and that no key takes, and a list item that is no number.
#include <cstddef>
#include <string>
#include <vector>

namespace brg {

class CfgFile;

struct CfgFinding {
    std::size_t line; // from 1
    std::string why;
};

// The findings in line order. Reasons that name the value in use read it from the items, so call
// this after the items have been read.
std::vector<CfgFinding> gf_checkCfgFile(const CfgFile& file);

// "Talvesync.cfg line N: why".
std::string gf_findingText(const CfgFinding& finding);

// What `talvesync --check-config` prints after the settings have been read from the file: each
// finding, then every key with the value it will have.
std::string gf_checkReport(const CfgFile& file, const std::vector<CfgFinding>& findings);

// The status line's note about the findings: empty without any; the finding itself when there is
// one; else "N lines of Talvesync.cfg not understood, see Log.txt".
std::string gf_findingsNote(const std::vector<CfgFinding>& findings);

} // namespace brg
