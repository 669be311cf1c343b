#pragma once

#include <span>
#include <string_view>

#include "serverlist/ServerListModel.h"

// The list's commands beyond the window's buttons: what players ask of a server list (start,
// copy the address, a desktop shortcut, take a change back, their own order, servers brought
// in from elsewhere). One table holds them; the window's keys and the list's menu both read it,
// so a new command is one id and one row, and the window's run() names what it does.
namespace hostdeck {

// Each command's id, which a menu item, a key or a test names.
enum class CommandId {
    Start,
    CopyAddress,
    CreateShortcut,
    Undo,
    MoveUp,
    MoveDown,
    PasteServers,
    ImportServers,
    ExportServers,
    PasteAddress,
    Count
};

// What a command's text and availability depend on.
struct ListState {
    bool onEntry = false;  // the menu is at an entry, or the keys go to a selected one
    const ServerListModel* model = nullptr;
};

// The keys, as Windows codes them (virtual-key codes), so that the table stays portable.
namespace keys {
inline constexpr unsigned kReturn = 0x0D, kInsert = 0x2D, kUp = 0x26, kDown = 0x28;
inline constexpr unsigned kNone = 0, kCtrl = 1, kShift = 2, kAlt = 4;  // modifiers
inline constexpr unsigned kPasteMessage = 0x0302;                      // WM_PASTE
}  // namespace keys

struct ListCommand {
    CommandId id;
    // Its item in the list's menu, in order, with "&" before the access key; none: no item.
    std::wstring_view (*text)(const ListState&);
    int control;  // the control its keys and message go to
    struct Key {
        unsigned code;  // 0: none
        unsigned modifiers;
    } keys[2];
    unsigned message;  // a message of that control that runs it (WM_PASTE); 0: none
    bool isDefault;    // the menu's default item, as a double-click
    bool repeats;      // a held key runs it again with each repeat
    // Otherwise it is greyed in the menu, and its keys do nothing.
    bool (*available)(const ListState&);
};

// The table, in the menu's order.
std::span<const ListCommand> listCommands();

}  // namespace hostdeck
