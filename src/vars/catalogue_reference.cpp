#include "vars/catalogue_reference.h"

#include "vars/catalogue.h"

#include <fmt/format.h>

#include <algorithm>
#include <map>
#include <vector>

namespace brg {

namespace {

// The setting under which a radio control panel row exists, for the rows that depend on one.
std::string lf_condition(RcpSet only)
{
    switch (only) {
    case RcpSet::Always: return {};
    case RcpSet::DualEncoderL: return "DUAL_ENCODER_RCPL = 1";
    case RcpSet::SingleEncoderL: return "DUAL_ENCODER_RCPL = 0";
    case RcpSet::DualEncoderC: return "DUAL_ENCODER_RCPC = 1";
    case RcpSet::SingleEncoderC: return "DUAL_ENCODER_RCPC = 0";
    case RcpSet::DualEncoderR: return "DUAL_ENCODER_RCPR = 1";
    case RcpSet::SingleEncoderR: return "DUAL_ENCODER_RCPR = 0";
    }
    return {};
}

std::string lf_cell(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '|')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string lf_csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// "3492 to 3495, 3500" for the ascending numbers given.
std::string lf_numberRanges(const std::vector<std::uint32_t>& numbers)
{
    std::string text;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t last = i;
        while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1)
            ++last;
        if (!text.empty())
            text += ", ";
        text += last == i ? fmt::format("{}", numbers[i])
                          : fmt::format("{} {} {}", numbers[i], last == i + 1 ? "and" : "to", numbers[last]);
        i = last + 1;
    }
    return text;
}

struct ReferenceRow {
    std::uint32_t number;
    std::string name;
    std::string type;
    std::string direction;
    std::string description;
    std::string psxCode;
};

// Every catalogue row in number order, each described by a pool that holds only its variable,
// built with default settings.
std::vector<ReferenceRow> lf_referenceRows()
{
    std::vector<CatalogueRow> rows;
    for (auto table : {gf_virtualSwitchRows(), gf_mainRows(), gf_lateRows()})
        rows.insert(rows.end(), table.begin(), table.end());
    std::stable_sort(rows.begin(), rows.end(),
                     [](const CatalogueRow& a, const CatalogueRow& b) { return a.number < b.number; });

    // A script drives a collection through its positions, under whichever settings they exist.
    std::map<std::uint32_t, std::vector<std::uint32_t>> positions;
    for (const CatalogueRow& row : gf_virtualSwitchRows())
        positions[gf_collectionOf(row)].push_back(row.number);

    std::vector<ReferenceRow> reference;
    for (const CatalogueRow& row : rows) {
        VarPoolImpl pool{VarPoolImpl::Builders{}};
        gf_addCatalogueVar(pool, row, CatalogueOptions{});
        const Var& var = *pool.vars.begin()->second;
        ReferenceRow line{row.number, row.name, std::string(gf_varTypeName(row.type)), {}, var.description(),
                          var.psxCodeText()};
        if (row.only != RcpSet::Always)
            line.type += fmt::format(" ({})", lf_condition(row.only));
        if (line.psxCode.empty())
            line.psxCode = gf_psxName(row.number);
        if (dynamic_cast<const CollectionVar*>(&var)) {
            line.direction = "PSX side only";
            auto& numbers = positions[row.number];
            std::sort(numbers.begin(), numbers.end());
            line.description = numbers.empty()
                                   ? "made by Talvesync from PSX's own values"
                                   : "not in scripts: use the positions " + lf_numberRanges(numbers);
        } else {
            line.direction = var.isInfoVar() ? "to cockpit" : "to PSX";
        }
        reference.push_back(std::move(line));
    }
    return reference;
}

constexpr const char* kLegend = R"(## How to read the table

- **Number**: the variable's number. Your SIOC script declares a variable with this number
  (`Var 1006, ...`) and Talvesync bridges it. Only 1000 to 5688 can be used in a script.
- **Name**: Talvesync's name of the variable, as Log.txt shows it.
- **Type**: how Talvesync converts the value; variables of one type convert alike.
- **Direction**: *to PSX*: your script sets the value from a switch, knob or button and Talvesync
  writes it to PSX. *to cockpit*: Talvesync writes PSX's state into the variable, for a lamp or a
  display. *PSX side only*: Talvesync composes this PSX variable itself from the position
  variables named in the Description; a script cannot use the number (the numbers below 1000, and
  the 74 switches that SIOC sees as one variable per position, which Talvesync leaves out of a
  script).
- **Description**: what the value means, in the codes below.
- **PSX code**: the PSX variable that is read or written.

### Description codes

| Code | Direction | What the value means |
|---|---|---|
| `A` | to PSX | An on/off switch: 1 on, 0 off. Other values are ignored. |
| `O` | to PSX | An on/off switch like `A` that sets one part of a PSX-side variable. |
| `R` | to PSX | One position of a multi-position switch: 1 when the switch stands in this position (the position is sent); 0 does nothing. Wire each position to its own input. |
| `M` | to PSX | A push button: every report, 0 or 1, is one press. Change the value once per press (the example script flips it between 0 and 1). Reports while Talvesync brings both sides in line at start are ignored. |
| `H` | to PSX | A key that is held: 1 while pressed, 0 when released; PSX gets both. |
| `e` | to PSX | A rotary encoder: the clicks turned since the last report, positive one way, negative the other; Talvesync sends them and sets the value back to 0. The `Invert...` keys of Talvesync.cfg reverse a knob. |
| `P270` | to PSX | A potentiometer on an analogue input: 0 to 4713; a change smaller than 47 is ignored. |
| `[a..b]` | to PSX | A whole number from a to b; a value outside is set to the nearer end. |
| `[a.%.b]` | to PSX | The same, and a change smaller than 1 % of the range is ignored (levers, pots). |
| `-1..68` | to PSX | A number from -1 to 68; others are ignored. |
| `K` | to PSX | A CDU key code from SIOC's keyboard matrix (0 to 88), as in the CDU key map of the manual. |
| `bits 0 & 1: Severity, b 2: Set/Clear MF` | to PSX | A master caution message: bits 0 and 1 give the severity, bit 2 set (1) or clear (0). |
| `Qcode value` | both | PSX's value as it is, unchanged. |
| `Qh value (Virtual Switch position)` | to cockpit | The position PSX reports for a switch that your script drives through its positions. |
| `b 14` | to cockpit | Bit 14 of the value (bits are counted from 0: bit 0 is 1, bit 14 is 16384). `b 14 15 16` names three bits; a word in brackets says what a bit stands for. Test a bit with SIOC's `TESTBIT`. PSX's own state stays in the low bits, so test the bit, not the whole value. |
| `BCD3`, `BCD4`, `BCD5`, `BCD6` | to cockpit | Packed decimal digits for a display: four bits per digit, units in bits 0 to 3, tens in bits 4 to 7, and so on (3, 4, 5 or 6 digits). A digit of 10 (hex A) is blank, 11 (hex B) a minus sign or dash; 8 in every digit is the lamp test. SIOC's `FROMBCD` turns the digits into a number. |
| `BCD4bn` | to cockpit | Four digits with leading zeros blank and a minus sign (hex B) before a negative number. |
| `BCD6b` | to cockpit | Six digits with leading zeros blank. |
| `+ b 12 (DP)` | to cockpit | Added to a BCD code: that bit lights the decimal point. |
| `0..99`, `integer: 0/1` | to cockpit | A plain number in that range. |

Lamps and displays get a value only while their panel has power in PSX; the lamp test (PSX's
test switch) lights them whatever PSX's state.

### A worked switch: 1006 LtStorm

Type `SwitchVar`, direction *to PSX*, description `A`, PSX code `Qh6`. In the script the storm light
switch is wired straight to the variable:

    Var 1006, name LtStorm, Link IOCARD_SW, Input 20

Closing the switch makes SIOC report 1006 = 1; Talvesync writes `Qh6=1` to PSX and the storm lights
come on. Opening it writes `Qh6=0`.

### A worked lamp: 2043 BrakeSourceLt

Type `LightVar3b`, direction *to cockpit*, description `b 14 15 16`, PSX code `Qi43`. Talvesync
writes PSX's value of the brake source light with three bits added: bit 14 when the lamp's first
bulb is lit, bit 15 for the second bulb, bit 16 when either is lit. **Bit 16 set means on.** With
the light on and the panel powered, PSX's value 1 becomes 1 + 16384 + 32768 + 65536 = 114689; with
the light off it stays 1 or 0 and no bit from 14 up is set. The script drives the lamp's output
from bit 16:

    Var 2043, name BrakeSourceLt
    {
      &LampBrakeSource = TESTBIT &BrakeSourceLt ,16
    }
    Var 0011, name LampBrakeSource, Link IOCARD_OUT, Output 11

)";

} // namespace

std::string gf_catalogueReference()
{
    std::string text =
        "*Generated by tools/var-reference from the catalogue in src/vars; do not edit by hand.*\n"
        "\n"
        "# Talvesync variables\n"
        "\n"
        "Every variable of Talvesync, by number. Rows with a setting in the *Type* column exist only\n"
        "with that setting in Talvesync.cfg. `variables.csv` holds the same table for a spreadsheet.\n"
        "\n";
    text += kLegend;
    text += "## The variables\n"
            "\n"
            "| Number | Name | Type | Direction | Description | PSX code |\n"
            "|---:|---|---|---|---|---|\n";
    for (const ReferenceRow& row : lf_referenceRows())
        text += fmt::format("| {} | {} | {} | {} | {} | {} |\n", row.number, lf_cell(row.name), row.type,
                            row.direction, lf_cell(row.description), row.psxCode);
    return text;
}

std::string gf_catalogueCsv()
{
    std::string text = "number,name,psx_variable,type,direction,description\r\n";
    for (const ReferenceRow& row : lf_referenceRows())
        text += fmt::format("{},{},{},{},{},{}\r\n", row.number, lf_csvField(row.name), lf_csvField(row.psxCode),
                            lf_csvField(row.type), row.direction, lf_csvField(row.description));
    return text;
}

} // namespace brg
