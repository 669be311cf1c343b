// The program's command line and the desktop shortcut that runs it (what it starts:
// LaunchTest).
#include <gtest/gtest.h>

#include "app/DesktopStart.h"

namespace hostdeck {
namespace {

TEST(DesktopStartTest, TakesWhatFollowsTheProgramAndNamesTheShortcut) {
    // clang-format off
    const std::pair<std::wstring, std::wstring> commandLines[] = {
        {L"hostdeck.exe", L""}, {L"\"C:\\Program Files\\hostdeck.exe\"  \"My Home\" ", L"My Home"},
        {L"\"C:\\h d\\hostdeck.exe\"Home", L"Home"}, {L"hostdeck.exe   My Home\t", L"My Home"},
        {L"hostdeck.exe \"a\"b\"", L"a\"b"}, {L"hostdeck.exe \"", L"\""},
        // What a shortcut carries comes back whole, to start exactly its server.
        {L"hd.exe " + shortcutArguments(L" [::1] \"x", L"27 015"), L"-s [::1] \"x:27 015"}};
    // clang-format on
    for (const auto& [line, arg] : commandLines) EXPECT_EQ(argumentFromCommandLine(line), arg);
    // clang-format off
    const std::pair<const wchar_t*, const wchar_t*> names[] = {
        {L"Home", L"Home.lnk"}, {L"a<b>c:d\"e/f\\g|h?i*j\tk", L"a_b_c_d_e_f_g_h_i_j_k.lnk"},
        {L"Home. ", L"Home._.lnk"}, {L"con", L"_con.lnk"}, {L"Nul.x", L"_Nul.x.lnk"},
        {L"COM1", L"_COM1.lnk"}, {L"lpt0", L"_lpt0.lnk"}, {L"Com1.server", L"_Com1.server.lnk"},
        {L"nul .txt", L"_nul .txt.lnk"}, {L"LPT\u00B9", L"_LPT\u00B9.lnk"}, {L"com\u00B3.a.b", L"_com\u00B3.a.b.lnk"},
        {L"COM10", L"COM10.lnk"}, {L"COM", L"COM.lnk"}, {L"Console", L"Console.lnk"}, {L" aux", L" aux.lnk"},
        {L"", L"_.lnk"}};
    // clang-format on
    for (const auto& [nickname, file] : names) EXPECT_EQ(shortcutFileName(nickname), file);
}

}  // namespace
}  // namespace hostdeck
