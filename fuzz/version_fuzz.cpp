// The version document of the version check, as downloaded (at most 64 bytes are read).
#include "base/version.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        (void)brg::base::parseVersion(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const std::exception&) {
        // Not a version: the check says so and the program goes on.
    }
    return 0;
}
