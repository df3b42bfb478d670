#pragma once
// Where the SIOC server is and which compiled script it runs: host, IOCP port and script path.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace brg {

struct SiocParameters {
    static constexpr const char* kHostKey = "IOCP_HOSTADDRESS";
    static constexpr const char* kPortKey = "IOCP_port";
    static constexpr const char* kScriptKey = "CONFIG_FILE";

    // An absent entry is one its source does not give.
    std::optional<std::string> host;
    std::optional<std::uint16_t> port;
    std::optional<std::string> script;
    // Values that were given but are no IPv4 address or no port number, kept for the error text.
    std::optional<std::string> rejectedHost;
    std::optional<std::string> rejectedPort;
};

namespace sioc {

// " KEY=value\n" for each present entry, in the order host, port, script.
std::string describeSiocParameters(const SiocParameters& parameters);

} // namespace sioc

// Set once by the start-up thread; the window reads it while painting, so it is atomic.
extern std::atomic<std::shared_ptr<const SiocParameters>> g_siocparameters;

} // namespace brg
