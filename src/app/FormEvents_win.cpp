// The event procedures: what the window's own events and buttons do.
#include "app/frmHostdeck_win.h"

#include "document/mDocumenteOeffnen.h"
#include "launch/ServerLaunch.h"
#include "platform/ScopeGuard.h"
#include "texts/UserTexts.h"

namespace hostdeck {

void frmHostdeck::Form_Load() {
    model_.lstServerNick.setObserver(nullptr);  // the list box is filled in one go below
    const ScopeGuard observeAgain([this] { model_.lstServerNick.setObserver(this); });
    session_.load();
    fillNicknameList();
}

bool frmHostdeck::Form_Unload() { return session_.mayClose(); }

void frmHostdeck::lstServerNick_Click() { session_.click(listSelection()); }

// Only a double-click on an entry starts it: the list also reports one on its empty area. It
// starts the entry it is on, selected first as a click selects it: a list box need not move its
// selection on the second click (Wine's does not, when the selection moved by a key between).
void frmHostdeck::lstServerNick_DblClick() {
    const DWORD at = GetMessagePos();
    POINT pointer{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ScreenToClient(nickList_, &pointer);
    const ListIndex entry = entryAt(pointer);
    if (entry == kNoItem) return;
    if (listSelection() != entry) {
        SendMessageW(nickList_, LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
        lstServerNick_Click();
    }
    startSelectedServer();
}

void frmHostdeck::startSelectedServer() {
    if (selectedEntry() == kNoItem || !session_.takeSelection(listSelection())) return;
    const Result result = launchServer(model_, services_.registry, services_.starter);
    if (result.status == Result::Status::NotFound || result.status == Result::Status::Failed) {
        tell(Question::Tone::Error, result.reason);
    }
}

void frmHostdeck::cmdAddServer_Click() {
    const Result added = session_.add();
    if (!added.ok() && added.status != Result::Status::Cancelled) {
        tell(Question::Tone::Warning, texts::fill(texts::kNotAdded, {added.reason}));
    }
}

void frmHostdeck::cmdEditServer_Click() {
    if (session_.settleEntryOutForEditing()) model_.edit();
}

void frmHostdeck::cmdDelServer_Click() { model_.deleteCurrent(); }

void frmHostdeck::cmdInfo_Click() {
    OpenDocument(services_.shell, services_.folder + L"\\howto.txt");
}

}  // namespace hostdeck
