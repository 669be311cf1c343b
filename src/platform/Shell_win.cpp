#include "platform/Shell.h"

#include <windows.h>
#include <shellapi.h>
#include <shobjidl.h>

#include "platform/SystemMessage_win.h"
#include "platform/UniqueHandle_win.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

const wchar_t* orNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// The shell link's ids here rather than from uuid.lib: mingw's brings every known GUID.
constexpr CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kShellLinkW = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

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

    Result createShortcut(const std::wstring& path, const std::wstring& target,
                          const std::wstring& arguments, const std::wstring& folder) override {
        ComPointer<IShellLinkW> link;
        ComPointer<IPersistFile> file;
        HRESULT result =
            CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kShellLinkW, link.put());
        if (SUCCEEDED(result)) result = link->SetPath(target.c_str());
        if (SUCCEEDED(result)) result = link->SetArguments(arguments.c_str());
        if (SUCCEEDED(result)) result = link->SetWorkingDirectory(folder.c_str());
        if (SUCCEEDED(result)) result = link->SetIconLocation(target.c_str(), 0);
        if (SUCCEEDED(result)) result = link->QueryInterface(kPersistFile, file.put());
        if (SUCCEEDED(result)) result = file->Save(path.c_str(), TRUE);
        if (SUCCEEDED(result)) return Result::success();
        return systemFailure(static_cast<DWORD>(result), texts::kShortcutNotCreated, path);
    }

    std::optional<std::wstring> shortcutArguments(const std::wstring& path) override {
        ComPointer<IShellLinkW> link;
        ComPointer<IPersistFile> file;
        HRESULT result =
            CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kShellLinkW, link.put());
        if (SUCCEEDED(result)) result = link->QueryInterface(kPersistFile, file.put());
        if (SUCCEEDED(result)) result = file->Load(path.c_str(), STGM_READ);
        wchar_t arguments[INFOTIPSIZE] = {};  // the longest a shortcut's arguments can be
        if (SUCCEEDED(result)) result = link->GetArguments(arguments, INFOTIPSIZE);
        if (FAILED(result)) return std::nullopt;
        return std::wstring(arguments);
    }
};

}  // namespace

std::unique_ptr<Shell> makeSystemShell() { return std::make_unique<Win32Shell>(); }

}  // namespace hostdeck
