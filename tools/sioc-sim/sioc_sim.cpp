// A stand-in for the SIOC server: it takes registrations and answers them with the current values,
// stores the values the bridge sends, sends keep-alives, and lets standard input set values.
#include "../common/line_server.h"

#include <fmt/format.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using brg::sim::LineServer;

// The numbers and "number=value" pairs of an IOCP line: its fields between ":" after the header.
std::vector<std::string> lf_fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = line.find(':');
    while (start != std::string::npos) {
        const auto end = line.find(':', start + 1);
        const std::string field = line.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        if (!field.empty())
            fields.push_back(field);
        start = end;
    }
    return fields;
}

bool lf_parseInt(const std::string& text, long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

class SiocSim {
public:
    explicit SiocSim(LineServer& server) : m_server(server)
    {
        server.onLine = [this](LineServer::ClientId id, const std::string& line) { received(id, line); };
        server.onDisconnect = [this](LineServer::ClientId id) { m_registered.erase(id); };
        server.onCommand = [this](const std::string& verb, const std::string& rest) { return command(verb, rest); };
        server.onTick = [this] { m_server.broadcast("Arn.Vivo:\r\n"); };
    }

private:
    void received(LineServer::ClientId id, const std::string& line)
    {
        if (line.starts_with("Arn.Inicio:"))
            registration(id, lf_fields(line));
        else if (line.starts_with("Arn.Resp:"))
            for (const std::string& field : lf_fields(line))
                store(field);
        else if (line.starts_with("Arn.Fin:"))
            m_server.closeClient(id); // the client leaves
    }

    // Registered numbers are answered with their values, in lines of about 4000 characters.
    void registration(LineServer::ClientId id, const std::vector<std::string>& fields)
    {
        std::string payload;
        for (const std::string& field : fields) {
            long number = 0;
            if (!lf_parseInt(field, number))
                continue;
            m_registered[id].insert(number);
            payload += fmt::format("{}={}:", number, m_values[number]);
            if (payload.size() > 4000) {
                m_server.sendTo(id, "Arn.Resp:" + payload + "\r\n");
                payload.clear();
            }
        }
        if (!payload.empty())
            m_server.sendTo(id, "Arn.Resp:" + payload + "\r\n");
    }

    void store(const std::string& field)
    {
        const auto equals = field.find('=');
        long number = 0;
        long value = 0;
        if (equals != std::string::npos && lf_parseInt(field.substr(0, equals), number) &&
            lf_parseInt(field.substr(equals + 1), value))
            m_values[number] = value;
    }

    bool command(const std::string& verb, const std::string& rest)
    {
        if (verb == "fin") {
            m_server.broadcast("Arn.Fin:\r\n");
        } else if (verb == "vivo") {
            m_server.broadcast("Arn.Vivo:\r\n");
        } else if (verb == "set") {
            const auto blank = rest.find(' ');
            long number = 0;
            long value = 0;
            if (blank == std::string::npos || !lf_parseInt(rest.substr(0, blank), number) ||
                !lf_parseInt(rest.substr(blank + 1), value)) {
                std::cerr << "usage: set NUMBER VALUE\n";
                return true;
            }
            m_values[number] = value;
            // Like SIOC: only clients that registered the number hear of it.
            for (const auto& [id, numbers] : m_registered)
                if (numbers.contains(number))
                    m_server.sendTo(id, fmt::format("Arn.Resp:{}={}:\r\n", number, value));
        } else {
            return false;
        }
        return true;
    }

    LineServer& m_server;
    std::map<long, long> m_values; // every value set or received, 0 until then
    std::map<LineServer::ClientId, std::set<long>> m_registered;
};

constexpr const char* kUsage = "usage: sioc-sim [--port N] [--address A] [--vivo-ms N] [--exit-on-eof]\n";
constexpr const char* kHelp =
    "A stand-in for the SIOC server, for trying Talvesync without a cockpit. It listens on port 8092\n"
    "of 127.0.0.1 (--address 0.0.0.0: of every network card) and prints what Talvesync sends it.\n"
    "Commands, one a line: set NUMBER VALUE (a switch or knob moves, for instance set 1006 1), fin, quit.\n";

} // namespace

int main(int argc, char** argv)
{
    LineServer::Options options;
    options.port = 8092;
    options.tick = std::chrono::milliseconds(5000);
    if (brg::sim::gf_helpAsked(argc, argv, (std::string(kUsage) + kHelp).c_str()))
        return 0;
    const bool parsed = brg::sim::gf_parseOptions(argc, argv, options, [&](int i) {
        if (std::string(argv[i]) != "--vivo-ms" || i + 1 >= argc)
            return -1;
        options.tick = std::chrono::milliseconds(std::strtol(argv[i + 1], nullptr, 10));
        return i + 1;
    });
    if (!parsed) {
        std::cerr << kUsage;
        return 2;
    }
    LineServer server(options);
    SiocSim sim(server);
    return server.run();
}
