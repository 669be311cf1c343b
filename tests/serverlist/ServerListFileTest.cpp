#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serverlist/ServerListFile.h"
#include "support/MemoryFileStore.h"

namespace hostdeck {
namespace {

using Entry = std::vector<std::wstring>;
const std::wstring kPath = L"C:\\Hostdeck\\serverlist.ini";

std::vector<Entry> entries(const ServerListModel& model) {
    std::vector<Entry> all;
    for (ListIndex i = 0; i < model.entryCount(); ++i) {
        all.push_back({std::wstring(model.lstServerNick.item(i)),
                       std::wstring(model.lstServerIP.item(i)),
                       std::wstring(model.lstServerPort.item(i))});
    }
    return all;
}

class ServerListFileTest : public ::testing::Test {
  protected:
    // Loads `bytes` as the list file and returns what save writes back.
    std::string roundTrip(const std::string& bytes) {
        files.files[kPath] = bytes;
        EXPECT_TRUE(file.load(model).ok());
        EXPECT_TRUE(file.save(model).ok());
        return files.files[kPath];
    }
    std::vector<Entry> load(const std::string& bytes) {
        files.files[kPath] = bytes;
        EXPECT_TRUE(file.load(model).ok());
        return entries(model);
    }

    testing::MemoryFileStore files;
    ServerListFile file{files, kPath};
    ServerListModel model;
};

TEST_F(ServerListFileTest, SplitsAtFirstAndLastSeparator) {
    EXPECT_EQ(
        load("A#1.2.3.4#99\r\nA##\r\n#x#\r\nA#b#c#d\r\n"),
        (std::vector<Entry>{
            {L"A", L"1.2.3.4", L"99"}, {L"A", L"", L""}, {L"", L"x", L""}, {L"A", L"b#c", L"d"}}));
    EXPECT_EQ(model.lstServerNick.currentIndex(), kNoItem);
    EXPECT_TRUE(model.txtServerNickname.enabled());
}

TEST_F(ServerListFileTest, DropsCommentsOnlyInTheFirstColumn) {
    EXPECT_EQ(roundTrip("; my servers\r\nA#b#c#d\r\n ;x#y#z\r\n;A#1#2\r\n"),
              "A#b#c#d\r\n ;x#y#z\r\n");
    model = ServerListModel();
    EXPECT_TRUE(load("; only\r\n;comments\r\n").empty());
}

TEST_F(ServerListFileTest, AcceptsEveryKindOfLineEnd) {
    EXPECT_EQ(roundTrip("a#1#2\nb#3#4\rc#5#6\r\n\r\n\n\rd#7#8"),
              "a#1#2\r\nb#3#4\r\nc#5#6\r\nd#7#8\r\n");
}

TEST_F(ServerListFileTest, KeepsTheTextOfLinesWithFewerThanTwoSeparators) {
    EXPECT_EQ(load("just a name\r\nnick#port\r\n"),
              (std::vector<Entry>{{L"just a name", L"", L""}, {L"nick", L"", L"port"}}));
    EXPECT_EQ(file.save(model).ok(), true);
    EXPECT_EQ(files.files[kPath], "just a name##\r\nnick##port\r\n");
}

TEST_F(ServerListFileTest, FindsSeparatorsFarBeyond32767Characters) {
    const std::string nick(40000, 'n');
    const std::string address(50000, 'a');
    const auto loaded = load(nick + "#" + address + "#7\r\n");
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0][0].size(), nick.size());
    EXPECT_EQ(loaded[0][1].size(), address.size());
    EXPECT_EQ(loaded[0][2], L"7");
}

TEST_F(ServerListFileTest, SavesEveryByteValueBackUnchanged) {
    std::string text;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n' && b != '#') text.push_back(static_cast<char>(b));
    }
    // The address may hold '#' as well.
    const std::string line = "x" + text + "#" + text + "#ab#cd#" + text + "\r\n";
    EXPECT_EQ(roundTrip(line), "x" + text + "#" + text + "#ab#cd#" + text + "\r\n");
}

TEST_F(ServerListFileTest, EmptyListIsSavedAsAnEmptyFile) {
    EXPECT_EQ(roundTrip("; nothing but a comment\r\n"), "");
}

TEST_F(ServerListFileTest, MissingFileLoadsEmptyAndSaveCreatesIt) {
    EXPECT_TRUE(file.load(model).ok());
    EXPECT_EQ(model.entryCount(), 0);
    model.appendEntry(L"Home", L"10.0.0.5", L"99");
    ASSERT_TRUE(file.save(model).ok());
    EXPECT_EQ(files.files[kPath], "Home#10.0.0.5#99\r\n");
}

TEST_F(ServerListFileTest, Utf8FileWithMarkStaysUtf8) {
    const std::string utf8 =
        "\xEF\xBB\xBF"
        "Caf\xC3\xA9#\xE2\x82\xAC#1\r\n";
    const auto loaded = load(utf8);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0][0], L"Caf\u00E9") << "no mark in the first nickname";
    EXPECT_EQ(loaded[0][1], L"\u20AC");
    ASSERT_TRUE(file.save(model).ok());
    EXPECT_EQ(files.files[kPath], utf8);
}

TEST_F(ServerListFileTest, TextOutsideTheAnsiCodePageIsNotLost) {
    model.appendEntry(L"\u65E5\u672C", L"\u0416", L"1");
    ASSERT_TRUE(file.save(model).ok());
    ServerListModel reloaded;
    ServerListFile again(files, kPath);
    ASSERT_TRUE(again.load(reloaded).ok());
    EXPECT_EQ(entries(reloaded), entries(model));
}

TEST_F(ServerListFileTest, UnreadableFileIsNeverOverwritten) {
    files.files[kPath] = "precious#1#2\r\n";
    files.readFailure = L"Could not open: sharing violation";
    const FileResult loaded = file.load(model);
    EXPECT_EQ(loaded.status, FileResult::Status::Failed);
    EXPECT_EQ(loaded.reason, L"Could not open: sharing violation");
    EXPECT_EQ(model.entryCount(), 0);

    model.appendEntry(L"new", L"1", L"2");
    const FileResult saved = file.save(model);
    EXPECT_EQ(saved.status, FileResult::Status::Failed);
    EXPECT_NE(saved.reason.find(kPath), std::wstring::npos);
    EXPECT_EQ(files.writes, 0);
    EXPECT_EQ(files.files[kPath], "precious#1#2\r\n");
}

TEST_F(ServerListFileTest, SaveReportsTheStoreFailure) {
    files.writeFailure = L"Could not replace: Access denied";
    model.appendEntry(L"a", L"b", L"c");
    const FileResult saved = file.save(model);
    EXPECT_EQ(saved.status, FileResult::Status::Failed);
    EXPECT_EQ(saved.reason, L"Could not replace: Access denied");
}

}  // namespace
}  // namespace hostdeck
