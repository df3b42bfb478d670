#include "platform/win32/version_fetch_win32.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

namespace brg {
namespace {

constexpr DWORD kOpenUrlFlags = 0x84000101;
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
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD timeout = kTimeoutMs;
        InternetSetOptionW(internet.get(), option, &timeout, sizeof timeout);
    }
    InternetHandle document(InternetOpenUrlW(internet.get(), lf_wide(url).c_str(), nullptr, 0, kOpenUrlFlags, 0));
    if (!document.get())
        return {VersionDocument::Outcome::UrlNotOpened, {}};
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
