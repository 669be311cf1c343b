#pragma once

#include <windows.h>

namespace hostdeck {

// The DPI functions of Windows 10, with the older system-wide answers where they are missing.
UINT dpiForWindow(HWND window);
BOOL adjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace hostdeck
