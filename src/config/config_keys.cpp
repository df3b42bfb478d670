#include "config/config_keys.h"

#include "config/cdu_key_map.h"
#include "config/config_items.h"

#include <algorithm>

namespace brg {

namespace {

CfgKind lf_kindOf(const CfgItem& item)
{
    if (dynamic_cast<const BoolParam*>(&item))
        return CfgKind::Switch;
    if (dynamic_cast<const IntParam*>(&item))
        return CfgKind::Integer;
    const auto& text = dynamic_cast<const StringParam&>(item);
    return text.pattern() == CfgPattern::Host ? CfgKind::Address : CfgKind::Text;
}

std::vector<CfgKey> lf_buildKeys()
{
    std::vector<CfgKey> keys;
    for (CfgItem* item : gf_configItems())
        keys.push_back({item->key(), lf_kindOf(*item), item});
    const CfgKey others[] = {
        {"IOCP_HOSTADDRESS", CfgKind::Address, nullptr},  {"IOCP_port", CfgKind::Integer, nullptr},
        {"CONFIG_FILE", CfgKind::Text, nullptr},          {"Qh_VarList", CfgKind::NumberList, nullptr},
        {"Qi_VarList", CfgKind::NumberList, nullptr},     {"Qs_VarList", CfgKind::NumberList, nullptr},
        {"BLACKLIST", CfgKind::NumberList, nullptr},      {"WHITELIST", CfgKind::NumberList, nullptr},
        {"OCCDU", CfgKind::Integer, nullptr},
    };
    keys.insert(keys.end(), std::begin(others), std::end(others));
    for (std::uint32_t index = 0; index < kCduKeyCount; ++index)
        keys.push_back({gf_cduKeyName(index), CfgKind::CduKeyCode, nullptr});
    return keys;
}

} // namespace

CfgPattern gf_patternOf(CfgKind kind)
{
    switch (kind) {
    case CfgKind::Switch:
        return CfgPattern::Boolean;
    case CfgKind::Integer:
    case CfgKind::CduKeyCode:
        return CfgPattern::Integer;
    case CfgKind::Address:
        return CfgPattern::Host;
    case CfgKind::Text:
    case CfgKind::NumberList:
        break;
    }
    return CfgPattern::Text;
}

const std::vector<CfgKey>& gf_cfgKeys()
{
    // Items are global objects made before main; the first call comes after.
    static const std::vector<CfgKey> keys = lf_buildKeys();
    return keys;
}

const CfgKey* gf_findCfgKey(std::string_view key)
{
    const auto& keys = gf_cfgKeys();
    const auto found = std::find_if(keys.begin(), keys.end(), [&](const CfgKey& k) { return gf_sameCfgKey(k.key, key); });
    return found == keys.end() ? nullptr : &*found;
}

} // namespace brg
