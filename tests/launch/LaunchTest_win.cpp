// Launches a real stand-in game through the real registry and process start.
#include <gtest/gtest.h>

#include "launch/ServerLaunch.h"
#include "support/TempFolder.h"
#include "support/TestSupport_win.h"

namespace hostdeck {
namespace {

using testing::ScratchRegistryKey;
using testing::waitForLines;

constexpr DWORD kWaitMs = 20000;
const std::wstring kShowNormal = std::to_wstring(SW_SHOWNORMAL) + L"|";

class LaunchWinTest : public ::testing::Test {
  protected:
    // Installs the stand-in game as <folder>\exe\vantorel.exe and registers <folder>.
    void install(const std::wstring& folder) {
        CreateDirectoryW(folder.c_str(), nullptr);
        CreateDirectoryW((folder + L"\\exe").c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(standIn.c_str(), (folder + L"\\exe\\vantorel.exe").c_str(), FALSE));
        gameKey.setText(kGamePathValue, folder);
    }
    Result launch(ListIndex entry) {
        model.lstServerNick.setCurrentIndex(entry);
        return launchServer(model, *registry, *starter);
    }

    const std::wstring standIn = testing::testProgramFolder() + L"\\standin_game.exe";
    testing::TempFolder temp;
    ScratchRegistryKey gameKey{HKEY_LOCAL_MACHINE, kGameKey, KEY_WOW64_32KEY};
    ServerListModel model;
    std::unique_ptr<Registry> registry = makeSystemRegistry();
    std::unique_ptr<ProcessStarter> starter = makeSystemProcessStarter();
};

TEST_F(LaunchWinTest, GameReceivesExactlyTheServerCommandLine) {
    // The usual example installs on D:, which the test prefix maps to a scratch folder.
    if (GetDriveTypeW(L"D:\\") != DRIVE_FIXED) GTEST_SKIP() << "no drive D: in this prefix";
    CreateDirectoryW(L"D:\\Games", nullptr);
    install(L"D:\\Games\\Vantorel");
    model.appendEntry(L"Home", L"10.0.0.5", L"99");
    const Result result = launch(0);
    EXPECT_EQ(result.status, Result::Status::Ok)
        << std::string(result.reason.begin(), result.reason.end());
    const auto lines = waitForLines(L"D:\\Games\\Vantorel\\exe\\launches.txt", 1, kWaitMs);
    DeleteFileW(L"D:\\Games\\Vantorel\\exe\\launches.txt");
    DeleteFileW(L"D:\\Games\\Vantorel\\exe\\vantorel.exe");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], kShowNormal + L"D:\\Games\\Vantorel\\exe\\vantorel.exe -s10.0.0.5:99");
}

TEST_F(LaunchWinTest, EmptyAndBlankFieldsAndTwoLaunchesGiveTwoProcesses) {
    const std::wstring folder = temp.file(L"Vantorel");
    install(folder);
    model.appendEntry(L"Nothing", L"", L"");
    model.appendEntry(L"Blanks", L"my host", L"1 2");
    EXPECT_EQ(launch(0).status, Result::Status::Ok);
    auto lines = waitForLines(folder + L"\\exe\\launches.txt", 1, kWaitMs);
    EXPECT_EQ(launch(1).status, Result::Status::Ok);
    lines = waitForLines(folder + L"\\exe\\launches.txt", 2, kWaitMs);
    EXPECT_EQ(launch(1).status, Result::Status::Ok);
    lines = waitForLines(folder + L"\\exe\\launches.txt", 3, kWaitMs);
    const std::wstring exe = folder + L"\\exe\\vantorel.exe";
    EXPECT_EQ(lines, (std::vector<std::wstring>{kShowNormal + exe + L" -s:",
                                                kShowNormal + exe + L" -smy host:1 2",
                                                kShowNormal + exe + L" -smy host:1 2"}));
}

TEST_F(LaunchWinTest, BlanksInTheInstallPathCannotRunAnotherProgram) {
    // Unquoted, "<temp>\Test Games\..." would first try to run "<temp>\Test.exe".
    ASSERT_TRUE(CopyFileW(standIn.c_str(), temp.file(L"Test.exe").c_str(), FALSE));
    CreateDirectoryW(temp.file(L"Test Games").c_str(), nullptr);
    const std::wstring folder = temp.file(L"Test Games\\Vantorel");
    install(folder);
    model.appendEntry(L"Home", L"10.0.0.5", L"99");
    EXPECT_EQ(launch(0).status, Result::Status::Ok);
    const auto lines = waitForLines(folder + L"\\exe\\launches.txt", 1, kWaitMs);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], kShowNormal + folder + L"\\exe\\vantorel.exe -s10.0.0.5:99");
    EXPECT_FALSE(temp.exists(L"launches.txt")) << "the decoy ran";
}

TEST_F(LaunchWinTest, MissingGameOrInstallPathIsReported) {
    model.appendEntry(L"Home", L"10.0.0.5", L"99");
    gameKey.setText(kGamePathValue, temp.file(L"NotInstalled"));
    Result result = launch(0);
    EXPECT_EQ(result.status, Result::Status::Failed);
    EXPECT_NE(result.reason.find(temp.file(L"NotInstalled\\exe\\vantorel.exe")),
              std::wstring::npos);

    gameKey.setText(kGamePathValue, L"");
    result = launch(0);
    EXPECT_EQ(result.status, Result::Status::NotFound);
    EXPECT_FALSE(model.txtServerIP.enabled());
}

}  // namespace
}  // namespace hostdeck
