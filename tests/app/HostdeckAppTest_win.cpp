// The real program under Wine, driven through its window with messages and real input, each
// test walking one of the user's paths.
#include <gtest/gtest.h>

#include <memory>

#include "app/AppDriver_win.h"
#include "app/FormLayout.h"
#include "launch/ServerLaunch.h"
#include "platform/FileStore.h"
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
constexpr auto npos = std::wstring::npos;

class HostdeckAppTest : public ::testing::Test {
  protected:
    void SetUp() override { temp.write(L"serverlist.ini", kList); }
    void start() { app = std::make_unique<AppDriver>(temp.path()); }
    // The stand-in game, installed where the registry says.
    std::wstring installGame() {
        const std::wstring folder = temp.file(L"Game Folder");
        CreateDirectoryW(folder.c_str(), nullptr);
        CreateDirectoryW((folder + L"\\exe").c_str(), nullptr);
        CopyFileW((testing::testProgramFolder() + L"\\standin_game.exe").c_str(),
                  (folder + L"\\exe\\vantorel.exe").c_str(), FALSE);
        gameKey.setText(kGamePathValue, folder);
        return folder;
    }

    testing::TempFolder temp;
    ScratchRegistryKey gameKey{HKEY_LOCAL_MACHINE, kGameKey, KEY_WOW64_32KEY};
    std::unique_ptr<AppDriver> app;
};

TEST_F(HostdeckAppTest, OpensWithTheListAndTheLayoutTheUserExpects) {
    start();
    EXPECT_EQ(app->listItems(), (Items{L"Home", L"Club", L"Lan"}));
    EXPECT_EQ(app->currentListItem(), LB_ERR);
    EXPECT_EQ(app->fields() + app->fieldsEnabled(), L"||+++");
    wchar_t caption[128] = {};
    GetWindowTextW(app->window(), caption, 128);
    EXPECT_STREQ(caption, kFormCaption);
    EXPECT_TRUE(GetWindowLongW(app->window(), GWL_STYLE) & WS_THICKFRAME);
    RECT client{}, frame{};
    GetClientRect(app->window(), &client);
    GetWindowRect(app->window(), &frame);
    EXPECT_EQ(client.right * 1000 + client.bottom, 525 * 1000 + 270);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    for (const ControlLayout& control : kFormControls) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(control.name)));
        const int id = controlId(control);
        if (!control.shown) {
            EXPECT_EQ(app->control(id), nullptr) << "hidden lists are data, not windows";
            continue;
        }
        const RECT rect = app->controlRect(id);
        EXPECT_EQ(rect.left * 1000 + rect.top, control.left / 15 * 1000 + control.top / 15);
        if (control.sizedToText) {
            EXPECT_LT(rect.bottom - rect.top, 20) << "one line of 8-point text";
        } else {
            EXPECT_EQ(rect.right - rect.left, control.width / 15);
            EXPECT_EQ(rect.bottom - rect.top, control.height / 15);
        }
        EXPECT_EQ(app->text(id), control.caption);
        // Windows, and so a screen reader, names a control after the caption before it.
        if (control.names) {
            HWND named = GetWindow(app->control(id), GW_HWNDNEXT);
            EXPECT_EQ(GetDlgCtrlID(named), controlId(control.names));
        }
    }
    EXPECT_EQ(app->controlRect(kIdHowToButton).right, 526) << "one pixel past the client area";

    // The focus starts on the list and follows the tab order both ways.
    EXPECT_TRUE(waitUntil([&] { return app->focusedId() == kIdServerNickList; }));
    const std::vector<int> order{kIdNicknameField, kIdAddressField,  kIdPortField,
                                 kIdDeleteButton,  kIdHowToButton,   kIdEditButton,
                                 kIdAddButton,     kIdServerNickList};
    std::vector<int> backwards(order.rbegin() + 1, order.rend());
    backwards.push_back(kIdServerNickList);
    for (const bool shift : {false, true}) {
        for (const int expected : shift ? backwards : order) {
            app->pressKey(VK_TAB, false, shift);
            EXPECT_TRUE(waitUntil([&] { return app->focusedId() == expected; }, 3000))
                << "expected " << expected << ", focus on " << app->focusedId();
        }
    }
}

TEST_F(HostdeckAppTest, EditingWithMouseAndKeysReachesTheFile) {
    start();
    app->clickListItem(1);
    ASSERT_TRUE(waitUntil([&] { return app->fields() == L"Club|club.example|2300"; }));
    EXPECT_EQ(app->fieldsEnabled() + std::to_wstring(app->currentListItem()), L"---1");
    app->pressKey('E', true);  // Club is out for editing
    ASSERT_TRUE(waitUntil([&] { return app->fieldsEnabled() == L"+++"; }));
    EXPECT_EQ(app->listItems(), (Items{L"Home", L"Lan"}));
    app->clickControl(kIdPortField);
    ASSERT_TRUE(waitUntil([&] { return app->focusedId() == kIdPortField; }));
    app->pressKey(VK_END);
    app->pressKey(VK_BACK);
    app->type(L"1");
    ASSERT_TRUE(waitUntil([&] { return app->fields() == L"Club|club.example|2301"; }));
    app->setText(kIdNicknameField, L"Cl#ub");
    app->pressKey('A', true);
    EXPECT_NE(app->answerMessageBox().find(L"The nickname holds \"#\""), npos);
    EXPECT_EQ(app->listItems().size(), 2u);
    app->setText(kIdNicknameField, L"Club");
    app->pressKey('A', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 3; }));

    app->clickListItem(0);  // Home
    ASSERT_TRUE(waitUntil([&] { return app->fieldsEnabled() == L"---"; }));
    app->clickControl(kIdDeleteButton);
    ASSERT_TRUE(waitUntil([&] { return app->listItems() == Items{L"Lan", L"Club"}; }));
    EXPECT_EQ(app->fields() + std::to_wstring(app->currentListItem()), L"Home|10.0.0.5|99-1");
    app->clickControl(kIdAddButton);   // a copy of what the fields show
    app->clickControl(kIdEditButton);  // nothing current: takes the first entry, Lan
    ASSERT_TRUE(waitUntil([&] { return app->listItems() == Items{L"Club", L"Home"}; }));
    app->setText(kIdPortField, L"1");
    app->clickListItem(1);  // Lan goes back before Home fills the fields
    ASSERT_TRUE(waitUntil([&] { return app->fields() == L"Home|10.0.0.5|99"; }));
    app->pressKey('E', true);  // Home is out for editing
    ASSERT_TRUE(waitUntil([&] { return app->fieldsEnabled() == L"+++"; }));
    app->setText(kIdNicknameField, L";Home");
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    EXPECT_NE(app->answerMessageBox(IDNO).find(L"begins with \";\""), npos);
    EXPECT_FALSE(app->waitForExit(500)) << "No goes back to the window";
    app->setText(kIdNicknameField, L"Home 2");
    ASSERT_TRUE(app->close());
    EXPECT_EQ(temp.read(L"serverlist.ini"),
              "Club#club.example#2301\r\nLan#192.168.1.2#1\r\nHome 2#10.0.0.5#99\r\n");
}

TEST_F(HostdeckAppTest, DoubleClickOrEnterStartsTheGame) {
    const std::wstring game = installGame();
    start();
    ASSERT_TRUE(waitUntil([&] { return app->focusedId() == kIdServerNickList; }));
    app->pressKey(VK_RETURN);  // no current entry: nothing happens
    app->pressKey(VK_DOWN);
    app->pressKey(VK_DOWN);
    ASSERT_TRUE(waitUntil([&] { return app->fields() == L"Club|club.example|2300"; }));
    app->pressKey(VK_RETURN);
    testing::waitForLines(game + L"\\exe\\launches.txt", 1);
    app->clickListItem(2, true);
    const std::wstring started =
        std::to_wstring(SW_SHOWNORMAL) + L"|" + game + L"\\exe\\vantorel.exe -s";
    EXPECT_EQ(testing::waitForLines(game + L"\\exe\\launches.txt", 3, 3000),
              (Items{started + L"club.example:2300", started + L"192.168.1.2:47624"}));
    EXPECT_EQ(app->fields() + app->fieldsEnabled(), L"Lan|192.168.1.2|47624---");

    gameKey.setText(kGamePathValue, L"");
    app->clickListItem(0, true);
    EXPECT_NE(app->answerMessageBox().find(L"install folder was not found"), npos);
    app->pressKey('D', true);  // the window is still usable
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 2; }));
    ASSERT_TRUE(app->close());
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Club#club.example#2300\r\nLan#192.168.1.2#47624\r\n");
}

// Another program (or another Hostdeck) writes the file, or holds it: the user's list is
// never replaced unasked, and what cannot be saved is kept beside it.
TEST_F(HostdeckAppTest, TheListFileIsNeverLostOrReplacedUnasked) {
    start();
    app->pressKey('A', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 4; }));
    temp.write(L"serverlist.ini", "Other#1#2\r\n");
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    EXPECT_NE(app->answerMessageBox(IDCANCEL).find(L"changed by another program"), npos);
    EXPECT_FALSE(app->waitForExit(500)) << "Cancel goes back to the window";
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    app->answerMessageBox(IDNO);
    ASSERT_TRUE(app->waitForExit(15000));
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Other#1#2\r\n");

    start();  // the end of the session: saved once, then nobody can be asked
    app->pressKey('A', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 2; }));
    SendMessageW(app->window(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(app->window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Other#1#2\r\n##\r\n");
    temp.write(L"serverlist.ini", "Third#3#4\r\n");
    SendMessageW(app->window(), WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(app->close());
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Third#3#4\r\n") << "saved once, not again on close";

    start();
    app->pressKey('A', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 2; }));
    temp.write(L"serverlist.ini", "Fourth#5#6\r\n");
    SendMessageW(app->window(), WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(app->close());
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Fourth#5#6\r\n");
    const std::string copy = temp.read(L"serverlist (not saved 1).ini");
    EXPECT_TRUE(copy.starts_with("; Hostdeck kept this copy")) << copy;
    EXPECT_TRUE(copy.ends_with("\r\nThird#3#4\r\n##\r\n")) << copy;

    temp.setReadOnly(L"serverlist.ini", true);
    start();  // tells of the copy; cannot save to a read-only file
    EXPECT_NE(app->answerMessageBox().find(temp.file(L"serverlist (not saved 1).ini")), npos);
    app->pressKey('A', true);
    ASSERT_TRUE(waitUntil([&] { return app->listItems().size() == 2; }));
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    EXPECT_NE(app->answerMessageBox().find(temp.file(L"serverlist.ini")), npos);
    EXPECT_TRUE(app->waitForExit(15000)) << "closing goes on after the message";
    temp.setReadOnly(L"serverlist.ini", false);

    UniqueKernelHandle lock(CreateFileW(temp.file(L"serverlist.ini").c_str(), GENERIC_READ, 0,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
    start();  // a list that cannot be read is never overwritten
    const std::wstring first = app->answerMessageBox(), second = app->answerMessageBox();
    EXPECT_NE((first + second).find(L"could not be read"), npos) << ::testing::PrintToString(first);
    EXPECT_TRUE(app->listItems().empty());
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    app->answerMessageBox();
    EXPECT_TRUE(app->waitForExit(15000));
    lock.reset();
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Fourth#5#6\r\n");
}

TEST_F(HostdeckAppTest, HowToOpensTheDocumentAndTheFocusComesBack) {
    CopyFileW((testing::testProgramFolder() + L"\\howto.txt").c_str(),
              temp.file(L"howto.txt").c_str(), FALSE);
    CopyFileW((testing::testProgramFolder() + L"\\standin_game.exe").c_str(),
              temp.file(L"viewer.exe").c_str(), FALSE);
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
        app->pressKey(VK_TAB);
        app->pressKey('H', true);
        const auto lines = testing::waitForLines(temp.file(L"launches.txt"), 1);
        if (hadAssociation) RegSetValueW(HKEY_CLASSES_ROOT, L".txt", REG_SZ, previous, 0);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Hostdeck.TestText");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(temp.file(L"howto.txt")), npos);
    }
    EXPECT_FALSE(app->messageBoxShown());

    const int focused = app->focusedId();
    ASSERT_NE(focused, 0);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == other; }));
    SetForegroundWindow(app->window());
    EXPECT_TRUE(waitUntil([&] { return app->focusedId() == focused; }))
        << "focus on " << app->focusedId() << ", not " << focused;
    DestroyWindow(other);
}

TEST(HostdeckProgramTest, CarriesTheGlobeIconAndIsBuiltWithAslrAndDep) {
    const std::wstring path = testing::testProgramFolder() + L"\\hostdeck.exe";
    HMODULE program = LoadLibraryExW(path.c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    for (int size : {32, 16}) {
        HICON icon =
            static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth * 1000 + colour.bmHeight, size * 1000 + size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(program);
    std::string image;
    ASSERT_TRUE(makeSystemFileStore()->readAll(path, image).ok());
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image.data() + dos->e_lfanew);
    const WORD flags = nt->OptionalHeader.DllCharacteristics;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

}  // namespace
}  // namespace hostdeck
