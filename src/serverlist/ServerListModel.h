#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"
#include "serverlist/TextField.h"
#include "serverlist/TextList.h"

namespace hostdeck {

class ServerListModel;

// One entry's three texts.
struct EntryText {
    std::wstring nickname, address, port;
    bool operator==(const EntryText&) const = default;
};

// Says why the list file would not give an entry back as it stands, added to `list`; empty
// when it would.
class EntryCheck {
  public:
    virtual std::wstring whyCannotHold(const ServerListModel& list, std::wstring_view nickname,
                                       std::wstring_view address, std::wstring_view port) const = 0;
    // The same for each of `entries`, each as if it alone were added: what a check costs for
    // the whole list is paid once.
    virtual std::vector<std::wstring> whyCannotHoldEach(
        const ServerListModel& list, const std::vector<const EntryText*>& entries) const {
        std::vector<std::wstring> whys;
        for (const EntryText* e : entries)
            whys.push_back(whyCannotHold(list, e->nickname, e->address, e->port));
        return whys;
    }

  protected:
    ~EntryCheck() = default;
};

// The servers and the editor fields of the main window, without the window.
// The three lists run in parallel: the entry at index i is
// (lstServerNick[i], lstServerIP[i], lstServerPort[i]); only the nickname list is shown.
class ServerListModel {
  public:
    TextList lstServerNick;
    TextList lstServerIP;
    TextList lstServerPort;

    TextField txtServerNickname;
    TextField txtServerIP;
    TextField txtServerPort;

    // The user made an item of lstServerNick current: copy that entry into the fields
    // and lock them. An entry out for editing goes back first; when it cannot, nothing
    // changes and the result is false (putBackEntryOutForEditing() says why).
    bool select();
    // Append the three fields as a new entry at the end. When the list file could not hold
    // them as they stand, nothing is added and the result says why.
    Result add();
    // Unlock the fields and move the current entry (the first one when none is current)
    // out of the lists into the fields, to be changed there and added again. An entry
    // already out goes back first; when it cannot, nothing changes and the result is false.
    bool edit();

    // An entry that Edit took out and Add has not put back yet: it stands only in the fields.
    bool hasEntryOutForEditing() const { return entryOut_; }
    // Puts that entry back where it was taken from (success too when none is out), asking only
    // the list file's rule; when the list file could not hold it, it stays out and the result
    // says why. An item current in a list keeps being current as it moves down.
    Result putBackEntryOutForEditing();
    // The user chose to drop the entry out for editing.
    void discardEntryOutForEditing() { entryOut_ = false; }
    // That entry as it stood in the list when it was taken out, whatever the fields hold now.
    const EntryText& entryOutAsTaken() const { return outAsTaken_; }
    // Where putBackEntryOutForEditing() puts it.
    ListIndex placeOfEntryOut() const { return std::min(outAt_, entryCount()); }
    // The entry at `at`, put back from the fields, is out for editing again, as it was before
    // (taken out as it was then).
    void takeOutAgain(ListIndex at) {
        for (TextList* list : {&lstServerNick, &lstServerIP, &lstServerPort}) list->removeItem(at);
        entryOut_ = true;
        outAt_ = at;
    }
    // Remove the entry that is current in lstServerNick; the fields are left as they are.
    void deleteCurrent();
    // Takes back the newest delete or import (UndoKind), then the one before it. A delete: the
    // entry is put back where it was, exactly as it was; when the list file could not hold it
    // now, it stays deleted and the result says why. An import: its entries go, wherever they
    // were moved since; one changed since stays.
    Result undo();
    enum class UndoKind { Nothing, Delete, Import };
    UndoKind nextUndo() const {
        return undoable_.empty()         ? UndoKind::Nothing
               : undoable_.back().import ? UndoKind::Import
                                         : UndoKind::Delete;
    }
    // Appends the entries at the end as one change, which undo() takes back whole.
    void appendImported(std::vector<EntryText> entries);
    // Moves the current entry `by` places (-1 up, 1 down), and it stays current; false, with
    // nothing changed, where it cannot go: no current entry, at the end, or an entry is out for
    // editing (which goes back first).
    bool moveCurrent(ListIndex by);
    bool canMoveCurrent(ListIndex by) const {
        const ListIndex i = lstServerNick.currentIndex();
        return !entryOut_ && holdsEntry(i) && holdsEntry(i + by);
    }

    // The first entry that names the same server as this address and port (sameServer());
    // kNoItem when there is none.
    ListIndex entrySameServerAs(std::wstring_view address, std::wstring_view port) const;

    ListIndex entryCount() const { return lstServerNick.count(); }
    // Counts every change to the entries: while it stays the same, so do they.
    std::uint64_t changes() const {
        return lstServerNick.changes() + lstServerIP.changes() + lstServerPort.changes();
    }
    // The same entries in the same order.
    bool sameEntries(const ServerListModel& other) const;
    void appendEntry(std::wstring_view nickname, std::wstring_view address, std::wstring_view port);
    // Room for this many more entries, with at most these many characters in each column.
    struct Capacity {
        std::size_t entries = 0, nicknameChars = 0, addressChars = 0, portChars = 0;
    };
    void reserve(const Capacity& more);
    // Empties the three lists; their observers are not told.
    void removeAllEntries();

    // What add() asks before it appends; without one, only the list file's format is asked.
    void setEntryCheck(const EntryCheck* check) { check_ = check; }

  private:
    bool holdsEntry(ListIndex index) const;
    // Puts the entry in at `at` unless the list file could not hold it as it stands.
    Result insertIfFileHolds(ListIndex at, const std::wstring& nickname,
                             const std::wstring& address, const std::wstring& port);
    // The same for the fields, which then hold no entry out for editing.
    Result insertFieldsIfFileHolds(ListIndex at) {
        Result inserted = insertIfFileHolds(at, txtServerNickname.text(), txtServerIP.text(),
                                            txtServerPort.text());
        if (inserted.ok()) entryOut_ = false;
        return inserted;
    }
    // Removes the entry at `index`; an entry out for editing still goes back where it was.
    void removeEntry(ListIndex index);
    Result undoDelete();
    void undoImport();
    struct Undoable {
        // Its place among the entries and the one out for editing: a delete's entry, or an
        // import's first.
        ListIndex at;
        std::vector<EntryText> entries;
        bool import;
    };
    std::vector<Undoable> undoable_;  // newest last

    bool entryOut_ = false;
    ListIndex outAt_ = 0;  // where the entry out for editing goes back, as the list is now
    EntryText outAsTaken_;
    const EntryCheck* check_ = nullptr;
};

}  // namespace hostdeck
