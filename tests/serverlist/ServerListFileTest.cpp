// The list file: what a load makes of given bytes, and what a save writes back. Runs
// natively, under Wine in the ANSI code page 1252 and, a second time, in code page 932.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "serverlist/ServerListFile.h"
#include "support/MemoryFileStore.h"
#include "support/ModelEntries.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace hostdeck {
namespace {

using Entries = fakes::Texts;
const std::wstring kPath = L"C:\\Hostdeck\\serverlist.ini";
const std::string kMark = "\xEF\xBB\xBF";

std::string everyByteBut(std::string_view left_out) {
    std::string text;
    for (int b = 1; b < 256; ++b)
        if (left_out.find(static_cast<char>(b)) == left_out.npos) text += static_cast<char>(b);
    return text;
}
const std::string kAnyByte = everyByteBut("\r\n#");

// UTF-16 bytes as Notepad writes them, little endian unless asked.
std::string utf16(std::u16string_view text, bool bigEndian = false) {
    std::string bytes;
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// In a double-byte code page, rows of ANSI bytes that it reads otherwise check less.
enum class In932 { Same, SavedAsItWas, ReadsBack };

// A file is loaded, the typed entries are added, it is saved and loaded again.
const struct {
    std::string file;
    std::optional<Entries> loaded = std::nullopt;       // none: not checked
    std::optional<std::string> savedAs = std::nullopt;  // none: saved back as it was
    Entries typed = {};
    In932 in932 = In932::Same;
    std::optional<Entries> loaded932 = std::nullopt;
} kFileCases[] = {
    // clang-format off
    // Fields split at the first and the last #; comments only in the first column.
    {"A#1.2.3.4#99\r\n; c\r\nA##\r\n#x#\r\nA#b#c#d\r\n ;x#y#z\r\n",
     Entries{L"A|1.2.3.4|99", L"A||", L"|x|", L"A|b#c|d", L" ;x|y|z"},
     "A#1.2.3.4#99\r\nA##\r\n#x#\r\nA#b#c#d\r\n ;x#y#z\r\n"},
    {"; only\r\n;comments\r\n", Entries{}, ""},
    {kMark + "; only a comment\r\n", Entries{}, ""},
    {"a#1#2\nb#3#4\rc#5#6\r\n\r\n\n\rd#7#8",  // every kind of line end
     Entries{L"a|1|2", L"b|3|4", L"c|5|6", L"d|7|8"}, "a#1#2\r\nb#3#4\r\nc#5#6\r\nd#7#8\r\n"},
    {"just a name\r\nnick#port\r\n", Entries{L"just a name||", L"nick||port"}, "just a name##\r\nnick##port\r\n"},
    {std::string(40000, 'n') + "#" + std::string(50000, 'a') + "#7" + '\0' + "\r\nb#c#" + '\0' + "\r\n",
     Entries{std::wstring(40000, L'n') + L"|" + std::wstring(50000, L'a') + L"|7\xDC00", L"b|c|\xDC00"}},
    {.file = "x" + kAnyByte + "#" + kAnyByte + "#ab#cd#" + kAnyByte + "\r\n", .in932 = In932::SavedAsItWas},
    // The # after a code page 1252 accent still separates.
    {.file = "Caf\xE9#1.2.3.4#2300\r\n", .loaded = Entries{L"Caf\u00E9|1.2.3.4|2300"},
     .in932 = In932::SavedAsItWas, .loaded932 = Entries{L"Caf\xDCE9|1.2.3.4|2300"}},
    {"\xE3\x82\xB5\xE3\x83\xBC\xE3\x83\x90#1.2.3.4#2300\r\nb#\xC3\xA9#1\r\n",  // UTF-8, no mark
     Entries{L"\u30B5\u30FC\u30D0|1.2.3.4|2300", L"b|\u00E9|1"}},
    {kMark + "Caf\xC3\xA9#\xE2\x82\xAC#1\r\n", Entries{L"Caf\u00E9|\u20AC|1"}},
    // Broken UTF-8 after the mark keeps its bytes; without the mark it is an ANSI file.
    {kMark + "A\xC0\xAF#\xED\xA0\x80#\xF4\x90\x80\x80\xE2\x82\r\n",
     Entries{L"A\xDCC0\xDCAF|\xDCED\xDCA0\xDC80|\xDCF4\xDC90\xDC80\xDC80\xDCE2\xDC82"}},
    {.file = "A\xC0\xAF#\xED\xA0\xBF#\xF4\x90\xBF\xBF\r\n",
     .loaded = Entries{L"A\u00C0\u00AF|\u00ED\u00A0\u00BF|\u00F4\u0090\u00BF\u00BF"}, .in932 = In932::SavedAsItWas},
    // What the next load would read in another encoding is saved as UTF-8 with the mark.
    {"; c\r\n\xEF\xBB\xBFx#1#2\r\n", Entries{L"\uFEFFx|1|2"}, kMark + "\xEF\xBB\xBFx#1#2\r\n"},
    {.file = "; \xE9\r\nA\xC3\xA9#1#2\r\n", .loaded = Entries{L"A\u00C3\u00A9|1|2"},
     .savedAs = kMark + "A\xC3\x83\xC2\xA9#1#2\r\n", .in932 = In932::ReadsBack},
    {.file = "; c\r\n\xEF\xBB\xBFx#1#\xE9\r\n", .loaded = Entries{L"\u00EF\u00BB\u00BFx|1|\u00E9"},
     .savedAs = kMark + "\xC3\xAF\xC2\xBB\xC2\xBFx#1#\xC3\xA9\r\n", .in932 = In932::ReadsBack},
    // A NUL is kept as the byte it was.
    {"ab" + std::string(1, '\0') + "cd#1.2.3.4#27960\r\n", Entries{L"ab\xDC00" L"cd|1.2.3.4|27960"}},
    // Notepad's "Unicode": its text read and written back as it was, also half a pair and NUL.
    {"\xFF\xFE" + utf16(u"A#1#2\r\n; c\r\nb#\u00E9\u65E5#3\r\n"),
     Entries{L"A|1|2", L"b|\u00E9\u65E5|3"},
     "\xFF\xFE" + utf16(u"A#1#2\r\nb#\u00E9\u65E5#3\r\n\U0001F600#x#\r\n"),
     {L"\U0001F600|x|"}},
    {"\xFE\xFF" + utf16(u"A#1#2\r\n", true), Entries{L"A|1|2"}},
    {"\xFF\xFE" + utf16(u"a\xD800#") + std::string(2, '\0') + utf16(u"#\xDC00\r\n"),
     Entries{L"a\xDC00\xDCD8|\xDC00\xDC00|\xDC00\xDCDC"}},
    {.file = "\xFF\xFE\x41\r\n", .loaded = Entries{L"\u00FF\u00FEA||"},  // odd: not UTF-16
     .savedAs = "\xFF\xFE\x41##\r\n", .in932 = In932::ReadsBack},
    // Typed text that the ANSI code page cannot hold.
    {"", Entries{},
     kMark + "\xEF\xBB\xBF"
             "first#x#\r\n\xE6\x97\xA5\xE6\x9C\xAC#\xD0\x96#1\r\n\xF0\x9F\x98\x80##\r\n",
     Entries{L"\uFEFFfirst|x|", L"\u65E5\u672C|\u0416|1", L"\U0001F600||"}},
    // clang-format on
};

TEST(ServerListFileTest, LoadsAndSavesBackEachKindOfFile) {
#ifdef _WIN32
    const unsigned codePage = GetACP();
#else
    const unsigned codePage = 28591;  // the host build's stand-in, ISO-8859-1
#endif
    const char* expected = std::getenv("HOSTDECK_EXPECT_CODE_PAGE");
    ASSERT_EQ(std::to_string(codePage), expected ? expected : std::to_string(codePage));
    for (const auto& c : kFileCases) {
        SCOPED_TRACE(::testing::PrintToString(c.file.substr(0, 60)));
        fakes::MemoryFileStore files;
        files.files[kPath] = c.file;
        ServerListModel model, again;
        ServerListFile file(files, kPath);
        ASSERT_TRUE(file.load(model).ok());
        Entries loaded = fakes::entriesOf(model);
        for (const auto& entry : c.typed) fakes::appendEntry(model, entry);
        ASSERT_TRUE(file.save(model).ok());
        EXPECT_EQ(file.checkDisk().state, ServerListFile::DiskState::AsKnown) << "what it wrote";
        ASSERT_TRUE(ServerListFile(files, kPath).load(again).ok());
        const bool same = codePage != 932 || c.in932 == In932::Same;
        EXPECT_EQ(loaded, (same ? c.loaded : c.loaded932).value_or(loaded));
        const std::string& saved = files.files[kPath];
        EXPECT_EQ(saved, same                             ? c.savedAs.value_or(c.file)
                         : c.in932 == In932::SavedAsItWas ? c.file
                                                          : saved);
        loaded.insert(loaded.end(), c.typed.begin(), c.typed.end());
        EXPECT_EQ(fakes::entriesOf(again), loaded) << "a save reads back as it was";
    }
}

// A list file in memory, loaded, which Add asks.
struct LoadedList {
    fakes::MemoryFileStore files;
    ServerListModel model;
    ServerListFile file{files, kPath};
    explicit LoadedList(const std::string& bytes) {
        files.files[kPath] = bytes;
        EXPECT_TRUE(file.load(model).ok());
        model.setEntryCheck(&file);
    }
};

// What the user let a save replace is replaced once: the same bytes written again afterwards are
// another program's change.
TEST(ServerListFileTest, ReplacesWhatTheUserAllowedOnlyOnce) {
    fakes::MemoryFileStore files;
    ServerListFile file(files, kPath);
    ServerListModel model;
    ASSERT_TRUE(file.load(model).ok());
    for (const bool allowed : {true, false}) {
        model.appendEntry(L"B", L"3", L"4");
        files.files[kPath] = "Other#5#6\r\n";
        if (allowed) file.mayReplace(file.checkDisk());
        EXPECT_EQ(file.save(model).ok(), allowed);
    }
    EXPECT_EQ(files.files[kPath], "Other#5#6\r\n");
}

// What Add takes is what the next start reads back: nothing the format would split, shift or
// skip, and no text that would merge with a byte kept from the file.
TEST(ServerListFileTest, AddTakesOnlyWhatReadsBackAsItStands) {
    const std::wstring lone(1, static_cast<wchar_t>(0xD800));
    const std::string utf8 = kMark + "A\xC3x\xA9#1#2\r\n",
                      unicode = "\xFF\xFE" + utf16(u"A#1#2\r\n");
    const struct {
        std::string file;
        std::wstring entry;
        const wchar_t* why;  // null: added
    } cases[] = {
        // clang-format off
        {"", L" ;x|a#b#c| ", nullptr}, {"", L";x||", L"begins with \";\""},
        {"", L"a#b||", L"The nickname holds \"#\" (character 2)"}, {"", L"a||9#9", L"The port holds \"#\""},
        {"", L"a|b\nc|", L"The address holds a line break"}, {"", L"a\r||", L"The nickname holds a line break"},
        {"", L"a|" + lone + L"|", L"The address holds half of a character (U+D800)"},
        {"", lone + L"a||", L"The nickname holds half"}, {"", L"||\xDFFF", L"The port holds half"},
        {"", L"a\xDD00||", L"The nickname holds half of a character (U+DD00)"},
        {"", L"\U0001F600|ab\xDC00 cd \u65E5|", nullptr},   // a pair; a NUL from a file
        {"", L"Caf\xDCE9\x41||", L"(character 4)"},         // \x41: A, a trail byte in 932 too
        {"", L"\xDC41||", L"would not read back"},          // reads back as "A"
        {utf8, L"\u65E5|Caf\xDCE9|\xDCFF\xDC80", nullptr},  // bytes kept from the file
        {utf8, L"A\xDCC3\xDCA9||", L"nickname would not read back"}, {utf8, L"A\xDCC3x\xDCA9||", nullptr},
        {unicode, L"\xDC00\xDCD8||", nullptr}, {unicode, L"\xDCD8||", L"would not read back"},
        // clang-format on
    };
    for (const auto& c : cases) {
        LoadedList list(c.file);
        ServerListModel& model = list.model;
        fakes::setFields(model, c.entry);
        const std::wstring why = model.add().reason;
        EXPECT_TRUE(c.why ? why.find(c.why) != why.npos : why.empty()) << why;
        const Entries entries = fakes::entriesOf(model);
        EXPECT_EQ(entries.size(), (c.file.empty() ? 0 : 1) + (c.why ? 0 : 1));
        EXPECT_TRUE(c.why || (!entries.empty() && entries.back() == c.entry));
    }
    // Bytes kept from a file, side by side, would read as another character once a new
    // character makes the save switch to UTF-8: Add refuses that character, naming the server
    // that clashes with it. Should the list hold both all the same, the save fails and the
    // file stays; a copy keeps every character.
    LoadedList list("x#1#2\r\n");
    auto& [files, model, file] = list;
    fakes::appendEntry(model, L"B\xDCFF||");  // kept, but no clash
    fakes::appendEntry(model, L"A\xDCC3\xDCA9||");
    fakes::setFields(model, L"ok||");
    EXPECT_TRUE(model.add().ok()) << "nothing makes the list UTF-8";
    fakes::setFields(model, L"\U0001F600||");
    EXPECT_TRUE(model.add().reason.starts_with(
        L"\"\U0001F600\" cannot be written in the list file's code page, so the file would have "
        L"to be saved in UTF-8. But server 3, \"A\xDCC3\xDCA9\", holds"));
    fakes::appendEntry(model, L"\U0001F600||");
    EXPECT_NE(file.save(model).reason, L"");
    EXPECT_EQ(files.files, (std::map<std::wstring, std::string>{{kPath, "x#1#2\r\n"}}));
    std::wstring copy;
    ASSERT_TRUE(file.saveCopy(L"C:\\U", model, L"kept", L"", copy).ok());
    EXPECT_EQ(files.files[copy],
              kMark + "; kept\r\n; It belongs to C:\\Hostdeck\\serverlist.ini" +
                  "\r\nx#1#2\r\nB\xFF##\r\nA\xC3\xA9##\r\nok##\r\n\xF0\x9F\x98\x80##\r\n");
    files.files.erase(copy);
#ifdef _WIN32
    if (GetACP() == 932) {  // the same with "x" and three bytes that code page 932 lacks
        LoadedList in932("x\xEB\x85\x86#1.1.1.1#1\r\n\x83\x54\x81\x5B\x83\x6F#2.2.2.2#2\r\n");
        fakes::setFields(in932.model, L"New\u00E9||");
        const std::wstring why = in932.model.add().reason;
        EXPECT_TRUE(why.starts_with(L"\"\u00E9\" cannot be written")) << why;
        EXPECT_NE(why.find(L"server 1, \"x\xDCEB\xDC85\xDC86\""), std::wstring::npos) << why;
        in932.model.lstServerNick.setCurrentIndex(0);  // that server's own address, once edited
        ASSERT_TRUE(in932.model.edit());
        in932.model.txtServerIP.setText(L"cafe.\u00E9");
        EXPECT_NE(in932.model.add().reason.find(L"The nickname of this server"),
                  std::wstring::npos);
    }
#endif
    // Lists of unequal length, which no operation makes, still save what there is.
    model.removeAllEntries();
    model.lstServerNick.append(L"alone");
    ASSERT_TRUE(file.save(model).ok());
    EXPECT_EQ(files.files[kPath], "alone##\r\n");
}

}  // namespace
}  // namespace hostdeck
