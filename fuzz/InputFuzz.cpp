// libFuzzer target: any text as what comes from outside the window's own controls, through the
// readers that take it in: the program's command line, a paste into the address field, and a
// desktop shortcut's arguments and name. Checks, besides crashes and undefined behaviour:
//   - a command line is read as the README's rules read it (readByTheRules, written apart from
//     the reader), starts at most one server, and only what it names: the text after the
//     switch, or the one server of that nickname, or the address and port it is;
//   - the arguments of a shortcut made for any address and port, read back as a command line,
//     start exactly that address and port;
//   - Copy address, then a paste, gives the same server;
//   - a shortcut's file name is one Windows takes (no reserved character or device name, no
//     blank or dot at the end, within the length), and two servers' names differ.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "launch/DesktopStart.h"
#include "launch/ServerLaunch.h"
#include "serverlist/AddressPort.h"
#include "support/FakeRegistry.h"
#include "support/MemoryFileStore.h"
#include "support/Recorders.h"

namespace {

using namespace hostdeck;
const std::wstring kList = L"C:\\H\\serverlist.ini", kProgram = L"C:\\My Games\\hostdeck.exe",
                   kGame = L"C:\\G\\exe\\vantorel.exe";
// The list the command line is read against: nicknames that look like switches, addresses and
// one another.
const std::string kListFile =
    "Home#10.0.0.5#99\r\nhome#10.0.0.6#99\r\n-sneaky#5.6.7.8#9\r\n/s1:2#1.1.1.1#1\r\n"
    "1.2.3.4:5#2.2.2.2#2\r\nMy Home#3.3.3.3#3\r\n#4.4.4.4#4\r\nSpaces#my host#1 2\r\n";

[[noreturn]] void fail(const char* what, std::wstring_view text) {
    std::fprintf(stderr, "%s: ", what);
    for (const wchar_t c : text) std::fprintf(stderr, c >= 32 && c < 127 ? "%lc" : "\\x%X", c);
    std::fprintf(stderr, "\n");
    std::abort();
}

// What the game is started with for the command line `line`; empty when nothing starts.
std::wstring startedBy(const std::wstring& line, StartRequest& request) {
    fakes::MemoryFileStore files;
    files.files[kList] = kListFile;
    fakes::FakeRegistry registry;
    registry.values[L"32:" + std::wstring(kGameKey) + L"\\AppPath"] = fakes::sz(L"C:\\G");
    fakes::RecordingStarter starter;
    request = readCommandLine(line, kProgram);
    const Result result = launchFromCommandLine(files, kList, request, registry, starter);
    const std::size_t lines = std::count(starter.starts.begin(), starter.starts.end(), L'\n');
    if (lines > 1 || result.ok() != (lines == 1)) fail("more than one start", line);
    if (files.files.size() != 1 || files.files[kList] != kListFile) fail("list written", line);
    const std::wstring prefix = kGame + L"|" + kGame + L" -s";
    if (lines == 1 && !starter.starts.starts_with(prefix)) fail("not the game", line);
    return lines ? starter.starts.substr(prefix.size(), starter.starts.size() - prefix.size() - 1)
                 : L"";
}

// What follows the program, read by the README's rules, apart from the reader: blanks around it
// left out; split into arguments as the C runtime splits them (at blanks and tabs outside
// quotes; quotes left out, "" inside quotes one quote; 2n backslashes before a quote n
// backslashes, 2n+1 n and the quote itself; other backslashes as written); more than one
// argument is refused, none (or an empty one) opens the window; "-s" or "/s" (either case) with
// a colon after it, and no line break, starts what follows it; anything else is a name.
StartRequest readByTheRules(std::wstring_view rest) {
    using Kind = StartRequest::Kind;
    while (!rest.empty() && (rest.front() == L' ' || rest.front() == L'\t')) rest.remove_prefix(1);
    while (!rest.empty() && (rest.back() == L' ' || rest.back() == L'\t')) rest.remove_suffix(1);
    std::vector<std::wstring> arguments;
    std::wstring current;
    bool quoted = false, any = false;
    std::size_t slashes = 0;
    for (std::size_t i = 0; i <= rest.size(); ++i) {
        const wchar_t c = i < rest.size() ? rest[i] : L' ';
        if (c == L'\\') {
            ++slashes;
            any = true;
            continue;
        }
        if (c == L'"') {
            current.append(slashes / 2, L'\\');
            const bool literal = slashes % 2 == 1;
            slashes = 0;
            any = true;
            if (literal) {
                current += L'"';
            } else if (quoted && i + 1 < rest.size() && rest[i + 1] == L'"') {
                current += L'"';
                ++i;
            } else {
                quoted = !quoted;
            }
            continue;
        }
        current.append(std::exchange(slashes, 0), L'\\');
        if ((c == L' ' || c == L'\t') && (!quoted || i == rest.size())) {
            if (any) arguments.push_back(std::exchange(current, {}));
            any = false;
            continue;
        }
        current += c;
        any = true;
    }
    if (arguments.size() > 1) return {Kind::TooManyArguments, std::wstring(rest)};
    if (arguments.empty() || arguments[0].empty()) return {};
    const std::wstring& argument = arguments[0];
    const bool lineBreak = argument.find_first_of(std::wstring_view(L"\r\n\0", 3)) != argument.npos;
    if (argument.size() > 2 && (argument[0] == L'-' || argument[0] == L'/') &&
        (argument[1] == L's' || argument[1] == L'S') && argument.find(L':', 2) != argument.npos &&
        !lineBreak)
        return {Kind::Server, argument.substr(2)};
    return {Kind::Name, argument};
}

// `rest`: what follows the program's path, where the line is written so that it is known.
void checkCommandLine(const std::wstring& line, std::optional<std::wstring_view> rest = {}) {
    StartRequest request;
    const std::wstring started = startedBy(line, request);
    if (rest && request != readByTheRules(*rest)) fail("read other than the rules say", line);
    if (started.empty()) return;
    if (request.kind == StartRequest::Kind::Server) {
        if (started != request.text) fail("the switch started something else", line);
        return;
    }
    if (request.kind != StartRequest::Kind::Name) fail("started without being asked", line);
    // The one server of that nickname; failing that, the address and port the name is.
    ServerListModel list;
    std::wstring named;
    int count = 0;
    for (std::size_t at = 0; at < kListFile.size();) {
        const std::size_t end = kListFile.find("\r\n", at);
        const std::string record = kListFile.substr(at, end - at);
        at = end + 2;
        const std::size_t first = record.find('#'), last = record.rfind('#');
        const std::wstring nickname(record.begin(), record.begin() + static_cast<long>(first));
        if (!sameIgnoringCase(nickname, request.text)) continue;
        ++count;
        named = std::wstring(record.begin() + static_cast<long>(first) + 1,
                             record.begin() + static_cast<long>(last)) +
                L":" + std::wstring(record.begin() + static_cast<long>(last) + 1, record.end());
    }
    if (count > 1) fail("started one of several", line);
    if (count == 0) {
        const std::optional<AddressPort> address = parseAddressPort(request.text);
        if (!address) fail("started what it could not read", line);
        named = address->address + L":" + address->port;
    }
    if (started != named) fail("started another server", line);
}

// What a list entry's address or port can hold: anything but a line break.
std::wstring entryText(std::wstring_view text) {
    std::wstring held;
    for (const wchar_t c : text)
        if (c != L'\r' && c != L'\n' && c != L'\0') held += c;
    return held;
}

void checkShortcutArguments(const std::wstring& address, const std::wstring& port) {
    StartRequest request;
    const std::wstring line = L"\"" + kProgram + L"\" " + shortcutArguments(address, port);
    if (startedBy(line, request) != address + L":" + port)
        fail("a shortcut started another server", line);
}

void checkCopyAndPaste(const std::wstring& address, const std::wstring& port) {
    const std::wstring copied = addressPortText(address, port);
    const std::optional<AddressPort> pasted = readPastedAddress(copied);
    if (pasted && !sameServer(pasted->address, pasted->port, address, port))
        fail("a copy pasted back is another server", copied);
    // Whatever a paste takes, it takes again from its own copy.
    if (const std::optional<AddressPort> any = readPastedAddress(address + L"\n" + port)) {
        if (readPastedAddress(addressPortText(any->address, any->port)) != any)
            fail("a paste does not read back", address);
    }
}

wchar_t folded(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

void checkFileName(const std::wstring& name, std::wstring_view from) {
    if (!name.ends_with(L".lnk") || name.size() > kLongestShortcutName + 4)
        fail("not a shortcut's name", from);
    const std::wstring_view stem = std::wstring_view(name).substr(0, name.size() - 4);
    if (stem.empty() || stem.back() == L' ' || stem.back() == L'.') fail("a bad end", from);
    for (const wchar_t c : stem)
        if (c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
            fail("a reserved character", from);
    // A device name: the part before the first dot, without the blanks at its end.
    std::wstring_view device = stem.substr(0, stem.find(L'.'));
    device = device.substr(0, device.find_last_not_of(L' ') + 1);
    std::wstring word;
    for (const wchar_t c : device) word += folded(c);
    for (const wchar_t* reserved : {L"con", L"prn", L"aux", L"nul"})
        if (word == reserved) fail("a device's name", from);
    if (word.size() == 4 && (word.starts_with(L"com") || word.starts_with(L"lpt")) &&
        std::wstring_view(L"0123456789\u00B9\u00B2\u00B3").find(word[3]) != std::wstring::npos)
        fail("a port's name", from);
}

void checkShortcutNames(const std::wstring& nickname, const std::wstring& address,
                        const std::wstring& port, const std::wstring& otherAddress) {
    const std::wstring plain = shortcutFileName(nickname),
                       one = shortcutFileName(nickname, address, port),
                       other = shortcutFileName(nickname, otherAddress, port);
    checkFileName(plain, nickname);
    checkFileName(one, address);
    checkFileName(other, otherAddress);
    if (serverKey(address, port) == serverKey(otherAddress, port)) return;
    std::wstring a, b;  // as Windows compares names, for the letters a name can differ in
    for (const wchar_t c : one) a += folded(c);
    for (const wchar_t c : other) b += folded(c);
    if (a == b) fail("two servers share a name", one);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The bytes as UTF-16 units (halves of pairs too), cut into pieces where they hold U+0001.
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    std::wstring piece[4];
    for (std::size_t at = 0, n = 0; n < 4 && at <= text.size(); ++n) {
        const std::size_t end = std::min(text.find(L'\x01', at), text.size());
        piece[n] = text.substr(at, end - at);
        at = end + 1;
    }
    checkCommandLine(text);
    checkCommandLine(L"\"" + kProgram + L"\" " + text, text);
    checkCommandLine(kProgram + L" " + text, text);
    const std::wstring address = entryText(piece[1]), port = entryText(piece[2]);
    checkShortcutArguments(address, port);
    // Also in brackets and with a port that is one, where random text seldom gets.
    const std::wstring number = std::to_wstring(1 + text.size() * 7919 % 65535);
    for (const std::wstring& a : {address, L"[" + address + L"]"})
        for (const std::wstring& p : {port, number}) checkCopyAndPaste(a, p);
    // The other server: the fourth piece, or the address with one character changed, as a
    // near miss is where two names would meet.
    std::wstring other = entryText(piece[3]);
    if (other.size() >= 2 && !address.empty()) {
        const std::size_t at = other[0] % address.size();
        other = address.substr(0, at) + other[1] + address.substr(at + 1);
    }
    checkShortcutNames(piece[0], address, port, other);
    return 0;
}
