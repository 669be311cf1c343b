#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "serverlist/ServerListModel.h"

namespace hostdeck {
namespace {

std::vector<std::wstring> itemsOf(const TextList& list) {
    std::vector<std::wstring> items;
    for (ListIndex i = 0; i < list.count(); ++i) items.emplace_back(list.item(i));
    return items;
}

// Mirrors a TextList through its observer, the way the window's list box does.
class MirrorList final : public TextListObserver {
  public:
    explicit MirrorList(const TextList& list) : list_(list), items(itemsOf(list)) {}
    const TextList& list_;
    std::vector<std::wstring> items;
    ListIndex current = kNoItem;

    void itemAppended(ListIndex index) override { items.push_back(list_.itemCString(index)); }
    void itemRemoved(ListIndex index) override {
        items.erase(items.begin() + index);
        if (current == index)
            current = kNoItem;
        else if (current > index)
            --current;
    }
    void currentChanged(ListIndex index) override { current = index; }
};

std::vector<std::wstring> entry(const ServerListModel& m, ListIndex i) {
    return {std::wstring(m.lstServerNick.item(i)), std::wstring(m.lstServerIP.item(i)),
            std::wstring(m.lstServerPort.item(i))};
}

std::vector<std::wstring> fields(const ServerListModel& m) {
    return {m.txtServerNickname.text(), m.txtServerIP.text(), m.txtServerPort.text()};
}

bool fieldsEnabled(const ServerListModel& m) {
    EXPECT_EQ(m.txtServerNickname.enabled(), m.txtServerIP.enabled());
    EXPECT_EQ(m.txtServerNickname.enabled(), m.txtServerPort.enabled());
    return m.txtServerNickname.enabled();
}

void expectNoCurrentItem(const ServerListModel& m) {
    EXPECT_EQ(m.lstServerNick.currentIndex(), kNoItem);
    EXPECT_EQ(m.lstServerIP.currentIndex(), kNoItem);
    EXPECT_EQ(m.lstServerPort.currentIndex(), kNoItem);
}

class ServerListModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        model.appendEntry(L"Home", L"10.0.0.5", L"99");
        model.appendEntry(L"Club", L"club.example", L"2300");
        model.appendEntry(L"Lan", L"192.168.1.2", L"47624");
    }
    void setFields(const wchar_t* nick, const wchar_t* ip, const wchar_t* port) {
        model.txtServerNickname.setText(nick);
        model.txtServerIP.setText(ip);
        model.txtServerPort.setText(port);
    }
    ServerListModel model;
};

TEST(TextListTest, KeepsOrderAndCurrentItemThroughRemovals) {
    TextList list;
    for (const wchar_t* t : {L"a", L"b", L"c", L"d"}) list.append(t);
    EXPECT_EQ(list.currentText(), L"");
    list.setCurrentIndex(2);
    list.append(L"e");
    EXPECT_EQ(list.currentIndex(), 2) << "append leaves the current item alone";
    list.removeItem(0);
    EXPECT_EQ(list.currentText(), L"c") << "the current item moves up with the rest";
    list.removeItem(1);
    EXPECT_EQ(list.currentIndex(), kNoItem) << "removing the current item clears it";
    EXPECT_EQ(itemsOf(list), (std::vector<std::wstring>{L"b", L"d", L"e"}));
}

TEST(TextListTest, KeepsTextsWholeWhenManyAreRemoved) {
    TextList list;
    for (int i = 0; i < 10000; ++i) list.append(L"entry " + std::to_wstring(i));
    list.append(list.item(3));  // a text of the list itself
    list.setCurrentIndex(9000);
    for (int i = 0; i < 8000; ++i) list.removeItem(0);
    ASSERT_EQ(list.count(), 2001);
    EXPECT_EQ(list.currentText(), L"entry 9000");
    EXPECT_EQ(list.item(0), L"entry 8000");
    EXPECT_STREQ(list.itemCString(1999), L"entry 9999");
    EXPECT_EQ(list.item(2000), L"entry 3");
}

TEST(TextListTest, RejectsPositionsOutsideTheList) {
    TextList list;
    list.append(L"only");
    EXPECT_THROW(list.setCurrentIndex(1), std::out_of_range);
    EXPECT_THROW(list.setCurrentIndex(-2), std::out_of_range);
    EXPECT_THROW(list.removeItem(1), std::out_of_range);
    EXPECT_THROW(list.removeItem(kNoItem), std::out_of_range);
    EXPECT_EQ(list.count(), 1);
}

TEST_F(ServerListModelTest, SelectCopiesTheEntryAndLocksTheFields) {
    model.lstServerNick.setCurrentIndex(1);
    model.select();
    EXPECT_EQ(fields(model), entry(model, 1));
    EXPECT_FALSE(fieldsEnabled(model));
    EXPECT_EQ(model.lstServerIP.currentIndex(), 1);
    EXPECT_EQ(model.lstServerPort.currentIndex(), 1);
}

TEST_F(ServerListModelTest, AddAppendsTheFieldsAndChangesNothingElse) {
    model.lstServerNick.setCurrentIndex(0);
    setFields(L"New", L"1.2.3.4", L"7");
    model.add();
    ASSERT_EQ(model.entryCount(), 4);
    EXPECT_EQ(entry(model, 3), (std::vector<std::wstring>{L"New", L"1.2.3.4", L"7"}));
    EXPECT_EQ(fields(model), entry(model, 3));
    EXPECT_TRUE(fieldsEnabled(model));
    EXPECT_EQ(model.lstServerNick.currentIndex(), 0);
    EXPECT_EQ(model.lstServerIP.currentIndex(), kNoItem);
}

TEST_F(ServerListModelTest, AddAfterSelectAppendsACopyWithFieldsStillLocked) {
    model.lstServerNick.setCurrentIndex(0);
    model.select();
    model.add();
    EXPECT_EQ(entry(model, 3), entry(model, 0));
    EXPECT_FALSE(fieldsEnabled(model));
}

TEST_F(ServerListModelTest, EditWithNoCurrentItemTakesOutTheFirstEntry) {
    model.edit();
    EXPECT_EQ(fields(model), (std::vector<std::wstring>{L"Home", L"10.0.0.5", L"99"}));
    EXPECT_TRUE(fieldsEnabled(model));
    ASSERT_EQ(model.entryCount(), 2);
    EXPECT_EQ(entry(model, 0)[0], L"Club");
    expectNoCurrentItem(model);
}

TEST_F(ServerListModelTest, EditTakesTheIndexOfTheLastListWithACurrentItem) {
    model.lstServerNick.setCurrentIndex(0);
    model.lstServerIP.setCurrentIndex(2);
    model.lstServerPort.setCurrentIndex(1);
    model.edit();
    EXPECT_EQ(fields(model), (std::vector<std::wstring>{L"Club", L"club.example", L"2300"}));

    ServerListModel other;
    other.appendEntry(L"a", L"b", L"c");
    other.appendEntry(L"d", L"e", L"f");
    other.lstServerIP.setCurrentIndex(1);
    other.edit();
    EXPECT_EQ(fields(other), (std::vector<std::wstring>{L"d", L"e", L"f"}));
}

TEST_F(ServerListModelTest, EditThenAddPutsTheChangedEntryAtTheEnd) {
    model.lstServerNick.setCurrentIndex(0);
    model.select();
    model.edit();
    model.txtServerPort.setText(L"100");
    model.add();
    ASSERT_EQ(model.entryCount(), 3);
    EXPECT_EQ(entry(model, 2), (std::vector<std::wstring>{L"Home", L"10.0.0.5", L"100"}));
}

// What Add takes: everything the list file gives back unchanged, and nothing else.
TEST_F(ServerListModelTest, AddRefusesWhatTheListFileCannotHoldAndSaysWhy) {
    const std::wstring lone(1, static_cast<wchar_t>(0xD800));
    const std::wstring fileByte(1, static_cast<wchar_t>(0xDCE9));  // a byte read from a file
    struct Case {
        std::wstring nick, ip, port;
        const wchar_t* why;  // null: added
    } cases[] = {
        {L"", L"", L"", nullptr},
        {L" ;x", L"a#b#c", L" ", nullptr},
        {L"\u65E5", L"Caf" + fileByte, L"1", nullptr},
        {L";x", L"", L"", L"begins with \";\""},
        {L"a#b", L"", L"", L"The nickname holds \"#\" (character 2)"},
        {L"a", L"", L"9#9", L"The port holds \"#\""},
        {L"a", L"b\nc", L"", L"The address holds a line break"},
        {L"a\r", L"", L"", L"The nickname holds a line break"},
        {L"a", lone, L"", L"The address holds half of a character (U+D800)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.nick + L"|" + c.ip + L"|" + c.port));
        setFields(c.nick.c_str(), c.ip.c_str(), c.port.c_str());
        const ListIndex before = model.entryCount();
        const std::wstring why = model.add();
        if (!c.why) {
            EXPECT_EQ(why, L"");
            ASSERT_EQ(model.entryCount(), before + 1);
            EXPECT_EQ(entry(model, before), (std::vector<std::wstring>{c.nick, c.ip, c.port}));
        } else {
            EXPECT_NE(why.find(c.why), std::wstring::npos) << testing::PrintToString(why);
            EXPECT_EQ(model.entryCount(), before);
            EXPECT_EQ(fields(model), (std::vector<std::wstring>{c.nick, c.ip, c.port}));
        }
    }
}

// An entry that Edit took out goes back before anything replaces the fields.
TEST_F(ServerListModelTest, EntryOutForEditingIsNeverDropped) {
    model.edit();  // takes out Home
    model.txtServerPort.setText(L"100");
    EXPECT_TRUE(model.hasEntryOutForEditing());
    model.lstServerNick.setCurrentIndex(0);
    EXPECT_TRUE(model.select());
    EXPECT_EQ(itemsOf(model.lstServerNick), (std::vector<std::wstring>{L"Club", L"Lan", L"Home"}));
    EXPECT_EQ(entry(model, 2), (std::vector<std::wstring>{L"Home", L"10.0.0.5", L"100"}));
    EXPECT_EQ(fields(model), (std::vector<std::wstring>{L"Club", L"club.example", L"2300"}));

    EXPECT_TRUE(model.edit());  // takes out Club
    EXPECT_TRUE(model.edit());  // Club goes back, Lan comes out
    EXPECT_EQ(itemsOf(model.lstServerNick), (std::vector<std::wstring>{L"Home", L"Club"}));

    model.txtServerNickname.setText(L"L#an");  // the file cannot hold it
    model.lstServerNick.setCurrentIndex(0);
    EXPECT_FALSE(model.select());
    EXPECT_FALSE(model.edit());
    EXPECT_NE(model.putBackEntryOutForEditing().find(L"\"#\""), std::wstring::npos);
    EXPECT_EQ(fields(model), (std::vector<std::wstring>{L"L#an", L"192.168.1.2", L"47624"}));
    EXPECT_TRUE(fieldsEnabled(model));
    EXPECT_EQ(model.entryCount(), 2);

    model.discardEntryOutForEditing();
    EXPECT_TRUE(model.select());
    EXPECT_EQ(model.putBackEntryOutForEditing(), L"");
    EXPECT_EQ(model.entryCount(), 2);
}

TEST(ServerListModelEmptyTest, EditOnAnEmptyListOnlyUnlocksTheFields) {
    ServerListModel model;
    model.txtServerNickname.setText(L"kept");
    model.txtServerNickname.setEnabled(false);
    model.edit();
    EXPECT_TRUE(fieldsEnabled(model));
    EXPECT_EQ(model.txtServerNickname.text(), L"kept");
    EXPECT_EQ(model.entryCount(), 0);
}

TEST_F(ServerListModelTest, DeleteRemovesTheCurrentEntryAndKeepsTheFields) {
    model.lstServerNick.setCurrentIndex(1);
    model.select();
    model.deleteCurrent();
    ASSERT_EQ(model.entryCount(), 2);
    EXPECT_EQ(entry(model, 1), (std::vector<std::wstring>{L"Lan", L"192.168.1.2", L"47624"}));
    expectNoCurrentItem(model);
    EXPECT_EQ(fields(model), (std::vector<std::wstring>{L"Club", L"club.example", L"2300"}));
    EXPECT_FALSE(fieldsEnabled(model));
}

TEST_F(ServerListModelTest, DeleteWithNoCurrentItemDoesNothing) {
    model.lstServerIP.setCurrentIndex(1);
    model.deleteCurrent();
    EXPECT_EQ(model.entryCount(), 3);
    EXPECT_EQ(model.lstServerIP.count(), 3);
}

TEST_F(ServerListModelTest, ObserverSeesEveryChangeOfTheNicknameList) {
    MirrorList mirror(model.lstServerNick);
    model.lstServerNick.setObserver(&mirror);
    auto same = [&] {
        EXPECT_EQ(mirror.items, itemsOf(model.lstServerNick));
        EXPECT_EQ(mirror.current, model.lstServerNick.currentIndex());
    };
    model.lstServerNick.setCurrentIndex(2);
    model.select();
    same();
    model.add();
    same();
    model.lstServerNick.setCurrentIndex(1);
    model.edit();
    same();
    model.lstServerNick.setCurrentIndex(0);
    model.deleteCurrent();
    same();
}

TEST(ServerListModelSizeTest, HoldsFarMoreThan32767Entries) {
    ServerListModel model;
    constexpr ListIndex kCount = 40000;
    for (ListIndex i = 0; i < kCount; ++i) {
        model.appendEntry(std::to_wstring(i), L"addr", L"port");
    }
    model.lstServerNick.setCurrentIndex(kCount - 1);
    model.select();
    EXPECT_EQ(model.txtServerNickname.text(), L"39999");
    model.deleteCurrent();
    EXPECT_EQ(model.entryCount(), kCount - 1);
    model.lstServerPort.setCurrentIndex(35000);
    model.edit();
    EXPECT_EQ(model.txtServerNickname.text(), L"35000");
}

}  // namespace
}  // namespace hostdeck
