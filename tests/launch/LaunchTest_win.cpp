// The registry, process start and shell of the test prefix, for real: keys the test creates
// in both registry views, a stand-in game that records how it was started, and rundll32.
#include <gtest/gtest.h>

#include <filesystem>

#include "document/mDocumenteOeffnen.h"
#include "launch/ServerLaunch.h"
#include "platform/ProgramFolder.h"
#include "support/TempFolder.h"
#include "support/TestSupport_win.h"

namespace hostdeck {
namespace {

const std::wstring kStandIn = programFolder() + L"\\standin_game.exe";

// The install folder comes from the 32-bit programs' view, or else the native one; text
// that may hold environment variables is expanded.
TEST(LaunchWinTest, TheGameGetsExactlyTheServerCommandLine) {
    testing::TempFolder temp;
    // Unquoted, "<temp>\Test Games\..." would first try to run the decoy "<temp>\Test.exe".
    ASSERT_TRUE(CopyFileW(kStandIn.c_str(), temp.file(L"Test.exe").c_str(), FALSE));
    std::filesystem::create_directories(temp.fsPath(L"Test Games\\exe"));
    const std::wstring game = temp.file(L"Test Games\\exe\\vantorel.exe");
    ASSERT_TRUE(CopyFileW(kStandIn.c_str(), game.c_str(), FALSE));
    ServerListModel model;
    model.appendEntry(L"Home", L"10.0.0.5", L"99");
    model.appendEntry(L"Blanks", L"my host \u00E9\u0416", L"");
    const auto registry = makeSystemRegistry();
    const auto starter = makeSystemProcessStarter();
    testing::ScratchRegistryKey native(kGameKey, KEY_WOW64_64KEY);
    native.setText(kGamePathValue, temp.file(L"NotInstalled"));
    model.lstServerNick.setCurrentIndex(0);
    const Result failed = launchServer(model, *registry, *starter);
    EXPECT_EQ(failed.status, Result::Status::Failed);
    EXPECT_NE(failed.reason.find(temp.file(L"NotInstalled\\exe\\vantorel.exe")),
              std::wstring::npos);

    testing::ScratchRegistryKey wow(kGameKey, KEY_WOW64_32KEY);
    SetEnvironmentVariableW(L"HOSTDECK_TEST", temp.file(L"Test").c_str());
    wow.setText(kGamePathValue, L"%HOSTDECK_TEST% Games", REG_EXPAND_SZ);
    for (ListIndex entry : {0, 1}) {
        model.lstServerNick.setCurrentIndex(entry);
        EXPECT_TRUE(launchServer(model, *registry, *starter).ok());
        // One at a time: each records its command line when it runs.
        testing::waitForLines(temp.file(L"Test Games\\exe\\launches.txt"), entry + 1);
    }
    EXPECT_EQ(testing::waitForLines(temp.file(L"Test Games\\exe\\launches.txt"), 2),
              L"1|" + game + L" -s10.0.0.5:99\n1|" + game + L" -smy host \u00E9\u0416:\n");
    EXPECT_EQ(temp.read(L"launches.txt"), "<missing>") << "the decoy ran";
}

// A registry key is closed once its owner goes: its handle no longer works.
TEST(RegistryWinTest, KeysAreClosedWhenTheirOwnerGoes) {
    HKEY raw = nullptr;
    {
        UniqueRegistryKey key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()),
                  ERROR_SUCCESS);
        raw = key.get();
    }
    EXPECT_EQ(RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
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
    const std::wstring line = testing::waitForLines(system + L"\\launches.txt", 1);
    DeleteFileW((system + L"\\launches.txt").c_str());
    MoveFileExW(saved.c_str(), rundll.c_str(), MOVEFILE_REPLACE_EXISTING);
    EXPECT_TRUE(line.ends_with(L"shell32.dll,OpenAs_RunDLL " + temp.file(L"howto.hdknone") + L"\n"))
        << line;
}

}  // namespace
}  // namespace hostdeck
