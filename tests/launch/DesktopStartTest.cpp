// The program's command line and the desktop shortcut that runs it (what it starts:
// LaunchTest).
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <optional>
#include <regex>
#include <set>

#include "launch/DesktopStart.h"

namespace hostdeck {
namespace {

using Kind = StartRequest::Kind;

TEST(DesktopStartTest, ReadsOneServerFromWhatFollowsTheProgram) {
    const std::wstring program = L"C:\\My Games\\hd\\hostdeck.exe";
    const std::pair<std::wstring, StartRequest> cases[] = {
        // clang-format off
        {L"hostdeck.exe", {}}, {L"hostdeck.exe \"", {}}, {L"hostdeck.exe \"\"", {}},
        {L"\"" + program + L"\"  \"My Home\" ", {Kind::Name, L"My Home"}},
        {L"\"C:\\h d\\hostdeck.exe\"Home", {Kind::Name, L"Home"}},
        {L"hostdeck.exe \"a\"b\"", {Kind::Name, L"ab"}}, {L"hostdeck.exe /S:", {Kind::Server, L":"}},
        // Split as the C runtime splits arguments: quotes, doubled quotes and backslashes.
        {L"hd.exe \"My \"\"Home\\\"\\\\\"", {Kind::Name, L"My \"Home\"\\"}},
        {L"hd.exe a\\\\b\\\\\\\"c \"d e\"", {Kind::TooManyArguments, L"a\\\\b\\\\\\\"c \"d e\""}}, {L"hd.exe \"a\" \"b\"", {Kind::TooManyArguments, L"\"a\" \"b\""}},
        {L"hostdeck.exe \"-s1.2.3.4:5\nx\"", {Kind::Name, L"-s1.2.3.4:5\nx"}},  // no entry holds a line break
        {L"hostdeck.exe   My Home\t", {Kind::TooManyArguments, L"My Home"}},  // more than one argument
        // (The switch's other forms: LaunchTest.) The program's own path, however written.
        {program, {}}, {program + L" -s1.2.3.4:5", {Kind::Server, L"1.2.3.4:5"}},
        {L"c:\\my games\\HD\\HOSTDECK Home", {Kind::Name, L"Home"}},
        {L"other.exe Home", {Kind::Name, L"Home"}},
        {L"\"C:\\My Games\\other.exe\" \"x y\"", {Kind::Name, L"x y"}},
        // What a shortcut carries comes back whole, to start exactly its server.
        {L"hd.exe " + shortcutArguments(L" [::1] \"x\\\"", L"27 015\\"), {Kind::Server, L" [::1] \"x\\\":27 015\\"}},
        // clang-format on
    };
    for (const auto& [line, read] : cases)
        EXPECT_EQ(readCommandLine(line, program), read) << ::testing::PrintToString(line);
}

// A name Windows takes; a second server of one nickname gets its address and port too, and a tag
// ("#": any of its letters) where the name alone would not keep two servers apart.
TEST(DesktopStartTest, NamesEachShortcutAsWindowsTakesIt) {
    const std::wstring x111 = std::wstring(111, L'x'), tag = L" ########.lnk";
    // clang-format off
    const std::pair<std::wstring, std::wstring> names[] = {
        {L"Home", L"Home.lnk"}, {L"a<b>c:d\"e/f\\g|h?i*j\tk", L"a_b_c_d_e_f_g_h_i_j_k.lnk"},
        {L"Home. ", L"Home._.lnk"}, {L"con", L"_con.lnk"}, {L"Nul.x", L"_Nul.x.lnk"},
        {L"COM1", L"_COM1.lnk"}, {L"lpt0", L"_lpt0.lnk"}, {L"Com1.server", L"_Com1.server.lnk"},
        {L"nul .txt", L"_nul .txt.lnk"}, {L"LPT\u00B9", L"_LPT\u00B9.lnk"}, {L"com\u00B3.a.b", L"_com\u00B3.a.b.lnk"},
        {L"COM10", L"COM10.lnk"}, {L"COM", L"COM.lnk"}, {L"Console", L"Console.lnk"}, {L" aux", L" aux.lnk"},
        {L"", L"_.lnk"}, {std::wstring(300, L'x'), x111 + tag},
        {x111.substr(1) + L"\xD83D\xDE00" + std::wstring(10, L'y'), x111.substr(1) + tag},  // never half a pair
        {L"Home|10.0.0.5|99", L"Home (10.0.0.5 99).lnk"},
        {L"Home| Play.Example |2300 ", L"Home (play.example 2300).lnk"},
        {L"Home|[::1]|27015", L"Home (__1 27015)" + tag}, {L"Home|::1|27015", L"Home (__1 27015)" + tag},
        {L"Home|a?b|1", L"Home (a_b 1)" + tag}, {L"Home|a*b|1", L"Home (a_b 1)" + tag},
        {L"Home|x|1A", L"Home (x 1A)" + tag}, {L"Home|x|1a", L"Home (x 1a)" + tag}};
    // clang-format on
    std::set<std::wstring> servers;  // as Windows compares file names
    for (const auto& [given, expected] : names) {
        std::wsmatch server;
        const bool apart = std::regex_match(given, server, std::wregex(L"(.*)\\|(.*)\\|(.*)"));
        std::wstring name =
            apart ? shortcutFileName(server[1].str(), server[2].str(), server[3].str())
                  : shortcutFileName(given);
        EXPECT_TRUE(std::equal(
            name.begin(), name.end(), expected.begin(), expected.end(),
            [](wchar_t n, wchar_t e) { return n == e || (e == L'#' && std::iswxdigit(n)); }))
            << ::testing::PrintToString(name);
        for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
        if (apart) servers.insert(name);
    }
    EXPECT_EQ(servers.size(), 7u) << "[::1] and ::1 are one server";
}

// Where the nickname's shortcut starts another server, this one's is named apart; the user is
// asked only where the file chosen is there, and told what it starts.
TEST(DesktopStartTest, PlacesEachServersShortcutApartFromAnothers) {
    const std::wstring plain = L"C:\\D\\Club.lnk|", apart = L"C:\\D\\Club (10.0.0.5 99).lnk|";
    // What is there (path: arguments), and the path chosen with what the user is told ("-": none).
    const std::pair<std::map<std::wstring, std::wstring>, std::wstring> cases[] = {
        // clang-format off
        {{}, plain + L"-"}, {{{plain, L"\"-s10.0.0.6:99\""}}, apart + L"-"}, {{{plain, L"\"Club\""}}, apart + L"-"},
        {{{plain, L""}}, apart + L"-"}, {{{plain, L"\"-s10.0.0.5:99\""}}, plain + L"the server 10.0.0.5:99"},
        {{{plain, L"/S10.0.0.5:99"}}, plain + L"the server 10.0.0.5:99"},
        {{{plain, L"-s1:2"}, {apart, L"-s10.0.0.7:1"}}, apart + L"the server 10.0.0.7:1"},
        {{{plain, L"-s1:2"}, {apart, L""}}, apart + L"something other than a server"},
        // clang-format on
    };
    for (const auto& [there, expected] : cases) {
        const ShortcutPlace place =
            placeShortcut(L"C:\\D", L"Club", L"10.0.0.5", L"99", [&](const std::wstring& path) {
                const auto found = there.find(path + L"|");
                return found == there.end() ? std::nullopt : std::optional(found->second);
            });
        EXPECT_EQ(place.path + L"|" + place.replaces.value_or(L"-"), expected);
    }
    // Within what Windows takes for a path, however long the desktop folder's.
    EXPECT_EQ(placeShortcut(L"C:\\" + std::wstring(230, L'f'), std::wstring(100, L'n'), L"1", L"2",
                            [](const std::wstring&) { return std::nullopt; })
                  .path.size(),
              259u);
}

}  // namespace
}  // namespace hostdeck
