// The list box and the edit controls kept in step with the model, and which entry the list box
// shows selected or under a point.
#include "app/frmHostdeck_win.h"

#include "platform/ScopeGuard.h"

namespace hostdeck {

void frmHostdeck::fillNicknameList() { addNicknames(0); }

// The nicknames from `first` on (all of them from 0, the list box emptied first) in one go: room
// made once, drawn once; then the current entry selected.
void frmHostdeck::addNicknames(ListIndex first) {
    const TextList& nicknames = model_.lstServerNick;
    std::size_t characters = 0;
    for (ListIndex i = first; i < nicknames.count(); ++i)
        characters += nicknames.item(i).size() + 1;
    {
        const RedrawSuspended redrawOnceFilled(nickList_);
        if (first == 0) SendMessageW(nickList_, LB_RESETCONTENT, 0, 0);
        SendMessageW(nickList_, LB_INITSTORAGE, static_cast<WPARAM>(nicknames.count() - first),
                     characters * sizeof(wchar_t));
        for (ListIndex i = first; i < nicknames.count(); ++i) {
            SendMessageW(nickList_, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(nicknames.itemCString(i)));
        }
    }
    SendMessageW(nickList_, LB_SETCURSEL, static_cast<WPARAM>(nicknames.currentIndex()), 0);
}

void frmHostdeck::itemInserted(ListIndex index) {
    SendMessageW(nickList_, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(model_.lstServerNick.itemCString(index)));
    // The current entry may have moved down.
    SendMessageW(nickList_, LB_SETCURSEL, static_cast<WPARAM>(model_.lstServerNick.currentIndex()),
                 0);
}

// Many at once (an import): the list box takes them in one go.
void frmHostdeck::itemsAppended(ListIndex first, ListIndex) { addNicknames(first); }

void frmHostdeck::itemRemoved(ListIndex index) {
    SendMessageW(nickList_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

// Many at once (an import taken back): the list box is filled again, in one go.
void frmHostdeck::itemsRemoved(ListIndex, ListIndex) { fillNicknameList(); }

void frmHostdeck::currentChanged(ListIndex index) {
    SendMessageW(nickList_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

ListIndex frmHostdeck::entryAt(POINT point) const {
    const LRESULT hit = SendMessageW(nickList_, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    if (HIWORD(hit) != 0) return kNoItem;  // outside the list
    RECT item{};
    if (SendMessageW(nickList_, LB_GETITEMRECT, LOWORD(hit), reinterpret_cast<LPARAM>(&item)) ==
            LB_ERR ||
        !PtInRect(&item, point))
        return kNoItem;  // below the last entry: the nearest one is no hit
    return LOWORD(hit);
}

ListIndex frmHostdeck::selectedEntry() const {
    const auto selected = static_cast<ListIndex>(SendMessageW(nickList_, LB_GETCURSEL, 0, 0));
    return selected >= 0 && selected < model_.entryCount() ? selected : kNoItem;
}

ListIndex frmHostdeck::listSelection() const {
    return static_cast<ListIndex>(SendMessageW(nickList_, LB_GETCURSEL, 0, 0));
}

void frmHostdeck::FieldBinding::attach(HWND window) {
    edit_ = GetDlgItem(window, control_);
    field_.setObserver(this);
    SetWindowTextW(edit_, field_.text().c_str());
    EnableWindow(edit_, field_.enabled());
}

void frmHostdeck::FieldBinding::takeTextFromControl() {
    form_.updatingFromControl_ = true;
    const ScopeGuard done([this] { form_.updatingFromControl_ = false; });
    field_.setText(windowText(edit_));
}

void frmHostdeck::FieldBinding::textChanged(const std::wstring& text) {
    // Text the user typed is already in the control; writing it back would move the caret.
    if (!form_.updatingFromControl_) SetWindowTextW(edit_, text.c_str());
}

void frmHostdeck::FieldBinding::enabledChanged(bool enabled) { EnableWindow(edit_, enabled); }

}  // namespace hostdeck
