#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileStore.h"
#include "serverlist/ServerListModel.h"

// Servers brought in from elsewhere: lines pasted from a forum post or a chat, a friend's list
// file, a file from another launcher. The texts are read here; what is asked and told about
// them is the list session's (ListSession::importServers).
namespace hostdeck {

// The most entries the window shows: a list box names the item under the mouse in 16 bits.
inline constexpr ListIndex kMostEntries = 65535;
// A larger file is no server list: it is refused before it is read.
inline constexpr std::uint64_t kMostImportBytes = std::uint64_t{64} << 20;

// A place in what was imported: which text or file (ServerLines::sources), and its line from 1.
struct LinePlace {
    std::size_t source = 0;
    std::size_t line = 0;
};

struct ImportedServer : EntryText {
    LinePlace place;
};

// What the lines of one or more texts hold, in order. Memory stays bounded whatever they hold:
// servers are gathered until there are more than the list can ever hold, and only the first few
// lines that are no server are kept; the rest are counted.
struct ServerLines {
    std::vector<std::wstring> sources;  // a file's path; empty for a paste
    std::vector<ImportedServer> servers;
    std::size_t serversRead = 0;        // those gathered, and those past them
    std::vector<LinePlace> notServers;  // lines that are neither a server, blank nor a comment
    std::size_t notServersRead = 0;
    std::vector<std::wstring> refused;        // a whole source that was not read, and why
    bool outOfMemory = false;                 // then nothing is kept, and nothing may be imported
    const std::atomic<bool>* stop = nullptr;  // once true, reading ends where it is

    // Reads a pasted text's lines, as source `name`. Each line that is not blank and is no
    // comment (";" first) is a server when its address and port read as one by
    // parseAddressPort(), and it is
    // - a record as the list file holds it, "nickname#address#port" (two "#" at least), read by
    //   the list file's own reader; without a nickname, named "address:port";
    // - "address:port" or "[v6]:port" as a paste into the address field reads it, named by
    //   that same text;
    // - or that, then blanks or a tab and a name, named by the name.
    void readText(std::wstring_view text, std::wstring_view name = {});
    // Reads a file's bytes, in any encoding the list file may have, as source `name`. A file
    // with a NUL byte (in 8-bit text) or without a server is refused, and said so.
    void readFile(std::string_view bytes, std::wstring_view name);
    // Reads the file at `path` as readFile() does; one that cannot be read, or is larger than
    // kMostImportBytes (not read at all), is refused and said why.
    void readFileAt(FileStore& files, const std::wstring& path);
    // A source that could not be read: it is named with why.
    void refuse(std::wstring_view name, std::wstring_view why);
    // More servers were read than the list can ever hold.
    bool tooMany() const { return serversRead > kMostEntries; }
};

// What an import of `lines` into `list` would do, before anything is asked.
struct ImportPlan {
    std::vector<const ImportedServer*> fresh;  // servers the list does not have
    // The same server as one in the list (an entry out for editing included, as it goes back),
    // or as one before it in what is imported; how many of them are in the list.
    std::vector<const ImportedServer*> repeated;
    std::size_t repeatedOfList = 0;
    std::vector<std::pair<const ImportedServer*, std::wstring>> cannotHold;  // and why
    // The servers to append, in their order: the fresh ones, and the repeated ones where
    // `withRepeated`.
    std::vector<const ImportedServer*> adding(bool withRepeated) const;
};
// `check`: what Add asks of an entry (the list file's rule and its encoding); without one, the
// format's rule alone.
ImportPlan planImport(const ServerLines& lines, const ServerListModel& list,
                      const EntryCheck* check);

// Texts for the import's question and summary.
// "line 3" for a paste, "C:\a.txt, line 3" for a file.
std::wstring placeText(const ServerLines& lines, LinePlace place);
// The first few servers, one a line ("line 3: "Friday" 1.2.3.4:2300"), and how many more.
std::wstring serversNamed(const ServerLines& lines, const std::vector<const ImportedServer*>& some);
// What an import did, for the user: how many were added, which repeats were left out and why,
// what could not be held, which lines were not servers, and which files were not read.
std::wstring importSummary(const ServerLines& lines, const ImportPlan& plan, bool withRepeated);

}  // namespace hostdeck
