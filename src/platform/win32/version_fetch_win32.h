#pragma once
// The version check's fetcher (WinINet) and the operating system it runs on.
#include "display/version_check.h"

namespace brg {

// Reads at most maxBytes (and never more than 64) of the document at url, in one read.
VersionDocument gf_winInetFetch(const std::string& url, std::size_t maxBytes);

// The major version the system reports without compatibility shims (Windows 11 reports 10);
// 0 when it cannot be asked.
unsigned long gf_osMajorVersion();

} // namespace brg
