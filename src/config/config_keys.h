#pragma once
// Every key of Talvesync.cfg: the configuration items, and the keys read without an item (the SIOC
// keys, the number lists, OCCDU and the CDU key codes). Whether a key is known is decided here.
#include "config/config_file.h"

#include <string>
#include <string_view>
#include <vector>

namespace brg {

class CfgItem;

enum class CfgKind { Switch, Integer, Address, Text, NumberList, CduKeyCode };

struct CfgKey {
    std::string key;
    CfgKind kind;
    CfgItem* item; // null for a key read without an item
};

// The line pattern a key of this kind is read with.
CfgPattern gf_patternOf(CfgKind kind);

// The items in their order, then the SIOC keys, the lists, OCCDU and the 69 CDU key codes.
const std::vector<CfgKey>& gf_cfgKeys();

// The key as the table spells it, looked up without regard to case; null when it is unknown.
const CfgKey* gf_findCfgKey(std::string_view key);

} // namespace brg
