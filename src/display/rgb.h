#pragma once
// A colour as red, green and blue, for the window's canvas and the terminal alike.
#include <cstdint>

namespace brg {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

} // namespace brg
