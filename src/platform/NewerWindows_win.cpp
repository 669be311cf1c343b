#include "platform/NewerWindows_win.h"

#include <string>

#include "platform/UniqueHandle_win.h"

namespace hostdeck {

namespace {

// GetProcAddress gives a generic function pointer; void(*)() passes between function types
// without a warning.
template <typename Function>
void lookUp(Function& function, HMODULE module, const char* name) {
    const FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// A DLL that the program does not import, loaded from the system folder by its full path (never
// found by the search, which this early is not restricted yet); null where Windows lacks it. It
// stays loaded while the program runs.
HMODULE loadSystemDll(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    path.resize(length);
    return LoadLibraryW((path + L"\\" + name).c_str());
}

NewerWindows lookUpAll() {
    NewerWindows found;
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    lookUp(found.getDpiForWindow, user32, "GetDpiForWindow");
    lookUp(found.adjustWindowRectExForDpi, user32, "AdjustWindowRectExForDpi");
    // Needed only where the per-window call is missing: no DLL loaded for it elsewhere.
    if (!found.getDpiForWindow)
        lookUp(found.getDpiForMonitor, loadSystemDll(L"shcore.dll"), "GetDpiForMonitor");
    lookUp(found.setDefaultDllDirectories, GetModuleHandleW(L"kernel32.dll"),
           "SetDefaultDllDirectories");
    return found;
}

// Looked up as the program starts, before WinMain: no lock is needed for a first use.
NewerWindows found = lookUpAll();

}  // namespace

NewerWindows& newerWindows() { return found; }

UINT windowDpi(HWND window) {
    if (newerWindows().getDpiForWindow) return newerWindows().getDpiForWindow(window);
    UINT x = 0, y = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (newerWindows().getDpiForMonitor &&
        SUCCEEDED(newerWindows().getDpiForMonitor(
            MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y)) &&
        y > 0)
        return y;
    const ScreenDC screen;
    return static_cast<UINT>(GetDeviceCaps(screen.get(), LOGPIXELSY));
}

void adjustFrameForDpi(RECT& rect, DWORD style, UINT dpi) {
    if (newerWindows().adjustWindowRectExForDpi) {
        newerWindows().adjustWindowRectExForDpi(&rect, style, FALSE, 0, dpi);
    } else {
        AdjustWindowRectEx(&rect, style, FALSE, 0);  // at the system DPI, the only one there is
    }
}

void restrictDllSearch() {
    if (newerWindows().setDefaultDllDirectories) {
        newerWindows().setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    } else {
        SetDllDirectoryW(L"");  // takes the current folder out of the search
    }
}

}  // namespace hostdeck
