#include "vars/var_factories.h"

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

using u32 = std::uint32_t;
using i32 = std::int32_t;
using Pool = VarPoolImpl;
using Name = const std::string&;

} // namespace

void addSwitchVar(Pool& pool, u32 number, Name name) { lf_store<SwitchVar>(pool, name, number); }
void addSwitch12Var(Pool& pool, u32 number, Name name) { lf_store<Switch12Var>(pool, name, number); }
void addPushVar(Pool& pool, u32 number, Name name) { lf_store<PushVar>(pool, name, number); }
void addClampVar(Pool& pool, u32 number, Name name, Range range) { lf_store<ClampVar>(pool, name, number, range); }
void addBandVar(Pool& pool, u32 number, Name name, Range range) { lf_store<BandVar>(pool, name, number, range); }
void addPotVar(Pool& pool, u32 number, Name name) { lf_store<PotVar>(pool, name, number); }
void addEncoderVar(Pool& pool, u32 number, Name name, i32 stepLimit, bool invertKey)
{
    lf_store<EncoderVar>(pool, name, number, stepLimit, invertKey);
}
void addKeyCodeVar(Pool& pool, u32 number, Name name) { lf_store<KeyCodeVar>(pool, name, number); }
void addCduKeyVar(Pool& pool, u32 number, Name name, i32 key) { lf_store<CduKeyVar>(pool, name, number, key); }
void addKeyPushVar(Pool& pool, u32 number, Name name, i32 key, u32 psxCode)
{
    lf_store<KeyPushVar>(pool, name, number, key, psxCode);
}
void addKeyPush23Var(Pool& pool, u32 number, Name name, i32 key, u32 psxCode)
{
    lf_store<KeyPush23Var>(pool, name, number, key, psxCode);
}
void addSelectorVar(Pool& pool, u32 number, Name name, u32 psxCode)
{
    lf_store<SelectorVar>(pool, name, number, psxCode);
}
void addLinkedValueVar(Pool& pool, u32 number, Name name, u32 psxCode)
{
    lf_store<LinkedValueVar>(pool, name, number, psxCode);
}
void addLinkedClampVar(Pool& pool, u32 number, Name name, u32 psxCode, Range range)
{
    lf_store<LinkedClampVar>(pool, name, number, psxCode, range);
}
void addLinkedSwitchVar(Pool& pool, u32 number, Name name, u32 psxCode)
{
    lf_store<LinkedSwitchVar>(pool, name, number, psxCode);
}
void addLinkedPushVar(Pool& pool, u32 number, Name name, u32 psxCode)
{
    lf_store<LinkedPushVar>(pool, name, number, psxCode);
}
void addMessageVar(Pool& pool, u32 number, Name name, u32 psxCode)
{
    lf_store<MessageVar>(pool, name, number, psxCode);
}

void addQsListVar(Pool& pool, u32 number, Name name, u32 itemCount)
{
    lf_store<QsListVar>(pool, name, number, itemCount);
}
void addQsQueuedListVar(Pool& pool, u32 number, Name name) { lf_store<QsQueuedListVar>(pool, name, number); }
void addQsTripletVar(Pool& pool, u32 number, Name name) { lf_store<QsTripletVar>(pool, name, number); }
void addQsLetterVar(Pool& pool, u32 number, Name name, u32 itemCount)
{
    lf_store<QsLetterVar>(pool, name, number, itemCount);
}
void addFltControlsVar(Pool& pool, u32, Name name) { lf_store<FltControlsVar>(pool, name); }
void addBrakesVar(Pool& pool, u32, Name name) { lf_store<BrakesVar>(pool, name); }
void addWxPushVar(Pool& pool, u32, Name name) { lf_store<WxPushVar>(pool, name); }
void addWxTurnVar(Pool& pool, u32, Name name) { lf_store<WxTurnVar>(pool, name); }
void addQhBitsVar(Pool& pool, u32 number, Name name) { lf_store<QhBitsVar>(pool, name, number); }
void addQhTwoPushVar(Pool& pool, u32 number, Name name) { lf_store<QhTwoPushVar>(pool, name, number); }
void addQhTwoStateVar(Pool& pool, u32 number, Name name) { lf_store<QhTwoStateVar>(pool, name, number); }
void addQhPlus8Var(Pool& pool, u32 number, Name name) { lf_store<QhPlus8Var>(pool, name, number); }
void addQhFirstItemVar(Pool& pool, u32 number, Name name) { lf_store<QhFirstItemVar>(pool, name, number); }
void addQhThreeWayVar(Pool& pool, u32 number, Name name) { lf_store<QhThreeWayVar>(pool, name, number); }
void addQhThreeWay25Var(Pool& pool, u32 number, Name name) { lf_store<QhThreeWay25Var>(pool, name, number); }

void addValueVar(Pool& pool, u32 number, Name name) { lf_store<ValueVar>(pool, name, number); }
void addLinkedForwardVar(Pool& pool, u32 number, Name name, u32 psxCode)
{
    lf_store<LinkedForwardVar>(pool, name, number, psxCode);
}
void addSwitchEchoVar(Pool& pool, u32 number, Name name, u32 psxCode)
{
    lf_store<SwitchEchoVar>(pool, name, number, psxCode);
}
void addBandForwardVar(Pool& pool, u32, Name name) { lf_store<BandForwardVar>(pool, name); }
void addBcd3Var(Pool& pool, u32 number, Name name) { lf_store<Bcd3Var>(pool, name, number); }
void addBcd3DpVar(Pool& pool, u32 number, Name name) { lf_store<Bcd3DpVar>(pool, name, number); }
void addBcd5Var(Pool& pool, u32 number, Name name) { lf_store<Bcd5Var>(pool, name, number); }
void addBcd4bnVar(Pool& pool, u32 number, Name name) { lf_store<Bcd4bnVar>(pool, name, number); }
void addSquawkVar(Pool& pool, u32 number, Name name) { lf_store<SquawkVar>(pool, name, number); }
void addSquawkDisplayVar(Pool& pool, u32, Name name, u32 psxCode) { lf_store<SquawkDisplayVar>(pool, name, psxCode); }
void addFlagVar(Pool& pool, u32, Name name, u32 psxCode) { lf_store<FlagVar>(pool, name, psxCode); }
void addClockVar(Pool& pool, u32 number, Name name, u32 powerCode, u32 psxCode)
{
    lf_store<ClockVar>(pool, name, number, powerCode, psxCode);
}
void addChronoVar(Pool& pool, u32 number, Name name, u32 powerCode, u32 psxCode)
{
    lf_store<ChronoVar>(pool, name, number, powerCode, psxCode);
}
void addRadioFreqVar(Pool& pool, u32 number, Name name, u32 psxCode, u32 modeCode, u32 powerCode)
{
    lf_store<RadioFreqVar>(pool, name, number, psxCode, modeCode, powerCode);
}
void addGatedValueVar(Pool& pool, u32 number, Name name, u32 side, u32 psxCode)
{
    lf_store<GatedValueVar>(pool, name, number, side, psxCode);
}
void addAudioBitsVar(Pool& pool, u32 number, Name name, u32 side) { lf_store<AudioBitsVar>(pool, name, number, side); }
void addAudioSelectVar(Pool& pool, u32 number, Name name, u32 side)
{
    lf_store<AudioSelectVar>(pool, name, number, side);
}

void addLightVar3(Pool& pool, u32 number, Name name, u32 source) { lf_store<LightVar3>(pool, name, number, source); }
void addLightVar3b(Pool& pool, u32 number, Name name, u32 powerCode)
{
    lf_store<LightVar3b>(pool, name, number, powerCode);
}
void addLightVar8(Pool& pool, u32 number, Name name, u32 powerCode1, u32 powerCode2, u32 source)
{
    lf_store<LightVar8>(pool, name, number, powerCode1, powerCode2, source);
}
void addLightVar14(Pool& pool, u32 number, Name name, u32 powerCode, u32 source)
{
    lf_store<LightVar14>(pool, name, number, powerCode, source);
}
void addLightVarElt(Pool& pool, u32 number, Name name, u32 source) { lf_store<LightVarElt>(pool, name, number, source); }
void addLightVarB(Pool& pool, u32 number, Name name, u32 powerCode, u32 source)
{
    lf_store<LightVarB>(pool, name, number, powerCode, source);
}
void addLightVarSquib(Pool& pool, u32 number, Name name, u32 source)
{
    lf_store<LightVarSquib>(pool, name, number, source);
}
void addLightVarEvac(Pool& pool, u32 number, Name name, u32 source)
{
    lf_store<LightVarEvac>(pool, name, number, source);
}
void addLightVarT(Pool& pool, u32 number, Name name, u32 powerCode, u32 source)
{
    lf_store<LightVarT>(pool, name, number, powerCode, source);
}
void addLightVarRadio(Pool& pool, u32 number, Name name, u32 powerCode)
{
    lf_store<LightVarRadio>(pool, name, number, powerCode);
}
void addLightVarCdu(Pool& pool, u32 number, Name name, u32 powerCode)
{
    lf_store<LightVarCdu>(pool, name, number, powerCode);
}

void addSwitchPositionVar(Pool& pool, u32 number, Name name, u32 base, u32 position, i32 itemValue)
{
    lf_store<SwitchPositionVar>(pool, name, number, base, position, itemValue);
}
void addSwitchPositionVar(Pool& pool, u32 number, Name name, u32 base, i32 itemValue)
{
    lf_store<SwitchPositionVar>(pool, name, number, base, 0u, itemValue);
}
void addItemSwitchVar(Pool& pool, u32 number, Name name, u32 base, u32 position)
{
    lf_store<ItemSwitchVar>(pool, name, number, base, position);
}
void addItemSwitchOVar(Pool& pool, u32 number, Name name, u32 base, u32 position)
{
    lf_store<ItemSwitchOVar>(pool, name, number, base, position);
}
void addItemPushVar(Pool& pool, u32 number, Name name, u32 base, u32 position)
{
    lf_store<ItemPushVar>(pool, name, number, base, position);
}
void addItemClampVar(Pool& pool, u32 number, Name name, Range range, u32 base, u32 position)
{
    lf_store<ItemClampVar>(pool, name, number, range, base, position);
}
void addItemBandVar(Pool& pool, u32 number, Name name, Range range, u32 base, u32 position)
{
    lf_store<ItemBandVar>(pool, name, number, range, base, position);
}
void addItemPotVar(Pool& pool, u32 number, Name name, u32 position)
{
    lf_store<ItemPotVar>(pool, name, number, position);
}
void addItemEncoderVar(Pool& pool, u32 number, Name name, i32 stepLimit, u32 base, u32 position, bool invertKey)
{
    lf_store<ItemEncoderVar>(pool, name, number, stepLimit, base, position, invertKey);
}

} // namespace brg
