// The lists and the editor fields: each row runs a few operations on the three sample entries
// and states the lists, the fields and the current item afterwards.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "serverlist/ServerListModel.h"

namespace hostdeck {
namespace {

using Texts = std::vector<std::wstring>;

Texts itemsOf(const TextList& list) {
    Texts items;
    for (ListIndex i = 0; i < list.count(); ++i) items.emplace_back(list.item(i));
    return items;
}

Texts entriesOf(const ServerListModel& m) {
    Texts entries;
    for (ListIndex i = 0; i < m.entryCount(); ++i) {
        entries.push_back(std::wstring(m.lstServerNick.item(i)) + L"|" +
                          std::wstring(m.lstServerIP.item(i)) + L"|" +
                          std::wstring(m.lstServerPort.item(i)));
    }
    return entries;
}

// Mirrors the nickname list through its observer, the way the window's list box does.
struct MirrorList final : TextListObserver {
    const TextList& list;
    Texts items;
    ListIndex current = kNoItem;
    explicit MirrorList(const TextList& l) : list(l), items(itemsOf(l)) {}
    void itemAppended(ListIndex index) override { items.push_back(list.itemCString(index)); }
    void itemRemoved(ListIndex index) override {
        items.erase(items.begin() + index);
        current = current == index ? kNoItem : current > index ? current - 1 : current;
    }
    void currentChanged(ListIndex index) override { current = index; }
};

// Runs operations: N1, I1, P1 make item 1 current in the nickname, address or port list;
// S select, A add, E edit, D delete, F:a|b|c sets the three fields. X: start with no entries.
void run(ServerListModel& m, const std::string& operations) {
    std::istringstream words(operations);
    for (std::string op; words >> op;) {
        const auto index = [&] { return static_cast<ListIndex>(std::stoi(op.substr(1))); };
        if (op[0] == 'N') m.lstServerNick.setCurrentIndex(index());
        if (op[0] == 'I') m.lstServerIP.setCurrentIndex(index());
        if (op[0] == 'P') m.lstServerPort.setCurrentIndex(index());
        if (op == "S") m.select();
        if (op == "A") m.add();
        if (op == "E") m.edit();
        if (op == "D") m.deleteCurrent();
        if (op[0] == 'F') {
            std::wstring texts[3];
            std::istringstream fields(op.substr(2) + "|");
            for (std::wstring& text : texts) {
                std::string field;
                std::getline(fields, field, '|');
                text.assign(field.begin(), field.end());
            }
            m.txtServerNickname.setText(texts[0]);
            m.txtServerIP.setText(texts[1]);
            m.txtServerPort.setText(texts[2]);
        }
    }
}

const std::wstring kHome = L"Home|10.0.0.5|99", kClub = L"Club|club.example|2300",
                   kLan = L"Lan|192.168.1.2|47624";

TEST(ServerListModelTest, OperationsChangeListsAndFieldsAsTheUserExpects) {
    const struct {
        const char* operations;
        Texts entries;
        std::wstring fields;
        bool enabled;
        ListIndex current;
    } cases[] = {
        {"", {kHome, kClub, kLan}, L"||", true, kNoItem},
        {"N1 S", {kHome, kClub, kLan}, kClub, false, 1},
        {"F:a|b|c A", {kHome, kClub, kLan, L"a|b|c"}, L"a|b|c", true, kNoItem},
        {"A", {kHome, kClub, kLan, L"||"}, L"||", true, kNoItem},
        {"N0 S A", {kHome, kClub, kLan, kHome}, kHome, false, 0},
        {"E", {kClub, kLan}, kHome, true, kNoItem},
        {"N0 I2 E", {kHome, kClub}, kLan, true, kNoItem},
        {"N2 I0 P1 E", {kHome, kLan}, kClub, true, kNoItem},
        {"N0 S E F:Home|10.0.0.5|100 A",
         {kClub, kLan, L"Home|10.0.0.5|100"},
         L"Home|10.0.0.5|100",
         true,
         kNoItem},
        {"N1 S D", {kHome, kLan}, kClub, false, kNoItem},
        {"I1 D", {kHome, kClub, kLan}, L"||", true, kNoItem},
        {"X F:kept|| N-1 S F:kept|| E", {}, L"kept||", true, kNoItem},
        // An entry out for editing goes back before anything replaces the fields.
        {"E F:Home|10.0.0.5|100 N0 S", {kClub, kLan, L"Home|10.0.0.5|100"}, kClub, false, 0},
        {"E E", {kLan, kHome}, kClub, true, kNoItem},
        {"E F:Ho#me|x|y N0 S", {kClub, kLan}, L"Ho#me|x|y", true, 0},
        {"E F:Ho#me|x|y E", {kClub, kLan}, L"Ho#me|x|y", true, kNoItem},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operations);
        ServerListModel m;
        const bool empty = c.operations[0] == 'X';
        for (const std::wstring& entry : empty ? Texts{} : Texts{kHome, kClub, kLan}) {
            const std::size_t a = entry.find(L'|'), b = entry.rfind(L'|');
            m.appendEntry(entry.substr(0, a), entry.substr(a + 1, b - a - 1), entry.substr(b + 1));
        }
        MirrorList mirror(m.lstServerNick);
        m.lstServerNick.setObserver(&mirror);
        run(m, c.operations);
        EXPECT_EQ(entriesOf(m), c.entries);
        EXPECT_EQ(m.txtServerNickname.text() + L"|" + m.txtServerIP.text() + L"|" +
                      m.txtServerPort.text(),
                  c.fields);
        for (const TextField* field : {&m.txtServerNickname, &m.txtServerIP, &m.txtServerPort})
            EXPECT_EQ(field->enabled(), c.enabled);
        EXPECT_EQ(m.lstServerNick.currentIndex(), c.current);
        EXPECT_EQ(mirror.items, itemsOf(m.lstServerNick));
        EXPECT_EQ(mirror.current, m.lstServerNick.currentIndex());
    }
}

// What Add takes: everything the list file gives back unchanged, and nothing else.
TEST(ServerListModelTest, AddRefusesWhatTheListFileCannotHoldAndSaysWhy) {
    const std::wstring lone(1, static_cast<wchar_t>(0xD800));
    const std::wstring fileByte(1, static_cast<wchar_t>(0xDCE9));  // a byte read from a file
    const struct {
        std::wstring nick, ip, port;
        const wchar_t* why;  // null: added
    } cases[] = {
        {L" ;x", L"a#b#c", L" ", nullptr},
        {L"\u65E5", L"Caf" + fileByte, L"1", nullptr},
        {L";x", L"", L"", L"begins with \";\""},
        {L"a#b", L"", L"", L"The nickname holds \"#\" (character 2)"},
        {L"a", L"", L"9#9", L"The port holds \"#\""},
        {L"a", L"b\nc", L"", L"The address holds a line break"},
        {L"a\r", L"", L"", L"The nickname holds a line break"},
        {L"a", lone, L"", L"The address holds half of a character (U+D800)"},
        {lone + L"a", L"", L"", L"The nickname holds half"},
        {L"a\xDC00", L"", L"", L"The nickname holds half of a character (U+DC00)"},
        {L"", L"", L"\xDC7F", L"The port holds half"},
        {L"\xD83D\xDE00", L"\xDCFF\xDC80", L"", nullptr},  // a pair; two bytes from a file
    };
    for (const auto& c : cases) {
        ServerListModel m;
        m.txtServerNickname.setText(c.nick);
        m.txtServerIP.setText(c.ip);
        m.txtServerPort.setText(c.port);
        const std::wstring why = m.add();
        const std::wstring expected = c.why ? c.why : L"";
        EXPECT_EQ(why.substr(why.find(expected) == std::wstring::npos ? 0 : why.find(expected),
                             expected.size()),
                  expected);
        EXPECT_EQ(entriesOf(m), c.why ? Texts{} : Texts{c.nick + L"|" + c.ip + L"|" + c.port});
    }
}

TEST(ServerListModelTest, OperationsThatWouldDropAnEntryOutForEditingSaySo) {
    ServerListModel m;
    m.appendEntry(L"a", L"b", L"c");
    EXPECT_TRUE(m.edit());
    m.txtServerNickname.setText(L";a");
    EXPECT_FALSE(m.select());
    EXPECT_FALSE(m.edit());
    EXPECT_TRUE(m.hasEntryOutForEditing());
}

// Lists of unequal length come from no operation; they must still not break one.
TEST(ServerListModelTest, ListsOfUnequalLengthBreakNothing) {
    for (TextList ServerListModel::*shortList :
         {&ServerListModel::lstServerIP, &ServerListModel::lstServerPort}) {
        ServerListModel m;
        m.appendEntry(L"a", L"b", L"c");
        m.lstServerNick.append(L"d");
        (shortList == &ServerListModel::lstServerIP ? m.lstServerPort : m.lstServerIP).append(L"e");
        m.lstServerNick.setCurrentIndex(1);
        EXPECT_FALSE(m.select());
        m.deleteCurrent();
        m.lstServerNick.setCurrentIndex(1);
        EXPECT_TRUE(m.edit());
        EXPECT_EQ(m.lstServerNick.count(), 2);
        m.removeAllEntries();
        EXPECT_EQ(m.lstServerNick.count() + m.lstServerIP.count() + m.lstServerPort.count(), 0);
    }
}

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
    EXPECT_THROW(list.setCurrentIndex(10000), std::out_of_range);
    EXPECT_THROW(list.setCurrentIndex(-2), std::out_of_range);
    EXPECT_THROW(list.removeItem(kNoItem), std::out_of_range);
}

}  // namespace
}  // namespace hostdeck
