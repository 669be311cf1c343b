// What the lines of a paste or a file bring in: each row reads one text (or a file's bytes) and
// states the servers it holds, with their lines, the lines that are no server, and why a file
// was refused.
#include <gtest/gtest.h>

#include <string>

#include "serverlist/ServerImport.h"
#include "support/MemoryFileStore.h"
#include "texts/UserTexts.h"

namespace hostdeck {
namespace {

// "utf16le:" or "utf16be:" before a row's ASCII text: that text in UTF-16 with its mark;
// "<64 MB and a byte>": a file one byte larger than an import reads.
std::string bytesOf(const std::string& text) {
    if (text.starts_with("<64")) return std::string(kMostImportBytes + 1, 'x');
    const bool le = text.starts_with("utf16le:"), be = text.starts_with("utf16be:");
    std::string bytes = le ? "\xFF\xFE" : be ? "\xFE\xFF" : text;
    for (const char c : le || be ? text.substr(8) : "")
        bytes += le ? std::string{c, '\0'} : std::string{'\0', c};
    return bytes;
}

const struct {
    std::string text;
    std::wstring read;  // "nickname|address|port@line, ... / not: lines (+ those not named) / why"
    bool file = false;  // read as a file's bytes; otherwise as pasted text (Latin-1 here)
} kCases[] = {
    // clang-format off
    {"1.2.3.4:2300", L"1.2.3.4:2300|1.2.3.4|2300@1"},
    {"  1.2.3.4:2300   Friday games ", L"Friday games|1.2.3.4|2300@1"},
    {"[::1]:27015\tV6 home", L"V6 home|::1|27015@1"},
    {"[::1]:27015", L"[::1]:27015|::1|27015@1"}, {"Home#10.0.0.5#99", L"Home|10.0.0.5|99@1"},
    {"Caf#a#b#1\r\nLan##\r\n #x# ", L" / not: 1 2 3"},
    // A record is a server where its address and port read as one; without a nickname, it is
    // named as a bare address is.
    {"Join tonight! #lan #party 10.0.0.5:2300\n1.2.3.4:2301 a#b#c\n## Heading ##\nC##\n#x#\nA#1.2.3.4#0",
     L" / not: 1 2 3 4 5 +1"},
    {"#1.2.3.4#2300\nV6#[::1]#5\nB# ::1 # 6 \nH#x_y.example.#65535", L"1.2.3.4:2300|1.2.3.4|2300@1, V6|[::1]|5@2, B| ::1 | 6 @3, H|x_y.example.|65535@4"},
    {"\r\n; note\r\n  ;x:1\r\n \t \r\n", L""},
    {"hello world\r\n1.2.3.4\r\nx#y\r\n1.2.3.4:0\r\nh:1:2\r\n[1.2.3.4]:5\r\nb.c:65536\r\na.b:65535",
     L"a.b:65535|a.b|65535@8 / not: 1 2 3 4 5 +2"},
    {"a.b:1\rA.d:2\n\nnot", L"a.b:1|a.b|1@1, A.d:2|A.d|2@2 / not: 4"},
    // Files, in each encoding the list file may have.
    {"\xEF\xBB\xBF" "Caf\xC3\xA9#1.2.3.4#5\r\nx", L"Caf\u00e9|1.2.3.4|5@1 / not: 2", true},
    {"Caf\xC3\xA9#1.2.3.4#5", L"Caf\u00e9|1.2.3.4|5@1", true},
    {"Caf\xE9#1.2.3.4#5\nx.y:7 Caf\xE9", L"Caf\u00e9|1.2.3.4|5@1, Caf\u00e9|x.y|7@2", true},
    {"utf16le:x.y:7 Fun\r\nnot\r\nA#b#7", L"Fun|x.y|7@1, A|b|7@3 / not: 2", true},
    {"utf16be:x.y:7", L"x.y:7|x.y|7@1", true},
    {std::string("MZ\x90\0\x03\0a#b#c", 11), L" / refused\n\nNot imported: f\nIt is not a server list: it holds bytes that are no text.", true},
    {"just text\r\nmore", L" / refused\n\nNot imported: f\nIt holds no server: no line is an address and port (1.2.3.4:27015) or nickname#address#port.", true},
    {"", L" / refused\n\nNot imported: f\nIt holds no server: no line is an address and port (1.2.3.4:27015) or nickname#address#port.", true},
    {"<gone>", L" / refused\n\nNot imported: f\nThere is no such file.", true}, {"<64 MB and a byte>", L" / refused\n\nNot imported: f\nIt is larger than 64 MB, too large to be a server list, and was not read.", true},
    // clang-format on
};

TEST(ServerImportTest, ReadsEachLineForWhatItMeans) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        ServerLines lines;
        fakes::MemoryFileStore files;  // a file is read from there; "<gone>" is not there
        if (c.text != "<gone>") files.files[L"f"] = bytesOf(c.text);
        c.file ? lines.readFileAt(files, L"f")
               : lines.readText(std::wstring(c.text.begin(), c.text.end()));
        std::wstring read;
        for (const ImportedServer& s : lines.servers)
            read += (read.empty() ? L"" : L", ") + s.nickname + L"|" + s.address + L"|" + s.port +
                    L"@" + std::to_wstring(s.place.line);
        if (!lines.notServers.empty()) read += L" / not:";
        for (const LinePlace& place : lines.notServers) read += L" " + std::to_wstring(place.line);
        if (lines.notServersRead > lines.notServers.size())
            read += L" +" + std::to_wstring(lines.notServersRead - lines.notServers.size());
        for (const std::wstring& why : lines.refused) read += L" / refused" + why;
        EXPECT_EQ(read, c.read);
    }
}

// What the import says fits a message box, whatever the input: each row fits a text to rows of
// 10 characters and 8 rows at most.
TEST(FittedTextTest, CutsLongLinesInTheMiddleAndCountsLinesLeftOut) {
    const std::wstring x30(30, L'x');
    const struct {
        std::wstring text, fitted;
    } kCases[] = {
        {L"", L""},
        {L"0123456789\n\nshort", L"0123456789\n\nshort"},
        {L"0123456789A\nx", L"0123456789A\nx"},
        {std::wstring(28, L'a') + std::wstring(50, L'x') + std::wstring(29, L'b'),
         std::wstring(28, L'a') + L"..." + std::wstring(29, L'b')},
        {L"1\n2\n3\n4\n5\n6\n7\n8", L"1\n2\n3\n4\n5\n6\n7\n8"},
        {L"1\n2\n3\n4\n5\n6\n7\n8\n", L"1\n2\n3\n4\n5\n6\n7\n... (2 more lines not shown)"},
        {L"1\n" + std::wstring(5000, L'x') + L"\n3",
         L"1\n" + std::wstring(28, L'x') + L"..." + std::wstring(29, L'x') + L"\n3"},
        {x30 + L"\n" + x30 + L"\n" + x30, x30 + L"\n" + x30 + L"\n... (1 more lines not shown)"},
    };
    for (const auto& c : kCases) EXPECT_EQ(texts::fitted(c.text, 10, 8), c.fitted) << c.text;
}

}  // namespace
}  // namespace hostdeck
