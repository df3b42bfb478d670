#pragma once
// What the fuzz targets share: a private working folder, a pool with the whole catalogue bound to
// the receiving channels, and one processing cycle without its pause.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace brg::fuzz {

// A fresh folder under the temporary directory, made the working directory once per process.
const std::filesystem::path& gf_workFolder();

void gf_writeFile(const std::filesystem::path& path, std::string_view content);

// Selects every catalogue variable (as a script declaring all of them would), initialises them,
// binds them to g_FromPSXClient and g_FromSIOCClient, and ends the start-up phase.
void gf_bindWholeCatalogue();

// Every complete or trailing line of `data` to `decode`, each with its line feed. A line that the
// receiving channel refuses with an exception is what the program reports and stops on: it is
// swallowed here, anything worse (a crash, a sanitizer report) is the finding.
template <typename Decode>
void gf_forEachLine(std::string_view data, Decode&& decode)
{
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        const std::string_view line = data.substr(0, end == std::string_view::npos ? data.size() : end + 1);
        data.remove_prefix(line.size());
        std::string text(line);
        if (text.back() != '\n')
            text += '\n';
        try {
            decode(text);
        } catch (const std::exception&) {
        }
    }
}

// What the worker does in one cycle after a PSX or SIOC line: drains both receiving channels,
// refreshes the info variables, forwards the hand-over queues whole and composes the outgoing
// lines (the sending channels are not connected, so nothing leaves the process).
void gf_runCycle();

} // namespace brg::fuzz
