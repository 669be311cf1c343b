// The list's commands beyond the window's buttons: what players ask of a server list (start,
// copy the address, a desktop shortcut, take a delete back, their own order). One table holds
// them; the keys and the list's menu both read it, so a new command is one row.
#include "app/frmHostdeck_win.h"

#include <commctrl.h>

#include <optional>

#include "app/DesktopStart.h"
#include "app/FormLayout.h"
#include "platform/Clipboard_win.h"
#include "serverlist/AddressPort.h"
#include "texts/UserTexts.h"

namespace hostdeck {

// clang-format off
const frmHostdeck::ListCommand frmHostdeck::kListCommands[] = {
    // A held key repeats only the commands marked so: one press starts one game.
    // menu text                          control            keys                                  message   default repeats needs                run
    {texts::kMenuStart.data(),            kIdServerNickList, {{VK_RETURN, kNone}},                 0,        true,   false,  Needs::Entry,        &frmHostdeck::startServer},
    {texts::kMenuCopyAddress.data(),      kIdServerNickList, {{'C', kCtrl}, {VK_INSERT, kCtrl}},   0,        false,  false,  Needs::Entry,        &frmHostdeck::copyAddress},
    {texts::kMenuCreateShortcut.data(),   kIdServerNickList, {},                                   0,        false,  false,  Needs::Entry,        &frmHostdeck::createDesktopShortcut},
    {texts::kMenuUndoDelete.data(),       kIdServerNickList, {{'Z', kCtrl}},                       0,        false,  true,   Needs::DeletedEntry, &frmHostdeck::undoDelete},
    {texts::kMenuMoveUp.data(),           kIdServerNickList, {{VK_UP, kAlt}},                      0,        false,  true,   Needs::EntryAbove,   &frmHostdeck::moveUp},
    {texts::kMenuMoveDown.data(),         kIdServerNickList, {{VK_DOWN, kAlt}},                    0,        false,  true,   Needs::EntryBelow,   &frmHostdeck::moveDown},
    // Ctrl+V, Shift+Insert and the field's own Paste; Wine's edit control pastes Shift+Insert
    // without WM_PASTE, so the keys are rows too.
    {nullptr,                             kIdAddressField,   {{'V', kCtrl}, {VK_INSERT, kShift}},  WM_PASTE, false,  true,   Needs::Nothing,      &frmHostdeck::pasteAddressPort},
};
// clang-format on

bool frmHostdeck::isAvailable(Needs needs, bool onEntry) const {
    switch (needs) {
        case Needs::Nothing:
            return true;
        case Needs::Entry:
            return onEntry;
        case Needs::DeletedEntry:
            return model_.canUndoDelete();
        case Needs::EntryAbove:
            return onEntry && model_.canMoveCurrent(-1);
        case Needs::EntryBelow:
            return onEntry && model_.canMoveCurrent(1);
    }
    return false;
}

bool frmHostdeck::translateMessage(MSG& message) {
    if (!window_) return false;
    // Alt and a key come as a system key.
    if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
        GetParent(message.hwnd) == window_) {
        const unsigned modifiers = (GetKeyState(VK_CONTROL) < 0 ? kCtrl : kNone) |
                                   (GetKeyState(VK_SHIFT) < 0 ? kShift : kNone) |
                                   (GetKeyState(VK_MENU) < 0 ? kAlt : kNone);
        const int control = GetDlgCtrlID(message.hwnd);
        const bool repeated = (message.lParam & (LPARAM{1} << 30)) != 0;  // the key was down
        for (const ListCommand& command : kListCommands) {
            for (const Key& key : command.keys) {
                if (key.code && key.code == message.wParam && key.modifiers == modifiers &&
                    command.control == control &&
                    isAvailable(command.needs, selectedEntry() != kNoItem))
                    return (repeated && !command.repeats) || (this->*command.run)();
            }
        }
    }
    // Tab, Shift+Tab, Enter and the Alt access keys move between and press the controls.
    return IsDialogMessageW(window_, &message);
}

// The messages of a control that run a command (kListCommands), before the control's own.
void frmHostdeck::attachCommands() {
    for (const ListCommand& command : kListCommands) {
        if (command.message)
            SetWindowSubclass(GetDlgItem(window_, command.control), commandSubclass, 1,
                              reinterpret_cast<DWORD_PTR>(this));
    }
}

LRESULT CALLBACK frmHostdeck::commandSubclass(HWND control, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR id, DWORD_PTR form) {
    auto& self = *reinterpret_cast<frmHostdeck*>(form);
    if (message == WM_NCDESTROY) RemoveWindowSubclass(control, commandSubclass, id);
    for (const ListCommand& command : kListCommands) {
        if (command.message == message && command.control == GetDlgCtrlID(control) &&
            self.isAvailable(command.needs, self.selectedEntry() != kNoItem) &&
            (self.*command.run)())
            return 0;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

// A right-click on an entry selects it first, as a click does: should an entry out for editing
// go back above it, the clicked one stays selected. Shift+F10 and the Menu key open the menu at
// the selected entry; on the list's empty area the commands of an entry are greyed.
LRESULT frmHostdeck::onContextMenu(HWND from, POINT at) {
    if (from != nickList_)
        return DefWindowProcW(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(from),
                              MAKELPARAM(at.x, at.y));
    bool onEntry = false;
    if (at.x == -1 && at.y == -1) {
        const ListIndex selected = selectedEntry();
        onEntry = selected != kNoItem;
        RECT place{};
        if (onEntry) {
            SendMessageW(nickList_, LB_GETITEMRECT, static_cast<WPARAM>(selected),
                         reinterpret_cast<LPARAM>(&place));
        }
        at = {place.left, place.bottom};
        ClientToScreen(nickList_, &at);
    } else {
        POINT inList = at;
        ScreenToClient(nickList_, &inList);
        const ListIndex clicked = entryAt(inList);
        if (clicked != kNoItem && clicked != selectedEntry()) {
            SendMessageW(nickList_, LB_SETCURSEL, static_cast<WPARAM>(clicked), 0);
            lstServerNick_Click();
        }
        // None selected when the entry out for editing could not go back and the user kept it.
        onEntry = clicked != kNoItem && selectedEntry() != kNoItem;
    }
    const UniqueMenu menu(CreatePopupMenu());
    for (std::size_t i = 0; i < std::size(kListCommands); ++i) {
        const ListCommand& command = kListCommands[i];
        if (!command.menuText) continue;
        const bool available = isAvailable(command.needs, onEntry);
        AppendMenuW(menu.get(), MF_STRING | (available ? 0 : MF_GRAYED), i + 1, command.menuText);
        if (command.isDefault && available) SetMenuDefaultItem(menu.get(), i + 1, FALSE);
    }
    const auto chosen = static_cast<std::size_t>(TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr));
    if (window_ && chosen >= 1 && chosen <= std::size(kListCommands))
        (this->*kListCommands[chosen - 1].run)();
    return 0;
}

bool frmHostdeck::startServer() {
    startSelectedServer();
    return true;
}

bool frmHostdeck::copyAddress() {
    const ListIndex selected = selectedEntry();
    if (selected == kNoItem) return true;
    const Result copied = putOnClipboard(
        window_,
        addressPortText(model_.lstServerIP.item(selected), model_.lstServerPort.item(selected)));
    if (!copied.ok()) tell(Question::Tone::Error, texts::fill(texts::kNotCopied, {copied.reason}));
    return true;
}

bool frmHostdeck::pasteAddressPort() {
    const std::optional<AddressPort> pasted = readPastedAddress(clipboardText(window_));
    if (!pasted) return false;
    model_.txtServerIP.setText(pasted->address);
    model_.txtServerPort.setText(pasted->port);
    return true;
}

// The shortcut carries the server's address and port, so that it starts this server whatever
// the list holds by then; the nickname only names it.
bool frmHostdeck::createDesktopShortcut() {
    const ListIndex selected = selectedEntry();
    if (selected == kNoItem) return true;
    if (services_.desktopFolder.empty()) {
        tell(Question::Tone::Error, std::wstring(texts::kNoDesktopFolder));
        return true;
    }
    // Copies: the list may change while the question is open.
    const std::wstring address(model_.lstServerIP.item(selected)),
        port(model_.lstServerPort.item(selected));
    const ShortcutPlace place =
        placeShortcut(services_.desktopFolder, model_.lstServerNick.item(selected), address, port,
                      [&](const std::wstring& path) -> std::optional<std::wstring> {
                          if (!services_.files.exists(path)) return std::nullopt;
                          return services_.shell.shortcutArguments(path).value_or(L"");
                      });
    if (place.replaces &&
        ask({Question::Tone::Warning, Question::Choices::YesNo, Question::Answer::No,
             texts::fill(texts::kShortcutExists, {place.path, *place.replaces})}) !=
            Question::Answer::Yes)
        return true;
    const Result made = services_.shell.createShortcut(
        place.path, services_.program, shortcutArguments(address, port), services_.folder);
    if (!made.ok()) tell(Question::Tone::Error, made.reason);
    return true;
}

bool frmHostdeck::undoDelete() {
    const Result back = model_.undoDelete();
    if (!back.ok() && back.status != Result::Status::Cancelled)
        tell(Question::Tone::Warning, texts::fill(texts::kNotPutBack, {back.reason}));
    return true;
}

// The selected entry, once an entry out for editing is back; it stays selected.
bool frmHostdeck::moveSelected(ListIndex by) {
    if (session_.takeSelection(listSelection())) model_.moveCurrent(by);
    return true;
}

}  // namespace hostdeck
