#include "base/exceptions.h"
#include "base/log.h"
#include "sioc/fake_drives.h"
#include "sioc/path_text.h"
#include "sioc/sioc_discovery.h"
#include "sioc/sioc_sources.h"
#include "support/fresh_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace brg {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

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

    // Drive letter as a folder "drive-X" of the test's folder.
    fs::path drive(char letter)
    {
        const fs::path root = dir / (std::string("drive-") + letter);
        fs::create_directories(root);
        drives->roots[letter] = root;
        return root;
    }

    static void install(const fs::path& folder, const std::string& siocIni)
    {
        fs::create_directories(folder);
        writeFile(folder / "sioc.ini", siocIni);
    }

    static std::string native(const fs::path& path) { return gf_pathText(fs::path(path).make_preferred()); }

    static std::string errorOf(void (*call)())
    {
        try {
            call();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no error";
    }
    static void discover() { getSiocParameters(); }

    std::shared_ptr<test::FakeDrives> drives;
};

TEST_F(SiocDiscoveryTest, CfgWithAllThreeKeysIsTakenWithoutLookingForSioc)
{
    writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS = 192.168.1.20\nIOCP_port=8092\n"
                               "CONFIG_FILE = C:\\Scripts\\cockpit.lst\n");
    writeFile("sioc.ini", "IOCP_port=1\nCONFIG_FILE=other.ssi\n");
    install(drive('C') / "SIOC", "IOCP_port=2\n");

    const auto parameters = getSiocParameters();
    EXPECT_EQ(parameters->host, "192.168.1.20");
    EXPECT_EQ(parameters->port, 8092);
    EXPECT_EQ(parameters->script, "C:\\Scripts\\cockpit.ssi");
    EXPECT_EQ(drives->rootQueries, 0);
}

TEST_F(SiocDiscoveryTest, SiocIniOfTheInstallationFillsWhatCfgLeavesOut)
{
    writeFile("Talvesync.cfg", "PSX_HOSTADDRESS=127.0.0.1\n");
    drive('C');
    install(drive('D') / "SIOC", "[SIOC]\r\nIOCP_port=8000\r\nCONFIG_FILE=.\\cockpit.ssi\r\n");

    const auto parameters = getSiocParameters();
    EXPECT_EQ(parameters->host, "127.0.0.1");
    EXPECT_EQ(parameters->port, 8000);
    EXPECT_EQ(parameters->script, native(drives->roots['D'] / "SIOC" / "cockpit.ssi"));
}

TEST_F(SiocDiscoveryTest, CfgEntriesWinOverSiocIni)
{
    writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS=10.0.0.7\nIOCP_port = 9000\n");
    install(drive('C') / "SIOC", "IOCP_port=8000\nCONFIG_FILE=cockpit.lst\n");

    const auto parameters = getSiocParameters();
    EXPECT_EQ(parameters->host, "10.0.0.7");
    EXPECT_EQ(parameters->port, 9000);
    EXPECT_EQ(parameters->script, native(drives->roots['C'] / "SIOC" / "cockpit.ssi"));
}

TEST_F(SiocDiscoveryTest, IOCardsFolderIsTriedOnEveryDriveBeforePlainSioc)
{
    install(drive('C') / "SIOC", "IOCP_port=1111\nCONFIG_FILE=c.ssi\n");
    install(drive('D') / "IOCards" / "SIOC", "IOCP_port=2222\nCONFIG_FILE=d.ssi\n");

    const auto parameters = getSiocParameters();
    EXPECT_EQ(parameters->port, 2222);
    EXPECT_EQ(parameters->script, native(drives->roots['D'] / "IOCards" / "SIOC" / "d.ssi"));
}

TEST_F(SiocDiscoveryTest, ProgramFilesFoldersComeAfterTheDriveRootsAndAreTriedOnEveryDrive)
{
    drives->programs = {"Program Files", "Program Files (x86)"};
    install(drive('C') / "Program Files (x86)" / "SIOC", "IOCP_port=1111\nCONFIG_FILE=a.ssi\n");
    install(drive('E') / "Program Files" / "IOCards" / "SIOC", "IOCP_port=3333\nCONFIG_FILE=a.ssi\n");
    EXPECT_EQ(getSiocParameters()->port, 3333);

    install(drive('F') / "SIOC", "IOCP_port=4444\nCONFIG_FILE=a.ssi\n");
    EXPECT_EQ(getSiocParameters()->port, 4444);
}

TEST_F(SiocDiscoveryTest, SearchTakesTheFirstFolderNamedExactlySiocOfEachDrive)
{
    // C: its first "SIOC" has no sioc.ini, so C: yields nothing, not even the one inside it.
    install(drive('C') / "Games" / "SIOC" / "SIOC", "IOCP_port=1111\nCONFIG_FILE=a.ssi\n");
    // D: the name must match in case too.
    install(drive('D') / "Tools" / "sioc", "IOCP_port=2222\nCONFIG_FILE=a.ssi\n");
    install(drive('E') / "Cockpit" / "Software" / "SIOC", "IOCP_port=3333\nCONFIG_FILE=e.ssi\n");

    const auto parameters = getSiocParameters();
    EXPECT_EQ(parameters->port, 3333);
    EXPECT_EQ(parameters->script, native(drives->roots['E'] / "Cockpit" / "Software" / "SIOC" / "e.ssi"));
}

TEST_F(SiocDiscoveryTest, WithoutAnInstallationTheWorkingDirectoryServes)
{
    fs::create_directories(drive('C') / "Empty" / "SIOC");
    writeFile("sioc.ini", "IOCP_port=8092\nCONFIG_FILE=.\\scripts\\cockpit.ssi\n");

    const auto parameters = getSiocParameters();
    EXPECT_EQ(parameters->host, "127.0.0.1");
    EXPECT_EQ(parameters->port, 8092);
    EXPECT_EQ(parameters->script, native(fs::current_path() / "scripts" / "cockpit.ssi"));

    g_driveProvider.reset(); // as on a system without drive letters
    EXPECT_EQ(getSiocParameters()->port, 8092);
}

TEST_F(SiocDiscoveryTest, SearchEndsDiscoveryWhenADriveCannotBeWalked)
{
    drives->roots['C'] = dir / "no-such-drive";
    const std::string error = errorOf(discover);
    EXPECT_NE(error.find("recursive_directory_iterator::recursive_directory_iterator"), std::string::npos) << error;
}

TEST_F(SiocDiscoveryTest, EntriesWhoseStatusIsGoneArePassedOver)
{
    fs::create_directories(drive('C') / "a");
    std::error_code ignored; // where links cannot be made the search must still succeed
    fs::create_directory_symlink(dir / "gone", drives->roots['C'] / "a" / "broken", ignored);
    install(drives->roots['C'] / "a" / "z" / "SIOC", "IOCP_port=1111\nCONFIG_FILE=a.ssi\n");
    EXPECT_EQ(getSiocParameters()->port, 1111);
}

TEST_F(SiocDiscoveryTest, NeitherFileIsCode11)
{
    drive('C');
    EXPECT_EQ(errorOf(discover), "11: sioc.ini and Talvesync.cfg not found");
    fs::create_directory("Talvesync.cfg");
    EXPECT_EQ(errorOf(discover), "11: sioc.ini and Talvesync.cfg not found (Talvesync.cfg is not a regular file)");
}

TEST_F(SiocDiscoveryTest, AHostNameIsNotTakenAndTheErrorSaysWhy)
{
    g_log.open();
    writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS = simpc.local \nIOCP_port=8092\nCONFIG_FILE=a.ssi\n");
    EXPECT_EQ(errorOf(discover),
              "14: IOCP_HOSTADDRESS information is missing in Talvesync.cfg (simpc.local is not an IPv4 address)");
    g_log.close();
    EXPECT_NE(readFile("Log.txt").find("\nIOCP_HOSTADDRESS=simpc.local in Talvesync.cfg is not an IPv4 address\n"),
              std::string::npos);
}

TEST_F(SiocDiscoveryTest, AByteOrderMarkBeforeTheFirstKeyOfEitherFileIsSkipped)
{
    writeFile("Talvesync.cfg", "\xEF\xBB\xBFIOCP_HOSTADDRESS=10.0.0.3\r\n");
    writeFile("sioc.ini", "\xEF\xBB\xBFIOCP_port=8093\r\nCONFIG_FILE=a.ssi\r\n");
    const auto parameters = getSiocParameters();
    EXPECT_EQ(parameters->host, "10.0.0.3");
    EXPECT_EQ(parameters->port, 8093);
}

TEST_F(SiocDiscoveryTest, MissingEntriesNameKeyAndSource)
{
    writeFile("Talvesync.cfg", "IOCP_port=8092\n");
    EXPECT_EQ(errorOf(discover), "14: IOCP_HOSTADDRESS information is missing in Talvesync.cfg");

    writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS=10.0.0.1\nCONFIG_FILE=x.ssi\n");
    EXPECT_EQ(errorOf(discover), "15: IOCP_port information is missing in Talvesync.cfg");

    writeFile("Talvesync.cfg", "IOCP_HOSTADDRESS=10.0.0.1\n");
    writeFile("sioc.ini", "IOCP_port=8092\n");
    EXPECT_EQ(errorOf(discover), "16: CONFIG_FILE information is missing in merge of sioc.ini and  Talvesync.cfg");

    fs::remove("Talvesync.cfg");
    EXPECT_EQ(errorOf(discover), "16: CONFIG_FILE information is missing in sioc.ini");
}

TEST_F(SiocDiscoveryTest, ScriptMustBeSsiOrLst)
{
    install(drive('C') / "SIOC", "IOCP_port=8092\nCONFIG_FILE=cockpit.txt\n");
    EXPECT_EQ(errorOf(discover),
              "17: " + native(drives->roots['C'] / "SIOC" / "cockpit.txt") + " has no .ssi or .lst extension");

    // Case matters, as it does for the search.
    writeFile("Talvesync.cfg", "CONFIG_FILE=D:\\Cockpit.SSI\n");
    EXPECT_EQ(errorOf(discover), "17: D:\\Cockpit.SSI has no .ssi or .lst extension");
}

TEST_F(SiocDiscoveryTest, PortZeroOrBeyond16BitsIsNotTakenButReported)
{
    g_log.open();
    writeFile("sioc.ini", "IOCP_port=73628\nCONFIG_FILE=a.ssi\n");
    EXPECT_EQ(errorOf(discover), "15: IOCP_port information is missing in sioc.ini (73628 is not a port number)");

    writeFile("sioc.ini", "IOCP_port=-1\nCONFIG_FILE=a.ssi\n");
    EXPECT_EQ(errorOf(discover), "15: IOCP_port information is missing in sioc.ini (-1 is not a port number)");

    // Nothing listens on port 0: taking it would only fail every connection attempt.
    writeFile("sioc.ini", "IOCP_port=0\nCONFIG_FILE=a.ssi\n");
    EXPECT_EQ(errorOf(discover), "15: IOCP_port information is missing in sioc.ini (0 is not a port number)");

    // A bad port in Talvesync.cfg leaves sioc.ini's port in charge, and the log says why.
    writeFile("sioc.ini", "IOCP_port=8092\nCONFIG_FILE=a.ssi\n");
    writeFile("Talvesync.cfg", "IOCP_port=99999999999\n");
    EXPECT_EQ(getSiocParameters()->port, 8092);
    g_log.close();
    EXPECT_NE(readFile("Log.txt").find("IOCP_port=99999999999 in Talvesync.cfg is not a port number\n"),
              std::string::npos);

    writeFile("sioc.ini", "IOCP_port=65535\nCONFIG_FILE=a.ssi\n");
    EXPECT_EQ(getSiocParameters()->port, 65535);
}

TEST(SiocScriptPathTest, BackslashPathsOfSiocIniAreResolvedAgainstTheSiocFolder)
{
    const fs::path folder = fs::path("base") / "SIOC";
    const auto native = [](const fs::path& path) { return gf_pathText(fs::path(path).make_preferred()); };
    EXPECT_EQ(gf_resolveScriptPath(".\\cockpit.ssi", folder), native(folder / "cockpit.ssi"));
    EXPECT_EQ(gf_resolveScriptPath("scripts\\cockpit.ssi", folder), native(folder / "scripts" / "cockpit.ssi"));
    // A ".\" inside the value is part of the path, not a "here" to cut out.
    EXPECT_EQ(gf_resolveScriptPath("..\\scripts\\cockpit.ssi", folder),
              native(folder / ".." / "scripts" / "cockpit.ssi"));
    EXPECT_EQ(gf_resolveScriptPath("E:\\cockpit.ssi", folder), "E:\\cockpit.ssi");
}

TEST(SiocParametersTest, DescriptionListsThePresentEntries)
{
    SiocParameters parameters;
    EXPECT_EQ(describeSiocParameters(parameters), "");
    parameters.host = "127.0.0.1";
    parameters.script = "D:\\SIOC\\cockpit.ssi";
    EXPECT_EQ(describeSiocParameters(parameters), " IOCP_HOSTADDRESS=127.0.0.1\n CONFIG_FILE=D:\\SIOC\\cockpit.ssi\n");
    parameters.port = 8092;
    EXPECT_EQ(describeSiocParameters(parameters),
              " IOCP_HOSTADDRESS=127.0.0.1\n IOCP_port=8092\n CONFIG_FILE=D:\\SIOC\\cockpit.ssi\n");
}

} // namespace
} // namespace brg
