#pragma once
// The exceptions of the system. Their texts are what the log and the status window show.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace brg {

// A condition the user can mend: a missing file or setting, no server, a wrong address.
class UserErrorException : public std::runtime_error {
public:
    UserErrorException(std::int32_t code, const std::string& message);
    std::int32_t code() const { return m_code; }

private:
    std::int32_t m_code;
};

class UserIPAddressErrorException : public UserErrorException {
public:
    explicit UserIPAddressErrorException(const std::string& message);
};

// A failing system resource.
class SysErrorException : public std::runtime_error {
public:
    SysErrorException(std::int32_t code, const std::string& message);
    std::int32_t code() const { return m_code; }

private:
    std::int32_t m_code;
};

// A step of the start-up thread gave up because the user is closing the program.
class StopRequestedException : public std::runtime_error {
public:
    StopRequestedException() : std::runtime_error("stopped, the program is closing") {}
};

// The exceptions that end a run carry no data: their type selects the exit reason.
class SIOC_FD_CLOSE_Exception : public std::runtime_error {
public:
    SIOC_FD_CLOSE_Exception() : std::runtime_error("SIOC server closed the connection") {}
};

class PSX_FD_CLOSE_Exception : public std::runtime_error {
public:
    PSX_FD_CLOSE_Exception() : std::runtime_error("PSX main server closed the connection") {}
};

class FinReceivedException : public std::runtime_error {
public:
    FinReceivedException() : std::runtime_error("Fin received from SIOC server") {}
};

class ExitPSXReceivedException : public std::runtime_error {
public:
    ExitPSXReceivedException() : std::runtime_error("Exit received from PSX server") {}
};

} // namespace brg
