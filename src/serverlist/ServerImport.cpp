#include "serverlist/ServerImport.h"

#include <algorithm>
#include <new>
#include <unordered_set>

#include "platform/TextCodec.h"
#include "serverlist/AddressPort.h"
#include "serverlist/ListFileFormat.h"
#include "serverlist/ServerListFile.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

constexpr std::wstring_view kBlanks = L" \t\f\v";
// A question or a summary names so many servers, lines or files, and says how many more there
// are; a path or a nickname in it is cut to so many characters.
constexpr std::size_t kNamed = 5;
constexpr std::size_t kPathChars = 64, kNicknameChars = 32;

std::wstring_view trimmed(std::wstring_view text) {
    const std::size_t start = text.find_first_not_of(kBlanks);
    if (start == std::wstring_view::npos) return {};
    return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

// Calls take(line, number) for each line, numbered from 1; CR LF, LF or CR end one.
template <typename Char, typename Take>
void forEachLine(std::basic_string_view<Char> text, Take take) {
    constexpr Char kLineEnds[] = {Char('\r'), Char('\n'), Char(0)};
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of(kLineEnds, start), text.size());
        take(text.substr(start, end - start), ++number);
        const bool crLf =
            end + 1 < text.size() && text[end] == Char('\r') && text[end + 1] == Char('\n');
        start = end + (crLf ? 2 : 1);
    }
}

bool holdsKeptBytes(const EntryText& e) {
    for (const std::wstring* text : {&e.nickname, &e.address, &e.port})
        for (std::size_t i = 0; i < text->size(); ++i)
            if (unitKindAt(*text, i) == UnitKind::ByteEscape) return true;
    return false;
}

// A record's address and port are a server's where the one strict reader reads them as one.
bool isServer(std::wstring_view address, std::wstring_view port) {
    return parseAddressPort(addressPortText(address, port)).has_value();
}

void readLine(std::wstring_view line, LinePlace place, ServerLines& lines) {
    if (lines.stop && lines.stop->load(std::memory_order_relaxed)) return;
    const std::wstring_view text = trimmed(line);
    if (text.empty() || text.front() == static_cast<wchar_t>(list_file_format::kCommentMark))
        return;
    const auto gather = [&](std::wstring_view nickname, std::wstring_view address,
                            std::wstring_view port) {
        // Past what the list can ever hold, servers are only counted.
        if (lines.serversRead++ <= static_cast<std::size_t>(kMostEntries))
            lines.servers.push_back(
                {{std::wstring(nickname), std::wstring(address), std::wstring(port)}, place});
    };
    bool read = false;
    if (std::count(line.begin(), line.end(), static_cast<wchar_t>(list_file_format::kSeparator)) >=
        2) {
        list_file_format::forEachRecord(line, [&](auto nickname, auto address, auto port) {
            if (!isServer(address, port)) return;
            gather(nickname.empty() ? addressPortText(address, port) : std::wstring(nickname),
                   address, port);
            read = true;
        });
    } else {
        const std::size_t blank = std::min(text.find_first_of(kBlanks), text.size());
        const std::wstring_view written = text.substr(0, blank);
        if (const std::optional<AddressPort> server = parseAddressPort(written)) {
            const std::wstring_view name = trimmed(text.substr(blank));
            gather(name.empty() ? written : name, server->address, server->port);
            read = true;
        }
    }
    if (!read && lines.notServersRead++ < kNamed) lines.notServers.push_back(place);
}

// Runs `read`; where memory runs out, what was read is dropped, so that nothing is imported.
template <typename Read>
void whileMemoryLasts(ServerLines& lines, Read read) {
    try {
        read();
    } catch (const std::bad_alloc&) {
        lines.outOfMemory = true;
        std::vector<ImportedServer>().swap(lines.servers);
    }
}

}  // namespace

void ServerLines::readText(std::wstring_view text, std::wstring_view name) {
    whileMemoryLasts(*this, [&] {
        const std::size_t source = sources.size();
        sources.emplace_back(name);
        forEachLine(text, [&](std::wstring_view line, std::size_t number) {
            readLine(line, {source, number}, *this);
        });
    });
}

void ServerLines::readFileAt(FileStore& files, const std::wstring& path) {
    std::string bytes;
    const Result read = files.readAll(path, bytes, kMostImportBytes);
    if (read.ok()) return readFile(bytes, path);
    if (read.status == Result::Status::Cancelled) return refuse(path, texts::kImportTooLarge);
    // A file that is gone says nothing of its own.
    refuse(path, read.reason.empty() ? std::wstring(texts::kImportNoSuchFile) : read.reason);
}

void ServerLines::refuse(std::wstring_view name, std::wstring_view why) {
    refused.push_back(
        texts::fill(texts::kImportSourceRefused, {texts::shortened(name, kPathChars), why}));
}

void ServerLines::readFile(std::string_view bytes, std::wstring_view name) {
    const std::pair<Encoding, std::size_t> found = ServerListFile::encodingOfBytes(bytes);
    const Encoding encoding = found.first;
    bytes.remove_prefix(found.second);
    if (!isUtf16(encoding) && bytes.find('\0') != std::string_view::npos)
        return refuse(name, texts::kImportNotText);
    const std::size_t serversBefore = serversRead, notServersBefore = notServersRead,
                      namedBefore = notServers.size();
    if (isUtf16(encoding)) {
        whileMemoryLasts(*this, [&] { readText(decodeText(bytes, encoding), name); });
    } else {
        whileMemoryLasts(*this, [&] {
            const std::size_t source = sources.size();
            sources.emplace_back(name);
            std::wstring text;
            // 8-bit text is split into lines before it is decoded, as the list file is.
            forEachLine(bytes, [&](std::string_view line, std::size_t number) {
                text.clear();
                if (decodeTextInto(line, encoding, text))
                    readLine(text, {source, number}, *this);
                else if (notServersRead++ < kNamed)
                    notServers.push_back({source, number});
            });
        });
    }
    if (serversRead > serversBefore || outOfMemory) return;
    // Not a server list: its lines are not listed.
    notServers.resize(namedBefore);
    notServersRead = notServersBefore;
    refuse(name, texts::kImportNoServer);
}

std::vector<const ImportedServer*> ImportPlan::adding(bool withRepeated) const {
    std::vector<const ImportedServer*> servers = fresh;
    if (withRepeated) {
        servers.insert(servers.end(), repeated.begin(), repeated.end());
        // In the order they were imported.
        std::sort(servers.begin(), servers.end());
    }
    return servers;
}

ImportPlan planImport(const ServerLines& lines, const ServerListModel& list,
                      const EntryCheck* check) {
    ImportPlan plan;
    // Each server by its key, as the rule for the same server reads it; an empty address names
    // none.
    std::unordered_set<std::wstring> servers;
    servers.reserve(static_cast<std::size_t>(list.entryCount()) + lines.servers.size());
    const auto seen = [&](std::wstring_view address, std::wstring_view port) {
        std::wstring key = serverKey(address, port);
        return key.front() != L'\n' && !servers.insert(std::move(key)).second;
    };
    for (ListIndex i = 0; i < list.entryCount(); ++i)
        seen(list.lstServerIP.item(i), list.lstServerPort.item(i));
    // An entry out for editing goes back into the list: it counts as there.
    if (list.hasEntryOutForEditing()) seen(list.txtServerIP.text(), list.txtServerPort.text());
    // Text that is no text in its file's encoding would be written as those bytes into the
    // list's own, where they mean something else or nothing.
    std::vector<const EntryText*> text;
    for (const ImportedServer& server : lines.servers)
        if (!holdsKeptBytes(server)) text.push_back(&server);
    const std::vector<std::wstring> whys =
        check ? check->whyCannotHoldEach(list, text) : std::vector<std::wstring>(text.size());
    for (std::size_t i = 0, t = 0; i < lines.servers.size(); ++i) {
        const ImportedServer& server = lines.servers[i];
        std::wstring why = t < text.size() && text[t] == &server
                               ? whys[t++]
                               : std::wstring(texts::kImportKeptBytes);
        if (why.empty() && !check)
            why = list_file_format::whyFileCannotHold(server.nickname, server.address, server.port);
        if (!why.empty())
            plan.cannotHold.emplace_back(&server, std::move(why));
        else if (seen(server.address, server.port))
            plan.repeated.push_back(&server);
        else
            plan.fresh.push_back(&server);
    }
    // Of the repeats, those of a server in the list: the rest repeat one before them.
    servers.clear();
    for (ListIndex i = 0; i < list.entryCount(); ++i)
        seen(list.lstServerIP.item(i), list.lstServerPort.item(i));
    if (list.hasEntryOutForEditing()) seen(list.txtServerIP.text(), list.txtServerPort.text());
    for (const ImportedServer* server : plan.repeated)
        plan.repeatedOfList += servers.count(serverKey(server->address, server->port));
    return plan;
}
std::wstring placeText(const ServerLines& lines, LinePlace place) {
    const std::wstring line = texts::fill(texts::kImportLine, {texts::number(place.line)});
    const std::wstring& source = lines.sources[place.source];
    return source.empty() ? line
                          : texts::fill(texts::kImportLineOfFile,
                                        {texts::shortened(source, kPathChars), line});
}

namespace {

// The first few of `count` things, each as `name(i)` makes it after `between`, and how many more.
template <typename Name>
std::wstring firstFew(std::size_t named, std::size_t count, std::wstring_view between,
                      const texts::Text<1>& more, Name name) {
    std::wstring text;
    for (std::size_t i = 0; i < named && i < kNamed; ++i) {
        if (i) text += between;
        text += name(i);
    }
    if (count > kNamed) text += texts::fill(more, {texts::number(count - kNamed)});
    return text;
}

}  // namespace

std::wstring serversNamed(const ServerLines& lines,
                          const std::vector<const ImportedServer*>& some) {
    return firstFew(some.size(), some.size(), L"", texts::kAndMoreServers, [&](std::size_t i) {
        return texts::fill(
            texts::kImportServerNamed,
            {placeText(lines, some[i]->place), texts::shortened(some[i]->nickname, kNicknameChars),
             addressPortText(some[i]->address, some[i]->port)});
    });
}

std::wstring importSummary(const ServerLines& lines, const ImportPlan& plan, bool withRepeated) {
    const std::size_t added = plan.adding(withRepeated).size();
    std::wstring summary = texts::fill(texts::kImportAdded, {texts::number(added)});
    if (!withRepeated && plan.repeatedOfList > 0)
        summary += texts::fill(texts::kImportLeftOut, {texts::number(plan.repeatedOfList)});
    if (!withRepeated && plan.repeated.size() > plan.repeatedOfList)
        summary += texts::fill(texts::kImportLeftOutRepeats,
                               {texts::number(plan.repeated.size() - plan.repeatedOfList)});
    const std::size_t cannotHold = plan.cannotHold.size();
    if (cannotHold > 0) {
        summary += texts::kImportCannotHold;
        summary +=
            firstFew(cannotHold, cannotHold, L"", texts::kAndMoreServers, [&](std::size_t i) {
                return texts::fill(
                    texts::kImportCannotHoldServer,
                    {placeText(lines, plan.cannotHold[i].first->place), plan.cannotHold[i].second});
            });
    }
    if (lines.notServersRead > 0) {
        summary += texts::fill(
            texts::kImportNotServers,
            {firstFew(lines.notServers.size(), lines.notServersRead, texts::kImportLinesBetween,
                      texts::kAndMoreLines,
                      [&](std::size_t i) { return placeText(lines, lines.notServers[i]); })});
    }
    summary += firstFew(lines.refused.size(), lines.refused.size(), L"", texts::kImportMoreRefused,
                        [&](std::size_t i) { return lines.refused[i]; });
    return summary;
}

}  // namespace hostdeck
