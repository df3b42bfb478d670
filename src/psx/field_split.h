#pragma once
// Cutting compound PSX texts into fields, with the errors the decoders report for short texts.
#include <string_view>
#include <vector>

namespace brg {

namespace psx {

// Cuts a text the way a stream line reader does: an empty text has no field, a separator at the
// very end adds no empty field, two separators in a row give an empty field between them. Any
// character of `separators` ends a field. The fields point into `text`.
std::vector<std::string_view> splitFields(std::string_view text, std::string_view separators = ";");

// Field i, or std::out_of_range "invalid vector subscript" when there are not that many.
std::string_view fieldAt(const std::vector<std::string_view>& fields, std::size_t i);

// Up to `count` characters from `pos`, or std::out_of_range "invalid string position" when the
// text is shorter than `pos`.
std::string_view charsAt(std::string_view text, std::size_t pos, std::size_t count);

} // namespace psx

} // namespace brg
