// The list from start to end: each row sets up the disk, does something in the window, lets the
// disk change, closes (or ends the Windows session) with the user's answers, and states what
// was asked, whether the window closed, and what the disk holds afterwards.
#include <gtest/gtest.h>

#include <deque>

#include "serverlist/ListSession.h"
#include "support/MemoryFileStore.h"

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

// Gives the answers in order to the questions, then their defaults, and names what was asked.
// While a question is open, the window cannot be closed again. A wait ends once the save can go
// on, unless the next answer is Cancel.
struct ScriptedUser final : User {
    std::deque<Answer> answers;
    std::wstring asked, said;
    ListSession* session = nullptr;
    Answer ask(const Question& q) override {
        const std::pair<const wchar_t*, const wchar_t*> kinds[] = {
            {L"has not been added back", L"entry"},
            {L"could not be read.", L"unread"},
            {L"kept it here instead", L"copies"},
            {L"changed by another", L"changed"},
            {L"cannot read the server", L"unknown"},
            {L"could not be saved", L"failed"},
            {L"can be read now", L"add"},
            {L"It is kept in this copy", L"kept"},
            {L"could not keep a copy", L"nocopy"}};
        for (const auto& [words, kind] : kinds)
            if (q.text.find(words) != std::wstring::npos) asked += std::wstring(kind) + L" ";
        said += q.text;
        EXPECT_FALSE(session && session->mayClose()) << "one question at a time";
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

// At start: "none" no file, "odd" one a save would write otherwise, "locked" or "oom" it
// cannot be read, "copies" copies kept earlier (and one of another list's). In the window: "a"
// adds new|7|8, "a-" and deletes it again, "e" takes Home out for editing, "e;" and makes it
// ";Home", which the file cannot hold. Then on disk: "changed", "gone", "locked", "oom",
// "saving" (another window saves meanwhile), "busy" (another window is saving, twice),
// "readonly" (the list's folder), "nowhere" (every folder), "fail" (the next save fails
// part-way; "fail2" the next two). End: the Windows session ends instead of a close.
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
    {"", "a", "", {}, L"", true, kSaved},
    {"", "a", "changed", {}, L"changed ", false, kOther},
    {"", "a", "changed", {No}, L"changed ", true, kOther},
    {"", "a", "changed", {Yes}, L"changed ", true, kSaved},
    {"", "a", "gone", {}, L"", true, kSaved},
    {"", "a", "locked", {Yes}, L"unknown ", true, kSaved, {}, L"sharing violation"},
    {"", "a", "locked", {}, L"unknown ", false, kStart},
    {"", "a", "oom", {No}, L"unknown ", true, kStart, {}, L"not enough memory"},
    {"", "a", "saving", {Yes}, L"changed ", true, kSaved},
    {"", "a", "saving", {No}, L"changed ", true, kOther},
    {"", "a", "busy", {}, L"wait ", true, kSaved, {}, L"Another Hostdeck window is saving"},
    {"", "a", "busy", {Cancel}, L"wait ", false, kStart},
    {"", "a", "fail", {TryAgain}, L"failed ", true, kSaved, {}, L"Disk full"},
    {"", "a", "fail2", {TryAgain}, L"failed failed ", false, kStart},
    {"", "a", "fail", {Continue}, L"failed kept ", true, kStart, kCopy, L"saved: Disk full"},
    {"", "a", "readonly", {}, L"failed ", false, kStart, {}, kList + L"\n\nAccess denied"},
    {"", "a", "readonly", {Continue}, L"failed kept ", true, kStart, kSpareCopy},
    {"", "a", "nowhere", {Continue}, L"failed nocopy ", false, kStart},
    {"", "a", "nowhere", {Continue, Yes}, L"failed nocopy ", true, kStart},
    {"", "e", "", {}, L"", true, "Club#3#4\r\nHome#1#2\r\n"},
    {"", "e;", "", {}, L"entry ", false, kStart, {}, L"begins with \";\""},
    {"", "e;", "", {Yes}, L"entry ", true, "Club#3#4\r\n"},
    {"none", "a", "", {}, L"", true, "new#7#8\r\n"},
    {"none", "a", "changed", {}, L"changed ", false, kOther},
    {"none", "", "", {}, L"", true, "-"},
    // What the user did not change is not written, however the file would be written.
    {"odd", "", "", {}, L"", true, kOdd},
    {"odd", "a-", "", {}, L"", true, kOdd},
    {"odd", "", "changed", {}, L"", true, kOther},
    {"odd", "", "End", {}, L"", true, kOdd},
    {"odd", "a", "", {}, L"", true, "odd##\r\nHome#1#2\r\nnew#7#8\r\n"},
    // Unread at start, read again at close.
    {"locked", "", "", {}, L"unread ", true, kStart, {}, L"sharing violation"},
    {"oom", "a", "", {Yes}, L"unread add ", true, kSaved, {}, L"Add the 1 servers"},
    {"oom", "a", "", {No}, L"unread add ", true, kStart},
    {"oom", "a", "", {}, L"unread add ", false, kStart},
    {"locked", "a", "locked", {TryAgain}, L"unread failed failed ", false, kStart,
     {}, L"sharing violation\n\nTry Again"},
    {"locked", "a", "locked", {Continue}, L"unread failed kept ", true, kStart, kCopy},
    {"copies", "", "", {}, L"copies ", true, kStart, {},
     L"\nC:\\H\\serverlist (not saved 6).ini\n... and 2 more copies"},
    // Nobody can be asked: what may not replace the file goes beside it.
    {"", "a", "End", {}, L"", true, kSaved},
    {"", "a", "changed End", {}, L"", true, kOther, kCopy, L"changed by another program"},
    {"", "a", "oom End", {}, L"", true, kStart, kCopy, L"not enough memory"},
    {"", "a", "saving End", {}, L"", true, kOther, kCopy, L"while Hostdeck saved"},
    {"", "a", "busy End", {}, L"", true, kStart, kCopy, L"still saving"},
    {"", "a", "readonly End", {}, L"", true, kStart, kSpareCopy, L"Access denied"},
    {"copies", "a", "readonly End", {}, L"copies ", true, kStart,
     L"C:\\U\\serverlist (not saved 2).ini", L"Access denied"},
    {"", "e;", "End", {}, L"", true, "Club#3#4\r\n", kCopy, L"Server Nickname: ;Home"},
    {"oom", "", "End", {}, L"unread ", true, kStart},
    // clang-format on
};

TEST(ListSessionTest, NeverDropsTheListWithoutTheUsersChoice) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::PrintToString(c.start + "/" + c.window + "/" + c.disk));
        testing::MemoryFileStore files;
        if (c.start != "none") files.files[kList] = c.start == "odd" ? kOdd : kStart;
        const std::string kept = kCopyTop + "Windows ended." + kOwner + "; kept\r\n";
        if (c.start == "copies") {
            for (const wchar_t* n : {L"10", L"2", L"3", L"4", L"5", L"6"})
                files.files[L"C:\\H\\serverlist (not saved " + std::wstring(n) + L").ini"] = kept;
            files.files[kSpareCopy] = kept;
            files.files[L"C:\\U\\serverlist (not saved 3).ini"] =  // another installation's
                kCopyTop + "Windows ended.\r\n; It belongs to D:\\H\\serverlist.ini\r\n; kept\r\n";
        }
        if (c.start == "locked" || c.start == "oom")
            files.readFailure = c.start == "oom" ? L"throw" : L"sharing violation";
        ServerListModel model;
        ScriptedUser user;
        user.answers = c.answers;
        ListSession session(files, kList, L"C:\\U", model, user);
        user.session = &session;
        session.load();
        if (session.hasStartNotes()) session.tellStartNotes();
        files.readFailure.reset();

        if (c.window.starts_with("e")) model.edit();
        if (c.window == "e;") model.txtServerNickname.setText(L";Home");
        if (c.window.starts_with("a")) {
            model.txtServerNickname.setText(L"\xDC41");  // the file would read "A": refused
            ASSERT_FALSE(model.add().ok());
            model.txtServerNickname.setText(L"new");
            model.txtServerIP.setText(L"7");
            model.txtServerPort.setText(L"8");
            ASSERT_TRUE(model.add().ok());
        }
        if (c.window == "a-") {
            model.lstServerNick.setCurrentIndex(model.entryCount() - 1);
            model.deleteCurrent();
        }
        const std::string& d = c.disk;
        if (d.starts_with("changed")) files.files[kList] = kOther;
        if (d.starts_with("gone")) files.files.erase(kList);
        if (d.starts_with("locked")) files.readFailure = L"sharing violation";
        if (d.starts_with("oom")) files.readFailure = L"throw";
        if (d.starts_with("saving")) files.whileSaving = [&] { files.files[kList] = kOther; };
        if (d.starts_with("busy")) files.busySaves[kList] = 2;
        if (d.starts_with("readonly")) files.readOnlyFolder = L"C:\\H";
        if (d.starts_with("nowhere")) files.readOnlyFolder = L"C:\\";
        if (d.starts_with("fail")) files.failingWrites = d == "fail2" ? 2 : 1;

        bool closed = true;
        if (d.ends_with("End")) {
            session.endSession();
            user.session = nullptr;
            EXPECT_TRUE(session.mayClose()) << "the program ends next: nothing more to do";
        } else {
            closed = session.mayClose();
        }
        files.readFailure.reset();
        EXPECT_EQ(user.asked, c.asked);
        EXPECT_EQ(closed, c.closes);
        EXPECT_EQ(files.files.count(kList) ? files.files[kList] : "-", c.after);
        // Nothing else is left on disk: no temporary file, no copy but the one kept.
        std::wstring copies;
        for (const auto& [path, bytes] : files.files) {
            if (path == kList || bytes.ends_with("; kept\r\n")) continue;
            copies += path;
            EXPECT_TRUE(bytes.starts_with(kCopyTop)) << bytes;
            EXPECT_NE(bytes.find(kOwner), std::string::npos) << bytes;
            const std::string entries = c.window != "a"                           ? "Club#3#4\r\n"
                                        : c.start == "locked" || c.start == "oom" ? "new#7#8\r\n"
                                                                                  : kSaved;
            EXPECT_TRUE(bytes.ends_with("\r\n" + entries)) << bytes;
            user.said.append(bytes.begin(), bytes.end());
        }
        EXPECT_EQ(copies, c.copy);
        EXPECT_NE(user.said.find(c.said), std::wstring::npos) << user.said;
    }
}

}  // namespace
}  // namespace hostdeck
