#include "support/TestSupport_win.h"

#include <stdexcept>

#include "platform/TextCodec.h"

namespace hostdeck::testing {

ScratchRegistryKey::ScratchRegistryKey(HKEY root, std::wstring path, REGSAM view)
    : root_(root), path_(std::move(path)), view_(view) {
    if (RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create test registry key");
    }
}

ScratchRegistryKey::~ScratchRegistryKey() {
    RegDeleteTreeW(key_, nullptr);
    RegCloseKey(key_);
    RegDeleteKeyExW(root_, path_.c_str(), view_, 0);
}

void ScratchRegistryKey::setRaw(const std::wstring& name, DWORD type, const void* data,
                                DWORD size) {
    RegSetValueExW(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

void ScratchRegistryKey::setText(const std::wstring& name, const std::wstring& text) {
    setRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ScratchRegistryKey::setDword(const std::wstring& name, DWORD number) {
    setRaw(name, REG_DWORD, &number, sizeof number);
}

namespace {
struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && lstrcmpW(className, search->className) == 0 &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND findVisibleWindow(DWORD processId, const wchar_t* className) {
    WindowSearch search{processId, className, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring testProgramFolder() {
    wchar_t self[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L'\\'));
}

std::vector<std::wstring> waitForLines(const std::wstring& path, std::size_t count,
                                       DWORD timeoutMs) {
    std::vector<std::wstring> lines;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        lines.clear();
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            std::string bytes(GetFileSize(file, nullptr), '\0');
            DWORD got = 0;
            ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
            CloseHandle(file);
            const std::wstring text = decodeText(bytes, Encoding::Utf8);
            std::size_t start = 0;
            for (std::size_t end; (end = text.find(L'\n', start)) != std::wstring::npos;
                 start = end + 1) {
                lines.push_back(text.substr(start, end - start));
            }
        }
        if (lines.size() >= count) break;
        Sleep(50);
    } while (GetTickCount64() < deadline);
    return lines;
}

}  // namespace hostdeck::testing
