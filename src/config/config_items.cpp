#include "config/config_items.h"

#include "config/cdu_key_map.h"
#include "config/config_reader.h"
#include "config/selection_lists.h"

namespace brg {
namespace cfg {

// Start-up and the PSX address.
BoolParam VERSION_CHECK{"VERSION_CHECK", true};
StringParam PSX_HOSTADDRESS{"PSX_HOSTADDRESS", "127.0.0.1", CfgPattern::Host};

// A server that goes away while the bridge runs.
BoolParam RECONNECT{"RECONNECT", false};

// Protocol traces.
BoolParam MONITOR_PSX_IN_Qh{"MONITOR_PSX_IN_Qh", false};
BoolParam MONITOR_PSX_IN_Qi{"MONITOR_PSX_IN_Qi", false};
BoolParam MONITOR_PSX_IN_Qs{"MONITOR_PSX_IN_Qs", false};
BoolParam MONITOR_PSX_OUT{"MONITOR_PSX_OUT", false};
BoolParam MONITOR_PSX_IN_NONQ{"MONITOR_PSX_IN_NONQ", false};
BoolParam MONITOR_SIOC_IN{"MONITOR_SIOC_IN", false};
BoolParam MONITOR_SIOC_OUT{"MONITOR_SIOC_OUT", false};

// Inversion flags of single catalogue variables.
BoolParam InvertHfSenseL{"InvertHfSenseL", false};
BoolParam InvertBigFreqKnobL{"InvertBigFreqKnobL", false};
BoolParam InvertSmallFreqKnobL{"InvertSmallFreqKnobL", false};
BoolParam InvertHfSenseC{"InvertHfSenseC", false};
BoolParam InvertBigFreqKnobC{"InvertBigFreqKnobC", false};
BoolParam InvertSmallFreqKnobC{"InvertSmallFreqKnobC", false};
BoolParam InvertHfSenseR{"InvertHfSenseR", false};
BoolParam InvertBigFreqKnobR{"InvertBigFreqKnobR", false};
BoolParam InvertSmallFreqKnobR{"InvertSmallFreqKnobR", false};
BoolParam InvertDeltaStbyIasBug1{"InvertDeltaStbyIasBug1", false};
BoolParam InvertDeltaStbyIasBug2{"InvertDeltaStbyIasBug2", false};
BoolParam InvertDeltaStbyIasBug3{"InvertDeltaStbyIasBug3", false};
BoolParam InvertAbsStbyIasBug1{"InvertAbsStbyIasBug1", false};
BoolParam InvertAbsStbyIasBug2{"InvertAbsStbyIasBug2", false};
BoolParam InvertAbsStbyIasBug3{"InvertAbsStbyIasBug3", false};
BoolParam InvertEcpMinsCp{"InvertEcpMinsCp", false};
BoolParam InvertEcpBaroCp{"InvertEcpBaroCp", false};
BoolParam InvertEcpMinsFo{"InvertEcpMinsFo", false};
BoolParam InvertEcpBaroFo{"InvertEcpBaroFo", false};
BoolParam InvertMcpTurnSpd{"InvertMcpTurnSpd", false};
BoolParam InvertMcpTurnHdg{"InvertMcpTurnHdg", false};
BoolParam InvertMcpTurnVs{"InvertMcpTurnVs", false};
BoolParam InvertMcpTurnAlt{"InvertMcpTurnAlt", false};
BoolParam InvertTurnStbyBaro{"InvertTurnStbyBaro", false};

// Whether PSX values of these switch groups are applied.
BoolParam ENG_STARTERS_DOMINANT{"ENG_STARTERS_DOMINANT", true};
BoolParam PTT_SWITCHES_DOMINANT{"PTT_SWITCHES_DOMINANT", true};
BoolParam AUTOBRAKES_DOMINANT{"AUTOBRAKES_DOMINANT", true};
BoolParam PARKBRKLEV_DOMINANT{"PARKBRKLEV_DOMINANT", true};
BoolParam GEARLOCK_OVERRIDE_DOMINANT{"GEARLOCK_OVERRIDE_DOMINANT", true};
BoolParam FIRE_ENG1_DOMINANT{"FIRE_ENG1_DOMINANT", true};
BoolParam FIRE_ENG2_DOMINANT{"FIRE_ENG2_DOMINANT", true};
BoolParam FIRE_ENG3_DOMINANT{"FIRE_ENG3_DOMINANT", true};
BoolParam FIRE_ENG4_DOMINANT{"FIRE_ENG4_DOMINANT", true};
BoolParam FIRE_APU_DOMINANT{"FIRE_APU_DOMINANT", true};

// Radio panel variable sets and the transponder format.
BoolParam DUAL_ENCODER_RCPL{"DUAL_ENCODER_RCPL", true};
BoolParam DUAL_ENCODER_RCPC{"DUAL_ENCODER_RCPC", true};
BoolParam DUAL_ENCODER_RCPR{"DUAL_ENCODER_RCPR", true};
BoolParam SQUAWK_AS_INT{"SQUAWK_AS_INT", false};

// CDU screen.
BoolParam CDU_L{"CDU_L", false};
BoolParam CDU_C{"CDU_C", false};
BoolParam CDU_R{"CDU_R", false};
BoolParam LCD_CDU{"LCD_CDU", false};
BoolParam CDU_BOLD{"CDU_BOLD", true};
BoolParam CDU_BORDER{"CDU_BORDER", true};
IntParam TALVESYNC_AS_CDU_WIDTH{"TALVESYNC_AS_CDU_WIDTH", 900, 600, 1200};
IntParam TALVESYNC_AS_CDU_HEIGHT{"TALVESYNC_AS_CDU_HEIGHT", 650, 400, 900};
IntParam CDU_WIDTH{"CDU_WIDTH", 620, 200, 1200};
IntParam CDU_HEIGHT{"CDU_HEIGHT", 510, 200, 1000};
IntParam CDU_X_OFFSET{"CDU_X_OFFSET", 100, 0, 400};
IntParam CDU_Y_OFFSET{"CDU_Y_OFFSET", 50, 0, 400};
IntParam CDU_FONTSIZE{"CDU_FONTSIZE", 44, 12, 76};
IntParam CDU_SMALL_FONT_Y_OFFSET{"CDU_SMALL_FONT_Y_OFFSET", 7, 0, 18};
IntParam CDU_COLOR_R{"CDU_COLOR_R", 50, 0, 255};
IntParam CDU_COLOR_G{"CDU_COLOR_G", 205, 0, 255};
IntParam CDU_COLOR_B{"CDU_COLOR_B", 50, 0, 255};

// Window positions.
IntParam MAIN_WINDOW_X{"MAIN_WINDOW_X", 400, -30000, 30000};
IntParam MAIN_WINDOW_Y{"MAIN_WINDOW_Y", 20, -30000, 30000};
IntParam MAIN_CDU_WINDOW_X{"MAIN_CDU_WINDOW_X", 400, -30000, 30000};
IntParam MAIN_CDU_WINDOW_Y{"MAIN_CDU_WINDOW_Y", 20, -30000, 30000};

// The Variables window.
BoolParam VARIABLES_WINDOW{"VARIABLES_WINDOW", false};
IntParam VARIABLES_WINDOW_X{"VARIABLES_WINDOW_X", 400, -30000, 30000};
IntParam VARIABLES_WINDOW_Y{"VARIABLES_WINDOW_Y", 280, -30000, 30000};
IntParam VARIABLES_WINDOW_WIDTH{"VARIABLES_WINDOW_WIDTH", 860, 320, 8000};
IntParam VARIABLES_WINDOW_HEIGHT{"VARIABLES_WINDOW_HEIGHT", 520, 200, 8000};

} // namespace cfg

const std::vector<CfgItem*>& gf_configItems() { return CfgItem::all(); }

void gf_resetConfiguration()
{
    CfgItem::resetAll();
    gf_resetCduKeyMap();
    gf_clearSelectionLists();
    gf_clearCfgNote();
}

} // namespace brg
