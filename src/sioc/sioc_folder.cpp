#include "sioc/sioc_folder.h"

#include "base/display.h"
#include "base/exceptions.h"

#include <fstream>
#include <string_view>
#include <system_error>
#include <vector>

namespace brg {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDriveLetters = "CDEFGHIJKLMNOPQRSTUVWXYZ";

bool lf_hasSiocIni(const fs::path& folder)
{
    return std::ifstream(folder / "sioc.ini").is_open();
}

void lf_stopPoint(const std::stop_token& stop)
{
    if (stop.stop_requested())
        throw StopRequestedException();
}

// The first folder named "SIOC" in a depth-first walk of the drive, if any.
std::optional<fs::path> lf_firstSiocFolderOn(const fs::path& root, const std::stop_token& stop)
{
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::none, ec);
    if (ec)
        throw fs::filesystem_error("recursive_directory_iterator::recursive_directory_iterator", root, ec);
    for (const fs::recursive_directory_iterator end; it != end;) {
        lf_stopPoint(stop);
        const fs::file_status status = it->status(ec);
        if (ec && status.type() != fs::file_type::not_found && status.type() != fs::file_type::unknown)
            throw fs::filesystem_error("status", it->path(), ec);
        if (!ec && fs::is_directory(status) && it->path().filename() == "SIOC")
            return it->path();
        const fs::path current = it->path();
        it.increment(ec);
        if (ec)
            throw fs::filesystem_error("recursive_directory_iterator::operator++", current, ec);
    }
    return std::nullopt;
}

} // namespace

std::optional<fs::path> gf_findSiocFolder(const DriveProvider& drives, const std::stop_token& stop)
{
    std::vector<fs::path> roots;
    for (char letter : kDriveLetters)
        if (auto root = drives.fixedDriveRoot(letter))
            roots.push_back(*root);

    std::vector<fs::path> candidates{"IOCards/SIOC", "SIOC"};
    for (const fs::path& programFolder : drives.programFolders()) {
        candidates.push_back(programFolder / "IOCards/SIOC");
        candidates.push_back(programFolder / "SIOC");
    }
    for (const fs::path& candidate : candidates)
        for (const fs::path& root : roots) {
            lf_stopPoint(stop);
            if (lf_hasSiocIni(root / candidate))
                return root / candidate;
        }

    // Only the first "SIOC" folder of a drive is looked at; without a sioc.ini the next drive is.
    // A walk of whole disks takes long: the window says what is going on meanwhile.
    if (!roots.empty())
        g_display->setStatus("searching the drives for SIOC ...");
    for (const fs::path& root : roots)
        if (auto folder = lf_firstSiocFolderOn(root, stop); folder && lf_hasSiocIni(*folder))
            return folder;
    return std::nullopt;
}

} // namespace brg
