// libFuzzer target: one whole session of the window's list, played from the input's bytes
// through the code the window runs (ListSession, ServerListModel, ServerListFile) over files in
// memory. It sets up the disk, then mixes the user's actions, the disk's events and the user's
// answers (to every question, with the disk changing and the window closed again or Windows
// ending while a question is open) until the session ends. Servers come in by imports too: pasted
// lines and files of random lines in any encoding, or the list file itself. A plain list of the
// entries, updated by the same actions, says what the window should hold. Once the session is over:
//   (a) every entry the window showed last, the entry out for editing included, is in the list
//       file, or in a copy that reads back as that list and that the next start names; or the
//       user gave it up by an answer that said so;
//   (b) a list that did not change, or changed back, is not written at all;
//   (c) the entries keep their order unless the user moved them (an undone delete is back where
//       it was);
//   (d) no temporary file is left, nothing is asked once the session is over, and neither Add
//       nor an import makes a second entry for the same server unasked.
// Any breach aborts with a line that says which.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "launch/ServerLaunch.h"
#include "platform/TextCodec.h"
#include "serverlist/AddressPort.h"
#include "serverlist/ListFileFormat.h"
#include "serverlist/ListSession.h"
#include "serverlist/ServerExport.h"
#include "serverlist/ServerImport.h"
#include "serverlist/ServerListFile.h"
#include "support/FakeRegistry.h"
#include "support/MemoryFileStore.h"
#include "support/Recorders.h"

namespace {

using namespace hostdeck;
using Answer = Question::Answer;
using Kind = Question::Kind;
using Store = hostdeck::fakes::MemoryFileStore;

const std::wstring kFolder = L"C:\\H", kList = L"C:\\H\\serverlist.ini", kUserFolder = L"C:\\U";

// HOSTDECK_FUZZ_TRACE=1 prints what a replayed input does.
const bool kTrace = std::getenv("HOSTDECK_FUZZ_TRACE") != nullptr;
void trace(const char* what, long value = 0) {
    if (kTrace) std::fprintf(stderr, "  %s %ld\n", what, value);
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "session fuzzer: %s\n", what);
    std::abort();
}
void check(bool holds, const char* what) {
    if (!holds) fail(what);
}

// The input, a byte at a time; zeros once it is used up.
struct Input {
    const std::uint8_t* at;
    std::size_t left;
    bool empty() const { return left == 0; }
    unsigned next() { return left ? (--left, *at++) : 0u; }
    unsigned below(unsigned n) { return next() % n; }
};

struct Entry {
    std::wstring nickname, address, port;
    bool operator==(const Entry&) const = default;
};

// The list as the user should see it: every entry in order, the one out for editing in its
// place, and the fields.
struct Reference {
    struct Slot {
        Entry entry;
        bool out = false;  // out for editing: its text is in the fields
        int id = 0;
    };
    std::vector<Slot> slots;
    // What Undo takes back, newest last: a delete or an import, where in `slots` (its first
    // entry), and its entries.
    struct Undoable {
        bool import = false;
        std::size_t at = 0;
        std::vector<Entry> entries;
    };
    std::vector<Undoable> undoable;
    Entry fields;
    bool fieldsEnabled = true;
    int current = 0;  // the current entry's id; 0: none
    int nextId = 1;

    std::vector<Entry> shown() const {
        std::vector<Entry> list;
        for (const Slot& slot : slots)
            if (!slot.out) list.push_back(slot.entry);
        return list;
    }
    // The slot of the index'th entry shown.
    std::size_t slotOf(std::size_t index) const {
        for (std::size_t s = 0;; ++s)
            if (!slots[s].out && index-- == 0) return s;
    }
    std::optional<std::size_t> outSlot() const {
        for (std::size_t s = 0; s < slots.size(); ++s)
            if (slots[s].out) return s;
        return std::nullopt;
    }
    std::optional<std::size_t> currentSlot() const {
        for (std::size_t s = 0; s < slots.size(); ++s)
            if (slots[s].id == current && current) return s;
        return std::nullopt;
    }
    void append(const Entry& entry) { slots.push_back({entry, false, nextId++}); }
    void removeShown(std::size_t index) {
        const std::size_t slot = slotOf(index);
        if (slots[slot].id == current) current = 0;
        slots.erase(slots.begin() + static_cast<std::ptrdiff_t>(slot));
    }
    // An import taken back: its entries go where they were put; where some were moved or changed
    // since, each one left goes by its texts, the last such entry first.
    void undoImport(const Undoable& import) {
        const std::vector<Entry> list = shown();
        const std::size_t n = import.entries.size();
        std::size_t at = 0;  // among the entries shown
        for (std::size_t slot = 0; slot < import.at && slot < slots.size(); ++slot)
            at += slots[slot].out ? 0 : 1;
        bool inPlace = at + n <= list.size();
        for (std::size_t k = 0; inPlace && k < n; ++k) inPlace = list[at + k] == import.entries[k];
        for (std::size_t k = n; k-- > 0;) {
            const std::vector<Entry> now = shown();
            std::ptrdiff_t i =
                static_cast<std::ptrdiff_t>(inPlace ? at + k : now.size()) - (inPlace ? 0 : 1);
            while (i >= 0 && now[static_cast<std::size_t>(i)] != import.entries[k]) --i;
            if (i >= 0) removeShown(static_cast<std::size_t>(i));
        }
    }
    void select(std::size_t slot) {
        current = slots[slot].id;
        fields = slots[slot].entry;
        fieldsEnabled = false;
    }
};

// Answers each question from the input, by its kind, and meanwhile lets the disk change, closes
// the window again or ends the Windows session.
struct FuzzUser final : User {
    Input& in;
    Store& files;
    ListSession* session = nullptr;
    bool entryDiscarded = false;  // Yes to "discard the entry out for editing?"
    bool listGivenUp = false;     // an answer that gives up the window's changes
    bool sameServerAgreed = false;
    std::optional<Answer> importAnswer;  // to the repeated servers of an import
    bool windowsEnded = false;           // and the session with it
    int depth = 0;
    std::vector<std::wstring>* told = nullptr;  // the start notes of a later start, when set
    std::function<void()> windowsEnds;          // asks to end, and ends or goes on

    FuzzUser(Input& input, Store& store) : in(input), files(store) {}
    void diskEvent();
    void meanwhile();
    Answer ask(const Question& q) override;
    bool waitUntil(const std::wstring& text, const std::function<bool()>& done) override;
};

// Where wchar_t is 32 bits wide (the host build), a character beyond U+FFFF is one unit, never
// a pair of halves as on Windows: halves typed one after the other become that one unit.
std::wstring wholeCharacters(std::wstring text) {
    if constexpr (sizeof(wchar_t) == 4) {
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            const auto high = static_cast<std::uint32_t>(text[i]);
            const auto low = static_cast<std::uint32_t>(text[i + 1]);
            if (high >= 0xD800 && high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
                text[i] = static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
                text.erase(i + 1, 1);
            }
        }
    }
    return text;
}
std::vector<Entry> wholeCharacters(std::vector<Entry> list) {
    for (Entry& e : list) {
        for (std::wstring* text : {&e.nickname, &e.address, &e.port})
            *text = wholeCharacters(*text);
    }
    return list;
}

std::wstring pieceOfText(Input& in) {
    static const wchar_t* const kPieces[] = {
        L"Home",   L"Club",       L"home",   L"10.0.0.5", L"1.2.3.4", L"99",
        L"27015",  L"#",          L";",      L"\r\n",     L" ",       L"\u00e9",
        L"\u20ac", L"\U0001F600", L"\xD800", L"\xDC41",   L"[::1]",   L":"};
    std::wstring text;
    for (unsigned n = in.below(4); n > 0; --n) text += kPieces[in.below(std::size(kPieces))];
    return text;
}

// Each action of the user or the disk has a code of its own, which never changes, so that the
// stored inputs keep their meaning when an action is added: a new action takes a code that none
// had. An input byte picks the code; a code without an action does nothing.
enum class Action {
    Click = 0,
    Type = 1,
    PasteAddress = 2,
    Add = 3,
    Edit = 4,
    Delete = 5,
    Undo = 6,
    Start = 7,
    DiskEvent = 8,
    DiskEvent2 = 9,
    Move = 10,
    End = 11,  // a close, or the end of Windows
    PasteServers = 12,
    ImportFile = 13,
    Export = 14,  // to a file, or to the list file itself, and read back
};
constexpr unsigned kActionCodes = 32;

// Lines as players pass servers around: records, addresses with ports and names, lines that are
// no server, comments and blanks; some of them servers the list has.
std::wstring importLines(Input& in) {
    static const wchar_t* const kLines[] = {L"Home#10.0.0.5#99",
                                            L"Club#1.2.3.4#27015",
                                            L"10.0.0.5:99",
                                            L"1.2.3.4:27015 Friday",
                                            L"[::1]:5\tV6",
                                            L"\u20ac#[::1]#5",
                                            L"; a note",
                                            L"",
                                            L"junk",
                                            L"x.y:1 ;bad",
                                            L"HOME#10.0.0.5# 99",
                                            L"odd#1",
                                            L"\xDC85K#1#2",
                                            L"a.b:7 Caf\u00e9",
                                            L"#10.0.0.7#7",
                                            L"V6# ::1 #5",
                                            L"1.2.3.4:27015 Friday games",
                                            L"Join tonight! #lan #party 10.0.0.5:2300"};
    std::wstring text;
    for (unsigned n = in.below(8); n > 0; --n) {
        text += in.below(4) ? std::wstring(kLines[in.below(std::size(kLines))])
                            : pieceOfText(in) + L":" + pieceOfText(in);
        static const wchar_t* const kEnds[] = {L"\r\n", L"\r\n", L"\n", L"\r"};
        text += kEnds[in.below(4)];
    }
    return wholeCharacters(text);
}

// The servers that lines from elsewhere hold, read by the rules the README gives the user, apart
// from the import's own reader: lines end at CR LF, LF or CR; blank lines and ";" comments are
// skipped; a line with two "#" is a record (nickname up to the first, port after the last), a
// server where its address and port read as "address:port" (no blanks around either, an address
// with ":" in brackets) and named so when it has no nickname; any other line is a server where
// its first word reads as "address:port", named by the rest of the line or else by that word.
std::vector<Entry> serversIn(std::wstring_view text) {
    constexpr std::wstring_view kBlanks = L" \t\f\v";
    const auto strip = [&](std::wstring_view t) {
        while (!t.empty() && kBlanks.find(t.front()) != t.npos) t.remove_prefix(1);
        while (!t.empty() && kBlanks.find(t.back()) != t.npos) t.remove_suffix(1);
        return std::wstring(t);
    };
    std::vector<Entry> servers;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = start;
        while (end < text.size() && text[end] != L'\r' && text[end] != L'\n') ++end;
        const std::wstring_view line = text.substr(start, end - start);
        start = end + (text.substr(end, 2) == L"\r\n" ? 2 : 1);
        const std::wstring bare = strip(line);
        if (bare.empty() || bare.front() == L';') continue;
        if (std::count(line.begin(), line.end(), L'#') >= 2) {
            const std::size_t first = line.find(L'#'), last = line.rfind(L'#');
            Entry record{std::wstring(line.substr(0, first)),
                         std::wstring(line.substr(first + 1, last - first - 1)),
                         std::wstring(line.substr(last + 1))};
            std::wstring address = strip(record.address);
            if (address.find(L':') != address.npos &&
                !(address.front() == L'[' && address.back() == L']'))
                address = L"[" + address + L"]";
            const std::wstring written = address + L":" + strip(record.port);
            if (!parseAddressPort(written)) continue;
            if (record.nickname.empty()) record.nickname = written;
            servers.push_back(record);
            continue;
        }
        const std::size_t blank = std::min(bare.find_first_of(kBlanks), bare.size());
        const std::wstring word = bare.substr(0, blank), name = strip(bare.substr(blank));
        if (const std::optional<AddressPort> server = parseAddressPort(word))
            servers.push_back({name.empty() ? word : name, server->address, server->port});
    }
    return servers;
}

// The servers of a file's bytes: a file with a NUL in 8-bit text holds none.
std::vector<Entry> serversInFile(std::string_view bytes) {
    const auto [encoding, mark] = ServerListFile::encodingOfBytes(bytes);
    bytes.remove_prefix(mark);
    if (!isUtf16(encoding) && bytes.find('\0') != bytes.npos) return {};
    return serversIn(decodeText(bytes, encoding));
}

void FuzzUser::diskEvent() {
    const auto bytes = [&]() -> std::string& { return files.files[kList]; };
    const unsigned event = in.below(16);
    trace("disk event", event);
    switch (event) {
        case 0:
            bytes() = "Other#5#6\r\n";
            break;  // another program
        case 1:
            files.files.erase(kList);
            break;
        case 2:  // the same bytes again
            if (files.files.count(kList)) bytes() = std::string(bytes());
            break;
        case 3:
            bytes() += "; a note\r\n";
            break;
        case 4:
            files.locked[kList] = L"sharing violation";
            break;
        case 5:
            files.locked.clear();
            break;
        case 6:
            files.readOnlyFolder = kList;  // the file alone
            break;
        case 7:
            files.readOnlyFolder = kFolder;
            break;
        case 8:
            files.readOnlyFolder = L"C:\\";
            break;  // both folders
        case 9:
            files.readOnlyFolder.reset();
            break;
        case 10:
            files.failingWrites = static_cast<int>(in.below(3));
            break;  // disk full
        case 11:
            files.refusedCreates = static_cast<int>(in.below(3));
            break;
        case 12:
            files.refusedMoves = static_cast<int>(in.below(3));
            break;
        case 13:
            files.busySaves[kList] = static_cast<int>(in.below(4));
            break;                   // another saver
        case 14:                     // another Hostdeck keeps a copy
            for (int n = 1;; ++n) {  // never over another copy, as Hostdeck writes them
                const std::wstring copy =
                    kFolder + L"\\serverlist (not saved " + std::to_wstring(n) + L").ini";
                if (files.files.count(copy)) continue;
                files.files[copy] = "; Hostdeck kept this copy\r\n; It belongs to D:\\x\r\n";
                break;
            }
            break;
        default:
            files.whileSaving = [this] { files.files[kList] = "Saver#7#8\r\n"; };
            break;
    }
}

// While a question is open: the disk may change, and the window be closed again or Windows end.
void FuzzUser::meanwhile() {
    // Once the session is over, what happens to the disk is no longer Hostdeck's.
    for (unsigned step = in.below(4); step > 0 && !session->done(); --step) {
        switch (in.below(5)) {
            case 0:
            case 1:
                diskEvent();
                break;
            case 2:
                check(!session->mayClose() || session->done(), "a second close while asking");
                break;
            case 3:
                trace("Windows ends while asking");
                if (depth < 2) windowsEnds();
                break;
            default:
                break;
        }
    }
}

Answer FuzzUser::ask(const Question& q) {
    if (told) {
        told->push_back(q.text);
        return q.byDefault;
    }
    check(!session->done(), "asked after the session ended");
    ++depth;
    meanwhile();
    --depth;
    static const std::vector<Answer> kAnswers[] = {
        {Answer::Ok},
        {Answer::Yes, Answer::No},
        {Answer::Yes, Answer::No, Answer::Cancel},
        {Answer::Cancel, Answer::TryAgain, Answer::Continue}};
    const std::vector<Answer>& allowed = kAnswers[static_cast<int>(q.choices)];
    const Answer answer = in.empty() ? q.byDefault : allowed[in.below(allowed.size())];
    trace("question of kind", static_cast<long>(q.kind));
    trace("  answered", static_cast<long>(answer));
    switch (q.kind) {
        case Kind::EntryCannotGoBack:
            entryDiscarded = entryDiscarded || answer == Answer::Yes;
            break;
        case Kind::AlreadyInList:
            sameServerAgreed = answer == Answer::Yes;
            break;
        case Kind::ImportRepeated:
            importAnswer = answer;
            break;
        case Kind::ChangedOnDisk:
        case Kind::UnreadableOnDisk:
        case Kind::ReadableNow:
        case Kind::GoneNow:
            listGivenUp = listGivenUp || answer == Answer::No;
            break;
        case Kind::NoCopyEither:
            listGivenUp = listGivenUp || answer == Answer::Yes;
            break;
        default:
            break;
    }
    return answer;
}

bool FuzzUser::waitUntil(const std::wstring&, const std::function<bool()>& done) {
    check(!session->done(), "a wait after the session ended");
    for (int polls = 0; polls < 8; ++polls) {
        ++depth;
        meanwhile();
        --depth;
        if (session->done()) return done();  // Windows ended during the wait
        switch (in.below(4)) {
            case 0:
                return false;  // Cancel: back to the window
            case 1:
                files.busySaves[kList] = 0;
                break;  // the other saver finishes
            default:
                break;
        }
        if (done()) return true;
    }
    return false;
}

// The start: the list file (none, any bytes, or entries in one of its encodings), earlier copies
// and a temporary file that a save cut off left.
struct Start {
    bool lockedAtStart = false, tooLarge = false;
    std::vector<std::wstring> leftovers;
};
Start setUpDisk(Input& in, Store& files) {
    Start start;
    const unsigned kind = in.below(8);
    trace("start", kind);
    if (kind == 1) {  // any bytes
        std::string bytes;
        for (unsigned n = in.below(64); n > 0; --n) bytes += static_cast<char>(in.next());
        files.files[kList] = bytes;
    } else if (kind >= 2) {
        static const wchar_t* const kLines[] = {L"Home#10.0.0.5#99",
                                                L"Club#1.2.3.4#27015",
                                                L"home#10.0.0.5# 99",
                                                L"; a note",
                                                L"Caf\u00e9#a#b#1",
                                                L"Lan##",
                                                L"\u20ac#[::1]#5",
                                                L"odd",
                                                L"#x#",
                                                L"\xDC85K#1#2"};
        std::wstring text;
        for (unsigned n = in.below(6); n > 0; --n) {
            text += kLines[in.below(std::size(kLines))];
            text += in.below(4) ? L"\r\n" : L"\n";
        }
        static const Encoding kEncodings[] = {Encoding::Ansi, Encoding::Utf8, Encoding::Utf16Le,
                                              Encoding::Utf16Be};
        const Encoding encoding = kEncodings[in.below(4)];
        std::string bytes;
        if (!encodeText(text, encoding, bytes)) encodeText(text, Encoding::Utf8, bytes);
        const bool mark = isUtf16(encoding) || in.below(2);
        const std::string marks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
        files.files[kList] = (mark ? marks[static_cast<int>(encoding)] : "") + bytes;
        start.lockedAtStart = kind == 6;
        start.tooLarge = kind == 7;
    }
    const std::string copy =
        "; Hostdeck kept this copy of its server list when Windows ended.\r\n"
        "; It belongs to C:\\H\\serverlist.ini\r\nKept#1#2\r\n";
    for (unsigned n = in.below(3); n > 0; --n)
        files.files[kFolder + L"\\serverlist (not saved " + std::to_wstring(n) + L").ini"] = copy;
    if (in.below(4) == 0) files.files[kUserFolder + L"\\serverlist (not saved 1).ini"] = copy;
    if (in.below(4) == 0) {
        start.leftovers.push_back(kList + L".0123456789abcdef.saving");
        files.files[start.leftovers.back()] = "half";
    }
    return start;
}

std::vector<Entry> entriesOf(const ServerListModel& model) {
    std::vector<Entry> list;
    for (ListIndex i = 0; i < model.entryCount(); ++i)
        list.push_back({std::wstring(model.lstServerNick.item(i)),
                        std::wstring(model.lstServerIP.item(i)),
                        std::wstring(model.lstServerPort.item(i))});
    return list;
}

std::optional<std::vector<Entry>> readBack(Store& files, const std::wstring& path) {
    ServerListModel model;
    ServerListFile file(files, path);
    if (!file.load(model).ok()) return std::nullopt;  // no file: the empty list
    return wholeCharacters(entriesOf(model));
}

// What a field's first line reads as in a copy's note: half a character as "\uD800", a byte
// kept from the file as "\xE9".
std::wstring asWritten(const std::wstring& field) {
    const std::wstring line = wholeCharacters(field.substr(0, field.find_first_of(L"\r\n")));
    std::wstring written;
    for (std::size_t i = 0; i < line.size(); ++i) {
        wchar_t code[8] = {};
        const auto unit = static_cast<unsigned>(line[i]);
        if (unitKindAt(line, i) == UnitKind::LoneHalf)
            std::swprintf(code, 8, L"\\u%04X", unit);
        else if (unitKindAt(line, i) == UnitKind::ByteEscape)
            std::swprintf(code, 8, L"\\x%02X", unit - 0xDC00);
        written += code[0] ? std::wstring(code) : std::wstring(1, line[i]);
    }
    return written;
}

// A copy's whole text, its comment lines too, in the encoding a load would read it in.
std::wstring textOf(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return decodeText(bytes.substr(3), Encoding::Utf8);
    if (bytes.starts_with("\xFF\xFE")) return decodeText(bytes.substr(2), Encoding::Utf16Le);
    if (bytes.starts_with("\xFE\xFF")) return decodeText(bytes.substr(2), Encoding::Utf16Be);
    return decodeText(bytes,
                      !isAscii(bytes) && isValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Ansi);
}

// One session, action by action, against the reference.
class Session {
  public:
    Session(Input& in, Store& files)
        : in_(in),
          files_(files),
          user_(in, files),
          session_(files, kList, kUserFolder, model_, user_) {
        user_.session = &session_;
        user_.windowsEnds = [this] { windowsEnds(); };
    }

    void play(const Start& start);

  private:
    void syncEntryOut();
    void windowsEnds();
    void act();
    void import(bool file);
    void exportAndReadBack();
    void checkWindow();
    void checkEnd(const Start& start);

    Input& in_;
    Store& files_;
    FuzzUser user_;
    ServerListModel model_;
    ListSession session_;
    Reference ref_;
    bool loaded_ = false;
    // The list the file is known to hold (what was read, or saved at an end of Windows that did
    // not come), and how many files had been written by then.
    std::vector<Entry> known_;
    bool knownFromFile_ = false;
    std::size_t writesThen_ = 0;
};

// Windows asks to end the session: it ends, or it does not after all (or the list could not be
// kept), and the window goes on as the user left it, the entry out for editing out again.
void Session::windowsEnds() {
    const Result ended = session_.endSession();
    trace("Windows ends; kept", ended.ok());
    const std::vector<Entry> atEnd = entriesOf(model_);  // what the end saved, if anything
    if (ended.ok() && in_.below(4) != 0) {
        user_.windowsEnded = true;
        return;
    }
    trace("Windows did not end; files written", static_cast<long>(files_.replaced.size()));
    if (ended.ok()) session_.resumeAfterEndSession();
    if (std::find(files_.replaced.begin() + static_cast<std::ptrdiff_t>(writesThen_),
                  files_.replaced.end(), kList) != files_.replaced.end()) {
        known_ = atEnd;
        knownFromFile_ = true;
    }
    writesThen_ = files_.replaced.size();
}

// An entry out for editing that the model no longer holds out went back to its place, or was
// discarded by the user.
void Session::syncEntryOut() {
    const std::optional<std::size_t> out = ref_.outSlot();
    if (!out || model_.hasEntryOutForEditing()) return;
    if (user_.entryDiscarded) {
        ref_.slots.erase(ref_.slots.begin() + static_cast<std::ptrdiff_t>(*out));
    } else {
        ref_.slots[*out].out = false;
        ref_.slots[*out].entry = ref_.fields;
    }
    user_.entryDiscarded = false;
}

void Session::act() {
    const auto clickOn = [&](ListIndex index) {
        const std::size_t clicked = index >= 0 ? ref_.slotOf(static_cast<std::size_t>(index)) : 0;
        const int clickedId = index >= 0 ? ref_.slots[clicked].id : 0;
        const bool taken = session_.takeSelection(index);
        syncEntryOut();
        if (model_.hasEntryOutForEditing())
            ref_.current = 0;
        else if (index >= 0)
            ref_.current = clickedId;
        return taken;
    };
    const auto count = static_cast<unsigned>(model_.entryCount());
    const auto action = static_cast<Action>(in_.below(kActionCodes));
    trace("action", static_cast<long>(action));
    switch (action) {
        case Action::Click: {  // on an entry, or on the empty area
            const ListIndex index = static_cast<ListIndex>(in_.below(count + 1)) - 1;
            if (clickOn(index)) {
                model_.select();
                ref_.select(*ref_.currentSlot());
            }
            break;
        }
        case Action::Type: {  // into an enabled field
            TextField* fields[] = {&model_.txtServerNickname, &model_.txtServerIP,
                                   &model_.txtServerPort};
            std::wstring* texts[] = {&ref_.fields.nickname, &ref_.fields.address,
                                     &ref_.fields.port};
            const unsigned which = in_.below(3);
            if (!fields[which]->enabled()) break;
            const std::wstring text =
                wholeCharacters((in_.below(2) ? *texts[which] : L"") + pieceOfText(in_));
            fields[which]->setText(text);
            *texts[which] = text;
            break;
        }
        case Action::PasteAddress: {  // into the address field
            if (!model_.txtServerIP.enabled()) break;
            const std::wstring pasted = wholeCharacters(pieceOfText(in_) + L":" + pieceOfText(in_));
            if (const std::optional<AddressPort> parts = readPastedAddress(pasted)) {
                model_.txtServerIP.setText(parts->address);
                model_.txtServerPort.setText(parts->port);
                ref_.fields.address = parts->address;
                ref_.fields.port = parts->port;
            }
            break;
        }
        case Action::Add: {
            const std::optional<std::size_t> out = ref_.outSlot();
            const Entry added = ref_.fields;
            user_.sameServerAgreed = false;
            const Result result = session_.add();
            if (!result.ok()) break;
            for (const Reference::Slot& slot : ref_.slots) {
                check(
                    slot.out || user_.sameServerAgreed ||
                        !sameServer(added.address, added.port, slot.entry.address, slot.entry.port),
                    "Add made a second entry for the same server without asking");
            }
            if (out) ref_.slots.erase(ref_.slots.begin() + static_cast<std::ptrdiff_t>(*out));
            ref_.append(added);
            break;
        }
        case Action::Edit:
            if (!session_.settleEntryOutForEditing()) break;
            syncEntryOut();
            model_.edit();
            if (!ref_.slots.empty()) {
                const std::size_t slot = ref_.currentSlot().value_or(ref_.slotOf(0));
                ref_.slots[slot].out = true;
                ref_.fields = ref_.slots[slot].entry;
            }
            ref_.fieldsEnabled = true;
            ref_.current = 0;
            break;
        case Action::Delete:
            model_.deleteCurrent();
            if (const std::optional<std::size_t> slot = ref_.currentSlot()) {
                ref_.undoable.push_back({false, *slot, {ref_.slots[*slot].entry}});
                ref_.slots.erase(ref_.slots.begin() + static_cast<std::ptrdiff_t>(*slot));
            }
            ref_.current = 0;
            break;
        case Action::Undo: {
            const bool importNext = !ref_.undoable.empty() && ref_.undoable.back().import;
            check(importNext == (model_.nextUndo() == ServerListModel::UndoKind::Import),
                  "Undo would take back something else than the user did last");
            if (!model_.undo().ok()) {
                check(!importNext, "an import was not taken back");
            } else if (importNext) {
                ref_.undoImport(ref_.undoable.back());
                ref_.undoable.pop_back();
            } else {
                const Reference::Undoable& last = ref_.undoable.back();
                const std::size_t at = std::min(last.at, ref_.slots.size());
                ref_.slots.insert(ref_.slots.begin() + static_cast<std::ptrdiff_t>(at),
                                  {last.entries.front(), false, ref_.nextId++});
                ref_.undoable.pop_back();
            }
            break;
        }
        case Action::Start: {  // the selected server
            const ListIndex selected = model_.lstServerNick.currentIndex();
            if (selected == kNoItem || !clickOn(selected)) break;
            fakes::FakeRegistry registry;
            fakes::RecordingStarter starter;
            static_cast<void>(launchServer(model_, registry, starter));  // no game: not found
            ref_.select(*ref_.currentSlot());
            break;
        }
        case Action::DiskEvent:
        case Action::DiskEvent2:
            user_.diskEvent();
            break;
        case Action::Move: {  // up or down, by its keys or the list's menu
            const ListIndex by = in_.below(2) ? -1 : 1;
            const ListIndex selected = model_.lstServerNick.currentIndex();
            if (selected == kNoItem || !clickOn(selected) || !model_.moveCurrent(by)) break;
            const std::size_t from = *ref_.currentSlot();
            std::swap(ref_.slots[from],
                      ref_.slots[static_cast<std::size_t>(static_cast<ListIndex>(from) + by)]);
            break;
        }
        case Action::PasteServers:
        case Action::ImportFile:
            import(action == Action::ImportFile);
            break;
        case Action::Export:
            exportAndReadBack();
            break;
        case Action::End:
            if (in_.below(2)) {
                trace("close");
                static_cast<void>(session_.mayClose());
            } else {
                windowsEnds();
            }
            break;
        default:  // a code no action has yet
            break;
    }
    syncEntryOut();
}

// A paste of lines on the list, or a file: lines in any encoding, or the list file itself.
void Session::import(bool file) {
    ServerLines lines;
    std::vector<Entry> read;  // the servers the lines hold, by the README's rules
    if (!file) {
        const std::wstring text = importLines(in_);
        lines.readText(text);
        read = serversIn(text);
    } else if (in_.below(4) == 0 && files_.files.count(kList)) {
        lines.readFile(files_.files[kList], kList);
        read = serversInFile(files_.files[kList]);
    } else {
        static const Encoding kEncodings[] = {Encoding::Ansi, Encoding::Utf8, Encoding::Utf16Le,
                                              Encoding::Utf16Be};
        const std::string marks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
        const Encoding encoding = kEncodings[in_.below(4)];
        std::string bytes;
        if (!encodeText(importLines(in_), encoding, bytes)) bytes = "\x01";
        bytes =
            (isUtf16(encoding) || in_.below(2) ? marks[static_cast<int>(encoding)] : "") + bytes;
        lines.readFile(bytes, L"C:\\import.txt");
        read = serversInFile(bytes);
    }
    read = wholeCharacters(read);
    user_.importAnswer.reset();
    const Result imported = session_.importServers(lines);
    syncEntryOut();
    const std::vector<Entry> now = entriesOf(model_), before = ref_.shown();
    check(now.size() >= before.size() && std::equal(before.begin(), before.end(), now.begin()),
          "an import changed the entries before it");
    check(imported.ok() == (now.size() > before.size()), "an import said other than it did");
    // What came: servers it read, in their order, each new or a repeat the user agreed to.
    std::vector<Entry> known = before, added;
    if (ref_.outSlot()) known.push_back(ref_.fields);  // it goes back into the list
    // Each server read is added, in order, unless it is a repeat the user did not agree to, or
    // one the list file cannot hold (its rule, or text its encoding may lack).
    const auto repeats = [&](const Entry& e) {
        return std::any_of(known.begin(), known.end(), [&](const Entry& k) {
            return sameServer(e.address, e.port, k.address, k.port);
        });
    };
    const bool agreed = user_.importAnswer == Answer::Yes;
    std::size_t next = before.size();
    for (const Entry& e : read) {
        const std::wstring all = e.nickname + e.address + e.port;
        const bool mayLack =
            !list_file_format::whyFileCannotHold(e.nickname, e.address, e.port).empty() ||
            std::any_of(all.begin(), all.end(), [](wchar_t c) { return c > 0x7E; });
        if (next < now.size() && now[next] == e) {
            check(!repeats(e) || agreed,
                  "an import made a second entry for the same server unasked");
            known.push_back(e);
            added.push_back(now[next++]);
            ref_.append(added.back());
            continue;
        }
        check(!imported.ok() || (repeats(e) && !agreed) || mayLack,
              "an import left out a server it read");
    }
    check(next == now.size(), "an import added what it did not read");
    if (added.empty()) return;
    ref_.undoable.push_back({true, ref_.slots.size() - added.size(), added});
    ref_.current = ref_.slots.back().id;
    if (!ref_.fieldsEnabled && !ref_.outSlot()) ref_.select(ref_.slots.size() - 1);
}

// An export to a file, read back line by line by the README's rules: a line for each entry, the
// one out for editing as it was taken out. An entry that is a server as its own record reads
// back as exactly itself, unless it holds what an import leaves out (bytes that are no text,
// what the list file cannot hold); one that is no server is skipped; the export names as many
// as do not come back. The real import of the file reads what those lines hold. The list file
// itself is never written so.
void Session::exportAndReadBack() {
    const std::wstring path = in_.below(8) ? L"C:\\E\\servers.txt" : kList;
    const std::optional<std::string> before =
        files_.files.count(path) ? std::optional(files_.files[path]) : std::nullopt;
    const std::size_t writes = files_.replaced.size();
    // As the export found the list: Windows may end while its message is open.
    std::vector<Entry> listed;
    for (const Reference::Slot& slot : ref_.slots) listed.push_back(slot.entry);
    const ServerExport made = exportServers(model_);
    const Result exported = session_.exportServers(path);
    syncEntryOut();
    // Only the list's own saves and copies count as writes of the list (one may come at an end
    // of Windows while the export's message is open, which may also note how many there were).
    for (std::size_t k = files_.replaced.size(); k-- > writes;) {
        if (files_.replaced[k] != path) continue;
        files_.replaced.erase(files_.replaced.begin() + static_cast<std::ptrdiff_t>(k));
        if (k < writesThen_) --writesThen_;
    }
    const std::optional<std::string> after =
        files_.files.count(path) ? std::optional(files_.files[path]) : std::nullopt;
    // The list file may change meanwhile (the disk, an end of Windows): the export only says so.
    check(exported.ok() || path == kList || after == before, "a failed export changed the file");
    check(path != kList || !exported.ok(), "an export wrote the list file");
    if (!exported.ok()) return;
    check(after->starts_with("\xEF\xBB\xBF"), "an export without the UTF-8 mark");
    const std::wstring text = decodeText(after->substr(3), Encoding::Utf8);
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find(L"\r\n", start);
        check(end != text.npos, "an export's line without its end");
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    check(lines.size() == listed.size(), "an export without a line for each entry");
    std::size_t notBack = 0;
    std::vector<Entry> expected;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Entry& e = listed[i];
        const std::vector<Entry> itself = serversIn(e.nickname + L"#" + e.address + L"#" + e.port);
        const std::vector<Entry> back = serversIn(lines[i]);
        std::wstring all = e.nickname + e.address + e.port;
        bool leftOut = !list_file_format::whyFileCannotHold(e.nickname, e.address, e.port).empty();
        for (std::size_t k = 0; k < all.size(); ++k)
            leftOut = leftOut || unitKindAt(all, k) != UnitKind::Text;
        if (itself.size() == 1 && itself[0] == e && !leftOut)
            check(back.size() == 1 && back[0] == e, "an exported server reads back otherwise");
        else
            ++notBack;
        if (itself.empty()) check(back.empty(), "an export made a server of what is none");
        for (const Entry& b : back)
            if (list_file_format::whyFileCannotHold(b.nickname, b.address, b.port).empty())
                expected.push_back(b);
    }
    check(made.notAsTheyAreCount == notBack, "an export names other than what does not come back");
    ServerLines read;
    read.readFile(*after, path);
    std::vector<Entry> imported;
    for (const ImportedServer* s : planImport(read, ServerListModel{}, nullptr).adding(true))
        imported.push_back({s->nickname, s->address, s->port});
    check(imported == expected, "an import of an export reads other than its lines hold");
}

// The window holds what the user should see.
void Session::checkWindow() {
    check(entriesOf(model_) == ref_.shown(), "the window's list differs from the user's");
    if (model_.hasEntryOutForEditing() || ref_.fieldsEnabled) {
        check(model_.txtServerNickname.text() == ref_.fields.nickname &&
                  model_.txtServerIP.text() == ref_.fields.address &&
                  model_.txtServerPort.text() == ref_.fields.port,
              "the fields differ from what the user typed or chose");
    }
}

void Session::play(const Start& start) {
    if (start.lockedAtStart) files_.locked[kList] = L"sharing violation";
    if (start.tooLarge) files_.locked[kList] = L"throw";
    session_.load();
    if (start.tooLarge || in_.below(2)) files_.locked.clear();
    loaded_ = !start.lockedAtStart && !start.tooLarge;
    known_ = entriesOf(model_);
    knownFromFile_ = loaded_;
    for (const Entry& entry : known_) ref_.append(entry);
    if (session_.hasStartNotes()) session_.tellStartNotes();
    for (int actions = 0; !session_.done() && !in_.empty() && actions < 64; ++actions) {
        act();
        trace("files written", static_cast<long>(files_.replaced.size()));
        check(session_.done() || !user_.windowsEnded, "the session went on after Windows ended");
        if (!session_.done()) checkWindow();
    }
    // The end: the window is closed, and answered as Enter answers; then Windows ends.
    trace("the end");
    if (!session_.done()) static_cast<void>(session_.mayClose());
    syncEntryOut();
    if (!session_.done() && !session_.endSession().ok()) return;  // the list is still there
    syncEntryOut();
    checkEnd(start);
}

void Session::checkEnd(const Start& start) {
    for (const auto& [path, bytes] : files_.files) {
        const bool leftover = std::find(start.leftovers.begin(), start.leftovers.end(), path) !=
                              start.leftovers.end();
        check(leftover || !path.ends_with(L".saving"), "a temporary file is left");
    }
    if (user_.listGivenUp) return;
    // The window's last list, with the entry out for editing where it was taken from.
    std::vector<Entry> expected;
    std::optional<Entry> onlyInNote;
    for (const Reference::Slot& slot : ref_.slots) {
        if (slot.out && model_.hasEntryOutForEditing())
            onlyInNote = ref_.fields;
        else if (!slot.out)
            expected.push_back(slot.entry);
        else if (!user_.entryDiscarded)
            expected.push_back(ref_.fields);
    }
    // Unchanged, or nothing of the window's to keep after a failed load.
    if (kTrace) {
        for (const std::wstring& path : files_.replaced)
            std::fprintf(stderr, "  wrote %ls\n", path.c_str());
    }
    if (!onlyInNote && expected == known_ && (knownFromFile_ || expected.empty())) {
        trace("writes then", static_cast<long>(writesThen_));
        check(files_.replaced.size() == writesThen_, "a list that did not change was written");
        return;
    }
    expected = wholeCharacters(expected);  // as a file gives it back
    files_.locked.clear();                 // the next start
    files_.readOnlyFolder.reset();
    const auto holds = [&](const std::vector<Entry>& list) {
        if (loaded_) return list == expected;
        // After a failed load, the window's servers may have been added to the file's own, but
        // for those the file had already.
        for (std::size_t own = 0; own <= list.size(); ++own) {
            std::vector<Entry> added;
            for (const Entry& e : expected) {
                if (std::none_of(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(own),
                                 [&](const Entry& o) {
                                     return sameServer(e.address, e.port, o.address, o.port);
                                 }))
                    added.push_back(e);
            }
            if (std::equal(added.begin(), added.end(),
                           list.begin() + static_cast<std::ptrdiff_t>(own), list.end()))
                return true;
        }
        return false;
    };
    if (kTrace) {
        for (const Entry& e : expected)
            std::fprintf(stderr, "  expected %ls|%ls|%ls\n", e.nickname.c_str(), e.address.c_str(),
                         e.port.c_str());
        std::fprintf(stderr, "  file: %s\n", files_.files[kList].c_str());
    }
    if (!onlyInNote) {
        const std::optional<std::vector<Entry>> saved = readBack(files_, kList);
        if (kTrace && saved) {
            for (const Entry& e : *saved)
                std::fprintf(stderr, "  saved %ls|%ls|%ls\n", e.nickname.c_str(), e.address.c_str(),
                             e.port.c_str());
        }
        if (saved && holds(*saved)) return;
    }
    // Not in the list file: in a copy, which the next start names.
    std::vector<std::wstring> notes;
    {
        ServerListModel next;
        FuzzUser nextUser(in_, files_);
        nextUser.told = &notes;
        ListSession nextStart(files_, kList, kUserFolder, next, nextUser);
        nextStart.load();
        if (nextStart.hasStartNotes()) nextStart.tellStartNotes();
    }
    for (auto written = files_.replaced.rbegin(); written != files_.replaced.rend(); ++written) {
        const std::wstring& path = *written;  // the newest copy first
        if (path == kList) continue;
        const std::optional<std::vector<Entry>> copy = readBack(files_, path);
        if (kTrace)
            std::fprintf(stderr, "  copy %ls: %s\n", path.c_str(), files_.files[path].c_str());
        if (!copy || *copy != expected) continue;
        bool named = false;
        for (const std::wstring& note : notes) named = named || note.find(path) != note.npos;
        check(named, "the next start does not name the copy");
        if (onlyInNote) {
            const std::wstring text = textOf(files_.files[path]);
            for (const std::wstring* field :
                 {&onlyInNote->nickname, &onlyInNote->address, &onlyInNote->port}) {
                const std::wstring line = asWritten(*field);
                if (kTrace) {
                    std::fprintf(stderr, "  field:");
                    for (const wchar_t c : line) std::fprintf(stderr, " %04x", unsigned(c));
                    std::fprintf(stderr, "\n  copy:");
                    for (const wchar_t c : text) std::fprintf(stderr, " %04x", unsigned(c));
                    std::fprintf(stderr, "\n");
                }
                check(text.find(line) != std::wstring::npos,
                      "the copy does not hold the entry out for editing");
            }
        }
        return;
    }
    fail("the window's list is neither in the list file nor in a copy");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    Store files;
    const Start start = setUpDisk(in, files);
    Session(in, files).play(start);
    return 0;
}
