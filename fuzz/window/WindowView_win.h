#pragma once
// What the user sees of the program: its window, list, fields, focus, menu and boxes, read
// with messages that cannot hang the driver.

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DriverText_win.h"
#include "form/FormLayout.h"

namespace hostdeck::windowfuzz {

// A message to another process's window that cannot hang the driver: 0 where it is not
// answered in time.
inline int unansweredMessages = 0;  // since the last settle began
inline LRESULT sent(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    if (unansweredMessages > 0) return 0;  // it hangs: no more waits of 2 s each
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, scaled(kAnswerMs), &result)) {
        if (GetLastError() == ERROR_TIMEOUT) ++unansweredMessages;
        return 0;
    }
    return static_cast<LRESULT>(result);
}

// A control's text as the control itself gives it (an edit control's is its own).
inline std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(sent(window, WM_GETTEXTLENGTH)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        sent(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

inline std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// What the user sees of the program at one moment.
struct View {
    HWND main = nullptr;
    std::vector<std::wstring> rows;  // the nicknames the list shows
    int selected = -1;
    std::wstring fields[3];  // nickname, address, port
    bool enabled[3] = {};
    HWND focus = nullptr;
    std::wstring focusText;   // typing shows here while it is taken, also in a dialog
    std::vector<HWND> boxes;  // dialogs and message boxes in front, the topmost first
    bool menuOpen = false;
    bool operator==(const View& o) const {
        return main == o.main && rows == o.rows && selected == o.selected &&
               std::equal(fields, fields + 3, o.fields) &&
               std::equal(enabled, enabled + 3, o.enabled) && focus == o.focus &&
               focusText == o.focusText && boxes == o.boxes && menuOpen == o.menuOpen;
    }
};

struct ProcessWindows {
    DWORD process;
    std::vector<HWND> found;
};

inline BOOL CALLBACK collect(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<ProcessWindows*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.process && IsWindowVisible(window)) search.found.push_back(window);
    return TRUE;
}

inline constexpr int kFieldIds[3] = {kIdNicknameField, kIdAddressField, kIdPortField};

inline bool isFileDialog(HWND box) { return GetDlgItem(box, 0x47c /* cmb13 */) != nullptr; }

inline int countRunning(const wchar_t* exeName) {
    int count = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, exeName) == 0) ++count;
    CloseHandle(snapshot);
    return count;
}

// What the game was started with, from the stand-in's record ("<show>|<command line>").
inline std::wstring gameArguments(const std::wstring& record) {
    const std::size_t at = record.find(L" -s");
    return at == std::wstring::npos ? record : record.substr(at + 1);
}

// Whether the fields can be edited: all, none, or which.
inline std::string fieldStates(const View& v) {
    if (v.enabled[0] == v.enabled[1] && v.enabled[1] == v.enabled[2])
        return v.enabled[0] ? " (editable)" : " (locked)";
    std::string states = " (";
    for (int i = 0; i < 3; ++i)
        states += std::string(i ? ", " : "") + (v.enabled[i] ? "editable" : "locked");
    return states + ")";
}

// A line of the trace: what the user sees.
inline std::string describe(const View& v) {
    if (!v.main) return "the window has gone";
    std::string out = std::to_string(v.rows.size()) + " rows, selected " +
                      std::to_string(v.selected) + ", fields " + shown(v.fields[0]) + " " +
                      shown(v.fields[1]) + " " + shown(v.fields[2]) + fieldStates(v);
    if (v.menuOpen) out += ", the menu is open";
    for (HWND box : v.boxes) out += ", a box says " + shown(windowText(GetDlgItem(box, 0xFFFF)));
    return out;
}

inline View lookAt(HWND main, DWORD processId) {
    View v;
    v.main = main;
    if (!IsWindow(v.main)) {
        v.main = nullptr;
        return v;
    }
    const HWND list = GetDlgItem(v.main, kIdServerNickList);
    const LRESULT count = sent(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring row(static_cast<std::size_t>(sent(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        row.resize(static_cast<std::size_t>(
            std::max<LRESULT>(0, sent(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data())))));
        v.rows.push_back(row);
    }
    v.selected = static_cast<int>(sent(list, LB_GETCURSEL, 0, 0));
    for (int i = 0; i < 3; ++i) {
        const HWND field = GetDlgItem(v.main, kFieldIds[i]);
        v.fields[i] = windowText(field);
        v.enabled[i] = IsWindowEnabled(field);
    }
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(v.main, nullptr), &gui)) {
        v.focus = gui.hwndFocus;
        if (v.focus) v.focusText = windowText(v.focus);
        v.menuOpen = (gui.flags & GUI_INMENUMODE) != 0;
    }
    ProcessWindows windows{processId, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
    for (HWND w : windows.found) {
        const std::wstring name = className(w);
        if (name == L"#32770") v.boxes.push_back(w);
        if (name == L"#32768") v.menuOpen = true;
    }
    return v;
}

}  // namespace hostdeck::windowfuzz
