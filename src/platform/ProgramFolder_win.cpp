#include "platform/ProgramFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/UniqueHandle_win.h"

namespace hostdeck {

std::wstring programFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L".";
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            return path.substr(0, path.find_last_of(L"\\/"));
        }
        buffer.resize(buffer.size() * 2);  // a long path
    }
}

std::wstring userFolder() {
    // FOLDERID_LocalAppData, here rather than from uuid.lib: mingw's brings every known GUID.
    constexpr KNOWNFOLDERID kLocalAppData = {
        0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}};
    UniqueCoTaskText path;  // freed also after a failure
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(kLocalAppData, 0, nullptr, path.put()))) folder = path.get();
    return (folder.empty() ? programFolder() : folder) + L"\\Hostdeck";
}

}  // namespace hostdeck
