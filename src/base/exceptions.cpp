#include "base/exceptions.h"

#include <fmt/format.h>

namespace brg {

UserErrorException::UserErrorException(std::int32_t code, const std::string& message)
    : std::runtime_error(fmt::format("{}: ", code) + message), m_code(code) {}

UserIPAddressErrorException::UserIPAddressErrorException(const std::string& message)
    : UserErrorException(77, message) {}

SysErrorException::SysErrorException(std::int32_t code, const std::string& message)
    : std::runtime_error(fmt::format("sys error {}: ", code) + message), m_code(code) {}

} // namespace brg
