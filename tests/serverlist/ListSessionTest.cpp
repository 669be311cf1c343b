// The list from start to end: each row sets up the disk, does something in the window, lets the
// disk change, closes (or ends the Windows session) with the user's answers, and states what
// was asked, whether the window closed, and what the disk holds afterwards.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <new>
#include <functional>
#include <map>
#include <regex>

#include "serverlist/ListSession.h"
#include "support/MemoryFileStore.h"
#include "support/ModelEntries.h"
#include "texts/UserTexts.h"

#if defined(__GNUC__) && !defined(__clang__)
// The replacements below pair malloc with free themselves; GCC sees only the inlined halves.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
// The allocation that fails, counted down from where a test sets it; 0: none fails.
std::atomic<long> gFailingAllocation{0};

void* operator new(std::size_t size) {
    if (gFailingAllocation > 0 && --gFailingAllocation == 0) throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace hostdeck {
namespace {

using Answer = Question::Answer;
using enum Answer;
const std::wstring kList = L"C:\\H\\serverlist.ini", kCopy = L"C:\\H\\serverlist (not saved 1).ini",
                   kSpareCopy = L"C:\\U\\serverlist (not saved 1).ini";
const std::string kStart = "Home#1#2\r\nClub#3#4\r\n", kOther = "Other#5#6\r\n",
                  kSaved = kStart + "new#7#8\r\n", kOdd = "odd\nHome#1#2\r\n; note\r\n",
                  kCopyTop = "; Hostdeck kept this copy of its server list when ",
                  kOwner = "\r\n; It belongs to C:\\H\\serverlist.ini\r\n";

// Gives the answers in order to the questions, then their defaults, and names each question by
// its kind, never by its words. While a question is open, the window cannot be closed again. A
// wait ends once the save can go on, unless the next answer is Cancel.
struct ScriptedUser final : User {
    std::deque<Answer> answers;
    std::wstring asked, said;
    ListSession* session = nullptr;
    std::function<void()> whileAsked;  // once, while the next question is open
    Answer ask(const Question& q) override {
        // In the order of Question::Kind; a message of the window's own is not the session's.
        static const wchar_t* const kWords[] = {
            nullptr,     L"unread",   L"copies",  L"entry",       L"same",    L"changed",
            L"unknown",  L"failed",   L"add",     L"gone",        L"kept",    L"nocopy",
            L"repeated", L"imported", L"refused", L"notexported", L"exported"};
        const wchar_t* word = kWords[static_cast<int>(q.kind)];
        EXPECT_TRUE(word) << "a question the session does not ask";
        asked += std::wstring(word ? word : L"?") + L" ";
        said += q.text;
        if (whileAsked) std::exchange(whileAsked, nullptr)();
        // One question at a time, and none once the session is over (a close would be let go).
        EXPECT_FALSE(session && session->mayClose());
        // What Enter and Escape choose never loses the window's list.
        EXPECT_EQ(q.byDefault, q.choices == Question::Choices::Ok      ? Ok
                               : q.choices == Question::Choices::YesNo ? No
                                                                       : Cancel);
        if (answers.empty() || q.choices == Question::Choices::Ok) return q.byDefault;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool waitUntil(const std::wstring& text, const std::function<bool()>& done) override {
        asked += L"wait ";
        said += text;
        EXPECT_FALSE(session && session->mayClose()) << "one question at a time";
        const bool goesBack = !answers.empty() && answers.front() == Cancel;
        if (goesBack) answers.pop_front();
        return !goesBack && (done() || done() || done());
    }
};

// At start, the list file is: the "list" Home, Club; "no file"; an "odd file" that a save would
// write otherwise; a "locked file" or a "file too large" to read; the list with "copies kept"
// earlier (and one of another list's). In the window, the user does what it says ("add" adds
// new|7|8). Then on disk, the list file is "changed", "deleted", "locked", "too large"; "another
// window saves" meanwhile, or "another window is saving" (for the next two tries); the
// list's "folder read-only", "no folder writable"; "disk full" for the next save ("twice": the
// next two). "Windows ends" instead of a close.
const struct {
    std::string start, window, disk;
    std::deque<Answer> answers;
    std::wstring asked;
    bool closes;
    std::string after;        // the list file then; "-" none
    std::wstring copy = {};   // the one copy kept, or none
    std::wstring said = L"";  // somewhere in what was asked
} kCases[] = {
    // clang-format off
    {"list", "add", "", {}, L"", true, kSaved},
    {"list", "add", "changed", {}, L"changed ", false, kOther},
    {"list", "add", "changed", {No}, L"changed ", true, kOther},
    {"list", "add", "changed", {Yes}, L"changed ", true, kSaved},
    {"list", "add", "deleted", {}, L"", true, kSaved},
    {"list", "add", "locked", {Yes}, L"unknown ", true, kSaved, {}, L"sharing violation"},
    {"list", "add", "locked", {}, L"unknown ", false, kStart},
    {"list", "add", "too large", {No}, L"unknown ", true, kStart, {}, L"not enough memory"},
    {"list", "add", "another window saves", {Yes}, L"changed ", true, kSaved},
    {"list", "add", "another window saves", {No}, L"changed ", true, kOther},
    {"list", "add", "another window is saving", {}, L"wait ", true, kSaved, {}, L"Another Hostdeck window is saving"},
    {"list", "add", "another window is saving", {Cancel}, L"wait ", false, kStart},
    {"list", "add", "disk full", {TryAgain}, L"failed ", true, kSaved, {}, L"Disk full"},
    {"list", "add", "disk full twice", {TryAgain}, L"failed failed ", false, kStart},
    {"list", "add", "disk full", {Continue}, L"failed kept ", true, kStart, kCopy, L"saved: Disk full"},
    {"list", "add", "folder read-only", {}, L"failed ", false, kStart, {}, kList + L"\n\nAccess denied"},
    {"list", "add", "folder read-only", {Continue}, L"failed kept ", true, kStart, kSpareCopy},
    {"list", "add", "no folder writable", {Continue}, L"failed nocopy ", false, kStart},
    {"list", "add", "no folder writable", {Continue, Yes}, L"failed nocopy ", true, kStart},
    // An entry out for editing goes back where it was: a list as it was read is not written.
    {"list", "edit Home", "", {}, L"", true, kStart},
    {"list", "edit Club, put back", "deleted", {}, L"", true, "-"},
    {"list", "edit Club, put back", "changed", {}, L"", true, kOther},
    {"list", "edit Club, put back", "changed, Windows ends", {}, L"", true, kOther},
    {"list", "edit Club to Club 2", "", {}, L"", true, "Home#1#2\r\nClub 2#3#4\r\n"},
    {"list", "edit Home at 3:4, Add", "", {}, L"same ", true, "Home#3#4\r\nClub#3#4\r\n"},
    {"list", "edit Home at 3:4, Add", "", {Yes}, L"same ", true, "Club#3#4\r\nHome#3#4\r\n"},
    {"list", "edit Home to ;Home", "", {}, L"entry ", false, kStart, {}, L"begins with \";\""},
    {"list", "edit Home to ;Home", "", {Yes}, L"entry ", true, "Club#3#4\r\n"},
    {"no file", "add", "", {}, L"", true, "new#7#8\r\n"},
    {"no file", "add", "changed", {}, L"changed ", false, kOther},
    {"no file", "", "", {}, L"", true, "-"},
    // What the user did not change is not written, however the file would be written.
    {"odd file", "", "", {}, L"", true, kOdd},
    {"odd file", "add, delete it", "", {}, L"", true, kOdd},
    {"odd file", "", "changed", {}, L"", true, kOther},
    {"odd file", "", "Windows ends", {}, L"", true, kOdd},
    {"odd file", "add", "", {}, L"", true, "odd##\r\nHome#1#2\r\nnew#7#8\r\n"},
    {"odd file", "move Home up", "", {}, L"", true, "Home#1#2\r\nodd##\r\n"},
    {"odd file", "move Home up, move odd up", "", {}, L"", true, kOdd},
    {"odd file", "add, held, close, delete it", "", {Yes, Cancel}, L"unknown failed ", true, kOdd},
    {"odd file", "add, held, close, delete it", "Windows ends", {Yes, Cancel}, L"unknown failed ", true, kOdd},
    // Unread at start, read again at close.
    {"locked file", "", "", {}, L"unread ", true, kStart, {}, L"sharing violation"},
    {"locked file", "add", "deleted", {Yes}, L"unread gone ", true, "new#7#8\r\n"},
    {"file too large", "add", "", {Yes}, L"unread add ", true, kSaved, {}, L"Add the 1 servers"},
    {"file too large", "add", "", {No}, L"unread add ", true, kStart},
    {"file too large", "add", "", {}, L"unread add ", false, kStart},
    {"file too large", "add", "disk full", {Yes, TryAgain}, L"unread add failed ", true, kSaved},
    {"file too large", "add", "another window is saving", {Yes, Cancel}, L"unread add wait ", false, kStart},
    {"locked file", "add", "locked", {TryAgain}, L"unread failed failed ", false, kStart,
     {}, L"sharing violation\n\nTry Again"},
    {"locked file", "add", "locked", {Continue}, L"unread failed kept ", true, kStart, kCopy},
    {"five copies kept", "", "", {}, L"copies ", true, kStart, {},
     L"(not saved 10).ini\nC:\\U\\serverlist (not saved 1).ini\nC:\\H\\serverlist (not saved 4)"},
    {"copies kept", "", "", {}, L"copies ", true, kStart, {},
     L"\nC:\\H\\serverlist (not saved 4).ini\n... and 2 more copies"},
    // Nobody can be asked: what may not replace the file goes beside it.
    {"list", "add", "Windows ends", {}, L"", true, kSaved},
    {"list", "add", "changed, Windows ends", {}, L"", true, kOther, kCopy, L"changed by another program"},
    {"list", "add", "too large, Windows ends", {}, L"", true, kStart, kCopy, L"not enough memory"},
    {"list", "add", "another window saves, Windows ends", {}, L"", true, kOther, kCopy, L"while Hostdeck saved"},
    {"list", "add", "another window is saving, Windows ends", {}, L"", true, kStart, kCopy, L"still saving"},
    {"list", "add", "folder read-only, Windows ends", {}, L"", true, kStart, kSpareCopy, L"Access denied"},
    {"copies kept", "add", "folder read-only, Windows ends", {}, L"copies ", true, kStart,
     L"C:\\U\\serverlist (not saved 2).ini", L"Access denied"},
    {"list", "edit Home to ;Home", "Windows ends", {}, L"", true, "Club#3#4\r\n", kCopy, L"Server Nickname: ;Home"},
    {"list", "add, edit Home to Home<half>", "changed, Windows ends", {}, L"", true, kOther, kCopy,
     L"Server Nickname: Home\\uD800\r"},
    {"list", "add", "no folder writable, Windows ends", {}, L"", false, kStart, {},
     L"saved: Access denied\nA copy beside the list file, in C:\\H: Access denied\nA copy in C:\\U: Access denied"},
    {"file too large", "", "Windows ends", {}, L"unread ", true, kStart},
    {"locked file", "add", "Windows ends", {}, L"unread ", true, kStart, kCopy, L"read at start"},
    // Servers imported are appended; the repeated ones (by Add's rule, in the list or in the
    // import) are asked about once; an import taken back is not written.
    {"list", "import 5:6 Five/x", "", {}, L"imported ", true, kStart + "Five#5#6\r\n", {}, L"Servers added to the end of the list: 1.\n\nSkipped, as they are no server (address:port, or nickname#address#port): line 2."},
    {"list", "import 3:4 Again/5:6 Five", "", {No}, L"repeated imported ", true, kStart + "Five#5#6\r\n", {}, L"Left out, as the list has them already: 1."},
    {"list", "import 3:4 Again/5:6 Five", "", {Yes}, L"repeated imported ", true, kStart + "Again#3#4\r\nFive#5#6\r\n"},
    {"list", "import 3:4 Again/5:6 Five", "", {Cancel}, L"repeated ", true, kStart, {}, L"1 of the servers to import"},
    {"list", "import [::5]:6 A/[::5]:6 B", "", {No}, L"repeated imported ", true, kStart + "A#::5#6\r\n", {}, L"\nline 2: \"B\" [::5]:6"},
    {"list", "import own file", "", {}, L"repeated ", true, kStart, {}, L"2 of the servers to import have the address and port of a server in the list, or of one before them in what you import:\nC:\\H\\serverlist.ini, line 1: \"Home\" 1:2\nC:\\H\\serverlist.ini, line 2: \"Club\" 3:4\n\nAdd them"},
    {"list", "import file \xEF\xBB\xBF" "A\xE9" "#5#6\nB#7#8", "", {}, L"imported ", true, kStart + "B#7#8\r\n", {}, L"line 1: It holds bytes that are no text"},
    {"list", "import 5:6 A, undo", "", {}, L"imported ", true, kStart},
    {"list", "import 5:6 ;A", "", {}, L"imported ", true, kStart, {}, L"line 1: The nickname begins with"},
    {"list", "import 5:6 A/5:6 B/3:4 C", "", {No}, L"repeated imported ", true, kStart + "A#5#6\r\n", {}, L"Left out, as the list has them already: 1.\nLeft out, as they came before in what you imported: 1."},
    {"list", "import 7 long files", "", {}, L"imported ", true, kStart, {}, L"ddd...dddddddddddddddddddddddd\\f5.txt\nIt holds no server: no line is an address and port (1.2.3.4:27015) or nickname#address#port.\n\n... and 2 more files not imported."},
    {"list", "import too many", "", {}, L"imported ", true, kStart, {}, L"65533 more fit"},
    {"list", "import far too many", "", {}, L"imported ", true, kStart, {}, L"what you import holds 65536 servers"},
    {"list", "edit Club, import too many", "", {}, L"imported ", true, kStart, {}, L"65533 more fit"},
    {"list", "edit Club, import 5:6 A", "", {}, L"imported ", true, kStart + "A#5#6\r\n"},
    {"list", "edit Club, import 3:4 A", "", {No}, L"repeated imported ", true, kStart},
    // Windows asks to end and then does not: the window is as the user left it, and the question
    // that was open is answered as it was asked.
    {"list", "edit Club, Windows ends while asked and goes on, import 3:4 A, Club still out", "", {Yes}, L"repeated imported ", true, kStart + "A#3#4\r\n", {}, L"Servers added to the end of the list: 1."},
    {"marked list", "delete it, delete it, Windows ends and goes on, add, delete it", "changed", {}, L"", true, kOther},
    // The file read at close has some of the window's servers: they are named and left out.
    {"locked file", "import 1:2 A-again/9:9 New", "", {Yes}, L"unread imported add ", true, kStart + "New#9#9\r\n", {}, L"Yes leaves out 1 of them, as the file has servers with the same address and port:\n\"A-again\" 1:2"},
    // An export writes the list as it stands, the entry out for editing as it was taken out, as a
    // save writes (the file written is added to what was said), never over the list file.
    {"list", "edit Club to Club 2, export", "", {}, L"exported ", true, "Home#1#2\r\nClub 2#3#4\r\n", {},
     L"2 servers were written to\nC:\\E\\servers.txt\xEF\xBB\xBF" L"1:2\tHome\r\n3:4\tClub\r\n"},
    {"odd file", "export", "", {}, L"exported ", true, kOdd, {}, L"give back 1 of them as they are: it skips"},
    {"list", "export to list", "", {Yes}, L"refused ", true, kStart, {}, L"This is the server list file itself"},
    {"list", "disk full, export", "", {No}, L"notexported ", true, kStart, {}, L"Disk full\n\nA file that was there"},
    // clang-format on
};

// The steps of a row, each read whole: "a, b" is "a" then "b".
std::vector<std::string> stepsOf(const std::string& steps) {
    const std::regex comma(", ");
    return {std::sregex_token_iterator(steps.begin(), steps.end(), comma, -1), {}};
}

TEST(ListSessionTest, NeverDropsTheListWithoutTheUsersChoice) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::PrintToString(c.start + "/" + c.window + "/" + c.disk));
        EXPECT_TRUE(std::regex_match(
            c.start, std::regex("(marked )?list|no file|odd file|locked file|file too large|"
                                "(five )?copies kept")))
            << c.start;
        fakes::MemoryFileStore files;
        if (c.start != "no file") files.files[kList] = c.start == "odd file" ? kOdd : kStart;
        if (c.start == "marked list") files.files[kList] = "\xEF\xBB\xBF" + kStart;
        const std::string kept = kCopyTop + "Windows ended." + kOwner + "; kept\r\n";
        if (c.start.ends_with("copies kept")) {  // six beside the list, or four
            for (const wchar_t* n : {L"10", L"2", L"3", L"4", L"5", L"6"}) {
                if (c.start[0] == 'c' || n[0] < L'5')
                    files.files[L"C:\\H\\serverlist (not saved " + std::wstring(n) + L").ini"] =
                        kept;
            }
            std::string keptInUtf16 = "\xFF\xFE";  // as a list in UTF-16 keeps it, spelt
            for (const char c : kept) keptInUtf16 += {c == 'H' ? 'h' : c, '\0'};  // otherwise
            files.files[kSpareCopy] = keptInUtf16;
            files.files[L"C:\\U\\serverlist (not saved 3).ini"] =  // another installation's
                kCopyTop + "Windows ended.\r\n; It belongs to D:\\H\\serverlist.ini\r\n; kept\r\n";
            files.files[L"C:\\U\\serverlist (not saved 4).ini"] = "; kept\r\n";  // nobody's
        }
        if (c.start == "locked file" || c.start == "file too large")
            files.readFailure = c.start == "file too large" ? L"throw" : L"sharing violation";
        ServerListModel model;
        ScriptedUser user;
        user.answers = c.answers;
        ListSession session(files, kList, L"C:\\U", model, user);
        user.session = &session;
        session.load();
        if (session.hasStartNotes()) session.tellStartNotes();
        files.readFailure.reset();

        // Each step of the window's column and then of the disk's, in order.
        bool windowsEnds = false;
        std::vector<std::string> steps = stepsOf(c.window), disk = stepsOf(c.disk);
        steps.insert(steps.end(), disk.begin(), disk.end());
        // clang-format off
        const std::map<std::string, std::function<void()>> diskSteps = {
            {"changed", [&] { files.files[kList] = kOther; }}, {"deleted", [&] { files.files.erase(kList); }},
            {"locked", [&] { files.readFailure = L"sharing violation"; }}, {"too large", [&] { files.readFailure = L"throw"; }},
            {"held", [&] { files.locked[kList] = L"sharing violation"; }},  // nor replaced
            {"another window saves", [&] { files.whileSaving = [&] { files.files[kList] = kOther; }; }},
            {"another window is saving", [&] { files.busySaves[kList] = 2; }}, {"Windows ends", [&] { windowsEnds = true; }},
            {"folder read-only", [&] { files.readOnlyFolder = L"C:\\H"; }}, {"no folder writable", [&] { files.readOnlyFolder = L"C:\\"; }},
            {"disk full", [&] { files.failingWrites = 1; }}, {"disk full twice", [&] { files.failingWrites = 2; }}};
        // clang-format on
        for (const std::string& step : steps) {
            std::smatch edit;
            if (step == "add") {
                model.txtServerNickname.setText(L"\xDC41");  // the file would read "A": refused
                ASSERT_FALSE(model.add().ok());
                model.txtServerNickname.setText(L"new");
                model.txtServerIP.setText(L"7");
                model.txtServerPort.setText(L"8");
                ASSERT_TRUE(model.add().ok());
            } else if (step == "delete it") {
                model.lstServerNick.setCurrentIndex(model.entryCount() - 1);
                model.deleteCurrent();
            } else if (step == "put back") {
                ASSERT_TRUE(model.add().ok());
            } else if (std::regex_match(step, edit,
                                        std::regex("edit (Home|Club)( to (.+)| at (.):(.))?"))) {
                model.lstServerNick.setCurrentIndex(edit[1] == "Club" ? 1 : 0);
                model.edit();
                const std::string to = edit[3], address = edit[4], port = edit[5];
                std::wstring nickname(to.begin(), to.end());
                if (nickname.ends_with(L"<half>"))  // half a character, as a field may hold
                    nickname.replace(nickname.size() - 6, 6, L"\xD800");
                if (edit[3].matched) model.txtServerNickname.setText(nickname);
                if (edit[4].matched) model.txtServerIP.setText({address.begin(), address.end()});
                if (edit[5].matched) model.txtServerPort.setText({port.begin(), port.end()});
            } else if (std::regex_match(step, edit, std::regex("move (Home|odd) (up|down)"))) {
                model.lstServerNick.setCurrentIndex((model.lstServerNick.item(0) == L"odd") ==
                                                    (edit[1] == "Home"));
                EXPECT_TRUE(model.moveCurrent(edit[2] == "up" ? -1 : 1));
            } else if (step.starts_with("import ")) {  // lines apart by "/"
                ServerLines lines;
                std::string text = step.substr(7);
                const long many = text == "too many" ? 65534 : text == "far too many" ? 65536 : 0;
                if (many)
                    for (text.clear(); std::count(text.begin(), text.end(), '\n') < many;)
                        text += "a" + std::to_string(text.size()) + ":1\n";
                if (text == "7 long files")
                    for (const wchar_t n : std::wstring(L"1234567"))
                        lines.readFile("",
                                       L"C:\\" + std::wstring(200, L'd') + L"\\f" + n + L".txt");
                else if (text == "own file" || text.starts_with("file "))
                    lines.readFile(text == "own file" ? files.files[kList] : text.substr(5), kList);
                else
                    lines.readText(std::regex_replace(std::wstring(text.begin(), text.end()),
                                                      std::wregex(L"/"), L"\n"));
                static_cast<void>(session.importServers(lines));  // the row checks what it said
            } else if (step.starts_with("Windows ends") && step.ends_with("goes on")) {
                const auto endThenGoOn = [&] {
                    static_cast<void>(session.endSession()), session.resumeAfterEndSession();
                };
                step.find("while") == std::string::npos ? endThenGoOn()
                                                        : void(user.whileAsked = endThenGoOn);
            } else if (step == "Club still out") {  // and the fields with it, for the user's Add
                EXPECT_TRUE(model.hasEntryOutForEditing() && model.txtServerNickname.enabled());
            } else if (step.starts_with("export")) {
                static_cast<void>(session.exportServers(
                    step == "export to list" ? L"c:\\h\\SERVERLIST.ini" : L"C:\\E\\servers.txt"));
            } else if (step == "undo") {
                EXPECT_TRUE(model.undo().ok());
            } else if (step == "Add") {            // as the window's button does
                static_cast<void>(session.add());  // the question is the row's to check
            } else if (step == "close") {          // and the user goes back to the window
                EXPECT_FALSE(session.mayClose());
            } else if (const auto disk = diskSteps.find(step); disk != diskSteps.end()) {
                disk->second();
            } else if (!step.empty()) {
                ADD_FAILURE() << "unknown step: " << step;
            }
        }

        bool closed = true;
        if (windowsEnds) {
            const Result ended = session.endSession();
            user.said += ended.reason;  // the window tells it
            closed = ended.ok();
            user.session = nullptr;
            EXPECT_TRUE(!closed || session.mayClose()) << "the program ends next: nothing more";
        } else {
            closed = session.mayClose();
            EXPECT_FALSE(closed && model.hasEntryOutForEditing()) << "kept or discarded";
        }
        files.readFailure.reset();
        EXPECT_EQ(user.asked, c.asked);
        EXPECT_EQ(closed, c.closes);
        EXPECT_EQ(files.files.count(kList) ? files.files[kList] : "-", c.after);
        // Nothing else is left on disk: no temporary file, no copy but the one kept.
        std::wstring copies;
        std::string entries;  // the window's list, which a copy holds
        for (const std::wstring& entry : fakes::entriesOf(model))
            for (const wchar_t c : entry + L"\r\n")
                entries += c == L'|' ? '#' : static_cast<char>(c);
        for (const auto& [path, bytes] : files.files) {
            if (path == kList || bytes.ends_with("; kept\r\n") || bytes.starts_with("\xFF\xFE"))
                continue;
            for (const unsigned char b : bytes) user.said += static_cast<wchar_t>(b);
            if (path == L"C:\\E\\servers.txt") continue;  // the export, not a copy
            copies += path;
            EXPECT_TRUE(bytes.starts_with(kCopyTop)) << bytes;
            EXPECT_NE(bytes.find(kOwner), std::string::npos) << bytes;
            EXPECT_TRUE(bytes.ends_with("\r\n" + entries)) << bytes;
        }
        EXPECT_EQ(copies, c.copy);
        EXPECT_NE(user.said.find(c.said), std::wstring::npos) << user.said;
    }
}

// Memory that runs out anywhere in an import imports nothing and says so, or imports it all.
TEST(ListSessionTest, ImportsAllOrNothingWhenMemoryRunsOut) {
    for (long failing = 1, failed = 1; failed; ++failing) {
        fakes::MemoryFileStore files;
        files.files[kList] = kStart;
        ServerListModel model;
        ScriptedUser user;
        ListSession session(files, kList, L"C:\\U", model, user);
        session.load();
        user.said.reserve(4096), user.asked.reserve(4096);
        ServerLines lines;
        gFailingAllocation = failing;
        EXPECT_NO_THROW((lines.readText(L"5:6 A\n7:8 B\nx"), session.importServers(lines)));
        failed = gFailingAllocation.exchange(0) == 0;
        const bool all = fakes::entriesOf(model).size() == 4;
        // Told nothing was imported exactly when nothing was.
        EXPECT_EQ(all, user.said != texts::kImportNoMemory) << failing << user.said;
    }
}

}  // namespace
}  // namespace hostdeck
