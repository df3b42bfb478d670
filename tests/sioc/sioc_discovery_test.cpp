#include "base/log.h"
#include "sioc/fake_drives.h"
#include "sioc/path_text.h"
#include "sioc/sioc_discovery.h"
#include "sioc/sioc_sources.h"
#include "support/fresh_state.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace brg {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using test::readFile;
using test::writeFile;

std::string lf_native(const fs::path& path) { return gf_pathText(fs::path(path).make_preferred()); }

// Files (a name ending in "/" is a folder) laid out in the test folder, where "drive-X/" is the
// root of fixed drive X.
using Layout = std::vector<std::pair<std::string, std::string>>;

class SiocDiscoveryTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        drives = std::make_shared<test::FakeDrives>();
        g_driveProvider = drives;
    }
    void TearDown() override
    {
        g_driveProvider.reset();
        TempDirTest::TearDown();
    }

    void layOut(const Layout& layout)
    {
        for (const auto& [name, content] : layout) {
            const fs::path path = dir / name;
            if (name.starts_with("drive-"))
                drives->roots[name[6]] = dir / name.substr(0, 7);
            if (name.ends_with('/'))
                fs::create_directories(path);
            else {
                fs::create_directories(path.parent_path());
                writeFile(path, content);
            }
        }
    }

    // "host port script" with the test folder shown as "~", or the text of the error.
    std::string discovered() const
    {
        try {
            const auto p = sioc::getSiocParameters();
            std::string script = p->script.value_or("-");
            for (const std::string& here : {lf_native(fs::current_path()), lf_native(dir)}) {
                if (script.starts_with(here)) {
                    script = "~" + script.substr(here.size());
                    std::replace(script.begin(), script.end(), '\\', '/');
                }
            }
            return p->host.value_or("-") + " " + std::to_string(p->port.value_or(0)) + " " + script;
        } catch (const std::exception& e) {
            return e.what();
        }
    }

    void clear()
    {
        for (const auto& entry : fs::directory_iterator(dir))
            fs::remove_all(entry.path());
        drives->roots.clear();
    }

    std::shared_ptr<test::FakeDrives> drives;
};

TEST_F(SiocDiscoveryTest, FindsTheParametersInCfgSiocIniAndTheInstallation)
{
    const std::string cfg = "Talvesync.cfg", ini = "sioc.ini";
    const std::vector<std::pair<Layout, std::string>> cases = {
        // Talvesync.cfg with all three keys is taken as it is.
        {{{cfg, "IOCP_HOSTADDRESS = 192.168.1.20\nIOCP_port=8092\nCONFIG_FILE = C:\\Scripts\\cockpit.lst\n"},
          {ini, "IOCP_port=1\nCONFIG_FILE=other.ssi\n"}, {"drive-C/SIOC/sioc.ini", "IOCP_port=2\n"}},
         "192.168.1.20 8092 C:\\Scripts\\cockpit.ssi"},
        // The installation's sioc.ini fills what Talvesync.cfg leaves out; Talvesync.cfg wins.
        {{{cfg, "PSX_HOSTADDRESS=127.0.0.1\n"}, {"drive-C/", ""},
          {"drive-D/SIOC/sioc.ini", "[SIOC]\r\nIOCP_port=8000\r\nCONFIG_FILE=.\\cockpit.ssi\r\n"}},
         "127.0.0.1 8000 ~/drive-D/SIOC/cockpit.ssi"},
        {{{cfg, "IOCP_HOSTADDRESS=10.0.0.7\nIOCP_port = 9000\n"},
          {"drive-C/SIOC/sioc.ini", "IOCP_port=8000\nCONFIG_FILE=cockpit.lst\n"}},
         "10.0.0.7 9000 ~/drive-C/SIOC/cockpit.ssi"},
        // IOCards\SIOC on every drive before a plain SIOC folder.
        {{{"drive-C/SIOC/sioc.ini", "IOCP_port=1111\nCONFIG_FILE=c.ssi\n"},
          {"drive-D/IOCards/SIOC/sioc.ini", "IOCP_port=2222\nCONFIG_FILE=d.ssi\n"}},
         "127.0.0.1 2222 ~/drive-D/IOCards/SIOC/d.ssi"},
        // Program Files folders come after the drive roots, on every drive.
        {{{"drive-C/Program Files (x86)/SIOC/sioc.ini", "IOCP_port=1111\nCONFIG_FILE=a.ssi\n"},
          {"drive-E/Program Files/IOCards/SIOC/sioc.ini", "IOCP_port=3333\nCONFIG_FILE=a.ssi\n"}},
         "127.0.0.1 3333 ~/drive-E/Program Files/IOCards/SIOC/a.ssi"},
        {{{"drive-C/Program Files (x86)/SIOC/sioc.ini", "IOCP_port=1111\nCONFIG_FILE=a.ssi\n"},
          {"drive-F/SIOC/sioc.ini", "IOCP_port=4444\nCONFIG_FILE=a.ssi\n"}},
         "127.0.0.1 4444 ~/drive-F/SIOC/a.ssi"},
        // The search takes the first folder named exactly "SIOC" of each drive, even without sioc.ini.
        {{{"drive-C/Games/SIOC/SIOC/sioc.ini", "IOCP_port=1111\nCONFIG_FILE=a.ssi\n"},
          {"drive-D/Tools/sioc/sioc.ini", "IOCP_port=2222\nCONFIG_FILE=a.ssi\n"},
          {"drive-E/Cockpit/Software/SIOC/sioc.ini", "IOCP_port=3333\nCONFIG_FILE=e.ssi\n"}},
         "127.0.0.1 3333 ~/drive-E/Cockpit/Software/SIOC/e.ssi"},
        // Without an installation the working directory serves.
        {{{"drive-C/Empty/SIOC/", ""}, {ini, "IOCP_port=8092\nCONFIG_FILE=.\\scripts\\cockpit.ssi\n"}},
         "127.0.0.1 8092 ~/scripts/cockpit.ssi"},
        {{{cfg, "\xEF\xBB\xBFIOCP_HOSTADDRESS=10.0.0.3\r\n"}, {ini, "\xEF\xBB\xBFIOCP_port=8093\r\nCONFIG_FILE=a.ssi\r\n"}},
         "10.0.0.3 8093 ~/a.ssi"},
        {{{ini, "IOCP_port=65535\nCONFIG_FILE=a.ssi\n"}}, "127.0.0.1 65535 ~/a.ssi"},
        // A bad port in Talvesync.cfg leaves sioc.ini's port in charge.
        {{{ini, "IOCP_port=8092\nCONFIG_FILE=a.ssi\n"}, {cfg, "IOCP_port=99999999999\n"}}, "127.0.0.1 8092 ~/a.ssi"},

        {{{"drive-C/", ""}}, "11: sioc.ini and Talvesync.cfg not found"},
        {{{"Talvesync.cfg/", ""}}, "11: sioc.ini and Talvesync.cfg not found (Talvesync.cfg is not a regular file)"},
        {{{cfg, "IOCP_port=8092\n"}}, "14: IOCP_HOSTADDRESS information is missing in Talvesync.cfg"},
        {{{cfg, "IOCP_HOSTADDRESS = simpc.local \nIOCP_port=8092\nCONFIG_FILE=a.ssi\n"}},
         "14: IOCP_HOSTADDRESS information is missing in Talvesync.cfg (simpc.local is not an IPv4 address)"},
        {{{cfg, "IOCP_HOSTADDRESS=10.0.0.1\nCONFIG_FILE=x.ssi\n"}}, "15: IOCP_port information is missing in Talvesync.cfg"},
        {{{cfg, "IOCP_HOSTADDRESS=10.0.0.1\n"}, {ini, "IOCP_port=8092\n"}},
         "16: CONFIG_FILE information is missing in merge of sioc.ini and  Talvesync.cfg"},
        {{{ini, "IOCP_port=8092\n"}}, "16: CONFIG_FILE information is missing in sioc.ini"},
        {{{ini, "IOCP_port=8092\nCONFIG_FILE=cockpit.txt\n"}},
         "17: " + lf_native(fs::current_path() / "cockpit.txt") + " has no .ssi or .lst extension"},
        {{{cfg, "CONFIG_FILE=D:\\Cockpit.SSI\n"}, {ini, "IOCP_port=8092\n"}},
         "17: D:\\Cockpit.SSI has no .ssi or .lst extension"}, // case matters, as it does for the search
        // Nothing listens on port 0, and a wider port would wrap to another server's.
        {{{ini, "IOCP_port=73628\nCONFIG_FILE=a.ssi\n"}},
         "15: IOCP_port information is missing in sioc.ini (73628 is not a port number)"},
        {{{ini, "IOCP_port=0\nCONFIG_FILE=a.ssi\n"}}, "15: IOCP_port information is missing in sioc.ini (0 is not a port number)"},
    };
    drives->programs = {"Program Files", "Program Files (x86)"};
    for (const auto& [layout, expected] : cases) {
        clear();
        layOut(layout);
        EXPECT_EQ(discovered(), expected) << layout.front().first << ": " << layout.front().second;
    }
    clear();
    layOut({{ini, "IOCP_port=8092\nCONFIG_FILE=a.ssi\n"}});
    g_driveProvider.reset(); // as on a system without drive letters
    EXPECT_EQ(discovered(), "127.0.0.1 8092 ~/a.ssi");
}

TEST_F(SiocDiscoveryTest, RejectedEntriesAreLoggedWithTheirReason)
{
    g_log.open();
    layOut({{"Talvesync.cfg", "IOCP_HOSTADDRESS = simpc.local \nIOCP_port=99999999999\n"},
            {"sioc.ini", "IOCP_port=8092\nCONFIG_FILE=a.ssi\n"}});
    discovered();
    g_log.close();
    EXPECT_THAT(readFile("Log.txt"), HasSubstr("\nIOCP_HOSTADDRESS=simpc.local in Talvesync.cfg is not an IPv4 address\n"
                                               "IOCP_port=99999999999 in Talvesync.cfg is not a port number\n"));
}

TEST_F(SiocDiscoveryTest, TheSearchPassesOverBrokenLinksAndFailsOnADriveItCannotWalk)
{
    fs::create_directories(dir / "drive-C" / "a");
    std::error_code ignored; // where links cannot be made the search must still succeed
    fs::create_directory_symlink(dir / "gone", dir / "drive-C" / "a" / "broken", ignored);
    layOut({{"drive-C/a/z/SIOC/sioc.ini", "IOCP_port=1111\nCONFIG_FILE=a.ssi\n"}});
    EXPECT_EQ(discovered(), "127.0.0.1 1111 ~/drive-C/a/z/SIOC/a.ssi");

    drives->roots['C'] = dir / "no-such-drive";
    EXPECT_THAT(discovered(), HasSubstr("recursive_directory_iterator::recursive_directory_iterator"));
}

// A ".\" inside the value is part of the path, not a "here" to cut out.
TEST(SiocScriptPathTest, BackslashPathsOfSiocIniAreResolvedAgainstTheSiocFolder)
{
    const fs::path folder = fs::path("base") / "SIOC";
    for (const auto& [value, resolved] : {std::pair{".\\cockpit.ssi", folder / "cockpit.ssi"},
                                          {"scripts\\cockpit.ssi", folder / "scripts" / "cockpit.ssi"},
                                          {"..\\scripts\\cockpit.ssi", folder / ".." / "scripts" / "cockpit.ssi"}})
        EXPECT_EQ(gf_resolveScriptPath(value, folder), lf_native(resolved)) << value;
    EXPECT_EQ(gf_resolveScriptPath("E:\\cockpit.ssi", folder), "E:\\cockpit.ssi");
    SiocParameters parameters;
    parameters.host = "127.0.0.1";
    parameters.port = 8092;
    parameters.script = "D:\\SIOC\\cockpit.ssi";
    EXPECT_EQ(sioc::describeSiocParameters(parameters),
              " IOCP_HOSTADDRESS=127.0.0.1\n IOCP_port=8092\n CONFIG_FILE=D:\\SIOC\\cockpit.ssi\n");
}

} // namespace
} // namespace brg
