#include "support/fake_socket.h"

#include <algorithm>
#include <cstring>

namespace brg::test {

bool FakeSocket::asyncSelect(MainLoop&, std::uint32_t message)
{
    m_script->selectMessage = message;
    return true;
}

int FakeSocket::connect(const std::string& host, std::uint16_t port)
{
    m_script->host = host;
    m_script->port = port;
    m_error = m_script->connectError;
    return -1;
}

int FakeSocket::send(const char* data, int length)
{
    int limit = length;
    if (!m_script->sendLimits.empty()) {
        limit = m_script->sendLimits.front();
        m_script->sendLimits.pop_front();
    }
    if (limit < 0) {
        m_error = m_script->sendError;
        return -1;
    }
    const int n = std::min(limit, length);
    m_script->sent.append(data, static_cast<std::size_t>(n));
    m_script->sendCalls.emplace_back(data, static_cast<std::size_t>(n));
    return n;
}

int FakeSocket::recv(char* buffer, int length)
{
    if (m_script->reads.empty()) {
        m_error = m_script->recvError;
        return -1;
    }
    std::string next = std::move(m_script->reads.front());
    m_script->reads.pop_front();
    const std::size_t n = std::min(next.size(), static_cast<std::size_t>(length));
    std::memcpy(buffer, next.data(), n);
    if (n < next.size())
        m_script->reads.push_front(next.substr(n));
    return static_cast<int>(n);
}

std::shared_ptr<FakeSocketProvider> FakeSocketProvider::install()
{
    auto provider = std::make_shared<FakeSocketProvider>();
    g_socketProvider = provider;
    return provider;
}

std::unique_ptr<Socket> FakeSocketProvider::create()
{
    ++created;
    return std::make_unique<FakeSocket>(script, static_cast<std::uintptr_t>(created));
}

} // namespace brg::test
