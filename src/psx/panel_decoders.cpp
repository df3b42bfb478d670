// The transponder, call panel and radio frequency texts.
#include "base/str2int32.h"
#include "psx/compound_decoders.h"
#include "psx/field_split.h"
#include "psx/from_psx_channel.h"
#include "vars/decoded_values.h"

#include <array>
#include <stdexcept>

namespace brg {

namespace {

// The call panel's labels in PSX's order; the index of the first one found is what SIOC gets.
// Empty entries are unused positions of the panel.
constexpr std::array<std::string_view, 78> kCallLabels = {
    "",              "DIRECTORY",     "VIDEO IN USE",  "PA IN USE",     "CABIN READY",   // 0
    "PILOT ALERT",   "PRIORITY",      "PARTY LINE",    "",              "",              // 5
    "",              "DOOR 1 LEFT",   "DOOR 2 LEFT",   "DOOR 3 LEFT",   "DOOR 4 LEFT",   // 10
    "DOOR 5 LEFT",   "U/D LEFT DOOR", "",              "",              "",              // 15
    "",              "DOOR 1 RIGHT",  "DOOR 2 RIGHT",  "DOOR 3 RIGHT",  "DOOR 4 RIGHT",  // 20
    "DOOR 5 RIGHT",  "U/D RGHT DOOR", "",              "",              "",              // 25
    "",              "PILOT",         "PRIORITY STA",  "PRIORTY PILOT", "PURSER",        // 30
    "",              "U/D STAIR",     "",              "",              "",              // 35
    "",              "PA FIRST CL",   "PA BUSINESS",   "PA ECONOMY CL", "PA CREW REST",  // 40
    "",              "PA ALL AREAS",  "PA PRIORITY",   "",              "",              // 45
    "",              "DOOR 2 GALLEY", "M/D GALLEY",    "DOOR 4 GALLEY", "",              // 50
    "ALL CALL",      "U/D GALLEY",    "",              "",              "",              // 55
    "",              "DR5 CREW REST", "MCR CREW REST", "",              "",              // 60
    "",              "CR REST PILOT", "CABIN READY",   "",              "",              // 65
    "",              "GND CREW CALL", "CARGO CALL",    "U/D CREW REST", "M/D CREW REST", // 70
    "",              "",              "PILOT ALERT",                                     // 75
};

} // namespace

void psx::decodeTransponder(FromPsxChannel& channel, std::string_view text)
{
    if (text.size() < 10)
        throw std::out_of_range("invalid string position");
    g_decoded.squawkFlagL = text[8] == 'L';
    g_decoded.squawkModeB = text[9] == 'B';
    g_decoded.squawkModeP = text[9] == 'P';
    g_decoded.squawkModeE = text[9] == 'E';
    std::int32_t code = -1;
    std::int32_t digits = 0;
    if (text[4] != '_') {
        digits = text[5] == '_' ? 1 : text[6] == '_' ? 2 : text[7] == '_' ? 3 : 4;
        code = base::str2int32(text.substr(4, static_cast<std::size_t>(digits)));
    }
    g_decoded.squawkDigitCount = digits;
    channel.pushElement({3028, code});
}

std::int32_t psx::callPanelIndex(std::string_view text)
{
    if (text == "_")
        return -1;
    for (std::size_t i = 0; i < kCallLabels.size(); ++i) {
        if (!kCallLabels[i].empty() && text.find(kCallLabels[i]) != std::string_view::npos)
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

void psx::decodeCallPanel(FromPsxChannel& channel, std::string_view text)
{
    channel.pushElement({4887, psx::callPanelIndex(text)});
}

std::int32_t psx::parseFrequency(std::string_view text)
{
    if (text.size() < 4)
        throw std::out_of_range("invalid string position");
    // The digits after the point are read as an integer; PSX always sends three.
    if (text[3] == '.')
        return base::str2int32(text.substr(0, 3)) * 1000 + base::str2int32(text.substr(4, 3));
    if (text[2] == '.')
        return base::str2int32(text.substr(0, 2)) * 1000 + base::str2int32(text.substr(3, 3));
    return 0;
}

void psx::decodeFrequencyPair(FromPsxChannel& channel, std::string_view text, std::uint32_t first, std::uint32_t second)
{
    channel.pushElement({first, psx::parseFrequency(text.substr(0, 7))});
    channel.pushElement({second, psx::parseFrequency(psx::charsAt(text, 7, 7))});
}

} // namespace brg
