#pragma once
// The catalogue as data: one row per variable (number, name, type, parameters in factory order).
// The pool is built from these rows, and so is the users' variable reference.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace brg {

// Every concrete variable type, in the order of their families.
#define BRG_VAR_TYPES(X)                                                                           \
    X(SwitchVar) X(Switch12Var) X(PushVar) X(ClampVar) X(BandVar) X(PotVar) X(EncoderVar)          \
    X(KeyCodeVar) X(CduKeyVar) X(KeyPushVar) X(KeyPush23Var) X(SelectorVar) X(LinkedValueVar)      \
    X(LinkedClampVar) X(LinkedSwitchVar) X(LinkedPushVar) X(MessageVar)                            \
    X(QsListVar) X(QsQueuedListVar) X(QsTripletVar) X(QsLetterVar) X(FltControlsVar) X(BrakesVar)  \
    X(WxPushVar) X(WxTurnVar) X(QhBitsVar) X(QhTwoPushVar) X(QhTwoStateVar) X(QhPlus8Var)          \
    X(QhFirstItemVar) X(QhThreeWayVar) X(QhThreeWay25Var)                                          \
    X(ValueVar) X(LinkedForwardVar) X(SwitchEchoVar) X(BandForwardVar) X(Bcd3Var) X(Bcd3DpVar)     \
    X(Bcd5Var) X(Bcd4bnVar) X(SquawkVar) X(SquawkDisplayVar) X(FlagVar) X(ClockVar) X(ChronoVar)   \
    X(RadioFreqVar) X(GatedValueVar) X(AudioBitsVar) X(AudioSelectVar)                             \
    X(LightVar3) X(LightVar3b) X(LightVar8) X(LightVar14) X(LightVarElt) X(LightVarB)              \
    X(LightVarSquib) X(LightVarEvac) X(LightVarT) X(LightVarRadio) X(LightVarCdu)                  \
    X(SwitchPositionVar) X(ItemSwitchVar) X(ItemSwitchOVar) X(ItemPushVar) X(ItemClampVar)         \
    X(ItemBandVar) X(ItemPotVar) X(ItemEncoderVar)

enum class VarType : std::uint8_t {
#define BRG_VAR_TYPE_ENUMERATOR(type) type,
    BRG_VAR_TYPES(BRG_VAR_TYPE_ENUMERATOR)
#undef BRG_VAR_TYPE_ENUMERATOR
};

std::string_view gf_varTypeName(VarType type);

// The configuration keys that set an encoder's inversion flag; a row names its key as a parameter.
enum InvertKey : std::int32_t {
    InvertDeltaStbyIasBug1, InvertDeltaStbyIasBug2, InvertDeltaStbyIasBug3,
    InvertAbsStbyIasBug1, InvertAbsStbyIasBug2, InvertAbsStbyIasBug3,
    InvertEcpMinsCp, InvertEcpBaroCp, InvertEcpMinsFo, InvertEcpBaroFo,
    InvertMcpTurnSpd, InvertMcpTurnHdg, InvertMcpTurnVs, InvertMcpTurnAlt, InvertTurnStbyBaro,
    InvertHfSenseL, InvertBigFreqKnobL, InvertSmallFreqKnobL,
    InvertHfSenseC, InvertBigFreqKnobC, InvertSmallFreqKnobC,
    InvertHfSenseR, InvertBigFreqKnobR, InvertSmallFreqKnobR,
    kInvertKeyCount
};

// The radio control panel rows that exist only with one setting of DUAL_ENCODER_RCPL/C/R.
enum class RcpSet : std::uint8_t {
    Always,
    DualEncoderL, SingleEncoderL,
    DualEncoderC, SingleEncoderC,
    DualEncoderR, SingleEncoderR,
};

struct CatalogueRow {
    std::uint32_t number;
    const char* name;
    VarType type;
    std::array<std::int32_t, 4> params{}; // in factory order, after number and name
    RcpSet only = RcpSet::Always;
};

// Built first: the virtual switch positions, 3011 to 4734.
std::span<const CatalogueRow> gf_virtualSwitchRows();
// Built next: everything else that exists from the start.
std::span<const CatalogueRow> gf_mainRows();
// Built after the first selection: the collection variables the positions set.
std::span<const CatalogueRow> gf_lateRows();

} // namespace brg
