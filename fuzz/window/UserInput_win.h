#pragma once
// Real input, as a user gives it: keys (held or not), typing, clicks, and the clipboard.

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace hostdeck::windowfuzz {

// A key with the modifiers held while it is pressed.
struct KeyStroke {
    WORD key;
    WORD held = 0;  // VK_MENU, VK_CONTROL or VK_SHIFT
    const char* name;
};

inline constexpr KeyStroke kKeys[] = {
    {VK_RETURN, 0, "Enter"},
    {VK_ESCAPE, 0, "Escape"},
    {VK_TAB, 0, "Tab"},
    {VK_TAB, VK_SHIFT, "Shift+Tab"},
    {VK_DELETE, 0, "Delete"},
    {VK_UP, 0, "Up"},
    {VK_DOWN, 0, "Down"},
    {VK_HOME, 0, "Home"},
    {VK_END, 0, "End"},
    {VK_UP, VK_MENU, "Alt+Up"},
    {VK_DOWN, VK_MENU, "Alt+Down"},
    {'C', VK_CONTROL, "Ctrl+C"},
    {'V', VK_CONTROL, "Ctrl+V"},
    {VK_INSERT, VK_SHIFT, "Shift+Insert"},
    {'Z', VK_CONTROL, "Ctrl+Z"},
    {'D', VK_MENU, "Alt+D"},
    {'E', VK_MENU, "Alt+E"},
    {'A', VK_MENU, "Alt+A"},
    {VK_F10, VK_SHIFT, "Shift+F10"},
    {VK_APPS, 0, "Menu key"},
    {VK_SPACE, 0, "Space"},
    {VK_BACK, 0, "Backspace"},
    {VK_INSERT, VK_CONTROL, "Ctrl+Insert"},
    {'X', 0, "X"},
};

inline void keyEvent(WORD key, bool down, bool repeat = false) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    const bool extended = key == VK_UP || key == VK_DOWN || key == VK_HOME || key == VK_END ||
                          key == VK_DELETE || key == VK_INSERT || key == VK_APPS;
    if (extended) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    static_cast<void>(repeat);
    SendInput(1, &input, sizeof input);
}

inline void press(const KeyStroke& k, int repeats = 1) {
    if (k.held) keyEvent(k.held, true);
    for (int i = 0; i < repeats; ++i) keyEvent(k.key, true, i > 0);
    keyEvent(k.key, false);
    if (k.held) keyEvent(k.held, false);
}

inline void typeText(std::wstring_view text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        if (c < 0x20) continue;  // a line end or a tab is a key of its own
        for (DWORD up : {0UL, static_cast<unsigned long>(KEYEVENTF_KEYUP)}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
            inputs.push_back(input);
        }
    }
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

inline void click(POINT at, int times = 1, bool right = false) {
    SetCursorPos(at.x, at.y);
    for (int i = 0; i < times; ++i) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
    }
}

inline POINT centreOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

inline bool putTextOnClipboard(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (auto* p = static_cast<wchar_t*>(GlobalLock(memory))) {
        std::wmemcpy(p, text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
    }
    CloseClipboard();
    return true;
}

// DROPFILES followed by the paths, each ending in NUL, and one NUL more.
inline std::string dropFiles(const std::vector<std::wstring>& paths) {
    DROPFILES head{};
    head.pFiles = sizeof head;
    head.fWide = TRUE;
    std::string bytes(reinterpret_cast<const char*>(&head), sizeof head);
    for (const std::wstring& path : paths)
        bytes.append(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * 2);
    bytes.append(2, '\0');
    return bytes;
}

inline void putFilesOnClipboard(const std::vector<std::wstring>& paths) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    const std::string bytes = dropFiles(paths);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (void* p = GlobalLock(memory)) {
        std::memcpy(p, bytes.data(), bytes.size());
        GlobalUnlock(memory);
        SetClipboardData(CF_HDROP, memory);
    }
    CloseClipboard();
}

}  // namespace hostdeck::windowfuzz
