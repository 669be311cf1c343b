#pragma once

#include "serverlist/TextField.h"
#include "serverlist/TextList.h"

namespace hostdeck {

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
    // and lock them.
    void select();
    // Append the three fields as a new entry at the end.
    void add();
    // Unlock the fields and move the current entry (the first one when none is current)
    // out of the lists into the fields, to be changed there and added again.
    void edit();
    // Remove the entry that is current in lstServerNick; the fields are left as they are.
    void deleteCurrent();

    ListIndex entryCount() const { return lstServerNick.count(); }
    void appendEntry(std::wstring_view nickname, std::wstring_view address, std::wstring_view port);
    // Room for this many more entries, with at most these many characters in each column.
    struct Capacity {
        std::size_t entries = 0, nicknameChars = 0, addressChars = 0, portChars = 0;
    };
    void reserve(const Capacity& more);

  private:
    bool holdsEntry(ListIndex index) const;
};

}  // namespace hostdeck
