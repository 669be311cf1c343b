#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "serverlist/ServerListModel.h"

// The servers of a list as a file to hand to a friend or to another program: a file that
// Import servers reads back as the same servers.
namespace hostdeck {

struct ServerExport {
    // UTF-8 with its mark, one server a line ending in CR LF: "address:port<TAB>nickname" where
    // that reads back as exactly the server, and otherwise the list file's own record line.
    std::string bytes;
    ListIndex written = 0;
    // The first few entries, and how many in all, that an import of the file will not give
    // back as they are (ServerLines): it skips what is no server, names a server without a
    // nickname by its address and port, and leaves out bytes that are no text, which are
    // written as U+FFFD so that the file is text throughout.
    std::vector<EntryText> notAsTheyAre;
    std::size_t notAsTheyAreCount = 0;
};

// Every entry of `list` in order; the one out for editing at its place, as it was taken out.
ServerExport exportServers(const ServerListModel& list);

// What an export did, for the user: how many were written, and where, and which will not come
// back as they are.
std::wstring exportSummary(const ServerExport& done, std::wstring_view path);

}  // namespace hostdeck
