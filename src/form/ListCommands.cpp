#include "form/ListCommands.h"

#include "form/FormLayout.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

using namespace keys;
using State = const ListState&;

bool always(State) { return true; }
bool onEntry(State s) { return s.onEntry; }
bool canUndo(State s) { return s.model->nextUndo() != ServerListModel::UndoKind::Nothing; }
bool canMoveUp(State s) { return s.onEntry && s.model->canMoveCurrent(-1); }
bool canMoveDown(State s) { return s.onEntry && s.model->canMoveCurrent(1); }

std::wstring_view start(State) { return texts::kMenuStart; }
std::wstring_view copyAddress(State) { return texts::kMenuCopyAddress; }
std::wstring_view createShortcut(State) { return texts::kMenuCreateShortcut; }
// It names what it takes back, the newest first.
std::wstring_view undo(State s) {
    return s.model->nextUndo() == ServerListModel::UndoKind::Import ? texts::kMenuUndoImport
                                                                    : texts::kMenuUndoDelete;
}
std::wstring_view moveUp(State) { return texts::kMenuMoveUp; }
std::wstring_view moveDown(State) { return texts::kMenuMoveDown; }
std::wstring_view pasteServers(State) { return texts::kMenuPasteServers; }
std::wstring_view importServers(State) { return texts::kMenuImportServers; }
std::wstring_view exportServers(State) { return texts::kMenuExportServers; }

constexpr int kList = kIdServerNickList;

// clang-format off
constexpr ListCommand kListCommands[] = {
    // A held key repeats only the commands marked so: one press starts one game.
    // id                         menu text        control          keys                                   message        default repeats available
    {CommandId::Start,            start,           kList,           {{kReturn, kNone}},                    0,             true,   false,  onEntry},
    {CommandId::CopyAddress,      copyAddress,     kList,           {{'C', kCtrl}, {kInsert, kCtrl}},      0,             false,  false,  onEntry},
    {CommandId::CreateShortcut,   createShortcut,  kList,           {},                                    0,             false,  false,  onEntry},
    {CommandId::Undo,             undo,            kList,           {{'Z', kCtrl}},                        0,             false,  true,   canUndo},
    {CommandId::MoveUp,           moveUp,          kList,           {{kUp, kAlt}},                         0,             false,  true,   canMoveUp},
    {CommandId::MoveDown,         moveDown,        kList,           {{kDown, kAlt}},                       0,             false,  true,   canMoveDown},
    {CommandId::PasteServers,     pasteServers,    kList,           {{'V', kCtrl}, {kInsert, kShift}},     0,             false,  false,  always},
    {CommandId::ImportServers,    importServers,   kList,           {},                                    0,             false,  false,  always},
    {CommandId::ExportServers,    exportServers,   kList,           {},                                    0,             false,  false,  always},
    // Ctrl+V, Shift+Insert and the field's own Paste; Wine's edit control pastes Shift+Insert
    // without WM_PASTE, so the keys are rows too.
    {CommandId::PasteAddress,     nullptr,         kIdAddressField, {{'V', kCtrl}, {kInsert, kShift}},     kPasteMessage, false,  true,   always},
};
// clang-format on

}  // namespace

std::span<const ListCommand> listCommands() { return kListCommands; }

}  // namespace hostdeck
