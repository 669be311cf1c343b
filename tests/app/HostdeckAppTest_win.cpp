// The real program, started as the user starts it.
#include <gtest/gtest.h>

#include "app/FormLayout.h"
#include "platform/ProgramFolder.h"
#include "support/TempFolder.h"
#include "support/TestSupport_win.h"

namespace hostdeck {
namespace {

using testing::waitUntil;

// A key pressed and let go, with Alt held when asked.
void press(BYTE key, bool alt = false) {
    if (alt) keybd_event(VK_MENU, 0, 0, 0);
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    if (alt) keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
}

// Started from another folder, it shows the list file beside it, takes real keys through
// its message loop, and saves the list when closed.
TEST(HostdeckAppTest, ShowsTheListBesideItTakesRealInputAndSavesOnClose) {
    testing::TempFolder temp;
    temp.write(L"serverlist.ini", "Home#10.0.0.5#99\r\nClub#club.example#2300\r\n");
    const std::wstring exe = temp.file(L"hostdeck.exe");
    ASSERT_TRUE(CopyFileW((programFolder() + L"\\hostdeck.exe").c_str(), exe.c_str(), FALSE));
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    const UniqueKernelHandle process(started.hProcess), thread(started.hThread);
    HWND window = nullptr;
    // Shown once it has loaded the list; in front once it takes input.
    ASSERT_TRUE(waitUntil(
        [&] { return (window = FindWindowW(kWindowClass, nullptr)) && IsWindowVisible(window); },
        30000));
    WaitForInputIdle(process.get(), 10000);
    ASSERT_TRUE(
        waitUntil([&] { return SetForegroundWindow(window) && GetForegroundWindow() == window; }));
    HWND list = GetDlgItem(window, kIdServerNickList);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    press(VK_HOME);  // the focus starts on the list: its first item
    ASSERT_TRUE(waitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }));
    press('D', true);  // Delete Server
    EXPECT_TRUE(waitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.get(), 15000), WAIT_OBJECT_0);
    EXPECT_EQ(temp.read(L"serverlist.ini"), "Club#club.example#2300\r\n");
}

}  // namespace
}  // namespace hostdeck
