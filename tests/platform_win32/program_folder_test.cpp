// Talvesync.exe's command line, and the guard that lets one copy run per folder.
#include "platform/win32/program_folder_win32.h"
#include "support/fresh_state.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <memory>

namespace brg {
namespace {

TEST(ProgramFolder, TakesTheFolderAfterDashCOrAloneAsAShortcutPassesIt)
{
    const struct {
        std::vector<std::wstring> arguments;
        std::wstring folder;
        bool understood;
    } rows[] = {
        {{}, L"", true},
        {{L"-C", L"D:\\Cockpit\\Captain"}, L"D:\\Cockpit\\Captain", true},
        {{L"D:\\Cockpit\\First Officer"}, L"D:\\Cockpit\\First Officer", true},
        {{L"-C"}, L"", false},
        {{L"-x"}, L"", false},
        {{L"-C", L"a", L"b"}, L"", false},
        {{L"a", L"b"}, L"", false},
    };
    for (const auto& row : rows) {
        const ProgramFolderChoice choice = gf_parseProgramFolder(row.arguments);
        EXPECT_EQ(choice.folder, row.folder);
        EXPECT_EQ(!choice.problem.has_value(), row.understood);
    }
    EXPECT_EQ(*gf_parseProgramFolder({L"-C", L"a", L"b"}).problem, L"not understood: -C a b");
}

class FolderLockTest : public test::TempDirTest {};

// Any spelling of the same folder finds the copy that runs there; another folder does not.
TEST_F(FolderLockTest, OneCopyPerFolderWhateverItsSpelling)
{
    std::filesystem::create_directories(dir / "captain");
    std::filesystem::create_directories(dir / "first officer");
    std::filesystem::current_path(dir / "captain");
    auto first = std::make_unique<FolderLock>();
    EXPECT_TRUE(first->acquired());
    EXPECT_EQ(std::filesystem::path(first->folder()), std::filesystem::current_path());
    EXPECT_FALSE(FolderLock().acquired());

    std::wstring otherSpelling = (dir / "CAPTAIN").wstring() + L"\\";
    std::transform(otherSpelling.begin(), otherSpelling.end(), otherSpelling.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    ASSERT_TRUE(SetCurrentDirectoryW(otherSpelling.c_str()));
    EXPECT_FALSE(FolderLock().acquired());

    std::filesystem::current_path(dir / "first officer");
    EXPECT_TRUE(FolderLock().acquired());

    // Once the first copy has ended, its folder is free again.
    std::filesystem::current_path(dir / "captain");
    first.reset();
    EXPECT_TRUE(FolderLock().acquired());
    std::filesystem::current_path(dir);
}

} // namespace
} // namespace brg
