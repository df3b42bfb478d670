#include "vars/catalogue.h"
#include "vars/var_factories.h"

namespace brg {

void gf_addCatalogueVar(VarPoolImpl& pool, const CatalogueRow& row, const CatalogueOptions& options)
{
    const std::uint32_t n = row.number;
    const std::string name = row.name;
    const auto& p = row.params;
    const auto code = [&p](std::size_t i) { return static_cast<std::uint32_t>(p[i]); };
    const auto range = [&p](std::size_t i) { return Range{p[i], p[i + 1]}; };
    const auto invert = [&p, &options](std::size_t i) { return options.invert.at(static_cast<std::size_t>(p[i])); };

    switch (row.type) {
    case VarType::SwitchVar: return addSwitchVar(pool, n, name);
    case VarType::Switch12Var: return addSwitch12Var(pool, n, name);
    case VarType::PushVar: return addPushVar(pool, n, name);
    case VarType::ClampVar: return addClampVar(pool, n, name, range(0));
    case VarType::BandVar: return addBandVar(pool, n, name, range(0));
    case VarType::PotVar: return addPotVar(pool, n, name);
    case VarType::EncoderVar: return addEncoderVar(pool, n, name, p[0], invert(1));
    case VarType::KeyCodeVar: return addKeyCodeVar(pool, n, name);
    case VarType::CduKeyVar: return addCduKeyVar(pool, n, name, p[0]);
    case VarType::KeyPushVar: return addKeyPushVar(pool, n, name, p[0], code(1));
    case VarType::KeyPush23Var: return addKeyPush23Var(pool, n, name, p[0], code(1));
    case VarType::SelectorVar: return addSelectorVar(pool, n, name, code(0));
    case VarType::LinkedValueVar: return addLinkedValueVar(pool, n, name, code(0));
    case VarType::LinkedClampVar: return addLinkedClampVar(pool, n, name, code(0), range(1));
    case VarType::LinkedSwitchVar: return addLinkedSwitchVar(pool, n, name, code(0));
    case VarType::LinkedPushVar: return addLinkedPushVar(pool, n, name, code(0));
    case VarType::MessageVar: return addMessageVar(pool, n, name, code(0));

    case VarType::QsListVar: return addQsListVar(pool, n, name, code(0));
    case VarType::QsQueuedListVar: return addQsQueuedListVar(pool, n, name);
    case VarType::QsTripletVar: return addQsTripletVar(pool, n, name);
    case VarType::QsLetterVar: return addQsLetterVar(pool, n, name, code(0));
    case VarType::FltControlsVar: return addFltControlsVar(pool, n, name);
    case VarType::BrakesVar: return addBrakesVar(pool, n, name);
    case VarType::WxPushVar: return addWxPushVar(pool, n, name);
    case VarType::WxTurnVar: return addWxTurnVar(pool, n, name);
    case VarType::QhBitsVar: return addQhBitsVar(pool, n, name);
    case VarType::QhTwoPushVar: return addQhTwoPushVar(pool, n, name);
    case VarType::QhTwoStateVar: return addQhTwoStateVar(pool, n, name);
    case VarType::QhPlus8Var: return addQhPlus8Var(pool, n, name);
    case VarType::QhFirstItemVar: return addQhFirstItemVar(pool, n, name);
    case VarType::QhThreeWayVar: return addQhThreeWayVar(pool, n, name);
    case VarType::QhThreeWay25Var: return addQhThreeWay25Var(pool, n, name);

    case VarType::ValueVar: return addValueVar(pool, n, name);
    case VarType::LinkedForwardVar: return addLinkedForwardVar(pool, n, name, code(0));
    case VarType::SwitchEchoVar: return addSwitchEchoVar(pool, n, name, code(0));
    case VarType::BandForwardVar: return addBandForwardVar(pool, n, name);
    case VarType::Bcd3Var: return addBcd3Var(pool, n, name);
    case VarType::Bcd3DpVar: return addBcd3DpVar(pool, n, name);
    case VarType::Bcd5Var: return addBcd5Var(pool, n, name);
    case VarType::Bcd4bnVar: return addBcd4bnVar(pool, n, name);
    case VarType::SquawkVar: return addSquawkVar(pool, n, name);
    case VarType::SquawkDisplayVar: return addSquawkDisplayVar(pool, n, name, code(0));
    case VarType::FlagVar: return addFlagVar(pool, n, name, code(0));
    case VarType::ClockVar: return addClockVar(pool, n, name, code(0), code(1));
    case VarType::ChronoVar: return addChronoVar(pool, n, name, code(0), code(1));
    case VarType::RadioFreqVar: return addRadioFreqVar(pool, n, name, code(0), code(1), code(2));
    case VarType::GatedValueVar: return addGatedValueVar(pool, n, name, code(0), code(1));
    case VarType::AudioBitsVar: return addAudioBitsVar(pool, n, name, code(0));
    case VarType::AudioSelectVar: return addAudioSelectVar(pool, n, name, code(0));

    case VarType::LightVar3: return addLightVar3(pool, n, name, code(0));
    case VarType::LightVar3b: return addLightVar3b(pool, n, name, code(0));
    case VarType::LightVar8: return addLightVar8(pool, n, name, code(0), code(1), code(2));
    case VarType::LightVar14: return addLightVar14(pool, n, name, code(0), code(1));
    case VarType::LightVarElt: return addLightVarElt(pool, n, name, code(0));
    case VarType::LightVarB: return addLightVarB(pool, n, name, code(0), code(1));
    case VarType::LightVarSquib: return addLightVarSquib(pool, n, name, code(0));
    case VarType::LightVarEvac: return addLightVarEvac(pool, n, name, code(0));
    case VarType::LightVarT: return addLightVarT(pool, n, name, code(0), code(1));
    case VarType::LightVarRadio: return addLightVarRadio(pool, n, name, code(0));
    case VarType::LightVarCdu: return addLightVarCdu(pool, n, name, code(0));

    case VarType::SwitchPositionVar: return addSwitchPositionVar(pool, n, name, code(0), code(1), p[2]);
    case VarType::ItemSwitchVar: return addItemSwitchVar(pool, n, name, code(0), code(1));
    case VarType::ItemSwitchOVar: return addItemSwitchOVar(pool, n, name, code(0), code(1));
    case VarType::ItemPushVar: return addItemPushVar(pool, n, name, code(0), code(1));
    case VarType::ItemClampVar: return addItemClampVar(pool, n, name, range(0), code(2), code(3));
    case VarType::ItemBandVar: return addItemBandVar(pool, n, name, range(0), code(2), code(3));
    case VarType::ItemPotVar: return addItemPotVar(pool, n, name, code(0));
    case VarType::ItemEncoderVar: return addItemEncoderVar(pool, n, name, p[0], code(1), code(2), invert(3));
    }
}

} // namespace brg
