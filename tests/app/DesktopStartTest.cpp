// The program's command line and the desktop shortcut that runs it.
#include <gtest/gtest.h>

#include "app/DesktopStart.h"
#include "launch/ServerLaunch.h"
#include "support/FakeRegistry.h"
#include "support/MemoryFileStore.h"
#include "support/Recorders.h"

namespace hostdeck {
namespace {

TEST(DesktopStartTest, TakesWhatFollowsTheProgramAndNamesTheShortcut) {
    const std::pair<const wchar_t*, const wchar_t*> commandLines[] = {
        {L"hostdeck.exe", L""},
        {L"\"C:\\Program Files\\hostdeck.exe\"  \"My Home\" ", L"My Home"},
        {L"\"C:\\h d\\hostdeck.exe\"Home", L"Home"},
        {L"hostdeck.exe   My Home\t", L"My Home"},
        {L"hostdeck.exe \"a\"b\"", L"a\"b"},
        {L"hostdeck.exe \"", L"\""},
    };
    for (const auto& [line, argument] : commandLines)
        EXPECT_EQ(argumentFromCommandLine(line), argument);
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

// A shortcut starts exactly the server it was made from, whatever the list holds by then.
TEST(DesktopStartTest, AShortcutStartsTheServerItWasMadeFrom) {
    testing::MemoryFileStore files;
    files.files[L"C:\\H\\serverlist.ini"] = "-s1.2#x#1\r\n";  // a nickname like the switch
    testing::FakeRegistry registry;
    registry.values[L"32:" + std::wstring(kGameKey) + L"\\AppPath"] = testing::sz(L"C:\\G");
    testing::RecordingStarter starter;
    const std::wstring line = L"hd.exe " + shortcutArguments(L" [::1] \"x", L"27 015");
    ASSERT_TRUE(launchFromCommandLine(files, L"C:\\H\\serverlist.ini",
                                      argumentFromCommandLine(line), registry, starter)
                    .ok());
    EXPECT_EQ(starter.starts,
              L"C:\\G\\exe\\vantorel.exe|C:\\G\\exe\\vantorel.exe -s [::1] \"x:27 015\n");
}

}  // namespace
}  // namespace hostdeck
