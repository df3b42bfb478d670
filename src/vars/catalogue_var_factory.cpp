#include "vars/catalogue.h"
#include "vars/var_types.h"

#include <memory>
#include <utility>

namespace brg {

namespace {

template <typename T, typename... Args>
void lf_store(VarPoolImpl& pool, Args&&... args)
{
    pool.storeVarPtr(std::make_shared<T>(std::forward<Args>(args)...));
}

} // namespace

void gf_addCatalogueVar(VarPoolImpl& pool, const CatalogueRow& row, const CatalogueOptions& options)
{
    const std::uint32_t n = row.number;
    const std::string name = row.name;
    const auto& p = row.params;
    const auto code = [&p](std::size_t i) { return static_cast<std::uint32_t>(p[i]); };
    const auto range = [&p](std::size_t i) { return Range{p[i], p[i + 1]}; };
    const auto invert = [&p, &options](std::size_t i) { return options.invert.at(static_cast<std::size_t>(p[i])); };

    switch (row.type) {
    case VarType::SwitchVar: return lf_store<SwitchVar>(pool, name, n);
    case VarType::Switch12Var: return lf_store<Switch12Var>(pool, name, n);
    case VarType::PushVar: return lf_store<PushVar>(pool, name, n);
    case VarType::ClampVar: return lf_store<ClampVar>(pool, name, n, range(0));
    case VarType::BandVar: return lf_store<BandVar>(pool, name, n, range(0));
    case VarType::PotVar: return lf_store<PotVar>(pool, name, n);
    case VarType::EncoderVar: return lf_store<EncoderVar>(pool, name, n, p[0], invert(1));
    case VarType::KeyCodeVar: return lf_store<KeyCodeVar>(pool, name, n);
    case VarType::CduKeyVar: return lf_store<CduKeyVar>(pool, name, n, p[0]);
    case VarType::KeyPushVar: return lf_store<KeyPushVar>(pool, name, n, p[0], code(1));
    case VarType::KeyPush23Var: return lf_store<KeyPush23Var>(pool, name, n, p[0], code(1));
    case VarType::SelectorVar: return lf_store<SelectorVar>(pool, name, n, code(0));
    case VarType::LinkedValueVar: return lf_store<LinkedValueVar>(pool, name, n, code(0));
    case VarType::LinkedClampVar: return lf_store<LinkedClampVar>(pool, name, n, code(0), range(1));
    case VarType::LinkedSwitchVar: return lf_store<LinkedSwitchVar>(pool, name, n, code(0));
    case VarType::LinkedPushVar: return lf_store<LinkedPushVar>(pool, name, n, code(0));
    case VarType::MessageVar: return lf_store<MessageVar>(pool, name, n, code(0));

    case VarType::QsListVar: return lf_store<QsListVar>(pool, name, n, code(0));
    case VarType::QsQueuedListVar: return lf_store<QsQueuedListVar>(pool, name, n);
    case VarType::QsTripletVar: return lf_store<QsTripletVar>(pool, name, n);
    case VarType::QsLetterVar: return lf_store<QsLetterVar>(pool, name, n, code(0));
    case VarType::FltControlsVar: return lf_store<FltControlsVar>(pool, name);
    case VarType::BrakesVar: return lf_store<BrakesVar>(pool, name);
    case VarType::WxPushVar: return lf_store<WxPushVar>(pool, name);
    case VarType::WxTurnVar: return lf_store<WxTurnVar>(pool, name);
    case VarType::QhBitsVar: return lf_store<QhBitsVar>(pool, name, n);
    case VarType::QhTwoPushVar: return lf_store<QhTwoPushVar>(pool, name, n);
    case VarType::QhTwoStateVar: return lf_store<QhTwoStateVar>(pool, name, n);
    case VarType::QhPlus8Var: return lf_store<QhPlus8Var>(pool, name, n);
    case VarType::QhFirstItemVar: return lf_store<QhFirstItemVar>(pool, name, n);
    case VarType::QhThreeWayVar: return lf_store<QhThreeWayVar>(pool, name, n);
    case VarType::QhThreeWay25Var: return lf_store<QhThreeWay25Var>(pool, name, n);

    case VarType::ValueVar: return lf_store<ValueVar>(pool, name, n);
    case VarType::LinkedForwardVar: return lf_store<LinkedForwardVar>(pool, name, n, code(0));
    case VarType::SwitchEchoVar: return lf_store<SwitchEchoVar>(pool, name, n, code(0));
    case VarType::BandForwardVar: return lf_store<BandForwardVar>(pool, name);
    case VarType::Bcd3Var: return lf_store<Bcd3Var>(pool, name, n);
    case VarType::Bcd3DpVar: return lf_store<Bcd3DpVar>(pool, name, n);
    case VarType::Bcd5Var: return lf_store<Bcd5Var>(pool, name, n);
    case VarType::Bcd4bnVar: return lf_store<Bcd4bnVar>(pool, name, n);
    case VarType::SquawkVar: return lf_store<SquawkVar>(pool, name, n);
    case VarType::SquawkDisplayVar: return lf_store<SquawkDisplayVar>(pool, name, code(0));
    case VarType::FlagVar: return lf_store<FlagVar>(pool, name, code(0));
    case VarType::ClockVar: return lf_store<ClockVar>(pool, name, n, code(0), code(1));
    case VarType::ChronoVar: return lf_store<ChronoVar>(pool, name, n, code(0), code(1));
    case VarType::RadioFreqVar: return lf_store<RadioFreqVar>(pool, name, n, code(0), code(1), code(2));
    case VarType::GatedValueVar: return lf_store<GatedValueVar>(pool, name, n, code(0), code(1));
    case VarType::AudioBitsVar: return lf_store<AudioBitsVar>(pool, name, n, code(0));
    case VarType::AudioSelectVar: return lf_store<AudioSelectVar>(pool, name, n, code(0));

    case VarType::LightVar3: return lf_store<LightVar3>(pool, name, n, code(0));
    case VarType::LightVar3b: return lf_store<LightVar3b>(pool, name, n, code(0));
    case VarType::LightVar8: return lf_store<LightVar8>(pool, name, n, code(0), code(1), code(2));
    case VarType::LightVar14: return lf_store<LightVar14>(pool, name, n, code(0), code(1));
    case VarType::LightVarElt: return lf_store<LightVarElt>(pool, name, n, code(0));
    case VarType::LightVarB: return lf_store<LightVarB>(pool, name, n, code(0), code(1));
    case VarType::LightVarSquib: return lf_store<LightVarSquib>(pool, name, n, code(0));
    case VarType::LightVarEvac: return lf_store<LightVarEvac>(pool, name, n, code(0));
    case VarType::LightVarT: return lf_store<LightVarT>(pool, name, n, code(0), code(1));
    case VarType::LightVarRadio: return lf_store<LightVarRadio>(pool, name, n, code(0));
    case VarType::LightVarCdu: return lf_store<LightVarCdu>(pool, name, n, code(0));

    case VarType::SwitchPositionVar: return lf_store<SwitchPositionVar>(pool, name, n, code(0), code(1), p[2]);
    case VarType::ItemSwitchVar: return lf_store<ItemSwitchVar>(pool, name, n, code(0), code(1));
    case VarType::ItemSwitchOVar: return lf_store<ItemSwitchOVar>(pool, name, n, code(0), code(1));
    case VarType::ItemPushVar: return lf_store<ItemPushVar>(pool, name, n, code(0), code(1));
    case VarType::ItemClampVar: return lf_store<ItemClampVar>(pool, name, n, range(0), code(2), code(3));
    case VarType::ItemBandVar: return lf_store<ItemBandVar>(pool, name, n, range(0), code(2), code(3));
    case VarType::ItemPotVar: return lf_store<ItemPotVar>(pool, name, n, code(0));
    case VarType::ItemEncoderVar: return lf_store<ItemEncoderVar>(pool, name, n, p[0], code(1), code(2), invert(3));
    }
}

} // namespace brg
