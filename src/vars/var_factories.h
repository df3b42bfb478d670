#pragma once
// One factory per variable type: creates the variable with its parameters and stores it in the
// pool. The factories of types that exist once at a fixed number ignore the number given.
#include "vars/control_rules.h"
#include "vars/var_pool.h"

#include <cstdint>
#include <string>

namespace brg {

// Control types.
void addSwitchVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addSwitch12Var(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addPushVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addClampVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, Range range);
void addBandVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, Range range);
void addPotVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addEncoderVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::int32_t stepLimit,
                   bool invertKey);
void addKeyCodeVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addCduKeyVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::int32_t key);
void addKeyPushVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::int32_t key,
                   std::uint32_t psxCode);
void addKeyPush23Var(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::int32_t key,
                     std::uint32_t psxCode);
void addSelectorVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t psxCode);
void addLinkedValueVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t psxCode);
void addLinkedClampVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t psxCode,
                       Range range);
void addLinkedSwitchVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t psxCode);
void addLinkedPushVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t psxCode);
void addMessageVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t psxCode);

// Collection types.
void addQsListVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t itemCount);
void addQsQueuedListVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addQsTripletVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addQsLetterVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t itemCount);
void addFltControlsVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name); // always 120
void addBrakesVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);      // always 357
void addWxPushVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);      // always 104
void addWxTurnVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);      // always 105
void addQhBitsVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addQhTwoPushVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addQhTwoStateVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addQhPlus8Var(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addQhFirstItemVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addQhThreeWayVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addQhThreeWay25Var(VarPoolImpl& pool, std::uint32_t number, const std::string& name);

// Info types.
void addValueVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addLinkedForwardVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t psxCode);
void addSwitchEchoVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t psxCode);
void addBandForwardVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name); // always 2214
void addBcd3Var(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addBcd3DpVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addBcd5Var(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addBcd4bnVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addSquawkVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name);
void addSquawkDisplayVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name,
                         std::uint32_t psxCode); // always 3028
void addFlagVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name,
                std::uint32_t psxCode); // always 3055
void addClockVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t powerCode,
                 std::uint32_t psxCode);
void addChronoVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t powerCode,
                  std::uint32_t psxCode);
void addRadioFreqVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t psxCode,
                     std::uint32_t modeCode, std::uint32_t powerCode);
void addGatedValueVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t side,
                      std::uint32_t psxCode);
void addAudioBitsVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t side);
void addAudioSelectVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t side);

// Light types.
void addLightVar3(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t source);
void addLightVar3b(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t powerCode);
void addLightVar8(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t powerCode1,
                  std::uint32_t powerCode2, std::uint32_t source);
void addLightVar14(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t powerCode,
                   std::uint32_t source);
void addLightVarElt(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t source);
void addLightVarB(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t powerCode,
                  std::uint32_t source);
void addLightVarSquib(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t source);
void addLightVarEvac(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t source);
void addLightVarT(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t powerCode,
                  std::uint32_t source);
void addLightVarRadio(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t powerCode);
void addLightVarCdu(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t powerCode);

// Virtual switch positions.
void addSwitchPositionVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t base,
                          std::uint32_t position, std::int32_t itemValue);
// The short form: item 0.
void addSwitchPositionVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t base,
                          std::int32_t itemValue);
void addItemSwitchVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t base,
                      std::uint32_t position);
void addItemSwitchOVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t base,
                       std::uint32_t position);
void addItemPushVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::uint32_t base,
                    std::uint32_t position);
void addItemClampVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, Range range,
                     std::uint32_t base, std::uint32_t position);
void addItemBandVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, Range range,
                    std::uint32_t base, std::uint32_t position);
void addItemPotVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name,
                   std::uint32_t position); // base always 105
void addItemEncoderVar(VarPoolImpl& pool, std::uint32_t number, const std::string& name, std::int32_t stepLimit,
                       std::uint32_t base, std::uint32_t position, bool invertKey);

} // namespace brg
