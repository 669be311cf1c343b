#include "platform/Clipboard_win.h"

#include <cstring>

#include "platform/ScopeGuard.h"
#include "platform/SystemMessage_win.h"
#include "platform/UniqueHandle_win.h"

namespace hostdeck {

namespace {

// Memory for the clipboard: freed here unless the clipboard took it.
struct GlobalMemoryTraits {
    using Type = HGLOBAL;
    static bool valid(Type memory) { return memory != nullptr; }
    static void close(Type memory) { ::GlobalFree(memory); }
};

}  // namespace

Result putOnClipboard(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueHandle<GlobalMemoryTraits> memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return systemFailure(GetLastError());
    void* locked = GlobalLock(memory.get());
    if (!locked) return systemFailure(GetLastError());
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    if (!OpenClipboard(owner)) return systemFailure(GetLastError());
    const ScopeGuard closed([] { CloseClipboard(); });
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return systemFailure(GetLastError());
    memory.release();  // the clipboard's now
    return Result::success();
}

std::wstring clipboardText(HWND owner) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return {};
    const ScopeGuard closed([] { CloseClipboard(); });
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!text) return {};
    const ScopeGuard unlocked([data] { GlobalUnlock(data); });
    const std::wstring_view all(text, GlobalSize(data) / sizeof(wchar_t));
    return std::wstring(all.substr(0, all.find(L'\0')));
}

std::vector<std::wstring> filesIn(HDROP files) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(files, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(files, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(std::move(path));
    }
    return paths;
}

std::vector<std::wstring> clipboardFiles(HWND owner) {
    if (!IsClipboardFormatAvailable(CF_HDROP) || !OpenClipboard(owner)) return {};
    const ScopeGuard closed([] { CloseClipboard(); });
    const HANDLE data = GetClipboardData(CF_HDROP);
    return data ? filesIn(static_cast<HDROP>(data)) : std::vector<std::wstring>{};
}

}  // namespace hostdeck
