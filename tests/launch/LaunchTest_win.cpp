// The registry, process start and shell of the test prefix, for real: keys the test creates
// in both registry views, a stand-in game that records how it was started, and rundll32.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "document/mDocumenteOeffnen.h"
#include "launch/ServerLaunch.h"
#include "launch/mdlRegedit.h"
#include "support/TempFolder.h"
#include "support/TestSupport_win.h"

namespace hostdeck {
namespace {

using testing::ScratchRegistryKey;
const std::wstring kStandIn = testing::testProgramFolder() + L"\\standin_game.exe";

TEST(RegistryWinTest, ReadsTextNumbersAndExpandableTextFromEitherView) {
    const auto registry = makeSystemRegistry();
    const std::wstring path = L"SOFTWARE\\HostdeckTest\\" + std::to_wstring(GetCurrentProcessId());
    const auto read = [&](const wchar_t* name) {
        return registryValueText(
            ReadRegistryValue(*registry, RegistryRoot::LocalMachine, path, name));
    };
    {
        ScratchRegistryKey native(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY);
        native.setText(L"AppPath", L"C:\\From64");
        EXPECT_EQ(read(L"AppPath"), L"C:\\From64");
        ScratchRegistryKey wow(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY);
        wow.setText(L"AppPath", L"C:\\Games\\Vantorel \u00E9\u0416\u65E5");
        wow.setText(L"Expand", L"%WINDIR%\\Game %NoSuchVariable%", REG_EXPAND_SZ);
        const DWORD port = 2300;
        wow.set(L"Port", REG_DWORD, &port, sizeof port);
        wow.set(L"Binary", REG_BINARY, "abc", 3);
        wchar_t windows[MAX_PATH] = {};
        GetEnvironmentVariableW(L"WINDIR", windows, MAX_PATH);
        EXPECT_EQ(read(L"AppPath") + L"|" + read(L"Expand") + L"|" + read(L"Port") + L"|" +
                      read(L"Binary"),
                  L"C:\\Games\\Vantorel \u00E9\u0416\u65E5|" + std::wstring(windows) +
                      L"\\Game %NoSuchVariable%|2300|");
    }
    EXPECT_EQ(read(L"AppPath"), L"");
}

TEST(LaunchWinTest, TheGameGetsExactlyTheServerCommandLine) {
    testing::TempFolder temp;
    ScratchRegistryKey gameKey(HKEY_LOCAL_MACHINE, kGameKey, KEY_WOW64_32KEY);
    // Unquoted, "<temp>\Test Games\..." would first try to run the decoy "<temp>\Test.exe".
    ASSERT_TRUE(CopyFileW(kStandIn.c_str(), temp.file(L"Test.exe").c_str(), FALSE));
    const std::wstring folder = temp.file(L"Test Games");
    std::filesystem::create_directories(folder + L"\\exe");
    ASSERT_TRUE(CopyFileW(kStandIn.c_str(), (folder + L"\\exe\\vantorel.exe").c_str(), FALSE));
    gameKey.setText(kGamePathValue, folder);
    ServerListModel model;
    model.appendEntry(L"Home", L"10.0.0.5", L"99");
    model.appendEntry(L"Blanks", L"my host", L"");
    const auto registry = makeSystemRegistry();
    const auto starter = makeSystemProcessStarter();
    for (ListIndex entry : {0, 1}) {
        model.lstServerNick.setCurrentIndex(entry);
        EXPECT_TRUE(launchServer(model, *registry, *starter).ok());
    }
    const std::wstring started =
        std::to_wstring(SW_SHOWNORMAL) + L"|" + folder + L"\\exe\\vantorel.exe -s";
    // Two processes: they may finish, and record their command lines, in either order.
    auto lines = testing::waitForLines(folder + L"\\exe\\launches.txt", 2);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::wstring>{started + L"10.0.0.5:99", started + L"my host:"}));
    EXPECT_EQ(temp.read(L"launches.txt"), "<missing>") << "the decoy ran";

    gameKey.setText(kGamePathValue, temp.file(L"NotInstalled"));
    const Result failed = launchServer(model, *registry, *starter);
    EXPECT_EQ(failed.status, Result::Status::Failed);
    EXPECT_NE(failed.reason.find(temp.file(L"NotInstalled\\exe\\vantorel.exe")),
              std::wstring::npos);
}

// With no application for the file's type, the system's Open With dialog comes up through
// rundll32.exe, which the test swaps for the recording stand-in (the Wine runner lets a
// rundll32.exe on disk run instead of Wine's own).
TEST(ShellWinTest, NoAssociationRunsOpenWithThroughRundll32) {
    testing::TempFolder temp;
    const auto shell = makeSystemShell();
    const std::wstring system = shell->systemFolder();
    const std::wstring rundll = system + L"\\rundll32.exe", saved = rundll + L".hostdeck-test";
    ASSERT_TRUE(MoveFileExW(rundll.c_str(), saved.c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(CopyFileW(kStandIn.c_str(), rundll.c_str(), FALSE));
    temp.write(L"howto.hdknone", "text");
    OpenDocument(*shell, temp.file(L"howto.hdknone"));
    const auto lines = testing::waitForLines(system + L"\\launches.txt", 1);
    DeleteFileW((system + L"\\launches.txt").c_str());
    MoveFileExW(saved.c_str(), rundll.c_str(), MOVEFILE_REPLACE_EXISTING);
    ASSERT_EQ(lines.size(), 1u);
    const std::wstring expected = L"shell32.dll,OpenAs_RunDLL " + temp.file(L"howto.hdknone");
    EXPECT_EQ(lines[0].substr(lines[0].size() - expected.size()), expected);
}

}  // namespace
}  // namespace hostdeck
