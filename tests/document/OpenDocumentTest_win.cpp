// The document opener with the real shell, against associations in the test prefix.
#include <gtest/gtest.h>

#include "document/mDocumenteOeffnen.h"
#include "support/TempFolder.h"
#include "support/TestSupport_win.h"

namespace hostdeck {
namespace {

using testing::ScratchRegistryKey;

class OpenDocumentWinTest : public ::testing::Test {
  protected:
    const std::wstring standIn = testing::testProgramFolder() + L"\\standin_game.exe";
    testing::TempFolder temp;
    std::unique_ptr<Shell> shell = makeSystemShell();
};

TEST_F(OpenDocumentWinTest, OpensTheDocumentWithItsApplication) {
    ASSERT_TRUE(CopyFileW(standIn.c_str(), temp.file(L"viewer.exe").c_str(), FALSE));
    ScratchRegistryKey extension(HKEY_CLASSES_ROOT, L".hdkdoc", 0);
    extension.setText(L"", L"Hostdeck.TestDocument");
    ScratchRegistryKey command(HKEY_CLASSES_ROOT, L"Hostdeck.TestDocument\\shell\\open\\command",
                               0);
    command.setText(L"", L"\"" + temp.file(L"viewer.exe") + L"\" \"%1\"");
    temp.write(L"how to.hdkdoc", "text");

    OpenDocument(*shell, temp.file(L"how to.hdkdoc"));
    const auto lines = testing::waitForLines(temp.file(L"launches.txt"), 1, 20000);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Hostdeck.TestDocument");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(L"\"" + temp.file(L"how to.hdkdoc") + L"\""), std::wstring::npos)
        << lines[0].c_str();
    EXPECT_EQ(lines[0].substr(0, 2), std::to_wstring(SW_SHOWNORMAL) + L"|");
}

TEST_F(OpenDocumentWinTest, NoAssociationRunsOpenWithThroughRundll32) {
    // rundll32.exe in the test prefix is swapped for the recording stand-in for this test
    // (the Wine runner lets a rundll32.exe on disk run instead of Wine's built-in one).
    const std::wstring system = shell->systemFolder();
    const std::wstring rundll = system + L"\\rundll32.exe";
    const std::wstring saved = system + L"\\rundll32.exe.hostdeck-test";
    ASSERT_TRUE(MoveFileExW(rundll.c_str(), saved.c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(CopyFileW(standIn.c_str(), rundll.c_str(), FALSE));
    temp.write(L"howto.hdknone", "text");

    OpenDocument(*shell, temp.file(L"howto.hdknone"));
    const auto lines = testing::waitForLines(system + L"\\launches.txt", 1, 20000);
    DeleteFileW((system + L"\\launches.txt").c_str());
    MoveFileExW(saved.c_str(), rundll.c_str(), MOVEFILE_REPLACE_EXISTING);
    ASSERT_EQ(lines.size(), 1u);
    const std::wstring expected = L"shell32.dll,OpenAs_RunDLL " + temp.file(L"howto.hdknone");
    EXPECT_EQ(lines[0].substr(lines[0].size() - expected.size()), expected) << lines[0].c_str();
}

TEST_F(OpenDocumentWinTest, MissingDocumentOpensNothing) {
    const ULONGLONG started = GetTickCount64();
    OpenDocument(*shell, temp.file(L"howto.txt"));
    EXPECT_LT(GetTickCount64() - started, 10000u);
    EXPECT_EQ(temp.listing(), L"");
}

}  // namespace
}  // namespace hostdeck
