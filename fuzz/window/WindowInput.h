#pragma once
// What one input of the window fuzzer means: a first byte that picks the list file the program
// starts on, then actions of two bytes each (what, and a byte that says where or which).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hostdeck::windowfuzz {

enum class Op : std::uint8_t {
    ClickRow,        // a click on a visible row or below the last one
    DoubleClickRow,  // the same, twice quickly
    ClickButton,     // Delete Server, Edit Server, Add Server
    Key,             // one key (with Alt, Ctrl or Shift) to the control that has the focus
    HeldKey,         // the same key held down: it repeats before it is let go
    ClickField,      // a click into the nickname, address or port field
    Type,            // a text typed key by key
    Paste,           // a text (or files) put on the clipboard, then Ctrl+V or Shift+Insert
    Menu,            // the list's menu: right-click, Shift+F10, the Menu key
    AccessKey,       // a letter: a menu item's access key where a menu is open
    Import,          // files dropped on the window, or a file named in the Open dialog
    Answer,          // Enter, Escape, a button, the close box or Alt+F4 on the box in front
    Disk,            // another program rewrites, deletes, locks or unlocks the list file
    EndOfWindows,    // asked and called off, carried out, or an installer closing the app
    Close,           // the window's close box; the next action starts it again
    Count
};

struct Action {
    Op op;
    std::uint8_t arg;
};

struct Input {
    std::uint8_t listFile = 0;  // which of the list files the first start finds
    std::vector<Action> actions;
};

inline constexpr std::size_t kMaxActions = 48;

inline Input decode(const std::vector<std::uint8_t>& bytes) {
    Input input;
    if (bytes.empty()) return input;
    input.listFile = bytes[0];
    for (std::size_t i = 1; i + 1 < bytes.size() && input.actions.size() < kMaxActions; i += 2)
        input.actions.push_back(
            {static_cast<Op>(bytes[i] % static_cast<int>(Op::Count)), bytes[i + 1]});
    return input;
}

inline std::vector<std::uint8_t> encode(const Input& input) {
    std::vector<std::uint8_t> bytes{input.listFile};
    for (const Action& a : input.actions) {
        bytes.push_back(static_cast<std::uint8_t>(a.op));
        bytes.push_back(a.arg);
    }
    return bytes;
}

}  // namespace hostdeck::windowfuzz
