#include "config/config_reference.h"

#include "config/cdu_key_map.h"
#include "config/config_items.h"
#include "config/config_keys.h"

#include <fmt/format.h>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace brg {

namespace {

struct KeyText {
    std::string_view key;
    std::string_view text;
};

// What each item does, by key; an item without a text here makes the generator fail, so a new
// setting cannot be left out of the documents.
constexpr KeyText kItemTexts[] = {
    {"VERSION_CHECK", "1: at start-up the Windows program reads https://talvesync.net/version.txt, the only address it contacts apart from PSX and SIOC, and shows on its title and status line when a newer version exists. 0: it contacts nothing."},
    {"PSX_HOSTADDRESS", "IPv4 address or host name of the PSX main server (port 10747); a name is looked up at each connection attempt. Anything else is not taken: the default is used."},
    {"RECONNECT", "1: a PSX or SIOC server that closes or resets while the bridge runs is waited for and connected again, and both sides are brought back in step; the other server stays connected. 0: the run ends, as it always has."},
    {"MONITOR_PSX_IN_Qh", "Trace received Qh lines in Log.txt (narrowed by Qh_VarList)."},
    {"MONITOR_PSX_IN_Qi", "Trace received Qi lines in Log.txt (narrowed by Qi_VarList)."},
    {"MONITOR_PSX_IN_Qs", "Trace received Qs lines in Log.txt (narrowed by Qs_VarList)."},
    {"MONITOR_PSX_OUT", "Trace the lines sent to PSX in Log.txt."},
    {"MONITOR_PSX_IN_NONQ", "Trace received PSX lines that are not Q-variables in Log.txt."},
    {"MONITOR_SIOC_IN", "Trace the lines received from SIOC in Log.txt."},
    {"MONITOR_SIOC_OUT", "Trace the lines sent to SIOC in Log.txt."},
    {"InvertHfSenseL", "Reverse the turning direction of 3690 HFSensL."},
    {"InvertBigFreqKnobL", "Reverse the turning direction of 3691 BigFreqKnobL (or 3819 BigSmallFreqKnobL)."},
    {"InvertSmallFreqKnobL", "Reverse the turning direction of 3692 SmallFreqKnobL."},
    {"InvertHfSenseC", "Reverse the turning direction of 3693 HFSensC."},
    {"InvertBigFreqKnobC", "Reverse the turning direction of 3694 BigFreqKnobC (or 3820 BigSmallFreqKnobC)."},
    {"InvertSmallFreqKnobC", "Reverse the turning direction of 3695 SmallFreqKnobC."},
    {"InvertHfSenseR", "Reverse the turning direction of 3696 HFSensR."},
    {"InvertBigFreqKnobR", "Reverse the turning direction of 3697 BigFreqKnobR (or 3821 BigSmallFreqKnobR)."},
    {"InvertSmallFreqKnobR", "Reverse the turning direction of 3698 SmallFreqKnobR."},
    {"InvertDeltaStbyIasBug1", "Reverse the turning direction of 1000 DeltaStbyIasBug1."},
    {"InvertDeltaStbyIasBug2", "Reverse the turning direction of 1001 DeltaStbyIasBug2."},
    {"InvertDeltaStbyIasBug3", "Reverse the turning direction of 1002 DeltaStbyIasBug3."},
    {"InvertAbsStbyIasBug1", "Reverse the turning direction of 1003 AbsStbyIasBug1."},
    {"InvertAbsStbyIasBug2", "Reverse the turning direction of 1004 AbsStbyIasBug2."},
    {"InvertAbsStbyIasBug3", "Reverse the turning direction of 1005 AbsStbyIasBug3."},
    {"InvertEcpMinsCp", "Reverse the turning direction of 1028 EcpMinsCp."},
    {"InvertEcpBaroCp", "Reverse the turning direction of 1030 EcpBaroCp."},
    {"InvertEcpMinsFo", "Reverse the turning direction of 1049 EcpMinsFo."},
    {"InvertEcpBaroFo", "Reverse the turning direction of 1051 EcpBaroFo."},
    {"InvertMcpTurnSpd", "Reverse the turning direction of 1077 McpTurnSpd."},
    {"InvertMcpTurnHdg", "Reverse the turning direction of 1078 McpTurnHdg."},
    {"InvertMcpTurnVs", "Reverse the turning direction of 1079 McpTurnVs."},
    {"InvertMcpTurnAlt", "Reverse the turning direction of 1080 McpTurnAlt."},
    {"InvertTurnStbyBaro", "Reverse the turning direction of 1136 TurnStbyBaro."},
    {"ENG_STARTERS_DOMINANT", "1: PSX's values of the engine start switches are applied; 0: the cockpit's switches alone set them."},
    {"PTT_SWITCHES_DOMINANT", "1: PSX's values of the push-to-talk switches are applied; 0: the cockpit's switches alone set them."},
    {"AUTOBRAKES_DOMINANT", "1: PSX's value of the autobrake selector is applied; 0: the cockpit's selector alone sets it."},
    {"PARKBRKLEV_DOMINANT", "1: PSX's value of the parking brake lever is applied; 0: the cockpit's lever alone sets it."},
    {"GEARLOCK_OVERRIDE_DOMINANT", "1: PSX's value of the gear lock override is applied; 0: the cockpit's switch alone sets it."},
    {"FIRE_ENG1_DOMINANT", "1: PSX's value of engine 1's fire handle is applied; 0: the cockpit's handle alone sets it."},
    {"FIRE_ENG2_DOMINANT", "1: PSX's value of engine 2's fire handle is applied; 0: the cockpit's handle alone sets it."},
    {"FIRE_ENG3_DOMINANT", "1: PSX's value of engine 3's fire handle is applied; 0: the cockpit's handle alone sets it."},
    {"FIRE_ENG4_DOMINANT", "1: PSX's value of engine 4's fire handle is applied; 0: the cockpit's handle alone sets it."},
    {"FIRE_APU_DOMINANT", "1: PSX's value of the APU fire handle is applied; 0: the cockpit's handle alone sets it."},
    {"DUAL_ENCODER_RCPL", "Left radio panel: 1 for two encoders (3690 HFSensL, 3691 BigFreqKnobL, 3692 SmallFreqKnobL), 0 for one encoder with a push switch (3819 BigSmallFreqKnobL, 3435 BigSmallFreqSwitchL)."},
    {"DUAL_ENCODER_RCPC", "Centre radio panel: 1 for two encoders (3693 to 3695), 0 for one encoder with a push switch (3820, 3436)."},
    {"DUAL_ENCODER_RCPR", "Right radio panel: 1 for two encoders (3696 to 3698), 0 for one encoder with a push switch (3821, 3437)."},
    {"SQUAWK_AS_INT", "1: the transponder code goes to SIOC as a plain decimal number; 0: as four packed decimal digits."},
    {"CDU_L", "1: the window shows the left CDU's screen instead of the status."},
    {"CDU_C", "1: the window shows the centre CDU's screen (read only when CDU_L is 0)."},
    {"CDU_R", "1: the window shows the right CDU's screen (read only when CDU_L and CDU_C are 0)."},
    {"LCD_CDU", "1: the CDU screen in the LCD variant, with PSX's colours."},
    {"CDU_BOLD", "1: the CDU text in bold."},
    {"CDU_BORDER", "1: in CDU screen mode the window keeps its title bar and frame. 0: it has neither, so that the CDU screen can fill a monitor (place it with MAIN_CDU_WINDOW_X and _Y). No border is drawn around the text either way."},
    {"TALVESYNC_AS_CDU_WIDTH", "Window width in CDU screen mode, in pixels."},
    {"TALVESYNC_AS_CDU_HEIGHT", "Window height in CDU screen mode, in pixels."},
    {"CDU_WIDTH", "Width of the CDU text, in pixels: each of the 24 columns is CDU_WIDTH / 24 wide."},
    {"CDU_HEIGHT", "Height of the CDU text, in pixels: each of the 14 rows is CDU_HEIGHT / 14 high."},
    {"CDU_X_OFFSET", "Left edge of the CDU text in the window, in pixels."},
    {"CDU_Y_OFFSET", "Top edge of the CDU text in the window, in pixels."},
    {"CDU_FONTSIZE", "Height of the CDU letters, in pixels."},
    {"CDU_SMALL_FONT_Y_OFFSET", "How far small text is moved down, in pixels."},
    {"CDU_COLOR_R", "CDU text colour, red part."},
    {"CDU_COLOR_G", "CDU text colour, green part."},
    {"CDU_COLOR_B", "CDU text colour, blue part."},
    {"MAIN_WINDOW_X", "Left edge of the window; saved by the program when it ends (a value at a bound is replaced by the default)."},
    {"MAIN_WINDOW_Y", "Top edge of the window; saved by the program when it ends (a value at a bound is replaced by the default)."},
    {"MAIN_CDU_WINDOW_X", "Left edge of the window in CDU screen mode; saved by the program."},
    {"MAIN_CDU_WINDOW_Y", "Top edge of the window in CDU screen mode; saved by the program."},
    {"VARIABLES_WINDOW", "1: the Variables window (system menu, Variables...) opens at start; saved by the program when it ends: 1 when the window was open then."},
    {"VARIABLES_WINDOW_X", "Left edge of the Variables window; saved by the program when it ends."},
    {"VARIABLES_WINDOW_Y", "Top edge of the Variables window; saved by the program when it ends."},
    {"VARIABLES_WINDOW_WIDTH", "Width of the Variables window, in pixels; saved by the program when it ends."},
    {"VARIABLES_WINDOW_HEIGHT", "Height of the Variables window, in pixels; saved by the program when it ends."},
    {"IOCP_HOSTADDRESS", "Address or host name of the SIOC server; overrides sioc.ini."},
    {"IOCP_port", "IOCP port of the SIOC server; overrides sioc.ini."},
    {"CONFIG_FILE", "Path of the compiled SIOC script (.ssi; a .lst name is turned into .ssi); overrides sioc.ini. With "
                    "IOCP_HOSTADDRESS, IOCP_port and CONFIG_FILE all given, no SIOC installation is searched."},
    {"Qh_VarList", "Only these Qh numbers are traced by MONITOR_PSX_IN_Qh; empty: all."},
    {"Qi_VarList", "Only these Qi numbers are traced by MONITOR_PSX_IN_Qi; empty: all."},
    {"Qs_VarList", "Only these Qs numbers are traced by MONITOR_PSX_IN_Qs; empty: all."},
    {"BLACKLIST", "Talvesync variables of the SIOC script that are not bridged. Ignored when WHITELIST is given."},
    {"WHITELIST", "Only these Talvesync variables of the SIOC script are bridged."},
    {"OCCDU", "0: read the codes of the CDU keyboard from the 69 keys below instead of the built-in map."},
};

// The range of a key that has no item to tell it.
constexpr KeyText kOtherRanges[] = {{"Qh_VarList", "0 to 430"}, {"Qi_VarList", "0 to 274"}, {"Qs_VarList", "0 to 561"}};

struct Entry {
    std::string key;
    std::string type;
    std::string defaultText; // empty: the key is absent by default
    std::string range;
    std::string text;
};

std::string_view lf_find(const auto& table, std::string_view key)
{
    for (const auto& [name, text] : table)
        if (name == key)
            return text;
    return {};
}

std::string_view lf_itemText(const std::string& key)
{
    const std::string_view text = lf_find(kItemTexts, key);
    if (text.empty())
        throw std::logic_error("configuration reference: no text for " + key);
    return text;
}

const char* lf_typeName(CfgKind kind)
{
    switch (kind) {
    case CfgKind::Switch:
        return "switch";
    case CfgKind::Integer:
        return "integer";
    case CfgKind::Address:
        return "IPv4 address or host name";
    case CfgKind::Text:
        break;
    case CfgKind::NumberList:
        return "number list";
    case CfgKind::CduKeyCode:
        return "CDU key code";
    }
    return "text";
}

Entry lf_entry(const CfgKey& key, std::uint32_t& cduKeyIndex)
{
    Entry entry{key.key, lf_typeName(key.kind), "", std::string(lf_find(kOtherRanges, key.key)), ""};
    if (key.kind == CfgKind::CduKeyCode) {
        entry.range = "0 to 88";
        entry.text = fmt::format("With OCCDU=0, the code SIOC reports for this key (built in: {}).",
                                 gf_cduKeyBuiltInCode(cduKeyIndex++));
        return entry;
    }
    entry.text = lf_itemText(key.key);
    if (const auto* b = dynamic_cast<const BoolParam*>(key.item)) {
        entry.defaultText = b->defaultValue() ? "1" : "0";
        entry.range = "0 or 1";
    } else if (const auto* i = dynamic_cast<const IntParam*>(key.item)) {
        entry.defaultText = fmt::format("{}", i->defaultValue());
        entry.range = fmt::format("{} to {}", i->minimum(), i->maximum());
    } else if (const auto* s = dynamic_cast<const StringParam*>(key.item)) {
        entry.defaultText = s->defaultValue();
    }
    return entry;
}

std::vector<Entry> lf_entries()
{
    std::vector<Entry> entries;
    std::uint32_t cduKeyIndex = 0;
    for (const CfgKey& key : gf_cfgKeys())
        entries.push_back(lf_entry(key, cduKeyIndex));
    return entries;
}

} // namespace

std::string gf_configReference()
{
    std::string text =
        "*Generated by tools/cfg-reference from the configuration items in src/config; do not edit by hand.*\n"
        "\n"
        "# Talvesync.cfg keys\n"
        "\n"
        "Talvesync.cfg is read from the folder Talvesync runs in. A setting is one line `KEY = value`;\n"
        "keys are matched without regard to case, blanks around the value are ignored, and the first\n"
        "matching line counts. Blank lines and lines starting with `;`, `#` or `//` are comments. There\n"
        "is no comment after a value: `VERSION_CHECK = 1 ; on` is not understood. A missing key takes\n"
        "its default; an integer outside its range is set to the nearer bound. A number list is numbers\n"
        "separated by commas (`BLACKLIST = 1000, 1001`). At start, every line that is not understood (an\n"
        "unknown key, a value the key cannot take, a second line for a key, a list item that is no\n"
        "number) is named in Log.txt with its line number, and the status line says so; `talvesync\n"
        "--check-config` lists them without connecting. *Default* empty means the key is absent unless\n"
        "you give it.\n"
        "\n"
        "| Key | Type | Default | Range | What it does |\n"
        "|---|---|---|---|---|\n";
    for (const Entry& e : lf_entries())
        text += fmt::format("| `{}` | {} | {} | {} | {} |\n", e.key, e.type, e.defaultText, e.range, e.text);
    return text;
}

std::string gf_configSample()
{
    std::string text =
        "; Talvesync.cfg: every key with its default. Lines starting with ';', '#' or '//' are comments.\n"
        "; Generated from the program's configuration items; docs/configuration.md explains each key.\n";
    for (const Entry& e : lf_entries()) {
        text += fmt::format("\n; {}\n; {}", e.text, e.type);
        if (!e.range.empty())
            text += ", " + e.range;
        if (e.defaultText.empty()) {
            text += ", absent by default\n";
            text += fmt::format(";{} =\n", e.key);
        } else {
            text += fmt::format(", default {}\n{} = {}\n", e.defaultText, e.key, e.defaultText);
        }
    }
    return text;
}

} // namespace brg
