#include "platform/NewerWindows_win.h"

#include "platform/UniqueHandle_win.h"

namespace hostdeck {

namespace {

// GetProcAddress gives a generic function pointer; void(*)() passes between function types
// without a warning.
template <typename Function>
void lookUp(Function& function, const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module);
    const FARPROC found = loaded ? GetProcAddress(loaded, name) : nullptr;
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

NewerWindows lookUpAll() {
    NewerWindows found;
    lookUp(found.getDpiForWindow, L"user32.dll", "GetDpiForWindow");
    lookUp(found.adjustWindowRectExForDpi, L"user32.dll", "AdjustWindowRectExForDpi");
    lookUp(found.setDefaultDllDirectories, L"kernel32.dll", "SetDefaultDllDirectories");
    return found;
}

// Looked up as the program starts, before WinMain: no lock is needed for a first use.
NewerWindows found = lookUpAll();

}  // namespace

NewerWindows& newerWindows() { return found; }

UINT windowDpi(HWND window) {
    if (newerWindows().getDpiForWindow) return newerWindows().getDpiForWindow(window);
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
