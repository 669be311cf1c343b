#include "platform/ProgramFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/UniqueHandle_win.h"

namespace hostdeck {

std::wstring programPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L".\\hostdeck.exe";
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);  // a long path
    }
}

std::wstring programFolder() {
    const std::wstring path = programPath();
    return path.substr(0, path.find_last_of(L"\\/"));
}

namespace {

// The ids here rather than from uuid.lib: mingw's brings every known GUID.
constexpr KNOWNFOLDERID kLocalAppData = {
    0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}};
constexpr KNOWNFOLDERID kDesktop = {
    0xB4BFCC3A, 0xDB2C, 0x424C, {0xB0, 0x29, 0x7F, 0xE9, 0x9A, 0x87, 0xC6, 0x41}};

std::wstring knownFolder(const KNOWNFOLDERID& id) {
    UniqueCoTaskText path;  // freed also after a failure
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, path.put()))) return path.get();
    return {};
}

}  // namespace

std::wstring userFolder() {
    const std::wstring folder = knownFolder(kLocalAppData);
    return (folder.empty() ? programFolder() : folder) + L"\\Hostdeck";
}

std::wstring desktopFolder() { return knownFolder(kDesktop); }

}  // namespace hostdeck
