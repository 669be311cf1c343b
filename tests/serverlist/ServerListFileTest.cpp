// The list file: what a load makes of given bytes, and what a save writes back. Runs
// natively, under Wine in the ANSI code page 1252 and, a second time, in code page 932.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "serverlist/ServerListFile.h"
#include "support/MemoryFileStore.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace hostdeck {
namespace {

using Entry = std::vector<std::wstring>;
using Entries = std::vector<Entry>;
const std::wstring kPath = L"C:\\Hostdeck\\serverlist.ini";

unsigned ansiCodePage() {
#ifdef _WIN32
    return GetACP();
#else
    return 28591;  // the host build's stand-in, ISO-8859-1
#endif
}

Entries entries(const ServerListModel& model) {
    Entries all;
    for (ListIndex i = 0; i < model.entryCount(); ++i) {
        all.push_back({std::wstring(model.lstServerNick.item(i)),
                       std::wstring(model.lstServerIP.item(i)),
                       std::wstring(model.lstServerPort.item(i))});
    }
    return all;
}

// Loads `bytes` from a fresh store; the entries and what save wrote.
struct RoundTrip {
    Entries loaded;
    std::string saved;
    Entries reloaded;
};
RoundTrip roundTrip(const std::string& bytes) {
    testing::MemoryFileStore files;
    files.files[kPath] = bytes;
    ServerListModel model;
    ServerListFile file(files, kPath);
    EXPECT_TRUE(file.load(model).ok());
    RoundTrip result{entries(model), {}, {}};
    EXPECT_TRUE(file.save(model).ok());
    result.saved = files.files[kPath];
    ServerListModel again;
    EXPECT_TRUE(ServerListFile(files, kPath).load(again).ok());
    result.reloaded = entries(again);
    return result;
}

std::string everyByteBut(std::string_view left_out) {
    std::string text;
    for (int b = 1; b < 256; ++b) {
        if (left_out.find(static_cast<char>(b)) == std::string_view::npos)
            text.push_back(static_cast<char>(b));
    }
    return text;
}

const std::string kMark = "\xEF\xBB\xBF";
const std::string kAnyByte = everyByteBut("\r\n#");

// What a file loads as and saves back as. Rows marked `differsIn932` hold ANSI bytes that a
// double-byte code page reads otherwise; there the rows give what is known in that code page.
struct FileCase {
    const char* what;
    std::string file;
    std::optional<Entries> loaded;       // none: not checked
    std::optional<std::string> savedAs;  // none: saved back as it was
    bool differsIn932 = false;
    std::optional<Entries> loaded932 = std::nullopt;
    bool savedAsItWasIn932 = true;
};

const FileCase kFileCases[] = {
    {"fields split at the first and the last #",
     "A#1.2.3.4#99\r\nA##\r\n#x#\r\nA#b#c#d\r\n",
     Entries{{L"A", L"1.2.3.4", L"99"}, {L"A", L"", L""}, {L"", L"x", L""}, {L"A", L"b#c", L"d"}},
     {}},
    {"comments only in the first column", "; my servers\r\nA#b#c#d\r\n ;x#y#z\r\n;A#1#2\r\n",
     Entries{{L"A", L"b#c", L"d"}, {L" ;x", L"y", L"z"}}, "A#b#c#d\r\n ;x#y#z\r\n"},
    {"only comments: an empty list, saved as an empty file", "; only\r\n;comments\r\n", Entries{},
     ""},
    {"every kind of line end", "a#1#2\nb#3#4\rc#5#6\r\n\r\n\n\rd#7#8",
     Entries{{L"a", L"1", L"2"}, {L"b", L"3", L"4"}, {L"c", L"5", L"6"}, {L"d", L"7", L"8"}},
     "a#1#2\r\nb#3#4\r\nc#5#6\r\nd#7#8\r\n"},
    {"lines with fewer than two # keep their text", "just a name\r\nnick#port\r\n",
     Entries{{L"just a name", L"", L""}, {L"nick", L"", L"port"}},
     "just a name##\r\nnick##port\r\n"},
    {"# far beyond 32767 characters",
     std::string(40000, 'n') + "#" + std::string(50000, 'a') + "#7\r\n",
     Entries{{std::wstring(40000, L'n'), std::wstring(50000, L'a'), L"7"}},
     {}},
    {"every byte value comes back",
     "x" + kAnyByte + "#" + kAnyByte + "#ab#cd#" + kAnyByte + "\r\n",
     std::nullopt,
     {},
     true},
    {"a code page 1252 name: the # after the accent still separates",
     "Caf\xE9#1.2.3.4#2300\r\n",
     Entries{{L"Caf\u00E9", L"1.2.3.4", L"2300"}},
     {},
     true,
     Entries{{L"Caf\xDCE9", L"1.2.3.4", L"2300"}}},
    {"UTF-8 without the mark is UTF-8",
     "\xE3\x82\xB5\xE3\x83\xBC\xE3\x83\x90#1.2.3.4#2300\r\nb#\xC3\xA9#1\r\n",
     Entries{{L"\u30B5\u30FC\u30D0", L"1.2.3.4", L"2300"}, {L"b", L"\u00E9", L"1"}},
     {}},
    {"UTF-8 with the mark stays so, no mark in the first nickname",
     kMark + "Caf\xC3\xA9#\xE2\x82\xAC#1\r\n",
     Entries{{L"Caf\u00E9", L"\u20AC", L"1"}},
     {}},
    {"broken UTF-8 after the mark keeps its bytes",
     kMark + "A\xC0\xAF#\xED\xA0\x80#\xF4\x90\x80\x80\xE2\x82\r\n",
     Entries{{L"A\xDCC0\xDCAF", L"\xDCED\xDCA0\xDC80", L"\xDCF4\xDC90\xDC80\xDC80\xDCE2\xDC82"}},
     {}},
    {"overlong forms and surrogates are not UTF-8: an ANSI file",
     "A\xC0\xAF#\xED\xA0\xBF#\xF4\x90\xBF\xBF\r\n",
     Entries{{L"A\u00C0\u00AF", L"\u00ED\u00A0\u00BF", L"\u00F4\u0090\u00BF\u00BF"}},
     {},
     true},
    {"UTF-8 text that would begin with the mark is saved after one", "; c\r\n\xEF\xBB\xBFx#1#2\r\n",
     Entries{{L"\uFEFFx", L"1", L"2"}}, kMark + "\xEF\xBB\xBFx#1#2\r\n"},
    {"an ANSI list whose saved bytes would read as UTF-8 is saved as UTF-8 with the mark",
     "; \xE9\r\nA\xC3\xA9#1#2\r\n", Entries{{L"A\u00C3\u00A9", L"1", L"2"}},
     kMark + "A\xC3\x83\xC2\xA9#1#2\r\n", true, std::nullopt, false},
    {"an ANSI list that would begin with the mark's bytes is saved as UTF-8 with the mark",
     "; c\r\n\xEF\xBB\xBFx#1#\xE9\r\n", Entries{{L"\u00EF\u00BB\u00BFx", L"1", L"\u00E9"}},
     kMark + "\xC3\xAF\xC2\xBB\xC2\xBFx#1#\xC3\xA9\r\n", true, std::nullopt, false},
};

TEST(ServerListFileTest, LoadsAndSavesBackEachKindOfFile) {
    if (const char* expected = std::getenv("HOSTDECK_EXPECT_CODE_PAGE")) {
        ASSERT_EQ(std::to_string(ansiCodePage()), expected);
    }
    const bool cp932 = ansiCodePage() == 932;
    for (const FileCase& c : kFileCases) {
        SCOPED_TRACE(c.what);
        const RoundTrip result = roundTrip(c.file);
        if (cp932 && c.differsIn932) {
            if (c.loaded932) {
                EXPECT_EQ(result.loaded, *c.loaded932);
            }
            if (c.savedAsItWasIn932) {
                EXPECT_EQ(result.saved, c.file);
            }
        } else {
            if (c.loaded) {
                EXPECT_EQ(result.loaded, *c.loaded);
            }
            EXPECT_EQ(result.saved, c.savedAs.value_or(c.file));
        }
        EXPECT_EQ(result.reloaded, result.loaded) << "a save reads back as it was";
    }
}

// Typed text that the ANSI code page cannot hold, or that only UTF-8 with the mark keeps.
TEST(ServerListFileTest, TextOutsideTheFilesEncodingIsKept) {
    const Entry typed[] = {
        {L"\u65E5\u672C", L"\u0416", L"1"},
        {L"\U0001F600", L"", L""},
        {L"\uFEFFfirst", L"x", L""},
    };
    for (const Entry& entry : typed) {
        testing::MemoryFileStore files;
        ServerListModel model;
        ServerListFile file(files, kPath);
        ASSERT_TRUE(file.load(model).ok());
        model.appendEntry(entry[0], entry[1], entry[2]);
        ASSERT_TRUE(file.save(model).ok());
        ServerListModel reloaded;
        ASSERT_TRUE(ServerListFile(files, kPath).load(reloaded).ok());
        EXPECT_EQ(entries(reloaded), Entries{entry});
    }
}

class ServerListFileStateTest : public ::testing::Test {
  protected:
    testing::MemoryFileStore files;
    ServerListFile file{files, kPath};
    ServerListModel model;
};

TEST_F(ServerListFileStateTest, MissingFileLoadsEmptyAndSaveCreatesIt) {
    EXPECT_TRUE(file.load(model).ok());
    EXPECT_EQ(model.entryCount(), 0);
    model.appendEntry(L"Home", L"10.0.0.5", L"99");
    ASSERT_TRUE(file.save(model).ok());
    EXPECT_EQ(files.files[kPath], "Home#10.0.0.5#99\r\n");
}

TEST_F(ServerListFileStateTest, UnreadableOrTooLargeFileIsNeverOverwritten) {
    for (const bool tooLarge : {false, true}) {
        files.files[kPath] = "precious#1#2\r\n";
        files.readFailure = L"Could not open: sharing violation";
        if (tooLarge) files.readFailure = L"throw";
        ServerListFile unreadable(files, kPath);
        ServerListModel empty;
        const Result loaded = unreadable.load(empty);
        EXPECT_EQ(loaded.status, Result::Status::Failed);
        EXPECT_NE(loaded.reason.find(tooLarge ? kPath : L"sharing violation"), std::wstring::npos);
        EXPECT_EQ(empty.entryCount(), 0);

        empty.appendEntry(L"new", L"1", L"2");
        const Result saved = unreadable.save(empty);
        EXPECT_EQ(saved.status, Result::Status::Failed);
        EXPECT_NE(saved.reason.find(kPath), std::wstring::npos);
        EXPECT_EQ(files.writes, 0);
        EXPECT_EQ(files.files[kPath], "precious#1#2\r\n");
    }
}

TEST_F(ServerListFileStateTest, SaveReportsTheStoreFailure) {
    files.writeFailure = L"Could not replace: Access denied";
    model.appendEntry(L"a", L"b", L"c");
    const Result saved = file.save(model);
    EXPECT_EQ(saved.status, Result::Status::Failed);
    EXPECT_EQ(saved.reason, L"Could not replace: Access denied");

    files.writeFailure.reset();
    model.appendEntry(std::wstring(1, static_cast<wchar_t>(0xD800)), L"", L"");
    EXPECT_FALSE(file.save(model).reason.empty()) << "no failure without a reason";
}

TEST_F(ServerListFileStateTest, ChangesOnDiskAreNoticedAndCopiesGoBeside) {
    files.files[kPath] = "a#1#2\r\n";
    ASSERT_TRUE(file.load(model).ok());
    EXPECT_FALSE(file.changedOnDisk());
    files.files[kPath] = "b#1#2\r\n";  // another window saved, as long as before
    EXPECT_TRUE(file.changedOnDisk());
    files.files[kPath] = "a#1#2\r\nb#3#4\r\n";
    EXPECT_TRUE(file.changedOnDisk());
    ASSERT_TRUE(file.save(model).ok());
    EXPECT_FALSE(file.changedOnDisk()) << "what this window wrote is what it knows";
    files.files.erase(kPath);
    EXPECT_FALSE(file.changedOnDisk()) << "a file that is gone has nothing to lose";

    std::wstring first, second;
    ASSERT_TRUE(file.saveCopyBeside(model, L"why\r\nand more", first).ok());
    ASSERT_TRUE(file.saveCopyBeside(model, L"", second).ok());
    EXPECT_EQ(first, L"C:\\Hostdeck\\serverlist (not saved 1).ini");
    EXPECT_EQ(second, L"C:\\Hostdeck\\serverlist (not saved 2).ini");
    EXPECT_EQ(files.files[first], "; why\r\n; and more\r\na#1#2\r\n");
    EXPECT_EQ(file.copiesBeside(), (std::vector<std::wstring>{first, second}));
}

}  // namespace
}  // namespace hostdeck
