// The real program under Wine, driven through its window with messages and real input.
#include <gtest/gtest.h>

#include <memory>

#include "app/AppDriver_win.h"
#include "app/FormLayout.h"
#include "launch/ServerLaunch.h"
#include "support/TempFolder.h"
#include "support/TestSupport_win.h"

namespace hostdeck {
namespace {

using testing::AppDriver;
using testing::ScratchRegistryKey;
using testing::waitUntil;
using Items = std::vector<std::wstring>;

const std::string kList =
    "Home#10.0.0.5#99\r\n; a comment\r\nClub#club.example#2300\r\nLan#192.168.1.2#47624\r\n";

class HostdeckAppTest : public ::testing::Test {
  protected:
    void SetUp() override { temp.write(L"serverlist.ini", kList); }
    void start() { app = std::make_unique<AppDriver>(temp.path()); }
    std::vector<std::wstring> fields() const {
        return {app->text(kIdNicknameField), app->text(kIdAddressField), app->text(kIdPortField)};
    }
    bool fieldsEnabled() const {
        return app->enabled(kIdNicknameField) && app->enabled(kIdAddressField) &&
               app->enabled(kIdPortField);
    }
    bool fieldsDisabled() const {
        return !app->enabled(kIdNicknameField) && !app->enabled(kIdAddressField) &&
               !app->enabled(kIdPortField);
    }
    void dismissMessageBox(HWND box, int button = IDOK) {
        PostMessageW(box, WM_COMMAND, button, 0);
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    }
    // Waits for the program's message box, answers it with `button`; returns its text.
    std::wstring answerMessageBox(int button) {
        HWND box = nullptr;
        EXPECT_TRUE(waitUntil([&] { return (box = app->findMessageBox()) != nullptr; }));
        if (!box) return {};
        const std::wstring text = AppDriver::messageBoxText(box);
        dismissMessageBox(box, button);
        return text;
    }
    void setText(int id, const wchar_t* text) {
        SendMessageW(app->control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }

    testing::TempFolder temp;
    std::unique_ptr<AppDriver> app;
};

TEST_F(HostdeckAppTest, StartsWithTheListInFileOrderAndEmptyEnabledFields) {
    start();
    EXPECT_EQ(app->listItems(), (Items{L"Home", L"Club", L"Lan"}));
    EXPECT_EQ(app->currentListItem(), LB_ERR);
    EXPECT_EQ(fields(), (Items{L"", L"", L""}));
    EXPECT_TRUE(fieldsEnabled());

    wchar_t caption[128] = {};
    GetWindowTextW(app->window(), caption, 128);
    EXPECT_STREQ(caption, kFormCaption);
    EXPECT_TRUE(GetWindowLongW(app->window(), GWL_STYLE) & WS_THICKFRAME);
    EXPECT_TRUE(app->close());
}

TEST_F(HostdeckAppTest, LaysOutEveryControlAt96Dpi) {
    start();
    RECT client{};
    GetClientRect(app->window(), &client);
    EXPECT_EQ(client.right, 525);
    EXPECT_EQ(client.bottom, 270);

    RECT window{};
    GetWindowRect(app->window(), &window);
    const int screenCentreX = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int screenCentreY = GetSystemMetrics(SM_CYSCREEN) / 2;
    EXPECT_NEAR((window.left + window.right) / 2, screenCentreX, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, screenCentreY, 1);

    for (const ControlLayout& control : kFormControls) {
        SCOPED_TRACE(testing::narrowForTrace(control.name));
        if (!control.shown) {
            EXPECT_EQ(app->control(controlId(control)), nullptr)
                << "hidden lists are data, not windows";
            continue;
        }
        const RECT rect = app->controlRect(controlId(control));
        EXPECT_EQ(rect.left, control.left / 15);
        EXPECT_EQ(rect.top, control.top / 15);
        if (!control.sizedToText) {
            EXPECT_EQ(rect.right - rect.left, control.width / 15);
            EXPECT_EQ(rect.bottom - rect.top, control.height / 15);
        } else {
            EXPECT_GT(rect.right - rect.left, 0);
            EXPECT_LT(rect.bottom - rect.top, 20) << "one line of 8-point text";
        }
        wchar_t text[128] = {};
        GetWindowTextW(app->control(controlId(control)), text, 128);
        EXPECT_STREQ(text, control.caption);
    }
    EXPECT_EQ(app->controlRect(kIdHowToButton).right, 526) << "one pixel past the client area";
}

// Windows, and so a screen reader, names an unnamed control after the caption just before it.
TEST_F(HostdeckAppTest, ListAndFieldsAreNamedByTheirCaptions) {
    start();
    for (const int named : {kIdServerNickList, kIdNicknameField, kIdAddressField, kIdPortField}) {
        HWND before = GetWindow(app->control(named), GW_HWNDPREV);
        wchar_t className[32] = {}, text[64] = {};
        GetClassNameW(before, className, 32);
        GetWindowTextW(before, text, 64);
        EXPECT_EQ(_wcsicmp(className, L"Static"), 0) << named;
        EXPECT_STREQ(controlWithId(GetDlgCtrlID(before)).names, controlWithId(named).name);
        EXPECT_STREQ(text, controlWithId(GetDlgCtrlID(before)).caption);
    }
}

// Focus starts on the list and comes back to where it was after another window was active.
TEST_F(HostdeckAppTest, FocusStartsOnTheListAndComesBack) {
    start();
    ASSERT_TRUE(waitUntil([&] { return app->focusedId() == kIdServerNickList; }));
    app->pressKey(VK_TAB);
    app->pressKey(VK_TAB);
    ASSERT_TRUE(waitUntil([&] { return app->focusedId() == kIdAddressField; }));

    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == other; }));
    SetForegroundWindow(app->window());
    EXPECT_TRUE(waitUntil([&] { return app->focusedId() == kIdAddressField; }))
        << "focus on " << app->focusedId();
    DestroyWindow(other);
}

TEST_F(HostdeckAppTest, TabAndShiftTabFollowTheTabOrder) {
    start();  // the fields start enabled, so all of them take the focus
    app->clickControl(kIdNicknameField);
    ASSERT_TRUE(waitUntil([&] { return app->focusedId() == kIdNicknameField; }));
    app->pressKey(VK_TAB, false, true);
    ASSERT_TRUE(waitUntil([&] { return app->focusedId() == kIdServerNickList; }));

    const std::vector<int> order{kIdNicknameField, kIdAddressField,  kIdPortField,
                                 kIdDeleteButton,  kIdHowToButton,   kIdEditButton,
                                 kIdAddButton,     kIdServerNickList};
    for (int expected : order) {
        app->pressKey(VK_TAB);
        EXPECT_TRUE(waitUntil([&] { return app->focusedId() == expected; }, 3000))
            << "expected " << expected << ", focus on " << app->focusedId();
    }
    for (auto it = order.rbegin() + 1; it != order.rend(); ++it) {
        app->pressKey(VK_TAB, false, true);
        const int expected = *it;
        EXPECT_TRUE(waitUntil([&] { return app->focusedId() == expected; }, 3000))
            << "expected " << expected << ", focus on " << app->focusedId();
    }
}

TEST_F(HostdeckAppTest, SelectEditTypeAddAndDeleteReachTheFile) {
    start();
    app->clickListItem(1);
    ASSERT_TRUE(waitUntil([&] { return fields() == Items{L"Club", L"club.example", L"2300"}; }));
    EXPECT_TRUE(fieldsDisabled());
    EXPECT_EQ(app->currentListItem(), 1);

    app->pressKey('E', true);
    ASSERT_TRUE(waitUntil([&] { return fieldsEnabled(); }));
    EXPECT_EQ(app->listItems(), (Items{L"Home", L"Lan"}));
    EXPECT_EQ(fields(), (Items{L"Club", L"club.example", L"2300"}));
    EXPECT_EQ(app->currentListItem(), LB_ERR);

    app->clickControl(kIdPortField);
    ASSERT_TRUE(waitUntil([&] { return app->focusedId() == kIdPortField; }));
    app->pressKey(VK_END);
    for (int i = 0; i < 4; ++i) app->pressKey(VK_BACK);
    app->type(L"2301");
    ASSERT_TRUE(waitUntil([&] { return app->text(kIdPortField) == L"2301"; }));
    EXPECT_EQ(app->text(kIdNicknameField), L"Club") << "typing changes only that field";

    app->pressKey('A', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 3; }));
    EXPECT_EQ(app->listItems(), (Items{L"Home", L"Lan", L"Club"}));

    app->clickListItem(0);
    ASSERT_TRUE(waitUntil([&] { return fields()[0] == L"Home"; }));
    app->pressKey('D', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 2; }));
    EXPECT_EQ(app->listItems(), (Items{L"Lan", L"Club"}));
    EXPECT_EQ(fields(), (Items{L"Home", L"10.0.0.5", L"99"})) << "delete leaves the fields";
    EXPECT_EQ(app->currentListItem(), LB_ERR);

    ASSERT_TRUE(app->close());
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Lan#192.168.1.2#47624\r\nClub#club.example#2301\r\n");
}

// Text the file cannot hold is refused, and an entry out for editing always goes back.
TEST_F(HostdeckAppTest, NothingTypedIsLostOrChangedOnTheWayToTheFile) {
    start();
    setText(kIdNicknameField, L"a#b");
    app->pressKey('A', true);
    EXPECT_NE(answerMessageBox(IDOK).find(L"The nickname holds \"#\""), std::wstring::npos);
    EXPECT_EQ(app->listItems().size(), 3u);
    EXPECT_EQ(app->text(kIdNicknameField), L"a#b") << "left for the user to correct";

    app->clickListItem(2);
    ASSERT_TRUE(waitUntil([&] { return fieldsDisabled(); }));
    app->pressKey('E', true);  // Lan is out for editing
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 2; }));
    setText(kIdPortField, L"100");
    app->clickListItem(1);  // Club: Lan goes back first
    ASSERT_TRUE(waitUntil([&] { return fields()[0] == L"Club"; }));
    EXPECT_EQ(app->listItems(), (Items{L"Home", L"Club", L"Lan"}));

    app->pressKey('E', true);  // Club is out for editing
    ASSERT_TRUE(waitUntil([&] { return fieldsEnabled(); }));
    setText(kIdNicknameField, L";Club");
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    EXPECT_NE(answerMessageBox(IDNO).find(L"begins with \";\""), std::wstring::npos);
    EXPECT_FALSE(app->waitForExit(500)) << "No goes back to the window";
    setText(kIdNicknameField, L"Club 2");
    ASSERT_TRUE(app->close());
    EXPECT_EQ(temp.read(L"serverlist.ini"),
              "Home#10.0.0.5#99\r\nLan#192.168.1.2#100\r\nClub 2#club.example#2300\r\n");
}

// Another program (or another Hostdeck) wrote the file while this window was open.
TEST_F(HostdeckAppTest, ChangedFileIsNeverReplacedWithoutAsking) {
    start();
    app->pressKey('A', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 4; }));
    temp.write(L"serverlist.ini", "Other#1#2\r\n");
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    EXPECT_NE(answerMessageBox(IDCANCEL).find(L"changed by another program"), std::wstring::npos);
    EXPECT_FALSE(app->waitForExit(500)) << "Cancel goes back to the window";
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    answerMessageBox(IDNO);
    EXPECT_TRUE(app->waitForExit(15000));
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Other#1#2\r\n");

    // At the end of the session nobody can be asked: both lists are kept.
    start();
    app->pressKey('A', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 2; }));
    temp.write(L"serverlist.ini", "Third#3#4\r\n");
    SendMessageW(app->window(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(app->window(), WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(app->close());
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Third#3#4\r\n");
    const std::string copy = temp.read(L"serverlist (not saved 1).ini");
    EXPECT_NE(copy.find("; Hostdeck kept this copy"), std::string::npos);
    EXPECT_NE(copy.find("\r\nOther#1#2\r\n##\r\n"), std::string::npos);

    start();  // and says so at the next start
    EXPECT_NE(answerMessageBox(IDOK).find(temp.file(L"serverlist (not saved 1).ini")),
              std::wstring::npos);
    EXPECT_TRUE(app->close());
}

TEST_F(HostdeckAppTest, AddWithEmptyFieldsAndButtonsPressedByMouse) {
    start();
    app->clickControl(kIdAddButton);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 4; }));
    app->clickListItem(3);
    app->clickControl(kIdDeleteButton);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 3; }));
    app->clickControl(kIdEditButton);  // nothing current: takes the first entry
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 2; }))
        << app->listItems().size() << " items, current " << app->currentListItem() << ", fields "
        << testing::narrowForTrace(app->text(kIdNicknameField).c_str());
    EXPECT_EQ(fields(), (Items{L"Home", L"10.0.0.5", L"99"}));
    app->clickControl(kIdAddButton);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 3; }));
    app->clickControl(kIdAddButton);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 4; }));
    ASSERT_TRUE(app->close());
    EXPECT_EQ(temp.read(L"serverlist.ini"),
              "Club#club.example#2300\r\nLan#192.168.1.2#47624\r\nHome#10.0.0.5#99\r\nHome#10.0.0."
              "5#99\r\n");
}

TEST(HostdeckProgramTest, CarriesTheGlobeIconIn32And16Pixels) {
    HMODULE program =
        LoadLibraryExW((testing::testProgramFolder() + L"\\hostdeck.exe").c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    for (int size : {32, 16}) {
        HICON icon =
            static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(program);
}

TEST(HostdeckProgramTest, IsBuiltWithAslrAndDep) {
    const std::wstring path = testing::testProgramFolder() + L"\\hostdeck.exe";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string image(4096, '\0');
    DWORD got = 0;
    ReadFile(file, image.data(), static_cast<DWORD>(image.size()), &got, nullptr);
    CloseHandle(file);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image.data() + dos->e_lfanew);
    const WORD flags = nt->OptionalHeader.DllCharacteristics;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_F(HostdeckAppTest, HowToOpensTheDocumentBesideTheProgram) {
    // Text files open in the recording stand-in for this test.
    ASSERT_TRUE(CopyFileW((testing::testProgramFolder() + L"\\howto.txt").c_str(),
                          temp.file(L"howto.txt").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((testing::testProgramFolder() + L"\\standin_game.exe").c_str(),
                          temp.file(L"viewer.exe").c_str(), FALSE));
    wchar_t previous[256] = {};
    LONG previousSize = sizeof previous;
    const bool hadAssociation =
        RegQueryValueW(HKEY_CLASSES_ROOT, L".txt", previous, &previousSize) == ERROR_SUCCESS;
    {
        ScratchRegistryKey command(HKEY_CLASSES_ROOT, L"Hostdeck.TestText\\shell\\open\\command",
                                   0);
        command.setText(L"", L"\"" + temp.file(L"viewer.exe") + L"\" \"%1\"");
        RegSetValueW(HKEY_CLASSES_ROOT, L".txt", REG_SZ, L"Hostdeck.TestText", 0);
        start();
        app->pressKey('H', true);
        const auto lines = testing::waitForLines(temp.file(L"launches.txt"), 1, 20000);
        if (hadAssociation) RegSetValueW(HKEY_CLASSES_ROOT, L".txt", REG_SZ, previous, 0);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Hostdeck.TestText");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(temp.file(L"howto.txt")), std::wstring::npos);
    }
    EXPECT_EQ(app->findMessageBox(), nullptr);
    EXPECT_TRUE(app->close());
}

class HostdeckLaunchTest : public HostdeckAppTest {
  protected:
    // The stand-in game, installed where the registry says.
    void installGame() {
        CreateDirectoryW(install.c_str(), nullptr);
        CreateDirectoryW((install + L"\\exe").c_str(), nullptr);
        ASSERT_TRUE(CopyFileW((testing::testProgramFolder() + L"\\standin_game.exe").c_str(),
                              (install + L"\\exe\\vantorel.exe").c_str(), FALSE));
        gameKey.setText(kGamePathValue, install);
    }
    ScratchRegistryKey gameKey{HKEY_LOCAL_MACHINE, kGameKey, KEY_WOW64_32KEY};
    const std::wstring install = temp.file(L"Game Folder");
};

TEST_F(HostdeckLaunchTest, DoubleClickStartsTheGameForThatEntry) {
    installGame();
    start();
    app->clickListItem(2, true);
    const auto lines = testing::waitForLines(install + L"\\exe\\launches.txt", 1, 20000);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::to_wstring(SW_SHOWNORMAL) + L"|" + install +
                            L"\\exe\\vantorel.exe -s192.168.1.2:47624");
    EXPECT_EQ(fields(), (Items{L"Lan", L"192.168.1.2", L"47624"}));
    EXPECT_TRUE(fieldsDisabled());
    EXPECT_EQ(app->findMessageBox(), nullptr);
}

TEST_F(HostdeckLaunchTest, EnterOnTheListStartsTheGameWithoutAMouse) {
    installGame();
    start();
    ASSERT_TRUE(waitUntil([&] { return app->focusedId() == kIdServerNickList; }));
    app->pressKey(VK_RETURN);  // no current entry: nothing happens
    app->pressKey(VK_DOWN);
    app->pressKey(VK_DOWN);
    ASSERT_TRUE(waitUntil([&] { return fields()[0] == L"Club"; }));
    app->pressKey(VK_RETURN);
    const auto lines = testing::waitForLines(install + L"\\exe\\launches.txt", 2, 8000);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::to_wstring(SW_SHOWNORMAL) + L"|" + install +
                            L"\\exe\\vantorel.exe -sclub.example:2300");
    EXPECT_EQ(app->findMessageBox(), nullptr);
}

TEST_F(HostdeckLaunchTest, GameNotInstalledIsShownAndTheWindowStaysUsable) {
    start();
    app->clickListItem(0, true);
    HWND box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = app->findMessageBox()) != nullptr; }));
    EXPECT_NE(AppDriver::messageBoxText(box).find(L"install folder was not found"),
              std::wstring::npos);
    dismissMessageBox(box);
    app->pressKey('D', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 2; }));
    ASSERT_TRUE(app->close());
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Club#club.example#2300\r\nLan#192.168.1.2#47624\r\n");
}

TEST_F(HostdeckAppTest, SaveFailureIsShownAndTheFileKept) {
    start();
    temp.setReadOnly(L"serverlist.ini", true);
    app->pressKey('A', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 4; }));
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = app->findMessageBox()) != nullptr; }));
    EXPECT_NE(AppDriver::messageBoxText(box).find(temp.file(L"serverlist.ini")),
              std::wstring::npos);
    dismissMessageBox(box);
    EXPECT_TRUE(app->waitForExit(15000)) << "closing goes on after the message";
    temp.setReadOnly(L"serverlist.ini", false);
    EXPECT_EQ(temp.read(L"serverlist.ini"), kList);
}

TEST_F(HostdeckAppTest, UnreadableListIsReportedAndNeverOverwritten) {
    // Another program holds the list file open without sharing it.
    HANDLE lock = CreateFileW(temp.file(L"serverlist.ini").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    start();
    HWND box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = app->findMessageBox()) != nullptr; }));
    EXPECT_NE(AppDriver::messageBoxText(box).find(L"could not be read"), std::wstring::npos);
    dismissMessageBox(box);
    EXPECT_TRUE(app->listItems().empty());
    CloseHandle(lock);

    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return (box = app->findMessageBox()) != nullptr; }));
    dismissMessageBox(box);
    EXPECT_TRUE(app->waitForExit(15000));
    EXPECT_EQ(temp.read(L"serverlist.ini"), kList);
}

TEST_F(HostdeckAppTest, EndOfSessionSavesOnce) {
    start();
    app->pressKey('A', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 4; }));
    EXPECT_EQ(SendMessageW(app->window(), WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(app->window(), WM_ENDSESSION, TRUE, 0);
    const std::string saved =
        "Home#10.0.0.5#99\r\nClub#club.example#2300\r\nLan#192.168.1.2#47624\r\n##\r\n";
    EXPECT_EQ(temp.read(L"serverlist.ini"), saved);
    temp.write(L"serverlist.ini", "changed by hand\r\n");
    ASSERT_TRUE(app->close());
    EXPECT_EQ(temp.read(L"serverlist.ini"), "changed by hand\r\n")
        << "saved once, not again on close";
}

}  // namespace
}  // namespace hostdeck
