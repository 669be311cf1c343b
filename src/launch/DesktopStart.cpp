#include "launch/DesktopStart.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "serverlist/AddressPort.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

constexpr std::wstring_view kBlanks = L" \t";

std::wstring_view trimmed(std::wstring_view text) {
    const std::size_t start = text.find_first_not_of(kBlanks);
    if (start == std::wstring_view::npos) return {};
    return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

wchar_t folded(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

bool endsWithName(std::wstring_view text, std::wstring_view name) {
    if (name.empty() || text.size() < name.size()) return false;
    const std::wstring_view end = text.substr(text.size() - name.size());
    if (!sameIgnoringCase(end, name)) return false;
    return text.size() == name.size() ||
           std::wstring_view(L"\\/:\"").find(text[text.size() - name.size() - 1]) !=
               std::wstring_view::npos;
}

// Where the program's own path ends: the first place at a blank (or the end) before which the
// text ends with the program's file name, with or without ".exe"; failing that, as Windows
// reads a program's name: in quotes up to the next quote, or up to the first blank.
std::size_t endOfProgram(std::wstring_view commandLine, std::wstring_view programPath) {
    const std::wstring_view file =
        programPath.substr(std::min(programPath.find_last_of(L"\\/") + 1, programPath.size()));
    const std::wstring_view stem =
        file.size() > 4 && sameIgnoringCase(file.substr(file.size() - 4), L".exe")
            ? file.substr(0, file.size() - 4)
            : std::wstring_view{};
    for (std::size_t at = 0; at <= commandLine.size(); ++at) {
        if (at < commandLine.size() && kBlanks.find(commandLine[at]) == std::wstring_view::npos &&
            commandLine[at] != L'"')
            continue;
        std::wstring_view before = commandLine.substr(0, at);
        if (before.starts_with(L'"')) before.remove_prefix(1);
        if (endsWithName(before, file) || endsWithName(before, stem))
            return at < commandLine.size() && commandLine[at] == L'"' ? at + 1 : at;
    }
    if (commandLine.starts_with(L'"'))
        return std::min(commandLine.find(L'"', 1), commandLine.size() - 1) + 1;
    return std::min(commandLine.find_first_of(kBlanks), commandLine.size());
}

// The arguments of `text` as the C runtime splits them: at blanks outside quotes; a quote
// begins or ends a quoted part and is left out, but for "" inside one (a quote); backslashes
// are as written, but for those before a quote: each pair is one backslash, and an odd one
// makes the quote a character of the argument.
std::vector<std::wstring> windowsArguments(std::wstring_view text) {
    std::vector<std::wstring> arguments;
    std::wstring argument;
    bool inQuotes = false, started = false;
    for (std::size_t i = 0; i < text.size();) {
        const wchar_t c = text[i];
        if (!inQuotes && kBlanks.find(c) != std::wstring_view::npos) {
            if (started) arguments.push_back(std::exchange(argument, {}));
            started = false;
            ++i;
            continue;
        }
        started = true;
        if (c == L'\\') {
            const std::size_t end = std::min(text.find_first_not_of(L'\\', i), text.size());
            const bool quote = end < text.size() && text[end] == L'"';
            argument.append(quote ? (end - i) / 2 : end - i, L'\\');
            if (quote && (end - i) % 2) argument += L'"';
            i = quote && (end - i) % 2 ? end + 1 : end;
        } else if (c == L'"') {
            const bool doubled = inQuotes && i + 1 < text.size() && text[i + 1] == L'"';
            if (doubled) argument += L'"';
            inQuotes = doubled || !inQuotes;
            i += doubled ? 2 : 1;
        } else {
            argument += c;
            ++i;
        }
    }
    if (started) arguments.push_back(argument);
    return arguments;
}

// Eight letters from the whole text (FNV-1a): what keeps a cut name apart.
std::wstring tagOf(std::wstring_view text) {
    std::uint32_t hash = 2166136261u;
    for (const wchar_t c : text) {
        hash ^= static_cast<std::uint32_t>(c);
        hash *= 16777619u;
    }
    std::wstring tag(8, L'0');
    for (int i = 7; i >= 0; --i, hash >>= 4)
        tag[static_cast<std::size_t>(i)] = L"0123456789abcdef"[hash & 15];
    return tag;
}

// The text as a file name Windows takes: no character it refuses, no blank or dot at the end,
// no device name.
std::wstring plainFileName(std::wstring_view text) {
    std::wstring name(text);
    for (wchar_t& c : name) {
        if (c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
            c = L'_';
    }
    // Windows drops blanks and dots at the end of a name.
    while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.back() = L'_';
    // It reads "CON", "com1.txt", "LPT\u00B9 .x" and the like as devices, whatever follows a dot
    // and with the blanks before it.
    std::wstring_view stem = std::wstring_view(name).substr(0, name.find(L'.'));
    stem = stem.substr(0, stem.find_last_not_of(L' ') + 1);
    std::wstring device;
    for (const wchar_t c : stem.substr(0, 3)) device += static_cast<wchar_t>(folded(c));
    const bool numbered =
        (device == L"com" || device == L"lpt") && stem.size() == 4 &&
        std::wstring_view(L"0123456789\u00B9\u00B2\u00B3").find(stem[3]) != std::wstring_view::npos;
    if (numbered || (stem.size() == 3 && (device == L"con" || device == L"prn" ||
                                          device == L"aux" || device == L"nul")))
        name.insert(0, L"_");
    if (name.empty()) name = L"_";
    return name;
}

// The file name for `text`; with `tagged`, or where it is longer than `longest`, cut to leave
// room for the tag of the whole text.
std::wstring shortcutName(std::wstring_view text, bool tagged, std::size_t longest) {
    std::wstring name = plainFileName(text);
    longest = std::max<std::size_t>(longest, 16);
    if (!tagged && name.size() <= longest) return name + L".lnk";
    std::size_t keep = std::min(name.size(), longest - 9);
    if (keep > 0 && name[keep - 1] >= 0xD800 && name[keep - 1] <= 0xDBFF) --keep;  // a pair
    name.resize(keep);
    return name + L" " + tagOf(text) + L".lnk";
}

// The server a shortcut's arguments start, as this program reads them; nothing for another.
std::optional<AddressPort> serverStartedBy(std::wstring_view arguments) {
    const StartRequest request = readCommandLine(L"hostdeck.exe " + std::wstring(arguments), L"");
    if (request.kind != StartRequest::Kind::Server) return std::nullopt;
    const std::size_t colon = request.text.rfind(L':');
    return AddressPort{request.text.substr(0, colon), request.text.substr(colon + 1)};
}

}  // namespace

ShortcutPlace placeShortcut(
    const std::wstring& folder, std::wstring_view nickname, std::wstring_view address,
    std::wstring_view port,
    const std::function<std::optional<std::wstring>(const std::wstring&)>& existing) {
    // The whole path within what Windows 7 takes, MAX_PATH.
    const std::size_t room = folder.size() + 6 < 260 ? 260 - folder.size() - 6 : 0;
    const std::size_t longest = std::min(kLongestShortcutName, room);
    ShortcutPlace place{folder + L"\\" + shortcutFileName(nickname, longest), std::nullopt};
    std::optional<std::wstring> there = existing(place.path);
    if (!there) return place;
    std::optional<AddressPort> starts = serverStartedBy(*there);
    if (!starts || !sameServer(starts->address, starts->port, address, port)) {
        place.path = folder + L"\\" + shortcutFileName(nickname, address, port, longest);
        there = existing(place.path);
        if (!there) return place;
        starts = serverStartedBy(*there);
    }
    place.replaces = starts ? texts::fill(texts::kShortcutStartsServer,
                                          {addressPortText(starts->address, starts->port)})
                            : std::wstring(texts::kShortcutStartsOther);
    return place;
}

StartRequest readCommandLine(std::wstring_view commandLine, std::wstring_view programPath) {
    commandLine = trimmed(commandLine);
    const std::wstring_view rest =
        trimmed(commandLine.substr(endOfProgram(commandLine, programPath)));
    if (rest.empty()) return {};
    const std::vector<std::wstring> arguments = windowsArguments(rest);
    if (arguments.size() > 1) return {StartRequest::Kind::TooManyArguments, std::wstring(rest)};
    if (arguments.empty() || arguments.front().empty()) return {};
    const std::wstring& argument = arguments.front();
    // No list entry holds a line break, so no shortcut carries one.
    const bool isSwitch =
        argument.size() > 2 && (argument[0] == L'-' || argument[0] == L'/') &&
        folded(argument[1]) == L's' && argument.find(L':', 2) != std::wstring::npos &&
        argument.find_first_of(std::wstring_view(L"\r\n\0", 3)) == std::wstring::npos;
    if (isSwitch) return {StartRequest::Kind::Server, argument.substr(2)};
    return {StartRequest::Kind::Name, argument};
}

std::wstring shortcutArguments(std::wstring_view address, std::wstring_view port) {
    // One argument in quotes, written so that it splits back whole, quotes and blanks too.
    const std::wstring argument =
        std::wstring(kAddressSwitch) + std::wstring(address) + L":" + std::wstring(port);
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'"') quoted.append(backslashes + 1, L'\\');  // each doubled, and one for it
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        quoted += c;
    }
    quoted.append(backslashes, L'\\');  // doubled before the closing quote
    return quoted + L"\"";
}

std::wstring shortcutFileName(std::wstring_view nickname, std::size_t longest) {
    return shortcutName(nickname, false, longest);
}

std::wstring shortcutFileName(std::wstring_view nickname, std::wstring_view address,
                              std::wstring_view port, std::size_t longest) {
    // The server as the rule for the same server sees it, so that its name is one.
    std::wstring server = serverKey(address, port);
    const std::size_t cut = server.find(L'\n');
    // Only such names are told apart by the text alone: a file name ignores case and turns
    // other characters into "_".
    const bool apart =
        cut > 0 && cut + 1 < server.size() &&
        server.find_first_not_of(L"abcdefghijklmnopqrstuvwxyz0123456789.-_\n") == server.npos &&
        server.find_first_not_of(L"0123456789", cut + 1) == server.npos;
    server[cut] = L' ';
    return shortcutName(std::wstring(nickname) + L" (" + server + L")", !apart, longest);
}

}  // namespace hostdeck
