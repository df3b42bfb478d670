#pragma once
// Values the compound PSX string decoders deliver and the variable types read. Written on the
// main or worker thread, read on the worker, so every word is atomic.
#include <array>
#include <atomic>
#include <cstdint>

namespace brg {

inline constexpr std::int32_t kNoFieldValue = 3737; // "no value yet" in the Qs120/Qs357 fields

struct DecodedValues {
    std::array<std::atomic<std::int32_t>, 3> qs120Fields;
    std::array<std::atomic<std::int32_t>, 2> qs357Fields;
    std::array<std::atomic<bool>, 3> rcpField12Set; // left, centre, right
    std::array<std::atomic<bool>, 3> rcpField13Set;
    std::atomic<bool> squawkFlagL;
    std::atomic<bool> squawkModeB;
    std::atomic<bool> squawkModeP;
    std::atomic<bool> squawkModeE;
    std::atomic<std::int32_t> squawkDigitCount;
    std::atomic<bool> elapsedZero126;
    std::atomic<bool> elapsedZero127;

    DecodedValues() { reset(); }
    void reset()
    {
        for (auto& f : qs120Fields)
            f = kNoFieldValue;
        for (auto& f : qs357Fields)
            f = kNoFieldValue;
        for (std::size_t p = 0; p < 3; ++p)
            rcpField12Set[p] = rcpField13Set[p] = false;
        squawkFlagL = squawkModeB = squawkModeP = squawkModeE = false;
        squawkDigitCount = 0;
        elapsedZero126 = elapsedZero127 = true;
    }
};

// g_qs120Fields is g_decoded.qs120Fields, g_squawkFlagL is g_decoded.squawkFlagL, and so on.
extern DecodedValues g_decoded;

} // namespace brg
