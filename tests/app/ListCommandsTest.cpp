// The list's command table: each row of the table below is a state of the list, and states the
// menu the user sees then (a greyed item in brackets). Every command has one row, the menu's
// access keys differ in every state, and no key runs two commands.
#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <string>
#include <tuple>

#include "app/ListCommands.h"
#include "support/ModelEntries.h"

namespace hostdeck {
namespace {

constexpr auto kCount = static_cast<int>(CommandId::Count);
const std::wstring kTail = L" P&aste servers &Import servers...";

// "entries" appends three entries; "current N" makes entry N current; "delete" deletes the
// current one; "import" imports one entry.
const struct {
    std::wstring steps;
    bool onEntry;
    std::wstring menu;
} kCases[] = {
    // clang-format off
    {L"", false, L"(&Start) (&Copy address) (Create &desktop shortcut) (&Undo delete) (Move u&p) (Move dow&n)" + kTail},
    {L"entries, current 1", true, L"&Start &Copy address Create &desktop shortcut (&Undo delete) Move u&p Move dow&n" + kTail},
    {L"entries, current 1", false, L"(&Start) (&Copy address) (Create &desktop shortcut) (&Undo delete) (Move u&p) (Move dow&n)" + kTail},
    {L"entries, current 0", true, L"&Start &Copy address Create &desktop shortcut (&Undo delete) (Move u&p) Move dow&n" + kTail},
    {L"entries, current 2, delete, current 1", true, L"&Start &Copy address Create &desktop shortcut &Undo delete Move u&p (Move dow&n)" + kTail},
    {L"entries, current 2, delete, import", false, L"(&Start) (&Copy address) (Create &desktop shortcut) &Undo import (Move u&p) (Move dow&n)" + kTail},
    // clang-format on
};

TEST(ListCommandsTest, MenuNamesWhatEachCommandDoesNowAndGreysWhatItCannot) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::PrintToString(c.steps));
        ServerListModel model;
        for (std::wstring steps = c.steps; !steps.empty();) {
            const std::wstring step = steps.substr(0, steps.find(L", "));
            steps.erase(0, std::min(steps.size(), step.size() + 2));
            if (step == L"entries")
                for (const wchar_t* e : {L"a|1|2", L"b|3|4", L"c|5|6"})
                    fakes::appendEntry(model, e);
            if (step.starts_with(L"current ")) model.lstServerNick.setCurrentIndex(step[8] - L'0');
            if (step == L"delete") model.deleteCurrent();
            if (step == L"import") model.appendImported({{L"d", L"7", L"8"}});
        }
        const ListState state{c.onEntry, &model};
        std::wstring menu;
        std::set<wchar_t> accessKeys;
        for (const ListCommand& command : listCommands()) {
            if (!command.text) continue;
            const std::wstring text(command.text(state));
            menu += (menu.empty() ? L"" : L" ") +
                    (command.available(state) ? text : L"(" + text + L")");
            const std::size_t mark = text.find(L'&');
            ASSERT_NE(mark, std::wstring::npos) << "no access key";
            EXPECT_TRUE(accessKeys.insert(std::towlower(text[mark + 1])).second)
                << "access key used twice: " << ::testing::PrintToString(text);
        }
        EXPECT_EQ(menu, c.menu);
    }
}

TEST(ListCommandsTest, EveryCommandHasOneRowAndEveryKeyOneCommand) {
    int rows[kCount] = {};
    std::set<std::tuple<int, unsigned, unsigned>> keys;
    for (const ListCommand& command : listCommands()) {
        ASSERT_LT(static_cast<int>(command.id), kCount);
        ++rows[static_cast<int>(command.id)];
        EXPECT_EQ(&listCommand(command.id), &command);
        for (const ListCommand::Key& key : command.keys) {
            EXPECT_TRUE(!key.code || keys.insert({command.control, key.code, key.modifiers}).second)
                << "a key of two commands: " << key.code;
        }
    }
    for (int id = 0; id < kCount; ++id) EXPECT_EQ(rows[id], 1) << "command " << id;
}

}  // namespace
}  // namespace hostdeck
