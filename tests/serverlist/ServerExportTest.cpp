// An export, read back by the import: each row is a list, the file written for it, and what an
// import of that file into an empty list gives back; the rest is named in the summary.
#include <gtest/gtest.h>

#include "serverlist/ServerExport.h"
#include "serverlist/ServerImport.h"
#include "support/ModelEntries.h"

namespace hostdeck {
namespace {

TEST(ServerExportTest, WritesEachServerSoThatAnImportGivesItBack) {
    const struct {
        fakes::Texts entries;
        std::string file;          // after the UTF-8 mark
        fakes::Texts back = {};    // where not all the entries, in order
        std::wstring named = L"";  // in the summary, where some do not come back
    } cases[] = {
        // clang-format off
        {{}, ""},
        {{L"Home|1.2.3.4|27015", L"My  Club|lan.example|5", L"6|::1|7", L"x:1 y|1|2"},
         "1.2.3.4:27015\tHome\r\nlan.example:5\tMy  Club\r\n[::1]:7\t6\r\n1:2\tx:1 y\r\n"},
        // Where the short line would read otherwise, the record; what is no server is written too.
        {{L" Lead|1|2", L"A\tB|1|3", L";c|1|4", L"|1|5", L"odd||", L"Caf\u00e9 \U0001F600|h|0", L"F|[::2]|9"},
         " Lead#1#2\r\n1:3\tA\tB\r\n1:4\t;c\r\n#1#5\r\nodd##\r\nCaf\xC3\xA9 \xF0\x9F\x98\x80#h#0\r\nF#[::2]#9\r\n",
         {L" Lead|1|2", L"A\tB|1|3", L"1:5|1|5", L"F|[::2]|9"}, L"not give back 4 of them as they are"},
        {{L"K\xDC41|1|2"}, "1:2\tK\xEF\xBF\xBD\r\n", {L"K\uFFFD|1|2"}, L"\n\"K\xDC41\" 1:2"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.file));
        ServerListModel list;
        for (const std::wstring& entry : c.entries) fakes::appendEntry(list, entry);
        const ServerExport out = exportServers(list);
        EXPECT_EQ(out.bytes, "\xEF\xBB\xBF" + c.file);
        ServerLines lines;
        lines.readFile(out.bytes, L"f");
        fakes::Texts back;
        for (const ImportedServer* s : planImport(lines, ServerListModel{}, nullptr).adding(true))
            back.push_back(s->nickname + L"|" + s->address + L"|" + s->port);
        const bool all = c.named.empty();
        EXPECT_EQ(back, all ? c.entries : c.back);
        const std::wstring summary = exportSummary(out, L"C:\\f.txt");
        EXPECT_EQ(out.notAsTheyAreCount == 0, all);
        EXPECT_TRUE(summary.starts_with(std::to_wstring(c.entries.size()) +
                                        L" servers were written to\nC:\\f.txt"));
        EXPECT_NE(summary.find(c.named), std::wstring::npos) << summary;
    }
}

}  // namespace
}  // namespace hostdeck
