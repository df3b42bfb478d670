#include "platform/win32/version_fetch_win32.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <iterator>

namespace brg {
namespace {

// Reload from the server, write no cache, no-cache pragma, ASCII transfer.
constexpr DWORD kRequestFlags = 0x84000101;
constexpr std::size_t kMaxDocumentBytes = 64;
// A server that accepts and never answers would otherwise hold the start-up forever.
constexpr DWORD kTimeoutMs = 5000;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~InternetHandle()
    {
        if (m_handle)
            InternetCloseHandle(m_handle);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return m_handle; }

private:
    HINTERNET m_handle;
};

std::wstring lf_wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end()); // URLs are ASCII
}

} // namespace

VersionDocument gf_winInetFetch(const std::string& url, std::size_t maxBytes)
{
    InternetHandle internet(
        InternetOpenW(L"lf_getVersionStringFromInternet", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet.get())
        return {VersionDocument::Outcome::NoInternet, {}};
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
        return {VersionDocument::Outcome::UrlNotOpened, {}};
    InternetHandle connection(
        InternetConnectW(internet.get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection.get())
        return {VersionDocument::Outcome::UrlNotOpened, {}};
    for (HINTERNET handle : {internet.get(), connection.get()})
        for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
            DWORD timeout = kTimeoutMs;
            InternetSetOptionW(handle, option, &timeout, sizeof timeout);
        }
    const DWORD flags = kRequestFlags | (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
    InternetHandle document(HttpOpenRequestW(connection.get(), L"GET", path, nullptr, nullptr, nullptr, flags, 0));
    if (!document.get() || !HttpSendRequestW(document.get(), nullptr, 0, nullptr, 0))
        return {VersionDocument::Outcome::UrlNotOpened, {}};
    // An HTTP error comes with a page of its own; read as the document it would be "not understood".
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (HttpQueryInfoW(document.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize, nullptr)
        && status != HTTP_STATUS_OK)
        return {VersionDocument::Outcome::ReadFailed, {}};
    std::string bytes(std::min(maxBytes, kMaxDocumentBytes), '\0');
    DWORD read = 0;
    if (!InternetReadFile(document.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read))
        return {VersionDocument::Outcome::ReadFailed, {}};
    bytes.resize(read);
    return {VersionDocument::Outcome::Read, bytes};
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
