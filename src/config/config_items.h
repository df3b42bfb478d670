#pragma once
// Every setting of Talvesync.cfg, named by its key.
#include "config/params.h"

namespace brg::cfg {

// Start-up and the PSX address.
extern BoolParam VERSION_CHECK;
extern StringParam PSX_HOSTADDRESS;

// A server that goes away while the bridge runs: end the run (0) or wait for it to return (1).
extern BoolParam RECONNECT;

// Protocol traces.
extern BoolParam MONITOR_PSX_IN_Qh;
extern BoolParam MONITOR_PSX_IN_Qi;
extern BoolParam MONITOR_PSX_IN_Qs;
extern BoolParam MONITOR_PSX_OUT;
extern BoolParam MONITOR_PSX_IN_NONQ;
extern BoolParam MONITOR_SIOC_IN;
extern BoolParam MONITOR_SIOC_OUT;

// Inversion flags of single catalogue variables.
extern BoolParam InvertHfSenseL;
extern BoolParam InvertBigFreqKnobL;
extern BoolParam InvertSmallFreqKnobL;
extern BoolParam InvertHfSenseC;
extern BoolParam InvertBigFreqKnobC;
extern BoolParam InvertSmallFreqKnobC;
extern BoolParam InvertHfSenseR;
extern BoolParam InvertBigFreqKnobR;
extern BoolParam InvertSmallFreqKnobR;
extern BoolParam InvertDeltaStbyIasBug1;
extern BoolParam InvertDeltaStbyIasBug2;
extern BoolParam InvertDeltaStbyIasBug3;
extern BoolParam InvertAbsStbyIasBug1;
extern BoolParam InvertAbsStbyIasBug2;
extern BoolParam InvertAbsStbyIasBug3;
extern BoolParam InvertEcpMinsCp;
extern BoolParam InvertEcpBaroCp;
extern BoolParam InvertEcpMinsFo;
extern BoolParam InvertEcpBaroFo;
extern BoolParam InvertMcpTurnSpd;
extern BoolParam InvertMcpTurnHdg;
extern BoolParam InvertMcpTurnVs;
extern BoolParam InvertMcpTurnAlt;
extern BoolParam InvertTurnStbyBaro;

// Whether PSX values of these switch groups are applied.
extern BoolParam ENG_STARTERS_DOMINANT;
extern BoolParam PTT_SWITCHES_DOMINANT;
extern BoolParam AUTOBRAKES_DOMINANT;
extern BoolParam PARKBRKLEV_DOMINANT;
extern BoolParam GEARLOCK_OVERRIDE_DOMINANT;
extern BoolParam FIRE_ENG1_DOMINANT;
extern BoolParam FIRE_ENG2_DOMINANT;
extern BoolParam FIRE_ENG3_DOMINANT;
extern BoolParam FIRE_ENG4_DOMINANT;
extern BoolParam FIRE_APU_DOMINANT;

// Radio panel variable sets and the transponder format.
extern BoolParam DUAL_ENCODER_RCPL;
extern BoolParam DUAL_ENCODER_RCPC;
extern BoolParam DUAL_ENCODER_RCPR;
extern BoolParam SQUAWK_AS_INT;

// CDU screen.
extern BoolParam CDU_L;
extern BoolParam CDU_C;
extern BoolParam CDU_R;
extern BoolParam LCD_CDU;
extern BoolParam CDU_BOLD;
extern BoolParam CDU_BORDER;
extern IntParam TALVESYNC_AS_CDU_WIDTH;
extern IntParam TALVESYNC_AS_CDU_HEIGHT;
extern IntParam CDU_WIDTH;
extern IntParam CDU_HEIGHT;
extern IntParam CDU_X_OFFSET;
extern IntParam CDU_Y_OFFSET;
extern IntParam CDU_FONTSIZE;
extern IntParam CDU_SMALL_FONT_Y_OFFSET;
extern IntParam CDU_COLOR_R;
extern IntParam CDU_COLOR_G;
extern IntParam CDU_COLOR_B;

// Window positions.
extern IntParam MAIN_WINDOW_X;
extern IntParam MAIN_WINDOW_Y;
extern IntParam MAIN_CDU_WINDOW_X;
extern IntParam MAIN_CDU_WINDOW_Y;

// The Variables window: open at the last exit, and its place and size.
extern BoolParam VARIABLES_WINDOW;
extern IntParam VARIABLES_WINDOW_X;
extern IntParam VARIABLES_WINDOW_Y;
extern IntParam VARIABLES_WINDOW_WIDTH;
extern IntParam VARIABLES_WINDOW_HEIGHT;

} // namespace brg::cfg

namespace brg {

// Every item, in the order of this file (the reference and the sample list them so).
const std::vector<CfgItem*>& gf_configItems();

// Every item back to its default, the built-in CDU key map and empty selection lists.
void gf_resetConfiguration();

} // namespace brg
