#include "base/log.h"
#include "sioc/drives.h"
#include "sioc/path_text.h"
#include "base/display.h"
#include "base/exceptions.h"
#include "sioc/sioc_discovery.h"
#include "sioc/sioc_folder.h"
#include "support/data_file.h"
#include "support/fresh_state.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <stop_token>
#include <string>

namespace brg {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::string lf_native(const fs::path& path) { return gf_pathText(fs::path(path).make_preferred()); }

// Each letter given is a fixed disk whose root is a folder.
class FakeDrives : public DriveProvider {
public:
    std::optional<fs::path> fixedDriveRoot(char letter) const override
    {
        const auto it = roots.find(letter);
        return it == roots.end() ? std::nullopt : std::optional(it->second);
    }
    std::vector<fs::path> programFolders() const override { return {"Program Files", "Program Files (x86)"}; }

    std::map<char, fs::path> roots;
};

class SiocDiscoveryTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        drives = std::make_shared<FakeDrives>();
        g_driveProvider = drives;
    }
    void TearDown() override
    {
        g_driveProvider.reset();
        TempDirTest::TearDown();
    }

    // A file, or a folder when the name ends in "/"; "drive-X/..." lies on fixed drive X.
    void layOut(const std::string& name, const std::string& content)
    {
        const fs::path path = dir / name;
        if (name.starts_with("drive-"))
            drives->roots[name[6]] = dir / name.substr(0, 7);
        fs::create_directories(name.ends_with('/') ? path : path.parent_path());
        if (!name.ends_with('/'))
            test::writeFile(path, content);
    }

    // "host port script", or the text of the error, with the test folder shown as "~".
    std::string discovered() const
    {
        std::string text;
        try {
            const auto p = sioc::getSiocParameters();
            text = p->host.value_or("-") + " " + std::to_string(p->port.value_or(0)) + " " + p->script.value_or("-");
        } catch (const std::exception& e) {
            text = e.what();
        }
        for (const std::string& here : {lf_native(fs::current_path()), lf_native(dir)}) {
            if (const auto at = text.find(here); at != std::string::npos) {
                text.replace(at, here.size(), "~");
                std::replace(text.begin(), text.end(), '\\', '/');
            }
        }
        return text;
    }

    std::shared_ptr<FakeDrives> drives;
};

TEST_F(SiocDiscoveryTest, FindsTheParametersInCfgSiocIniAndTheInstallation)
{
    g_log.open();
    int cases = 0;
    for (const std::string& line : test::dataLines("sioc-discovery.txt")) {
        if (line.starts_with("< ")) {
            const std::size_t colon = line.find(':');
            layOut(line.substr(2, colon - 2), test::unescape(line.substr(std::min(colon + 2, line.size()))));
            continue;
        }
        EXPECT_EQ("> " + discovered(), line);
        ++cases;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename() != "Log.txt")
                fs::remove_all(entry.path());
        drives->roots.clear();
    }
    EXPECT_GT(cases, 20);
    g_log.close();
    EXPECT_THAT(test::readFile("Log.txt"), HasSubstr("\nIOCP_HOSTADDRESS=sim pc in Talvesync.cfg is not an IPv4 address or host name\n"
                                                     "IOCP_port=99999999999 in Talvesync.cfg is not a port number\n"));

    layOut("sioc.ini", "IOCP_port=8092\nCONFIG_FILE=a.ssi\n");
    g_driveProvider.reset(); // as on a system without drive letters
    EXPECT_EQ(sioc::describeSiocParameters(*sioc::getSiocParameters()),
              " IOCP_HOSTADDRESS=127.0.0.1\n IOCP_port=8092\n CONFIG_FILE=" + lf_native(dir / "a.ssi") + "\n");
}

TEST_F(SiocDiscoveryTest, TheSearchPassesOverBrokenLinksAndFailsOnADriveItCannotWalk)
{
    fs::create_directories(dir / "drive-C" / "a");
    std::error_code ignored; // where links cannot be made the search must still succeed
    fs::create_directory_symlink(dir / "gone", dir / "drive-C" / "a" / "broken", ignored);
    layOut("drive-C/a/z/SIOC/sioc.ini", "IOCP_port=1111\nCONFIG_FILE=a.ssi\n");
    EXPECT_EQ(discovered(), "127.0.0.1 1111 ~/drive-C/a/z/SIOC/a.ssi");

    drives->roots['C'] = dir / "no-such-drive";
    EXPECT_THAT(discovered(), HasSubstr("recursive_directory_iterator::recursive_directory_iterator"));
}

// The walk of whole disks takes minutes: a close during it ends the search before the next folder.
TEST_F(SiocDiscoveryTest, TheSearchOfTheDrivesStopsWhenTheUserCloses)
{
    // Stops as soon as the walk begins (the window then says that the drives are searched).
    class StopOnSearch : public StatusTexts {
    public:
        void setStatus(const std::string& text) override
        {
            StatusTexts::setStatus(text);
            if (text == "searching the drives for SIOC ...")
                stop.request_stop();
        }
        std::stop_source stop;
    };
    const auto display = std::make_shared<StopOnSearch>();
    g_display = display;
    for (int folder = 0; folder < 50; ++folder)
        layOut("drive-C/a" + std::to_string(folder) + "/b/", "");
    layOut("drive-D/x/SIOC/sioc.ini", "IOCP_port=1111\nCONFIG_FILE=a.ssi\n");
    EXPECT_THROW(sioc::getSiocParameters(display->stop.get_token()), StopRequestedException);
    EXPECT_EQ(display->statusText(), "searching the drives for SIOC ...");

    // Without the close the same search finds SIOC on D:.
    EXPECT_EQ(discovered(), "127.0.0.1 1111 ~/drive-D/x/SIOC/a.ssi");
    // A close before the search: not even the known places are looked at.
    layOut("drive-C/SIOC/sioc.ini", "IOCP_port=2222\nCONFIG_FILE=a.ssi\n");
    std::stop_source closed;
    closed.request_stop();
    EXPECT_THROW(gf_findSiocFolder(*drives, closed.get_token()), StopRequestedException);
}

} // namespace
} // namespace brg
