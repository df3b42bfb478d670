// A test helper for the end-to-end run of Talvesync.exe: it works the Variables window from
// outside, as another program would, through the windows' own messages.
//   listview-dump open           the main window's system menu item "Variables..."
//   listview-dump close          the main window's close button (WM_CLOSE to it alone)
//   listview-dump filter TEXT    types TEXT into the filter box
//   listview-dump move X Y W H   moves the Variables window
//   listview-dump rows           prints the list's rows as the list view gives them, cells
//                                separated by '|', one row a line
// Exit status 1 when a window is not there.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr UINT kOpenCommand = 0x0110; // the Variables window's system menu command
constexpr int kColumns = 8;
constexpr SIZE_T kTextChars = 512;

int lf_fail(const char* what)
{
    std::fprintf(stderr, "listview-dump: %s\n", what);
    return 1;
}

std::string lf_narrow(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

// LVM_GETITEMTEXTW writes into the list's own process: the item and its text buffer live there.
int lf_rows(HWND list)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return lf_fail("cannot open the program's process");
    const SIZE_T size = sizeof(LVITEMW) + kTextChars * sizeof(wchar_t);
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!remote)
        return lf_fail("cannot allocate in the program's process");
    auto* remoteText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::string line;
        for (int column = 0; column < kColumns; ++column) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = column;
            item.pszText = remoteText;
            item.cchTextMax = static_cast<int>(kTextChars);
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                             reinterpret_cast<LPARAM>(remote));
            std::vector<wchar_t> text(kTextChars + 1, L'\0');
            if (length > 0)
                ReadProcessMemory(process, remoteText, text.data(), kTextChars * sizeof(wchar_t), nullptr);
            line += (column ? "|" : "") + lf_narrow(text.data());
        }
        std::printf("%s\n", line.c_str());
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return lf_fail("usage: listview-dump open|close|filter TEXT|move X Y W H|rows");
    const std::wstring command = argv[1];
    if (command == L"open" || command == L"close") {
        HWND main = FindWindowW(L"Talvesync", nullptr);
        if (!main)
            return lf_fail("no Talvesync window");
        if (command == L"open")
            PostMessageW(main, WM_SYSCOMMAND, kOpenCommand, 0);
        else
            PostMessageW(main, WM_CLOSE, 0, 0);
        return 0;
    }
    HWND window = FindWindowW(L"TalvesyncVariables", nullptr);
    if (!window)
        return lf_fail("no Variables window");
    if (command == L"filter" && argc == 3) {
        HWND filter = FindWindowExW(window, nullptr, L"Edit", nullptr);
        if (!filter)
            return lf_fail("no filter box");
        SendMessageW(filter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
        return 0;
    }
    if (command == L"move" && argc == 6) {
        MoveWindow(window, _wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]), TRUE);
        return 0;
    }
    if (command == L"rows") {
        HWND list = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
        return list ? lf_rows(list) : lf_fail("no list view");
    }
    return lf_fail("unknown command");
}
