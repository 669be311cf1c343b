#include "support/TestSupport_win.h"

#include <stdexcept>

#include "platform/FileStore.h"
#include "platform/TextCodec.h"

namespace hostdeck::testing {

ScratchRegistryKey::ScratchRegistryKey(HKEY root, std::wstring path, REGSAM view)
    : root_(root), path_(std::move(path)), view_(view) {
    if (RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr,
                        key_.put(), nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create test registry key");
    }
}

ScratchRegistryKey::~ScratchRegistryKey() {
    RegDeleteTreeW(key_.get(), nullptr);
    key_.reset();
    RegDeleteKeyExW(root_, path_.c_str(), view_, 0);
}

void ScratchRegistryKey::set(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    RegSetValueExW(key_.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; !condition(); Sleep(20)) {
        if (GetTickCount64() > deadline) return false;
    }
    return true;
}

std::wstring testProgramFolder() {
    wchar_t self[MAX_PATH * 4];
    const std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH * 4));
    return path.substr(0, path.find_last_of(L'\\'));
}

std::vector<std::wstring> waitForLines(const std::wstring& path, std::size_t count) {
    std::vector<std::wstring> lines;
    waitUntil(
        [&] {
            std::string bytes;
            makeSystemFileStore()->readAll(path, bytes);
            const std::wstring text = decodeText(bytes, Encoding::Utf8);
            lines.clear();
            for (std::size_t start = 0, end; (end = text.find(L'\n', start)) != text.npos;
                 start = end + 1)
                lines.push_back(text.substr(start, end - start));
            return lines.size() >= count;
        },
        20000);
    return lines;
}

}  // namespace hostdeck::testing
