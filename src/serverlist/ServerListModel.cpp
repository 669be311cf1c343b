#include "serverlist/ServerListModel.h"

#include <algorithm>

#include "serverlist/AddressPort.h"
#include "serverlist/ListFileFormat.h"

namespace hostdeck {

namespace {

void copyCurrentTo(TextList& list, ListIndex index, TextField& field) {
    list.setCurrentIndex(index);
    field.setText(std::wstring(list.currentText()));
}

void takeOut(TextList& list, ListIndex index, TextField& field) {
    copyCurrentTo(list, index, field);
    list.removeItem(index);
}

}  // namespace

bool ServerListModel::holdsEntry(ListIndex index) const {
    return index >= 0 && index < lstServerNick.count() && index < lstServerIP.count() &&
           index < lstServerPort.count();
}

bool ServerListModel::select() {
    if (!putBackEntryOutForEditing().ok()) return false;
    const ListIndex i = lstServerNick.currentIndex();
    if (i != kNoItem && !holdsEntry(i)) return false;
    txtServerNickname.setText(std::wstring(lstServerNick.currentText()));
    copyCurrentTo(lstServerIP, i, txtServerIP);
    copyCurrentTo(lstServerPort, i, txtServerPort);
    txtServerNickname.setEnabled(false);
    txtServerIP.setEnabled(false);
    txtServerPort.setEnabled(false);
    return true;
}

Result ServerListModel::insertIfFileHolds(ListIndex at, const std::wstring& n,
                                          const std::wstring& a, const std::wstring& p) {
    std::wstring why = check_ ? check_->whyCannotHold(*this, n, a, p)
                              : list_file_format::whyFileCannotHold(n, a, p);
    if (!why.empty()) return Result::failed(std::move(why));
    lstServerNick.insert(at, n);
    lstServerIP.insert(std::min(at, lstServerIP.count()), a);
    lstServerPort.insert(std::min(at, lstServerPort.count()), p);
    return Result::success();
}

// A rule for what the user may add (and not for what is already in the list) goes here, before
// the list file's own.
Result ServerListModel::add() { return insertFieldsIfFileHolds(entryCount()); }

// The entry came from the list: only the list file's rule applies, never one for new entries.
// It goes back to the place it was taken from, so that a list edited and left as it was is the
// list as it was.
Result ServerListModel::putBackEntryOutForEditing() {
    return entryOut_ ? insertFieldsIfFileHolds(std::min(outAt_, entryCount())) : Result::success();
}

bool ServerListModel::edit() {
    if (!putBackEntryOutForEditing().ok()) return false;
    txtServerNickname.setEnabled(true);
    txtServerIP.setEnabled(true);
    txtServerPort.setEnabled(true);

    // The last list with a current item decides which entry is taken.
    ListIndex i = 0;
    for (const TextList* list : {&lstServerNick, &lstServerIP, &lstServerPort}) {
        if (list->currentIndex() != kNoItem) i = list->currentIndex();
    }
    if (!holdsEntry(i)) return true;  // nothing to take out, e.g. an empty list

    outAsTaken_ = {std::wstring(lstServerNick.item(i)), std::wstring(lstServerIP.item(i)),
                   std::wstring(lstServerPort.item(i))};
    takeOut(lstServerNick, i, txtServerNickname);
    takeOut(lstServerIP, i, txtServerIP);
    takeOut(lstServerPort, i, txtServerPort);
    entryOut_ = true;
    outAt_ = i;
    return true;
}

void ServerListModel::removeEntry(ListIndex i) {
    if (entryOut_ && i < outAt_) --outAt_;
    for (TextList* list : {&lstServerNick, &lstServerIP, &lstServerPort}) list->removeItem(i);
}

void ServerListModel::deleteCurrent() {
    const ListIndex i = lstServerNick.currentIndex();
    if (!holdsEntry(i)) return;  // no current entry: nothing to delete
    // Its place counts the entry out for editing, which goes back where it was.
    const ListIndex place = entryOut_ && i >= outAt_ ? i + 1 : i;
    undoable_.push_back({place,
                         {{std::wstring(lstServerNick.item(i)), std::wstring(lstServerIP.item(i)),
                           std::wstring(lstServerPort.item(i))}},
                         false});
    for (TextList* list : {&lstServerNick, &lstServerIP, &lstServerPort}) list->setCurrentIndex(i);
    removeEntry(i);
}

Result ServerListModel::undo() {
    if (undoable_.empty()) return Result::cancelled();
    if (!undoable_.back().import) return undoDelete();
    undoImport();
    return Result::success();
}

Result ServerListModel::undoDelete() {
    const Undoable& last = undoable_.back();
    const EntryText& entry = last.entries.front();
    // Its place counts the entry out for editing: before it, it goes above and moves it down.
    const ListIndex place = std::min(last.at, entryCount() + (entryOut_ ? 1 : 0));
    const bool aboveOut = entryOut_ && place <= outAt_;
    Result back = insertIfFileHolds(aboveOut || !entryOut_ ? place : place - 1, entry.nickname,
                                    entry.address, entry.port);
    if (!back.ok()) return back;
    if (aboveOut) ++outAt_;
    undoable_.pop_back();
    return back;
}

void ServerListModel::appendImported(std::vector<EntryText> entries) {
    if (entries.empty()) return;
    Capacity more{entries.size()};
    std::vector<std::wstring_view> texts[3];
    for (const EntryText& e : entries) {
        texts[0].push_back(e.nickname);
        texts[1].push_back(e.address);
        texts[2].push_back(e.port);
        more.nicknameChars += e.nickname.size();
        more.addressChars += e.address.size();
        more.portChars += e.port.size();
    }
    reserve(more);
    undoable_.reserve(undoable_.size() + 1);  // nothing after this may run out of memory
    // Its place counts the entry out for editing, as a delete's does: it may go back above.
    const ListIndex at = entryCount() + (entryOut_ ? 1 : 0);
    lstServerNick.appendAll(texts[0]);
    lstServerIP.appendAll(texts[1]);
    lstServerPort.appendAll(texts[2]);
    undoable_.push_back({at, std::move(entries), true});
}

// The imported entries are where they were put, unless some were moved or changed since: each
// one left is then found by its texts, the last such entry first (equal entries are alike
// wherever they stand).
void ServerListModel::undoImport() {
    const Undoable last = std::move(undoable_.back());
    undoable_.pop_back();
    const auto holds = [&](ListIndex i, const EntryText& e) {
        return holdsEntry(i) && lstServerNick.item(i) == e.nickname &&
               lstServerIP.item(i) == e.address && lstServerPort.item(i) == e.port;
    };
    const auto count = static_cast<ListIndex>(last.entries.size());
    const ListIndex at = last.at - (entryOut_ && outAt_ < last.at ? 1 : 0);
    bool inPlace = at + count <= entryCount();
    for (ListIndex k = 0; inPlace && k < count; ++k)
        inPlace = holds(at + k, last.entries[static_cast<std::size_t>(k)]);
    if (inPlace) {  // at once, as it came
        if (entryOut_ && outAt_ > at) outAt_ -= std::min(count, outAt_ - at);
        for (TextList* list : {&lstServerNick, &lstServerIP, &lstServerPort})
            list->removeItems(at, count);
        return;
    }
    for (ListIndex k = count - 1; k >= 0; --k) {
        const EntryText& e = last.entries[static_cast<std::size_t>(k)];
        ListIndex i = entryCount() - 1;
        while (i >= 0 && !holds(i, e)) --i;
        if (i >= 0) removeEntry(i);
    }
}

bool ServerListModel::moveCurrent(ListIndex by) {
    if (!canMoveCurrent(by)) return false;
    const ListIndex from = lstServerNick.currentIndex(), to = from + by;
    for (TextList* list : {&lstServerNick, &lstServerIP, &lstServerPort}) {
        const std::wstring text(list->item(from));
        list->removeItem(from);
        list->insert(to, text);
        list->setCurrentIndex(to);
    }
    return true;
}

ListIndex ServerListModel::entrySameServerAs(std::wstring_view address,
                                             std::wstring_view port) const {
    for (ListIndex i = 0; i < entryCount(); ++i) {
        if (holdsEntry(i) && sameServer(address, port, lstServerIP.item(i), lstServerPort.item(i)))
            return i;
    }
    return kNoItem;
}

bool ServerListModel::sameEntries(const ServerListModel& other) const {
    const auto same = [](const TextList& a, const TextList& b) {
        if (a.count() != b.count()) return false;
        for (ListIndex i = 0; i < a.count(); ++i)
            if (a.item(i) != b.item(i)) return false;
        return true;
    };
    return same(lstServerNick, other.lstServerNick) && same(lstServerIP, other.lstServerIP) &&
           same(lstServerPort, other.lstServerPort);
}

void ServerListModel::reserve(const Capacity& more) {
    lstServerNick.reserve(more.entries, more.nicknameChars);
    lstServerIP.reserve(more.entries, more.addressChars);
    lstServerPort.reserve(more.entries, more.portChars);
}

void ServerListModel::removeAllEntries() {
    lstServerNick.clear();
    lstServerIP.clear();
    lstServerPort.clear();
}

void ServerListModel::appendEntry(std::wstring_view nickname, std::wstring_view address,
                                  std::wstring_view port) {
    lstServerNick.append(nickname);
    lstServerIP.append(address);
    lstServerPort.append(port);
}

}  // namespace hostdeck
