// A stand-in for the PSX main server: an opening burst for every client, a clock and a lamp that
// keep changing, answers to "demand=" lines, and commands from standard input.
#include "../common/line_server.h"
#include "opening_burst.h"

#include <chrono>
#include <filesystem>
#include <fmt/format.h>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using brg::sim::LineServer;
namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: psx-sim [--port N] [--address A] [--burst FILE] [--tick-ms N] [--exit-on-eof]\n";
constexpr const char* kHelp =
    "A stand-in for the PSX main server, for trying Talvesync without PSX. It listens on port 10747\n"
    "of 127.0.0.1 (--address 0.0.0.0: of every network card) and sends every client an opening burst\n"
    "recorded from PSX (--burst FILE: another one).\n"
    "Commands, one a line: send LINE (for instance send Qh45=1), exit (PSX's goodbye), burst, quit.\n";

std::vector<std::string> lf_readLines(std::istream& in)
{
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// "Qh45=1" gives name "Qh45" and value "1"; false for other lines.
bool lf_splitVariable(const std::string& line, std::string& name, std::string& value)
{
    const auto equals = line.find('=');
    if (line.size() < 3 || line[0] != 'Q' || (line[1] != 's' && line[1] != 'h' && line[1] != 'i') ||
        equals == std::string::npos)
        return false;
    name = line.substr(0, equals);
    value = line.substr(equals + 1);
    return true;
}

class PsxSim {
public:
    PsxSim(LineServer& server, std::vector<std::string> burst) : m_server(server), m_burst(std::move(burst))
    {
        for (const std::string& line : m_burst)
            remember(line);
        server.onConnect = [this](LineServer::ClientId id) { greet(id); };
        server.onLine = [this](LineServer::ClientId id, const std::string& line) { received(id, line); };
        server.onCommand = [this](const std::string& verb, const std::string&) { return command(verb); };
        server.onTick = [this] { tick(); };
    }

private:
    void remember(const std::string& line)
    {
        std::string name, value;
        if (lf_splitVariable(line, name, value))
            m_values[name] = value;
    }

    std::string burstText() const
    {
        std::string text;
        for (const std::string& line : m_burst)
            text += line + "\r\n";
        return text;
    }

    void greet(LineServer::ClientId id) { m_server.sendTo(id, burstText()); }

    void received(LineServer::ClientId id, const std::string& line)
    {
        if (line == "exit") {
            m_server.closeClient(id); // the client leaves
            return;
        }
        constexpr std::string_view demand = "demand=";
        if (line.starts_with(demand)) {
            const auto known = m_values.find(line.substr(demand.size()));
            if (known != m_values.end())
                m_server.sendTo(id, known->first + "=" + known->second + "\r\n");
            return;
        }
        remember(line);
    }

    bool command(const std::string& verb)
    {
        if (verb == "exit") {
            m_server.broadcast("exit\r\n");
        } else if (verb == "burst") {
            // What PSX sends again when a situation is loaded.
            m_server.broadcast(burstText());
        } else {
            return false;
        }
        return true;
    }

    // Moving values: the clock (Qs123, milliseconds of the Unix epoch) and the evacuation lamp.
    void tick()
    {
        const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::system_clock::now().time_since_epoch());
        m_lamp = !m_lamp;
        const std::string text = fmt::format("Qs123={}\r\nQh424={}\r\n", now.count(), m_lamp ? 1 : 0);
        remember(fmt::format("Qs123={}", now.count()));
        remember(fmt::format("Qh424={}", m_lamp ? 1 : 0));
        m_server.broadcast(text);
    }

    LineServer& m_server;
    std::vector<std::string> m_burst;
    std::map<std::string, std::string> m_values; // the last value of each variable, for demands
    bool m_lamp = false;
};

} // namespace

int main(int argc, char** argv)
{
    LineServer::Options options;
    options.port = 10747;
    options.tick = std::chrono::milliseconds(1000);
    if (brg::sim::gf_helpAsked(argc, argv, (std::string(kUsage) + kHelp).c_str()))
        return 0;
    fs::path burstFile;
    const bool parsed = brg::sim::gf_parseOptions(argc, argv, options, [&](int i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return -1;
        if (option == "--burst")
            burstFile = argv[i + 1];
        else if (option == "--tick-ms")
            options.tick = std::chrono::milliseconds(std::strtol(argv[i + 1], nullptr, 10));
        else
            return -1;
        return i + 1;
    });
    if (!parsed) {
        std::cerr << kUsage;
        return 2;
    }
    std::vector<std::string> burst;
    if (burstFile.empty()) {
        std::istringstream capture(std::string(std::begin(kOpeningBurst), std::end(kOpeningBurst)));
        burst = lf_readLines(capture);
    } else {
        std::ifstream in(burstFile);
        if (!in) {
            std::cerr << "no opening burst: cannot read " << burstFile.string() << '\n';
            return 1;
        }
        burst = lf_readLines(in);
    }
    LineServer server(options);
    PsxSim sim(server, std::move(burst));
    return server.run();
}
