#include "platform/Shell.h"

#include <windows.h>
#include <shellapi.h>

namespace hostdeck {

namespace {

const wchar_t* orNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

class Win32Shell final : public Shell {
  public:
    std::uintptr_t desktopWindow() override {
        return reinterpret_cast<std::uintptr_t>(GetDesktopWindow());
    }

    std::intptr_t execute(std::uintptr_t owner, const std::wstring& verb, const std::wstring& file,
                          const std::wstring& parameters, const std::wstring& directory,
                          int show) override {
        return reinterpret_cast<std::intptr_t>(
            ShellExecuteW(reinterpret_cast<HWND>(owner), orNull(verb), file.c_str(),
                          orNull(parameters), orNull(directory), show));
    }

    void processWaitingMessages() override {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the main loop
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    std::wstring systemFolder() override {
        wchar_t buffer[MAX_PATH];
        const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return {};
        return std::wstring(buffer, length);
    }
};

}  // namespace

std::unique_ptr<Shell> makeSystemShell() { return std::make_unique<Win32Shell>(); }

}  // namespace hostdeck
