#include "app/version.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    MessageBoxW(nullptr, L"The bridge is not yet runnable in this build.", L"Talvesync", MB_OK);
    return 0;
}
