#pragma once

#include <windows.h>

namespace hostdeck {

// The functions the program uses that Windows 7 SP1 lacks: looked up once, as the program
// starts (before WinMain), so that it starts on every Windows from 7 SP1 on. An entry is empty
// where the system does not have the function; the helpers below then fall back.
struct NewerWindows {
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;  // Windows 10, version 1607
    BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;  // same
    // Windows 8.1 (shcore.dll): the DPI of one monitor, where a window of a program that is
    // aware of each monitor's DPI is drawn. The second argument is MDT_EFFECTIVE_DPI (0).
    HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
    BOOL(WINAPI* setDefaultDllDirectories)(DWORD) = nullptr;  // Windows 8; 7 with KB2533623
};
// The one place they are looked up, as the program starts. The tests empty entries to run the
// fallbacks.
NewerWindows& newerWindows();

// The window's DPI; where Windows has no per-window DPI, its monitor's (Windows 8.1 to 10
// before version 1607); on Windows 7 and 8, the system's.
UINT windowDpi(HWND window);
// The window rectangle for this client rectangle at `dpi`.
void adjustFrameForDpi(RECT& rect, DWORD style, UINT dpi);
// DLLs are loaded from the system folder only where Windows can say so; elsewhere at least
// never from the current folder.
void restrictDllSearch();

}  // namespace hostdeck
