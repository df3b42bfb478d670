#pragma once
// The version check's fetcher (WinINet) and the operating system it runs on.
#include "display/version_check.h"

namespace brg {

// Reads at most maxBytes (and never more than 64) of the document at url, in one read. A stop
// request closes the fetch's handles from the requesting thread (the window's, at the user's
// close), which ends a blocking call at once: the result is then Stopped.
VersionDocument gf_winInetFetch(const std::string& url, std::size_t maxBytes, const std::stop_token& stop = {});

// The major version the system reports without compatibility shims (Windows 11 reports 10);
// 0 when it cannot be asked.
unsigned long gf_osMajorVersion();

} // namespace brg
