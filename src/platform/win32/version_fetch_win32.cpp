#include "platform/win32/version_fetch_win32.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <condition_variable>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace brg {
namespace {

// Reload from the server, write no cache, no-cache pragma, ASCII transfer.
constexpr DWORD kRequestFlags = 0x84000101;
constexpr std::size_t kMaxDocumentBytes = 64;
// A server that accepts and never answers would otherwise hold the start-up forever.
constexpr DWORD kTimeoutMs = 5000;

// The fetch's handles, which a stop request closes from the stopping thread: Windows then ends
// the call that waits on them. Each is closed once, by whichever side comes first.
class InternetHandles {
public:
    ~InternetHandles() { closeAll(); }
    InternetHandles() = default;
    InternetHandles(const InternetHandles&) = delete;
    InternetHandles& operator=(const InternetHandles&) = delete;

    // Keeps `handle`; false (and the handle closed) once the fetch is stopped.
    bool keep(HINTERNET handle)
    {
        std::lock_guard lock(m_mutex);
        if (m_closed) {
            if (handle)
                InternetCloseHandle(handle);
            return false;
        }
        if (handle)
            m_handles.push_back(handle);
        return handle != nullptr;
    }

    bool closed()
    {
        std::lock_guard lock(m_mutex);
        return m_closed;
    }

    // The newest first: children before the session they belong to.
    void closeAll()
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        for (auto it = m_handles.rbegin(); it != m_handles.rend(); ++it)
            InternetCloseHandle(*it);
        m_handles.clear();
    }

private:
    std::mutex m_mutex;
    bool m_closed = false;
    std::vector<HINTERNET> m_handles;
};

std::wstring lf_wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end()); // URLs are ASCII
}

// One fetch, shared by the caller and the thread that does it: a stopped caller leaves, the thread
// ends on its own.
struct Fetch {
    InternetHandles handles;
    std::mutex mutex;
    std::condition_variable done;
    std::optional<VersionDocument> result;
};

VersionDocument lf_fetch(const std::string& url, std::size_t maxBytes, InternetHandles& handles)
{
    const auto failed = [&handles](VersionDocument::Outcome outcome) {
        return VersionDocument{handles.closed() ? VersionDocument::Outcome::Stopped : outcome, {}};
    };
    HINTERNET internet =
        InternetOpenW(L"lf_getVersionStringFromInternet", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!handles.keep(internet))
        return failed(VersionDocument::Outcome::NoInternet);
    // The request goes in steps rather than through InternetOpenUrl so that the time-outs can be
    // set on the connection too: Wine's WinINet does not pass those of the session handle on.
    const std::wstring wideUrl = lf_wide(url);
    wchar_t host[256] = {};
    wchar_t path[2048] = {};
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = static_cast<DWORD>(std::size(host));
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = static_cast<DWORD>(std::size(path));
    if (!InternetCrackUrlW(wideUrl.c_str(), 0, 0, &parts))
        return failed(VersionDocument::Outcome::UrlNotOpened);
    HINTERNET connection = InternetConnectW(internet, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!handles.keep(connection))
        return failed(VersionDocument::Outcome::UrlNotOpened);
    for (HINTERNET handle : {internet, connection})
        for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
            DWORD timeout = kTimeoutMs;
            InternetSetOptionW(handle, option, &timeout, sizeof timeout);
        }
    const DWORD flags = kRequestFlags | (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
    HINTERNET document = HttpOpenRequestW(connection, L"GET", path, nullptr, nullptr, nullptr, flags, 0);
    if (!handles.keep(document) || !HttpSendRequestW(document, nullptr, 0, nullptr, 0))
        return failed(VersionDocument::Outcome::UrlNotOpened);
    // An HTTP error comes with a page of its own; read as the document it would be "not understood".
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (HttpQueryInfoW(document, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize, nullptr)
        && status != HTTP_STATUS_OK)
        return failed(VersionDocument::Outcome::ReadFailed);
    std::string bytes(std::min(maxBytes, kMaxDocumentBytes), '\0');
    DWORD read = 0;
    if (!InternetReadFile(document, bytes.data(), static_cast<DWORD>(bytes.size()), &read))
        return failed(VersionDocument::Outcome::ReadFailed);
    bytes.resize(read);
    return {VersionDocument::Outcome::Read, bytes};
}

} // namespace

VersionDocument gf_winInetFetch(const std::string& url, std::size_t maxBytes, const std::stop_token& stop)
{
    // Closing the handles ends a waiting call on Windows, but Wine's WinINet goes on waiting for a
    // TLS answer until its time-out: the fetch runs on a thread of its own, which a stop leaves
    // behind to end by itself.
    const auto fetch = std::make_shared<Fetch>();
    const std::stop_callback closeOnStop(stop, [fetch] {
        fetch->handles.closeAll();
        std::lock_guard lock(fetch->mutex);
        fetch->done.notify_all();
    });
    if (stop.stop_requested())
        return {VersionDocument::Outcome::Stopped, {}};
    std::thread([fetch, url, maxBytes] {
        VersionDocument result = lf_fetch(url, maxBytes, fetch->handles);
        std::lock_guard lock(fetch->mutex);
        fetch->result = std::move(result);
        fetch->done.notify_all();
    }).detach();
    std::unique_lock lock(fetch->mutex);
    fetch->done.wait(lock, [&] { return fetch->result.has_value() || stop.stop_requested(); });
    if (stop.stop_requested())
        return {VersionDocument::Outcome::Stopped, {}};
    return *fetch->result;
}

unsigned long gf_osMajorVersion()
{
    // GetVersionEx answers 6.2 to programs without a manifest; ntdll's RtlGetVersion does not.
    using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll)
        return 0;
    auto query = reinterpret_cast<RtlGetVersion>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!query || query(&info) != 0)
        return 0;
    return info.dwMajorVersion;
}

} // namespace brg
