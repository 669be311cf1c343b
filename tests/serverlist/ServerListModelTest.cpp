// The lists and the editor fields: each row runs a few operations on the three sample entries
// and states the entries, the fields, the current item and the state afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <regex>
#include <stdexcept>

#include "serverlist/AddressPort.h"
#include "serverlist/ServerListModel.h"
#include "support/ModelEntries.h"

namespace hostdeck {
namespace {

using fakes::entriesOf;
using fakes::Texts;
using ::testing::PrintToString;

// Each row's steps, after a comma each: "nickname 1" (or "address", "port") makes item 1 of that
// list current; "select", "add", "edit", "delete"; "discard" drops the entry out for editing;
// "type a|b|c" fills the three fields; "append to nicknames" (or "addresses", "ports") appends
// "x" to that list only. "no entries" first: start without the three samples. The state: the
// fields "unlocked" or "locked", then "entry out" while one is out for editing, and each
// operation that was refused.
const std::wstring kHome = L"Home|10.0.0.5|99", kClub = L"Club|club.example|2300",
                   kLan = L"Lan|192.168.1.2|47624", kHome100 = L"Home|10.0.0.5|100",
                   kOut = L"unlocked, entry out",
                   kUnequal = L"no entries, type a|b|c, add, append to ",
                   kThenDelete = L", nickname 1, select, delete, nickname 1, edit";
const struct {
    std::wstring steps;
    Texts entries;
    std::wstring fields;
    ListIndex current;
    std::wstring state;
} kCases[] = {
    // clang-format off
    {L"", {kHome, kClub, kLan}, L"||", kNoItem, L"unlocked"},
    {L"nickname 1, select", {kHome, kClub, kLan}, kClub, 1, L"locked"},
    {L"type a|b|c, add", {kHome, kClub, kLan, L"a|b|c"}, L"a|b|c", kNoItem, L"unlocked"},
    {L"add", {kHome, kClub, kLan, L"||"}, L"||", kNoItem, L"unlocked"},
    {L"nickname 0, select, add", {kHome, kClub, kLan, kHome}, kHome, 0, L"locked"},
    {L"edit", {kClub, kLan}, kHome, kNoItem, kOut},
    {L"nickname 0, address 2, edit", {kHome, kClub}, kLan, kNoItem, kOut},
    {L"nickname 2, address 0, port 1, edit", {kHome, kLan}, kClub, kNoItem, kOut},
    {L"nickname 0, select, edit, type " + kHome100 + L", add", {kClub, kLan, kHome100}, kHome100, kNoItem, L"unlocked"},
    {L"nickname 1, select, delete", {kHome, kLan}, kClub, kNoItem, L"locked"},
    {L"address 1, delete", {kHome, kClub, kLan}, L"||", kNoItem, L"unlocked"},
    {L"address 2, nickname 0, delete, edit", {kLan}, kClub, kNoItem, kOut},
    {L"no entries, type kept||, nickname -1, select, type kept||, edit", {}, L"kept||", kNoItem, L"unlocked"},
    // An entry out for editing goes back where it was before anything replaces the fields; the
    // entry selected stays selected.
    {L"edit, type " + kHome100 + L", nickname 0, select", {kHome100, kClub, kLan}, kClub, 1, L"locked"},
    {L"nickname 1, edit, nickname 1, select", {kHome, kClub, kLan}, kLan, 2, L"locked"},
    {L"nickname 2, edit, nickname 0, select", {kHome, kClub, kLan}, kHome, 0, L"locked"},
    {L"nickname 1, edit, edit", {kClub, kLan}, kHome, kNoItem, kOut},
    {L"edit, discard, edit", {kLan}, kClub, kNoItem, kOut},
    {L"edit, type Ho#me|x|y, nickname 0, select", {kClub, kLan}, L"Ho#me|x|y", 0, kOut + L", select refused"},
    {L"edit, type Ho#me|x|y, edit", {kClub, kLan}, L"Ho#me|x|y", kNoItem, kOut + L", edit refused"},
    {L"edit, type ;Home|x|y, add", {kClub, kLan}, L";Home|x|y", kNoItem, kOut + L", add refused"},
    // Deletes taken back, newest first, each where it was.
    {L"nickname 1, delete, nickname 0, delete, undo", {kHome, kLan}, L"||", kNoItem, L"unlocked"},
    {L"nickname 1, delete, nickname 0, delete, undo, undo, undo", {kHome, kClub, kLan}, L"||", kNoItem, L"unlocked, undo refused"},
    {L"nickname 2, delete, edit, undo", {kClub, kLan}, kHome, kNoItem, kOut},
    {L"nickname 1, delete, nickname 0, edit, undo, nickname 0, select", {kHome, kClub, kLan}, kClub, 1, L"locked"},
    {L"nickname 0, delete, nickname 1, edit, undo, nickname 0, select", {kHome, kClub, kLan}, kHome, 0, L"locked"},
    // Moved up and down, the entry stays current; never past the ends, nor while one is out.
    {L"nickname 0, down", {kClub, kHome, kLan}, L"||", 1, L"unlocked"},
    {L"nickname 2, address 2, port 2, up, up, up", {kLan, kHome, kClub}, L"||", 0, L"unlocked, up refused"},
    {L"nickname 1, down, down, up", {kHome, kClub, kLan}, L"||", 1, L"unlocked, down refused"},
    {L"nickname 1, edit, nickname 0, down, up", {kHome, kLan}, kClub, 0, kOut + L", down refused, up refused"},
    {L"nickname 0, delete, nickname 1, up, undo", {kHome, kLan, kClub}, L"||", 1, L"unlocked"},
    // An import is taken back whole, wherever its entries went; one changed since stays.
    {L"import a|b|c;d|e|f, undo", {kHome, kClub, kLan}, L"||", kNoItem, L"unlocked"},
    {L"import a|b|c;d|e|f, nickname 3, delete, nickname 0, delete, undo, undo, undo", {kHome, kClub, kLan}, L"||", kNoItem, L"unlocked"},
    {L"import a|b|c;d|e|f, nickname 3, delete, undo, undo", {kHome, kClub, kLan}, L"||", kNoItem, L"unlocked"},
    {L"import a|b|c;d|e|f;" + kHome + L", nickname 3, up, up, up, undo", {kHome, kClub, kLan}, L"||", kNoItem, L"unlocked"},
    {L"import a|b|c;d|e|f, nickname 4, edit, type d|e|g, add, undo", {kHome, kClub, kLan, L"d|e|g"}, L"d|e|g", kNoItem, L"unlocked"},
    {L"nickname 1, edit, import a|b|c, nickname 0, delete, undo, undo, nickname 1, select", {kHome, kClub, kLan}, kLan, 2, L"locked"},
    // Lists of unequal length come from no operation; they must still break nothing.
    {kUnequal + L"nicknames, append to ports" + kThenDelete, {L"a|b|c", L"x|?|x"}, L"a|b|c", 1, L"unlocked, select refused"},
    {kUnequal + L"nicknames, append to addresses" + kThenDelete, {L"a|b|c", L"x|x|?"}, L"a|b|c", 1, L"unlocked, select refused"},
    // clang-format on
};

// A step the rows above do not explain fails its row.
const std::wregex kKnownStep(
    L"(nickname|address|port) -?[0-9]+|append to (nicknames|addresses|ports)|type .*|select|"
    L"add|edit|delete|discard|undo|up|down|no entries|import .*");

TEST(ServerListModelTest, OperationsChangeListsAndFieldsAsTheUserExpects) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(PrintToString(c.steps));
        ServerListModel m;
        const std::pair<std::wstring_view, TextList*> lists[] = {{L"nickname", &m.lstServerNick},
                                                                 {L"address", &m.lstServerIP},
                                                                 {L"port", &m.lstServerPort}};
        for (const std::wstring& entry :
             c.steps.starts_with(L"no entries") ? Texts{} : Texts{kHome, kClub, kLan})
            fakes::appendEntry(m, entry);
        std::wstring refused;
        for (std::size_t at = 0; at < c.steps.size();) {
            const std::size_t end = std::min(c.steps.find(L", ", at), c.steps.size());
            const std::wstring step = c.steps.substr(at, end - at);
            at = end + 2;
            const std::wstring rest = step.substr(std::min(step.find(L' ') + 1, step.size()));
            for (const auto& [name, list] : lists) {
                if (step.starts_with(std::wstring(name) + L" "))
                    list->setCurrentIndex(std::stoi(rest));
                if (step.starts_with(L"append to " + std::wstring(name))) list->append(L"x");
            }
            if (step.starts_with(L"type ")) fakes::setFields(m, rest);
            if (step.starts_with(L"import ")) {  // entries apart by ";"
                std::vector<EntryText> entries;
                for (std::wstring e = rest + L";"; !e.empty(); e.erase(0, e.find(L';') + 1)) {
                    const Texts fields = fakes::split(e.substr(0, e.find(L';')));
                    entries.push_back({fields[0], fields[1], fields[2]});
                }
                m.appendImported(entries);
            }
            if (step == L"delete") m.deleteCurrent();
            if (step == L"discard") m.discardEntryOutForEditing();
            if ((step == L"select" && !m.select()) || (step == L"edit" && !m.edit()) ||
                (step == L"add" && !m.add().ok()) || (step == L"undo" && !m.undo().ok()) ||
                (step == L"up" && !m.moveCurrent(-1)) || (step == L"down" && !m.moveCurrent(1)))
                refused += L", " + step + L" refused";
            EXPECT_TRUE(std::regex_match(step, kKnownStep))
                << "unknown step: " << PrintToString(step);
        }
        EXPECT_EQ(entriesOf(m), c.entries);
        EXPECT_EQ(m.txtServerNickname.text() + L"|" + m.txtServerIP.text() + L"|" +
                      m.txtServerPort.text(),
                  c.fields);
        EXPECT_EQ(m.lstServerNick.currentIndex(), c.current);
        for (const TextField* field : {&m.txtServerNickname, &m.txtServerIP, &m.txtServerPort}) {
            EXPECT_EQ((field->enabled() ? L"unlocked" : L"locked") +
                          std::wstring(m.hasEntryOutForEditing() ? L", entry out" : L"") + refused,
                      c.state);
        }
        m.removeAllEntries();
        EXPECT_EQ(m.lstServerNick.count() + m.lstServerIP.count() + m.lstServerPort.count(), 0);
    }
}

// "address:port" out, and in as a paste reads it, and which servers are the same one.
TEST(AddressPortTest, ReadsWritesAndComparesAddressesWithPorts) {
    const struct {
        std::wstring text;
        AddressPort read;
        std::wstring written = text;  // written back from what was read
    } cases[] = {
        // clang-format off
        {L"10.0.0.5:27015", {L"10.0.0.5", L"27015"}}, {L"[fe80::1]:65535", {L"fe80::1", L"65535"}},
        {L" \tplay.example.org:1\r\n", {L"play.example.org", L"1"}, L"play.example.org:1"},
        // A host name or an IP address; of several lines, the first that is not blank.
        {L"\r\n \r\n10.3.3.3:33\r\nsecond line", {L"10.3.3.3", L"33"}, L"10.3.3.3:33"},
        {L"my_host-1.Example.:80", {L"my_host-1.Example.", L"80"}}, {L"[fe80::1%eth0]:80", {L"fe80::1%eth0", L"80"}},
        {L"[::ffff:1.2.3.4]:80", {L"::ffff:1.2.3.4", L"80"}}, {std::wstring(63, L'a') + L".b:1", {std::wstring(63, L'a') + L".b", L"1"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readPastedAddress(c.text), c.read) << PrintToString(c.text);
        EXPECT_EQ(addressPortText(c.read.address, c.read.port), c.written);
    }
    // clang-format off
    for (const wchar_t* other : {L"[host]:80", L"fe80::1:80", L"host:0", L"host:65536", L"host:123456", L"host:",
                                 L":80", L"my host:80", L"host:8 0", L"host:+80", L"[fe80::1]", L"[fe80::1]80", L"[]:80",
                                 L"host", L"27015", L"", L"first line\r\n10.3.3.3:33", L"[1.2.3.4]:80", L"[::g]:80",
                                 L"h\u00E9:80", L"a..b:80", L"-s1.2.3.4:80", L"a-:1"})
        EXPECT_EQ(readPastedAddress(other), std::nullopt) << PrintToString(other);
    // clang-format on
    // As the list holds them: what is copied pastes back.
    EXPECT_EQ(addressPortText(L" 1.2.3.4 ", L" 80") + addressPortText(L"[::1]", L"80"),
              L"1.2.3.4:80[::1]:80");
    ServerListModel m;
    for (const std::wstring& entry :
         {kHome, kClub, L"Blank||" + std::wstring(), kLan, L"V6| [::1] |27015" + std::wstring()})
        fakes::appendEntry(m, entry);
    EXPECT_EQ(m.entrySameServerAs(L"::1", L"27015"), 4) << "brackets are notation";
    EXPECT_EQ(m.entrySameServerAs(L"[::2]", L"27015"), kNoItem);
    EXPECT_EQ(m.entrySameServerAs(L" CLUB.Example ", L"2300 "), 1);
    EXPECT_EQ(m.entrySameServerAs(L"club.example", L"2301"), kNoItem);
    EXPECT_EQ(m.entrySameServerAs(L"", L""), kNoItem) << "an empty address names no server";
    EXPECT_EQ(m.entrySameServerAs(L"10.0.0.5", L"99"), 0);
}

// Writes down each change it is told of, with the index: the window's list box follows these.
struct Changes final : TextListObserver {
    std::wstring said;
    void itemInserted(ListIndex i) override { said += L"+" + std::to_wstring(i); }
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
    list.appendAll(std::array<std::wstring_view, 2>{L"a", L"b"});  // told as each inserted
    list.removeItems(0, 2);                                        // and each removed
    list.removeItems(0, 0);                                        // none: nothing to tell
    EXPECT_EQ(changes.said, L"+10000@9999-5+10000+10001-0-0");
}

}  // namespace
}  // namespace hostdeck
