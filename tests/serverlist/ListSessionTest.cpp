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
                  kSaved = kStart + "new#7#8\r\n";

// Gives the answers in order to the questions, then their defaults, and names what was asked.
struct ScriptedUser final : User {
    std::deque<Answer> answers;
    std::wstring asked, said;
    Answer ask(const Question& q) override {
        const std::pair<const wchar_t*, const wchar_t*> kinds[] = {
            {L"has not been added back", L"entry"},  {L"could not be read.", L"unread"},
            {L"kept it here instead", L"copies"},    {L"changed by another", L"changed"},
            {L"cannot read the server", L"unknown"}, {L"could not be saved", L"failed"}};
        for (const auto& [words, kind] : kinds)
            if (q.text.find(words) != std::wstring::npos) asked += std::wstring(kind) + L" ";
        said += q.text;
        // What Enter and Escape choose never loses the window's list.
        EXPECT_EQ(q.byDefault, q.choices == Question::Choices::Ok      ? Ok
                               : q.choices == Question::Choices::YesNo ? No
                                                                       : Cancel);
        if (answers.empty() || q.choices == Question::Choices::Ok) return q.byDefault;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// At start: "none" no file, "locked" or "oom" it cannot be read, "copies" copies kept earlier.
// In the window: "a" adds new|7|8, "e" takes Home out for editing, "e;" and makes it
// ";Home", which the file cannot hold. Then on disk: "changed", "gone", "locked", "oom",
// "saving" (another window saves meanwhile), "readonly" (the list's folder), "fail" (the next
// save fails part-way; "fail2" the next two). End: the Windows session ends instead of a close.
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
    {"", "a", "fail", {TryAgain}, L"failed ", true, kSaved, {}, L"Disk full"},
    {"", "a", "fail2", {TryAgain}, L"failed failed ", false, kStart},
    {"", "a", "fail", {Continue}, L"failed ", true, kStart},
    {"", "a", "readonly", {}, L"failed ", false, kStart, {}, kList + L"\n\nAccess denied"},
    {"", "e", "", {}, L"", true, "Club#3#4\r\nHome#1#2\r\n"},
    {"", "e;", "", {}, L"entry ", false, kStart, {}, L"begins with \";\""},
    {"", "e;", "", {Yes}, L"entry ", true, "Club#3#4\r\n"},
    {"none", "a", "", {}, L"", true, "new#7#8\r\n"},
    {"none", "a", "changed", {}, L"changed ", false, kOther},
    {"locked", "", "", {}, L"unread ", true, kStart, {}, L"sharing violation"},
    {"oom", "a", "", {Continue}, L"unread failed ", true, kStart, {}, L"could not be read at start"},
    {"copies", "", "", {}, L"copies ", true, kStart, {},
     L"\nC:\\H\\serverlist (not saved 2).ini\nC:\\H\\serverlist (not saved 10).ini\n"
     L"C:\\U\\serverlist (not saved 1).ini\n"},
    // Nobody can be asked: what may not replace the file goes beside it.
    {"", "a", "End", {}, L"", true, kSaved},
    {"", "a", "changed End", {}, L"", true, kOther, kCopy, L"changed by another program"},
    {"", "a", "oom End", {}, L"", true, kStart, kCopy, L"not enough memory"},
    {"", "a", "saving End", {}, L"", true, kOther, kCopy, L"while Hostdeck saved"},
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
        if (c.start != "none") files.files[kList] = kStart;
        if (c.start == "copies") {
            for (const wchar_t* copy : {L"C:\\H\\serverlist (not saved 10).ini",
                                        L"C:\\H\\serverlist (not saved 2).ini", kSpareCopy.c_str()})
                files.files[copy] = "; kept\r\n";
        }
        if (c.start == "locked" || c.start == "oom")
            files.readFailure = c.start == "oom" ? L"throw" : L"sharing violation";
        ServerListModel model;
        ScriptedUser user;
        user.answers = c.answers;
        ListSession session(files, kList, L"C:\\U", model, user);
        session.load();
        if (session.hasStartNotes()) session.tellStartNotes();
        files.readFailure.reset();

        if (c.window.starts_with("e")) model.edit();
        if (c.window == "e;") model.txtServerNickname.setText(L";Home");
        if (c.window == "a") {
            model.txtServerNickname.setText(L"\xDC41");  // the file would read "A": refused
            ASSERT_FALSE(model.add().ok());
            model.txtServerNickname.setText(L"new");
            model.txtServerIP.setText(L"7");
            model.txtServerPort.setText(L"8");
            ASSERT_TRUE(model.add().ok());
        }
        const std::string& d = c.disk;
        if (d.starts_with("changed")) files.files[kList] = kOther;
        if (d.starts_with("gone")) files.files.erase(kList);
        if (d.starts_with("locked")) files.readFailure = L"sharing violation";
        if (d.starts_with("oom")) files.readFailure = L"throw";
        if (d.starts_with("saving")) files.whileSaving = [&] { files.files[kList] = kOther; };
        if (d.starts_with("readonly")) files.readOnlyFolder = L"C:\\H";
        if (d.starts_with("fail")) files.failingWrites = d == "fail2" ? 2 : 1;

        bool closed = true;
        if (d.ends_with("End")) {
            session.endSession();
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
            if (path == kList || (c.start == "copies" && bytes == "; kept\r\n")) continue;
            copies += path;
            EXPECT_TRUE(
                bytes.starts_with("; Hostdeck kept this copy of its server list when "
                                  "Windows ended.\r\n; It belongs to C:\\H\\"))
                << bytes;
            const std::string entries = c.window == "a" ? kSaved : "Club#3#4\r\n";
            EXPECT_TRUE(bytes.ends_with("\r\n" + entries)) << bytes;
            user.said.append(bytes.begin(), bytes.end());
        }
        EXPECT_EQ(copies, c.copy);
        EXPECT_NE(user.said.find(c.said), std::wstring::npos) << user.said;
    }
}

}  // namespace
}  // namespace hostdeck
