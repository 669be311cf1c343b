// The list's command table: each row of the table below is a state of the list, and states the
// menu the user sees then (a greyed item in brackets, the default marked "*", and "+" where a
// held key repeats it). In each, every command has one row, the
// menu's access keys differ, and no key runs two commands.
#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <string>
#include <tuple>

#include "form/ListCommands.h"
#include "support/ModelEntries.h"

namespace hostdeck {
namespace {

const std::wstring kTail = L" P&aste servers &Import servers... &Export servers...";

// The list holds a|1|2, b|3|4, c|5|6 where `current` is not -1; "delete" deletes the current
// one, "import" imports d|7|8.
const struct {
    int current;
    std::wstring then;
    bool onEntry;
    std::wstring menu;
} kCases[] = {
    // clang-format off
    {-1, L"", false, L"(&Start)* (&Copy address) (Create &desktop shortcut) (&Undo delete)+ (Move u&p)+ (Move dow&n)+" + kTail},
    {1, L"", true, L"&Start* &Copy address Create &desktop shortcut (&Undo delete)+ Move u&p+ Move dow&n+" + kTail},
    {1, L"", false, L"(&Start)* (&Copy address) (Create &desktop shortcut) (&Undo delete)+ (Move u&p)+ (Move dow&n)+" + kTail},
    {0, L"", true, L"&Start* &Copy address Create &desktop shortcut (&Undo delete)+ (Move u&p)+ Move dow&n+" + kTail},
    {2, L"delete", true, L"&Start* &Copy address Create &desktop shortcut &Undo delete+ Move u&p+ (Move dow&n)+" + kTail},
    {2, L"delete, import", false, L"(&Start)* (&Copy address) (Create &desktop shortcut) &Undo import+ (Move u&p)+ (Move dow&n)+" + kTail},
    // clang-format on
};

TEST(ListCommandsTest, MenuNamesWhatEachCommandDoesNowAndGreysWhatItCannot) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::PrintToString(c.then));
        ServerListModel model;
        for (const wchar_t* e : {L"a|1|2", L"b|3|4", L"c|5|6"})
            if (c.current >= 0) fakes::appendEntry(model, e);
        model.lstServerNick.setCurrentIndex(c.current);
        if (c.then.starts_with(L"delete")) model.deleteCurrent();
        if (c.then.ends_with(L"import")) model.appendImported({{L"d", L"7", L"8"}});
        model.lstServerNick.setCurrentIndex(c.current > 1 ? 1 : c.current);
        const ListState state{c.onEntry, &model};
        std::wstring menu;
        std::set<wchar_t> accessKeys;
        std::set<std::tuple<int, unsigned, unsigned>> keys;
        int rows[static_cast<int>(CommandId::Count)] = {};
        for (const ListCommand& command : listCommands()) {
            ++rows[static_cast<int>(command.id)];
            for (const ListCommand::Key& key : command.keys)
                EXPECT_TRUE(!key.code ||
                            keys.insert({command.control, key.code, key.modifiers}).second)
                    << "a key of two commands: " << key.code;
            if (!command.text) continue;
            const std::wstring text(command.text(state));
            menu += (menu.empty() ? L"" : L" ") +
                    (command.available(state) ? text : L"(" + text + L")") +
                    (command.isDefault ? L"*" : L"") + (command.repeats ? L"+" : L"");
            EXPECT_TRUE(accessKeys.insert(std::towlower(text.at(text.find(L'&') + 1))).second)
                << "access key used twice: " << ::testing::PrintToString(text);
        }
        EXPECT_EQ(menu, c.menu);
        for (const int n : rows) EXPECT_EQ(n, 1) << "every command has one row";
    }
}

}  // namespace
}  // namespace hostdeck
