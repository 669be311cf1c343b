// What the list's commands (ListCommands.h) do in the window, and the keys and the menu that
// run them.
#include "app/frmHostdeck_win.h"

#include <commctrl.h>

#include <optional>

#include "launch/DesktopStart.h"
#include "form/FormLayout.h"
#include "platform/Clipboard_win.h"
#include "serverlist/AddressPort.h"
#include "texts/UserTexts.h"

namespace hostdeck {

bool frmHostdeck::translateMessage(MSG& message) {
    if (!window_) return false;
    // Alt and a key come as a system key.
    if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
        GetParent(message.hwnd) == window_) {
        using namespace keys;
        const unsigned modifiers = (GetKeyState(VK_CONTROL) < 0 ? kCtrl : kNone) |
                                   (GetKeyState(VK_SHIFT) < 0 ? kShift : kNone) |
                                   (GetKeyState(VK_MENU) < 0 ? kAlt : kNone);
        const int control = GetDlgCtrlID(message.hwnd);
        const bool repeated = (message.lParam & (LPARAM{1} << 30)) != 0;  // the key was down
        for (const ListCommand& command : listCommands()) {
            for (const ListCommand::Key& key : command.keys) {
                if (key.code && key.code == message.wParam && key.modifiers == modifiers &&
                    command.control == control &&
                    command.available(listState(selectedEntry() != kNoItem)))
                    return (repeated && !command.repeats) || run(command.id);
            }
        }
    }
    // Tab, Shift+Tab, Enter and the Alt access keys move between and press the controls.
    return IsDialogMessageW(window_, &message);
}

// The messages of a control that run a command (kListCommands), before the control's own.
void frmHostdeck::attachCommands() {
    for (const ListCommand& command : listCommands()) {
        if (command.message)
            SetWindowSubclass(GetDlgItem(window_, command.control), commandSubclass, 1,
                              reinterpret_cast<DWORD_PTR>(this));
    }
}

LRESULT CALLBACK frmHostdeck::commandSubclass(HWND control, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR id, DWORD_PTR form) {
    auto& self = *reinterpret_cast<frmHostdeck*>(form);
    if (message == WM_NCDESTROY) RemoveWindowSubclass(control, commandSubclass, id);
    for (const ListCommand& command : listCommands()) {
        if (command.message == message && command.control == GetDlgCtrlID(control) &&
            command.available(self.listState(self.selectedEntry() != kNoItem)) &&
            self.run(command.id))
            return 0;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

// Every command's id names what it does here.
bool frmHostdeck::run(CommandId id) {
    switch (id) {
        case CommandId::Start:
            startSelectedServer();
            return true;
        case CommandId::CopyAddress:
            return copyAddress();
        case CommandId::CreateShortcut:
            createDesktopShortcut();
            return true;
        case CommandId::Undo:
            undo();
            return true;
        case CommandId::MoveUp:
            moveSelected(-1);
            return true;
        case CommandId::MoveDown:
            moveSelected(1);
            return true;
        case CommandId::PasteServers:
            pasteServers();
            return true;
        case CommandId::ImportServers:
            importServersFromFile();
            return true;
        case CommandId::ExportServers:
            exportServers();
            return true;
        case CommandId::PasteAddress:
            return pasteAddressPort();
        case CommandId::Count:
            break;
    }
    return false;
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
    const ListState state = listState(onEntry);
    for (const ListCommand& command : listCommands()) {
        if (!command.text) continue;
        const bool available = command.available(state);
        const UINT item = static_cast<UINT>(command.id) + 1;  // 0: no choice
        AppendMenuW(menu.get(), MF_STRING | (available ? 0 : MF_GRAYED), item,
                    std::wstring(command.text(state)).c_str());
        if (command.isDefault && available) SetMenuDefaultItem(menu.get(), item, FALSE);
    }
    const int chosen = static_cast<int>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                       at.x, at.y, 0, window_, nullptr));
    if (window_ && chosen >= 1 && chosen <= static_cast<int>(CommandId::Count))
        run(static_cast<CommandId>(chosen - 1));
    return 0;
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
void frmHostdeck::createDesktopShortcut() {
    const ListIndex selected = selectedEntry();
    if (selected == kNoItem) return;
    if (services_.desktopFolder.empty()) {
        tell(Question::Tone::Error, std::wstring(texts::kNoDesktopFolder));
        return;
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
        return;
    const Result made = services_.shell.createShortcut(
        place.path, services_.program, shortcutArguments(address, port), services_.folder);
    if (!made.ok()) tell(Question::Tone::Error, made.reason);
}

void frmHostdeck::undo() {
    const Result back = model_.undo();
    if (!back.ok() && back.status != Result::Status::Cancelled)
        tell(Question::Tone::Warning, texts::fill(texts::kNotPutBack, {back.reason}));
}

// The selected entry, once an entry out for editing is back; it stays selected.
void frmHostdeck::moveSelected(ListIndex by) {
    if (session_.takeSelection(listSelection())) model_.moveCurrent(by);
}

}  // namespace hostdeck
