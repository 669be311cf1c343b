#include "support/TestSupport_win.h"

#include <algorithm>
#include <stdexcept>

#include "platform/FileStore.h"

namespace hostdeck::testing {

ScratchRegistryKey::ScratchRegistryKey(std::wstring keyPath, REGSAM keyView)
    : path(std::move(keyPath)), view(keyView) {
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create test registry key");
}

ScratchRegistryKey::~ScratchRegistryKey() {
    RegDeleteTreeW(key.get(), nullptr);
    key.reset();
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
}

void ScratchRegistryKey::setText(const wchar_t* name, const std::wstring& text, DWORD type) {
    RegSetValueExW(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; !condition(); Sleep(20))
        if (GetTickCount64() > deadline) return false;
    return true;
}

std::wstring waitForLines(const std::wstring& path, std::size_t count) {
    std::wstring text;
    waitUntil(
        [&] {
            std::string bytes;
            makeSystemFileStore()->readAll(path, bytes);
            text.assign(reinterpret_cast<const wchar_t*>(bytes.data()),
                        bytes.size() / sizeof(wchar_t));
            return static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\n')) >= count;
        },
        20000);
    return text;
}

}  // namespace hostdeck::testing
