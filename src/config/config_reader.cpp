#include "config/config_reader.h"

#include "base/log.h"
#include "config/cdu_key_map.h"
#include "config/config_check.h"
#include "config/config_items.h"
#include "config/selection_lists.h"

#include <array>
#include <mutex>
#include <utility>

namespace brg {

namespace {

std::mutex g_cfgNoteMutex;
std::string g_cfgNoteText; // read by the engine on the main thread

void lf_setCfgNote(std::string text)
{
    std::lock_guard lock(g_cfgNoteMutex);
    g_cfgNoteText = std::move(text);
}

// One group of keys: an error in it is logged and the next group is still read, so that one typo
// does not leave the rest of the file unread.
template <typename Read>
void lf_readGroup(Read read)
{
    try {
        read();
    } catch (...) {
        gf_logException("gf_getCfgData");
    }
}

void lf_logFindings(const CfgFile& file)
{
    const auto findings = gf_checkCfgFile(file);
    for (const CfgFinding& finding : findings)
        g_log.write(gf_findingText(finding));
    lf_setCfgNote(gf_findingsNote(findings));
}

void lf_readSwitches(const CfgFile& file)
{
    using namespace cfg;
    // In the order the log shows them.
    const std::array<BoolParam*, 47> switches{
        &VERSION_CHECK,         &MONITOR_PSX_IN_Qh,          &MONITOR_PSX_IN_Qi,      &MONITOR_PSX_IN_Qs,
        &MONITOR_PSX_OUT,       &MONITOR_PSX_IN_NONQ,        &MONITOR_SIOC_IN,        &MONITOR_SIOC_OUT,
        &InvertHfSenseL,        &InvertBigFreqKnobL,         &InvertSmallFreqKnobL,   &InvertHfSenseC,
        &InvertBigFreqKnobC,    &InvertSmallFreqKnobC,       &InvertHfSenseR,         &InvertBigFreqKnobR,
        &InvertSmallFreqKnobR,  &InvertDeltaStbyIasBug1,     &InvertDeltaStbyIasBug2, &InvertDeltaStbyIasBug3,
        &InvertAbsStbyIasBug1,  &InvertAbsStbyIasBug2,       &InvertAbsStbyIasBug3,   &InvertEcpMinsCp,
        &InvertEcpBaroCp,       &InvertEcpMinsFo,            &InvertEcpBaroFo,        &InvertMcpTurnSpd,
        &InvertMcpTurnHdg,      &InvertMcpTurnVs,            &InvertMcpTurnAlt,       &InvertTurnStbyBaro,
        &ENG_STARTERS_DOMINANT, &PTT_SWITCHES_DOMINANT,      &AUTOBRAKES_DOMINANT,    &PARKBRKLEV_DOMINANT,
        &GEARLOCK_OVERRIDE_DOMINANT, &FIRE_ENG1_DOMINANT,    &FIRE_ENG2_DOMINANT,     &FIRE_ENG3_DOMINANT,
        &FIRE_ENG4_DOMINANT,    &FIRE_APU_DOMINANT,          &DUAL_ENCODER_RCPL,      &DUAL_ENCODER_RCPC,
        &DUAL_ENCODER_RCPR,     &SQUAWK_AS_INT,              &RECONNECT,
    };
    for (BoolParam* item : switches)
        item->read(file);

    const std::array<std::pair<Trace, const BoolParam*>, kTraceCount> traces{{
        {Trace::PsxInQh, &MONITOR_PSX_IN_Qh},
        {Trace::PsxInQi, &MONITOR_PSX_IN_Qi},
        {Trace::PsxInQs, &MONITOR_PSX_IN_Qs},
        {Trace::PsxInNonQ, &MONITOR_PSX_IN_NONQ},
        {Trace::PsxOut, &MONITOR_PSX_OUT},
        {Trace::SiocIn, &MONITOR_SIOC_IN},
        {Trace::SiocOut, &MONITOR_SIOC_OUT},
    }};
    for (const auto& [trace, item] : traces)
        g_log.setTrace(trace, item->value());
}

// Left before centre before right: the first CDU switched on is the one shown.
void lf_readCduScreen(const CfgFile& file)
{
    using namespace cfg;
    CDU_L.read(file);
    if (!CDU_L.value())
        CDU_C.read(file);
    if (!CDU_L.value() && !CDU_C.value())
        CDU_R.read(file);
    if (!CDU_L.value() && !CDU_C.value() && !CDU_R.value())
        return;

    LCD_CDU.read(file);
    g_cduMode = true;
    CDU_BOLD.read(file);
    CDU_BORDER.read(file);
    for (IntParam* item : {&TALVESYNC_AS_CDU_WIDTH, &TALVESYNC_AS_CDU_HEIGHT, &CDU_WIDTH, &CDU_HEIGHT,
                           &CDU_X_OFFSET, &CDU_Y_OFFSET, &CDU_FONTSIZE, &CDU_SMALL_FONT_Y_OFFSET,
                           &CDU_COLOR_R, &CDU_COLOR_G, &CDU_COLOR_B})
        item->read(file);
}

} // namespace

void gf_getCfgData() noexcept
{
    try {
        const auto file = CfgFile::load();
        if (!file) {
            const std::string problem = gf_notARegularFile(kCfgFilePath);
            g_log.write(std::string("No ") + kCfgFilePath + " found, default values taken" +
                        (problem.empty() ? "" : " (" + problem + ")"));
            cfg::PSX_HOSTADDRESS.resetToDefault();
            return;
        }
        lf_readGroup([&] { lf_readSwitches(*file); });
        lf_readGroup([&] { cfg::PSX_HOSTADDRESS.read(*file); });
        lf_readGroup([&] { gf_readSelectionLists(*file); });
        lf_readGroup([&] { gf_readCduKeyMap(*file); });
        lf_readGroup([&] { lf_readCduScreen(*file); });
        lf_readGroup([&] { lf_logFindings(*file); });
    } catch (...) {
        gf_logException("gf_getCfgData");
    }
}

std::string gf_cfgNote()
{
    std::lock_guard lock(g_cfgNoteMutex);
    return g_cfgNoteText;
}

void gf_clearCfgNote() { lf_setCfgNote({}); }

void gf_readMainWindowPosition()
{
    for (IntParam* item : {&cfg::MAIN_WINDOW_X, &cfg::MAIN_WINDOW_Y}) {
        item->read();
        if (item->value() == item->minimum() || item->value() == item->maximum())
            item->set(item->defaultValue());
    }
}

void gf_readVariablesWindow()
{
    using namespace cfg;
    const auto file = CfgFile::load();
    if (!file)
        return;
    VARIABLES_WINDOW.read(*file);
    for (IntParam* item : {&VARIABLES_WINDOW_X, &VARIABLES_WINDOW_Y, &VARIABLES_WINDOW_WIDTH, &VARIABLES_WINDOW_HEIGHT})
        item->read(*file);
}

} // namespace brg
