#pragma once

#include <string>
#include <vector>

#include "serverlist/ServerListModel.h"

namespace hostdeck::fakes {

// Entries as the tests write them: "nickname|address|port".
using Texts = std::vector<std::wstring>;

inline Texts split(const std::wstring& entry) {
    const std::size_t a = entry.find(L'|'), b = entry.rfind(L'|');
    return {entry.substr(0, a), entry.substr(a + 1, b - a - 1), entry.substr(b + 1)};
}

inline void appendEntry(ServerListModel& m, const std::wstring& entry) {
    const Texts fields = split(entry);
    m.appendEntry(fields[0], fields[1], fields[2]);
}

inline void setFields(ServerListModel& m, const std::wstring& entry) {
    const Texts fields = split(entry);
    m.txtServerNickname.setText(fields[0]);
    m.txtServerIP.setText(fields[1]);
    m.txtServerPort.setText(fields[2]);
}

// The model's entries; "?" where a list is shorter than the nickname list.
inline Texts entriesOf(const ServerListModel& m) {
    Texts entries;
    for (ListIndex i = 0; i < m.entryCount(); ++i) {
        std::wstring entry;
        for (const TextList* list : {&m.lstServerNick, &m.lstServerIP, &m.lstServerPort})
            entry += (i < list->count() ? std::wstring(list->item(i)) : L"?") + L"|";
        entries.push_back(entry.substr(0, entry.size() - 1));
    }
    return entries;
}

}  // namespace hostdeck::fakes
