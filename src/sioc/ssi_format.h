#pragma once
// What the bridge knows of a compiled SIOC script (.ssi): 400-byte records, the last one possibly
// shorter, whose bytes 140 to 143 hold a signed 32-bit little-endian integer. A negative one
// declares the IOCP variable of its negation. The rest of a record is SIOC's business.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brg {

inline constexpr std::size_t kSsiRecordSize = 400;
inline constexpr std::size_t kSsiNumberOffset = 140;

// The integer at bytes 140 to 143 of a record buffer of kSsiRecordSize bytes.
std::int32_t gf_ssiNumberField(const char* record);

// Records, one per field value, zero apart from the field; for tests and the ssi-writer tool.
std::string gf_ssiRecords(const std::vector<std::int32_t>& fields);

} // namespace brg
