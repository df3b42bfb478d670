#pragma once
// What both stand-in servers share: a listener with any number of clients, every received line
// printed as "recv " + line, commands from standard input, a periodic tick, and a clean end on
// a stop request (Ctrl-C or SIGTERM; at the end of standard input too when asked).
// Header only: each folder of tools/ with sources is a program of its own.
#include "console_input.h"
#include "tcp_listener.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <iostream>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace brg::sim {

class LineServer {
public:
    using ClientId = int;

    struct Options {
        std::uint16_t port = 0;
        std::string address = "127.0.0.1";
        bool exitOnEof = false;
        std::chrono::milliseconds tick{0}; // 0: no tick
    };

    // The hooks run one at a time, under the server's lock.
    std::function<void(ClientId)> onConnect;
    std::function<void(ClientId, const std::string& line)> onLine; // the line without its end
    std::function<void(ClientId)> onDisconnect;
    // False when the command is not known.
    std::function<bool(const std::string& verb, const std::string& rest)> onCommand;
    std::function<void()> onTick;

    explicit LineServer(Options options) : m_options(std::move(options)) {}

    // From the hooks only (the lock is held).
    void sendTo(ClientId id, const std::string& text)
    {
        const auto client = m_clients.find(id);
        if (client != m_clients.end() && !client->second->peer->sendAll(text))
            client->second->peer->close();
    }
    void broadcast(const std::string& text)
    {
        for (const auto& entry : m_clients)
            sendTo(entry.first, text);
    }
    void closeClient(ClientId id)
    {
        const auto client = m_clients.find(id);
        if (client != m_clients.end())
            client->second->peer->close();
    }
    void closeAll()
    {
        for (const auto& entry : m_clients)
            entry.second->peer->close();
    }
    void resetAll()
    {
        for (const auto& entry : m_clients)
            entry.second->peer->reset();
    }
    void stop() { m_stopping = true; }

    // One stable line on standard output, flushed at once so a reader follows along.
    static void say(const std::string& line)
    {
        static std::mutex mutex;
        std::lock_guard lock(mutex);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }

    // Serves until stopped; the exit code.
    int run()
    {
        std::unique_ptr<TcpListener> listener;
        try {
            listener = std::make_unique<TcpListener>(m_options.port, m_options.address);
        } catch (const std::exception& e) {
            std::cerr << e.what() << '\n';
            return 1;
        }
        gf_catchStopRequests();
        say("listening " + std::to_string(listener->port()));

        std::thread acceptor([&] { acceptClients(*listener); });
        readCommands();
        m_stopping = true;
        acceptor.join();
        {
            std::lock_guard lock(m_mutex);
            closeAll();
        }
        for (auto& reader : m_readers)
            reader.join();
        return 0;
    }

private:
    struct Client {
        std::unique_ptr<TcpPeer> peer;
    };

    // Bytes of every value, NUL and line feeds among them, always the same for the same count.
    static std::string garbage(std::size_t count)
    {
        std::string bytes;
        std::uint32_t state = 2463534242U;
        while (bytes.size() < count) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            bytes += static_cast<char>(bytes.size() % 7 == 0 ? 0 : state & 0xFF);
        }
        return bytes;
    }

    // The misbehaviours a real server shows now and then, on demand. False for other verbs.
    bool faultCommand(const std::string& verb, const std::string& rest)
    {
        if (verb == "reset") {
            resetAll();
        } else if (verb == "cut") {
            broadcast(rest.substr(0, rest.size() / 2));
            closeAll();
        } else if (verb == "garbage") {
            broadcast(garbage(std::strtoul(rest.c_str(), nullptr, 10)) + "\r\n");
        } else if (verb == "trickle") {
            const std::string line = rest + "\r\n";
            for (const auto& entry : m_clients)
                entry.second->peer->sendAtOnce();
            for (char byte : line) {
                broadcast(std::string(1, byte));
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        } else if (verb == "flood") {
            const auto blank = rest.find(' ');
            const unsigned long count = std::strtoul(rest.substr(0, blank).c_str(), nullptr, 10);
            const std::string line = blank == std::string::npos ? std::string() : rest.substr(blank + 1) + "\r\n";
            // "{}" in the line counts up from 0, so that every line of the flood is a change.
            const auto counter = line.find("{}");
            std::string chunk;
            for (unsigned long i = 0; i < count; ++i) {
                chunk += counter == std::string::npos ? line : line.substr(0, counter) + std::to_string(i) + line.substr(counter + 2);
                if (chunk.size() >= 65536 || i + 1 == count) {
                    broadcast(chunk);
                    chunk.clear();
                }
            }
        } else if (verb == "stall") {
            m_stalled = true;
        } else if (verb == "resume") {
            m_stalled = false;
        } else {
            return false;
        }
        return true;
    }

    bool stopping() const { return m_stopping || gf_stopRequested(); }

    void acceptClients(TcpListener& listener)
    {
        while (!stopping()) {
            auto peer = listener.accept(std::chrono::milliseconds(100));
            if (!peer)
                continue;
            std::lock_guard lock(m_mutex);
            const ClientId id = ++m_lastId;
            TcpPeer& reader = *peer;
            m_clients.emplace(id, std::make_unique<Client>(Client{std::move(peer)}));
            say("connected");
            if (onConnect)
                onConnect(id);
            m_readers.emplace_back([this, id, &reader] { readLines(id, reader); });
        }
    }

    void readLines(ClientId id, TcpPeer& peer)
    {
        std::string pending;
        while (!stopping()) {
            if (m_stalled) {
                // Nothing is read: the client's sends fill the socket buffers and then back up.
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            const auto data = peer.receive(std::chrono::milliseconds(100));
            if (!data)
                break;
            pending += *data;
            for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                std::lock_guard lock(m_mutex);
                say("recv " + line);
                if (onLine)
                    onLine(id, line);
            }
        }
        std::unique_ptr<Client> gone; // closed once no hook can reach it any more
        std::lock_guard lock(m_mutex);
        if (onDisconnect)
            onDisconnect(id);
        gone = std::move(m_clients.at(id));
        m_clients.erase(id);
        say("disconnected");
    }

    void readCommands()
    {
        std::string pending;
        auto nextTick = std::chrono::steady_clock::now() + m_options.tick;
        while (!stopping()) {
            std::chrono::milliseconds wait(100);
            if (m_options.tick.count() > 0) {
                const auto now = std::chrono::steady_clock::now();
                if (now >= nextTick) {
                    nextTick += m_options.tick;
                    std::lock_guard lock(m_mutex);
                    if (onTick)
                        onTick();
                    continue;
                }
                wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(nextTick - now));
            }
            const auto input = gf_readStandardInput(wait);
            if (!input) {
                if (m_options.exitOnEof)
                    return;
                continue;
            }
            pending += *input;
            for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
                command(pending.substr(0, end));
                pending.erase(0, end + 1);
            }
        }
    }

    void command(std::string line)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto blank = line.find(' ');
        const std::string verb = line.substr(0, blank);
        const std::string rest = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        if (verb.empty())
            return;
        std::lock_guard lock(m_mutex);
        if (verb == "quit")
            m_stopping = true;
        else if (verb == "close")
            closeAll();
        else if (verb == "send")
            broadcast(rest + "\r\n");
        else if (faultCommand(verb, rest))
            say("done " + verb);
        else if (!onCommand || !onCommand(verb, rest))
            std::cerr << "unknown command: " << line << '\n';
    }

    Options m_options;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_stalled{false};
    std::mutex m_mutex; // guards the clients and serialises the hooks
    std::map<ClientId, std::unique_ptr<Client>> m_clients;
    std::list<std::thread> m_readers;
    ClientId m_lastId = 0;
};

// True after printing `help` on standard output when the command line is just --help.
inline bool gf_helpAsked(int argc, char** argv, const char* help)
{
    if (argc != 2 || std::string(argv[1]) != "--help")
        return false;
    std::cout << help;
    return true;
}

// Reads the options both servers take (--port, --address, --exit-on-eof) and hands every other
// one to `other` (argument index in, index of its last value out, or -1 when unknown).
// False, after a message on standard error, for a command line that does not parse.
inline bool gf_parseOptions(int argc, char** argv, LineServer::Options& options,
                            const std::function<int(int index)>& other)
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--exit-on-eof") {
            options.exitOnEof = true;
        } else if (option == "--port" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long port = std::strtoul(argv[++i], &end, 10);
            if (*argv[i] == '\0' || *end != '\0' || port > 65535) {
                std::cerr << "not a port: " << argv[i] << '\n';
                return false;
            }
            options.port = static_cast<std::uint16_t>(port);
        } else if (option == "--address" && i + 1 < argc) {
            options.address = argv[++i];
        } else {
            const int last = other(i);
            if (last < 0) {
                std::cerr << "unknown option: " << option << '\n';
                return false;
            }
            i = last;
        }
    }
    return true;
}

} // namespace brg::sim
