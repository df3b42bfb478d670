#pragma once
// Decoders of the PSX Qs texts that pack several quantities into one string. Each queues one
// element per quantity on the channel, except where a Var is named as called directly.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace brg {

class FromPsxChannel;

namespace psx {

// Fields separated by `separators`; exactly `count` of them, else nothing is queued (and an
// "error: " line is traced). The fields go to base, base + 1, ...
void decodeQsn(FromPsxChannel& channel, std::string_view text, std::uint32_t base, std::uint32_t count,
               std::string_view separators = ";");
// Queues str2int32 of each field from base on; stops quietly at the first field that is no
// integer (the fields before it stay queued).
void decodeQsnSv(FromPsxChannel& channel, const std::vector<std::string_view>& fields, std::uint32_t base);
// Flight control surfaces: ten two-character fields, 4980 to 4989.
void decodeQs480(FromPsxChannel& channel, std::string_view text);
// Tank quantities, 5613 to 5623: the first character is a marker, not part of field 0.
void decodeTanks(FromPsxChannel& channel, std::string_view text);
// Qs448/Qs449: fields 3 and 4 to `first` and first + 1.
void decodePair(FromPsxChannel& channel, std::string_view text, std::uint32_t first);
// Radio control panel 0, 1, 2 (Qs106, Qs107, Qs108).
void decodeRadioPanel(FromPsxChannel& channel, std::string_view text, std::uint32_t panel);

// Transponder, Qs118: squawk code to 3028 and the mode flags.
void decodeTransponder(FromPsxChannel& channel, std::string_view text);
// Call panel, Qs457: the index of its label in the call label table to 4887.
void decodeCallPanel(FromPsxChannel& channel, std::string_view text);
std::int32_t callPanelIndex(std::string_view text);
// "118.300" -> 118300; text without a point at index 2 or 3 -> 0.
std::int32_t parseFrequency(std::string_view text);
// Qs458 to Qs460: two seven-character frequencies to `first` and `second`.
void decodeFrequencyPair(FromPsxChannel& channel, std::string_view text, std::uint32_t first, std::uint32_t second);

// Flight controls, Qs120, and brakes, Qs357: set their virtual Vars at once.
void decodeFlightControls(FromPsxChannel& channel, std::string_view text);
void decodeBrakes(FromPsxChannel& channel, std::string_view text);
// Attitude and position, Qs121; 4882, 4885 and 4886 carry float bit patterns.
void decodeAttitude(FromPsxChannel& channel, std::string_view text);
// A strict single-precision reader: the whole text or nothing.
std::optional<float> parseSingle(std::string_view text);
// Autothrottle mode, Qs434: decides how Qs436 is read.
void decodeQs434(FromPsxChannel& channel, std::string_view text);
// Thrust lever positions, Qs436 while the autothrottle moves them.
void decodeThrustLevers(FromPsxChannel& channel, std::string_view text);

// Clock, Qs124/Qs125 (milliseconds since 1970 UTC): HHMM, MMDD and year to the three numbers.
void decodeClock(FromPsxChannel& channel, std::string_view text, std::uint32_t hhmm, std::uint32_t mmdd,
                 std::uint32_t year);
// Elapsed time, Qs126/Qs127 (milliseconds): minutes; `left` selects which zero flag is set.
void decodeElapsed(FromPsxChannel& channel, std::string_view text, std::uint32_t number, bool left);
// Chronograph, Qs128/Qs129 (milliseconds): seconds.
void decodeChronograph(FromPsxChannel& channel, std::string_view text, std::uint32_t number);

} // namespace psx

} // namespace brg
