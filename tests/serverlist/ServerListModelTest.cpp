// The lists and the editor fields: each row runs a few operations on the three sample entries
// and states the entries, the fields, the current item and the state afterwards.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "serverlist/ServerListModel.h"
#include "support/ModelEntries.h"

namespace hostdeck {
namespace {

using testing::entriesOf;
using testing::Texts;

// N1, I1, P1 make item 1 current in the nickname, address or port list; S select, A add,
// E edit, D delete, Z discard the entry out for editing; F:a|b|c sets the three fields; +n, +i, +p
// append "x" to one list only. X first: start with no entries. The state: "+" fields unlocked or
// "-" locked, "out" when an entry is out for editing, and "!" with each operation that was refused.
const std::wstring kHome = L"Home|10.0.0.5|99", kClub = L"Club|club.example|2300",
                   kLan = L"Lan|192.168.1.2|47624", kHome100 = L"Home|10.0.0.5|100";
const struct {
    std::wstring operations;
    Texts entries;
    std::wstring fields;
    ListIndex current;
    std::wstring state;
} kCases[] = {
    {L"", {kHome, kClub, kLan}, L"||", kNoItem, L"+"},
    {L"N1 S", {kHome, kClub, kLan}, kClub, 1, L"-"},
    {L"F:a|b|c A", {kHome, kClub, kLan, L"a|b|c"}, L"a|b|c", kNoItem, L"+"},
    {L"A", {kHome, kClub, kLan, L"||"}, L"||", kNoItem, L"+"},
    {L"N0 S A", {kHome, kClub, kLan, kHome}, kHome, 0, L"-"},
    {L"E", {kClub, kLan}, kHome, kNoItem, L"+ out"},
    {L"N0 I2 E", {kHome, kClub}, kLan, kNoItem, L"+ out"},
    {L"N2 I0 P1 E", {kHome, kLan}, kClub, kNoItem, L"+ out"},
    {L"N0 S E F:Home|10.0.0.5|100 A", {kClub, kLan, kHome100}, kHome100, kNoItem, L"+"},
    {L"N1 S D", {kHome, kLan}, kClub, kNoItem, L"-"},
    {L"I1 D", {kHome, kClub, kLan}, L"||", kNoItem, L"+"},
    {L"X F:kept|| N-1 S F:kept|| E", {}, L"kept||", kNoItem, L"+"},
    // An entry out for editing goes back before anything replaces the fields.
    {L"E F:Home|10.0.0.5|100 N0 S", {kClub, kLan, kHome100}, kClub, 0, L"-"},
    {L"E E", {kLan, kHome}, kClub, kNoItem, L"+ out"},
    {L"E Z E", {kLan}, kClub, kNoItem, L"+ out"},
    {L"E F:Ho#me|x|y N0 S", {kClub, kLan}, L"Ho#me|x|y", 0, L"+ out !S"},
    {L"E F:Ho#me|x|y E", {kClub, kLan}, L"Ho#me|x|y", kNoItem, L"+ out !E"},
    {L"E F:;Home|x|y A", {kClub, kLan}, L";Home|x|y", kNoItem, L"+ out !A"},
    // Lists of unequal length come from no operation; they must still break nothing.
    {L"X F:a|b|c A +n +p N1 S D N1 E", {L"a|b|c", L"x|?|x"}, L"a|b|c", 1, L"+ !S"},
    {L"X F:a|b|c A +n +i N1 S D N1 E", {L"a|b|c", L"x|x|?"}, L"a|b|c", 1, L"+ !S"},
};

TEST(ServerListModelTest, OperationsChangeListsAndFieldsAsTheUserExpects) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::PrintToString(c.operations));
        ServerListModel m;
        TextList* lists[] = {&m.lstServerNick, &m.lstServerIP, &m.lstServerPort};
        for (const std::wstring& entry :
             c.operations[0] == L'X' ? Texts{} : Texts{kHome, kClub, kLan})
            testing::appendEntry(m, entry);
        std::wstring refused;
        std::wistringstream words(c.operations);
        for (std::wstring op; words >> op;) {
            const auto list = std::wstring(L"NIP").find(op[0]);
            if (list != op.npos) lists[list]->setCurrentIndex(std::stoi(op.substr(1)));
            if (op[0] == L'+') lists[std::wstring(L"nip").find(op[1])]->append(L"x");
            if (op[0] == L'F') testing::setFields(m, op.substr(2));
            if (op == L"D") m.deleteCurrent();
            if (op == L"Z") m.discardEntryOutForEditing();
            if ((op == L"S" && !m.select()) || (op == L"E" && !m.edit()) ||
                (op == L"A" && !m.add().ok()))
                refused += L" !" + op;
        }
        EXPECT_EQ(entriesOf(m), c.entries);
        EXPECT_EQ(m.txtServerNickname.text() + L"|" + m.txtServerIP.text() + L"|" +
                      m.txtServerPort.text(),
                  c.fields);
        EXPECT_EQ(m.lstServerNick.currentIndex(), c.current);
        for (const TextField* field : {&m.txtServerNickname, &m.txtServerIP, &m.txtServerPort}) {
            EXPECT_EQ((field->enabled() ? L"+" : L"-") +
                          std::wstring(m.hasEntryOutForEditing() ? L" out" : L"") + refused,
                      c.state);
        }
        m.removeAllEntries();
        EXPECT_EQ(m.lstServerNick.count() + m.lstServerIP.count() + m.lstServerPort.count(), 0);
    }
}

// Writes down each change it is told of, with the index: the window's list box follows these.
struct Changes final : TextListObserver {
    std::wstring said;
    void itemAppended(ListIndex i) override { said += L"+" + std::to_wstring(i); }
    void itemRemoved(ListIndex i) override { said += L"-" + std::to_wstring(i); }
    void currentChanged(ListIndex i) override { said += L"@" + std::to_wstring(i); }
};

TEST(TextListTest, KeepsItemsAndTheCurrentOneThroughRemovals) {
    TextList list;
    for (int i = 0; i < 40000; ++i) list.append(L"entry " + std::to_wstring(i));
    list.append(list.item(3));  // a text of the list itself
    list.setCurrentIndex(39000);
    for (int i = 0; i < 30000; ++i) list.removeItem(0);
    ASSERT_EQ(list.count(), 10001);
    EXPECT_EQ(list.currentText(), L"entry 39000") << "the current item moves up with the rest";
    EXPECT_STREQ(list.itemCString(9999), L"entry 39999");
    EXPECT_EQ(list.item(10000), L"entry 3");
    list.removeItem(9000);
    EXPECT_EQ(list.currentIndex(), kNoItem) << "removing the current item clears it";
    for (const ListIndex bad : {10000, -2})
        EXPECT_THROW(list.setCurrentIndex(bad), std::out_of_range);
    EXPECT_THROW(list.removeItem(kNoItem), std::out_of_range);
    Changes changes;
    list.setObserver(&changes);
    list.append(L"new");
    list.setCurrentIndex(9999);
    list.removeItem(5);
    EXPECT_EQ(changes.said, L"+10000@9999-5");
}

}  // namespace
}  // namespace hostdeck
