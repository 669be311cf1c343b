#include "serverlist/ServerExport.h"

#include "platform/TextCodec.h"
#include "serverlist/AddressPort.h"
#include "serverlist/ListFileFormat.h"
#include "serverlist/ServerImport.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

constexpr std::size_t kNamed = 5, kNicknameChars = 32;

// The entry's texts with each unit that is no text (a kept byte, half a pair) as U+FFFD.
EntryText asText(EntryText entry) {
    for (std::wstring* text : {&entry.nickname, &entry.address, &entry.port})
        for (std::size_t i = 0; i < text->size(); ++i)
            if (unitKindAt(*text, i) != UnitKind::Text) (*text)[i] = L'\uFFFD';
    return entry;
}

// Whether an import reads `line` as exactly `entry`.
bool readsBackAs(const std::wstring& line, const EntryText& entry) {
    ServerLines lines;
    lines.readText(line);
    return lines.servers.size() == 1 && static_cast<const EntryText&>(lines.servers[0]) == entry;
}

}  // namespace

ServerExport exportServers(const ServerListModel& list) {
    std::vector<EntryText> entries;
    entries.reserve(static_cast<std::size_t>(list.entryCount()) + 1);
    for (ListIndex i = 0; i <= list.entryCount(); ++i) {
        if (list.hasEntryOutForEditing() && i == list.placeOfEntryOut())
            entries.push_back(list.entryOutAsTaken());
        if (i < list.entryCount())
            entries.push_back(EntryText{std::wstring(list.lstServerNick.item(i)),
                                        std::wstring(list.lstServerIP.item(i)),
                                        std::wstring(list.lstServerPort.item(i))});
    }
    std::wstring text;
    for (const EntryText& entry : entries) {
        const EntryText written = asText(entry);
        std::wstring line =
            addressPortText(written.address, written.port) + L"\t" + written.nickname;
        if (readsBackAs(line, written)) {
            text += line;
            text += list_file_format::kLineEnd;
        } else {
            list_file_format::appendRecord(text, written.nickname, written.address, written.port);
        }
    }
    ServerExport done;
    std::string bytes;
    static_cast<void>(encodeText(text, Encoding::Utf8, bytes));  // all of it is text now
    done.bytes = std::string(list_file_format::kUtf8Mark) + bytes;
    done.written = static_cast<ListIndex>(entries.size());
    // What an import of the whole file gives back, line by line: entry i is line i + 1.
    ServerLines back;
    back.readFile(done.bytes, L"");
    std::size_t next = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        while (next < back.servers.size() && back.servers[next].place.line < i + 1) ++next;
        const bool same = next < back.servers.size() && back.servers[next].place.line == i + 1 &&
                          static_cast<const EntryText&>(back.servers[next]) == entries[i];
        // An import leaves out what the list file cannot hold, as Add does.
        if (same && list_file_format::whyFileCannotHold(entries[i].nickname, entries[i].address,
                                                        entries[i].port)
                        .empty())
            continue;
        if (done.notAsTheyAre.size() < kNamed) done.notAsTheyAre.push_back(entries[i]);
        ++done.notAsTheyAreCount;
    }
    return done;
}

std::wstring exportSummary(const ServerExport& done, std::wstring_view path) {
    std::wstring summary = texts::fill(texts::kExported, {texts::number(done.written), path});
    if (done.notAsTheyAreCount == 0) return summary;
    std::wstring named;
    for (const EntryText& entry : done.notAsTheyAre)
        named += texts::fill(texts::kServerNamed, {texts::shortened(entry.nickname, kNicknameChars),
                                                   addressPortText(entry.address, entry.port)});
    if (done.notAsTheyAreCount > kNamed)
        named +=
            texts::fill(texts::kAndMoreServers, {texts::number(done.notAsTheyAreCount - kNamed)});
    return summary +
           texts::fill(texts::kExportNotAsTheyAre, {texts::number(done.notAsTheyAreCount), named});
}

}  // namespace hostdeck
