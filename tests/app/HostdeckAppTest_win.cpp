// The real program, started as the user starts it, with the prefix's real registry, a stand-in
// game that records how it was started, and rundll32 for the Open With dialog.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>

#include "launch/DesktopStart.h"
#include "form/FormLayout.h"
#include "document/mDocumenteOeffnen.h"
#include "launch/ServerLaunch.h"
#include "platform/Clipboard_win.h"
#include "platform/FileStore.h"
#include "platform/ProgramFolder.h"
#include "platform/UniqueHandle_win.h"
#include "support/TempFolder.h"

namespace hostdeck {
namespace {

const std::wstring kStandIn = programFolder() + L"\\standin_game.exe";

// The program under test: this build's, or the one HOSTDECK_APP_EXE names (the shipped 32-bit
// build, started under emulation where the machine cannot run it natively).
std::wstring programUnderTest() {
    wchar_t path[MAX_PATH * 4] = {};
    if (GetEnvironmentVariableW(L"HOSTDECK_APP_EXE", path, MAX_PATH * 4)) return path;
    return programFolder() + L"\\hostdeck.exe";
}

// How much longer than usual each wait may take: HOSTDECK_WAIT_SCALE, 1 when not set.
DWORD scaled(DWORD ms) {
    wchar_t scale[16] = {};
    GetEnvironmentVariableW(L"HOSTDECK_WAIT_SCALE", scale, 16);
    return ms * std::max(1UL, std::wcstoul(scale, nullptr, 10));
}

// Waits until `condition` holds, checking every few milliseconds; false on time-out.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000) {
    for (const ULONGLONG deadline = GetTickCount64() + scaled(timeoutMs); !condition(); Sleep(20))
        if (GetTickCount64() > deadline) return false;
    return true;
}

// What the stand-in game recorded in `path` ("<show state>|<command line>" a line, UTF-16),
// once it holds a line.
std::wstring recordedLaunch(const std::wstring& path) {
    std::wstring text;
    waitUntil([&] {
        std::string bytes;
        static_cast<void>(makeSystemFileStore()->readAll(path, bytes));  // none yet: wait on
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        return text.ends_with(L"\n");
    });
    return text;
}

// A key below HKEY_LOCAL_MACHINE in one registry view, deleted with all it holds afterwards.
struct ScratchRegistryKey {
    ScratchRegistryKey(REGSAM view, const wchar_t* value, const std::wstring& text, DWORD type)
        : view(view) {
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGameKey, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                        key.put(), nullptr);
        RegSetValueExW(key.get(), value, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    ~ScratchRegistryKey() {
        RegDeleteTreeW(key.get(), nullptr);
        key.reset();
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kGameKey, view, 0);
    }
    REGSAM view;
    UniqueRegistryKey key;
};

// A key pressed and let go, with Alt, Ctrl or Shift held when asked.
void press(BYTE key, BYTE held = 0) {
    if (held) keybd_event(held, 0, 0, 0);
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    if (held) keybd_event(held, 0, KEYEVENTF_KEYUP, 0);
}

// Starts the program with these arguments; the process.
UniqueKernelHandle startProgram(const std::wstring& exe, const std::wstring& arguments = L"") {
    std::wstring commandLine = L"\"" + exe + L"\"" + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        ADD_FAILURE() << "the program did not start: error " << GetLastError();
        return {};
    }
    CloseHandle(started.hThread);
    return UniqueKernelHandle(started.hProcess);
}

// Empty while the process runs or ended well; otherwise why it ended, so that a program that
// could not even start (a 32-bit program without the prefix's 32-bit half, a missing DLL) fails
// the test at once rather than after its waits.
std::string whyEnded(HANDLE process) {
    DWORD code = STILL_ACTIVE;
    if (!GetExitCodeProcess(process, &code) || code == STILL_ACTIVE || code == 0) return {};
    char why[48] = {};
    std::snprintf(why, sizeof why, "the program ended with status 0x%08lX", code + 0UL);
    return why + std::string(code == 0xC0000135 ? ": a DLL it needs is missing (a 32-bit program "
                                                  "in a Wine prefix without its 32-bit half)"
                                                : "");
}

// Started from another folder, it shows the list file beside it (UTF-8 here), takes real keys
// through its message loop, starts the game from the install folder in the 32-bit programs'
// registry view (expanded, with blanks and no quotes), and ends with the Windows session.
TEST(HostdeckAppTest, StartsTheGameFromRealInputAndEndsWithWindows) {
    fakes::TempFolder temp;
    temp.write(L"serverlist.ini", "Home#10.0.0.5#99\r\nClub#my host \xC3\xA9\xD0\x96#2300\r\n");
    const std::wstring exe = temp.file(L"hostdeck.exe");
    ASSERT_TRUE(CopyFileW(programUnderTest().c_str(), exe.c_str(), FALSE)) << "no program";
    // Unquoted, "<temp>\Test Games\..." would first try to run the decoy "<temp>\Test.exe".
    ASSERT_TRUE(CopyFileW(kStandIn.c_str(), temp.file(L"Test.exe").c_str(), FALSE));
    std::filesystem::create_directories(temp.fsPath(L"Test Games\\exe"));
    const std::wstring game = temp.file(L"Test Games\\exe\\vantorel.exe");
    ASSERT_TRUE(CopyFileW(kStandIn.c_str(), game.c_str(), FALSE));
    const ScratchRegistryKey native(KEY_WOW64_64KEY, kGamePathValue, L"C:\\Nowhere", REG_SZ);
    const ScratchRegistryKey wow(KEY_WOW64_32KEY, kGamePathValue, L"%HOSTDECK_TEST% Games",
                                 REG_EXPAND_SZ);
    SetEnvironmentVariableW(L"HOSTDECK_TEST", temp.file(L"Test").c_str());  // inherited

    // Started by a nickname, or by what a desktop shortcut carries (exactly that server, whatever
    // the list holds), the game starts without the window, and nothing is written.
    for (const auto& [arguments, server] :
         {std::pair<std::wstring, std::wstring>{L" \"cLUB\" ", L"my host \u00E9\u0416:2300"},
          {L" " + shortcutArguments(L"10.0.0.77", L"99"), L"10.0.0.77:99"}}) {
        const UniqueKernelHandle quick = startProgram(exe, arguments);
        ASSERT_TRUE(quick);
        ASSERT_EQ(WaitForSingleObject(quick.get(), scaled(30000)), WAIT_OBJECT_0);
        ASSERT_EQ(whyEnded(quick.get()), "");
        EXPECT_EQ(recordedLaunch(temp.file(L"Test Games\\exe\\launches.txt")),
                  L"1|" + game + L" -s" + server + L"\n");
        DeleteFileW(temp.file(L"Test Games\\exe\\launches.txt").c_str());
    }

    const UniqueKernelHandle process = startProgram(exe, L" Nobody");
    ASSERT_TRUE(process);
    HWND window = nullptr;
    // Shown once it has loaded the list; in front once it takes input.
    ASSERT_TRUE(waitUntil(
        [&] {
            return ((window = FindWindowW(kWindowClass, nullptr)) && IsWindowVisible(window)) ||
                   WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
        },
        30000))
        << "the window was not shown";
    ASSERT_TRUE(window) << "the program ended before it showed its window; "
                        << whyEnded(process.get());
    HWND note = nullptr;  // the window says which server it could not start
    ASSERT_TRUE(waitUntil([&] { return (note = FindWindowW(L"#32770", L"Hostdeck")) != nullptr; }));
    wchar_t said[512] = {};
    GetDlgItemTextW(note, 0xFFFF, said, 512);
    EXPECT_NE(std::wstring(said).find(L"\"Nobody\""), std::wstring::npos) << said;
    PostMessageW(note, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(note); }));
    WaitForInputIdle(process.get(), scaled(10000));
    const auto inFront = [&] {
        return SetForegroundWindow(window) && GetForegroundWindow() == window;
    };
    ASSERT_TRUE(waitUntil(inFront)) << "the window did not come to the front";
    HWND list = GetDlgItem(window, kIdServerNickList);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    press(VK_HOME);  // the focus starts on the list: its first item, then the next
    press(VK_DOWN);
    ASSERT_TRUE(waitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 1; }))
        << "the keys did not select the second entry";
    press(VK_RETURN);  // starts the game, as a double-click does
    EXPECT_EQ(recordedLaunch(temp.file(L"Test Games\\exe\\launches.txt")),
              L"1|" + game + L" -smy host \u00E9\u0416:2300\n");
    EXPECT_EQ(temp.read(L"launches.txt"), "<missing>") << "the decoy ran";
    ASSERT_TRUE(waitUntil(inFront)) << "the window did not come back to the front";
    press('D', VK_MENU);  // Delete Server
    EXPECT_TRUE(waitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }))
        << "Alt+D did not delete the entry";
    press(VK_TAB, VK_SHIFT);  // back from the button to the list (the fields are locked)
    press('Z', VK_CONTROL);   // takes the delete back
    EXPECT_TRUE(waitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 2; }))
        << "Ctrl+Z did not take the delete back";
    press(VK_HOME);
    press('C', VK_CONTROL);
    EXPECT_TRUE(waitUntil([] { return clipboardText(nullptr) == L"10.0.0.5:99"; }));
    press(VK_DOWN);
    press(VK_F10, VK_SHIFT);  // the list's menu, once it is open: Copy address
    ASSERT_TRUE(waitUntil([] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)); }));
    press('C');
    EXPECT_TRUE(waitUntil([] { return clipboardText(nullptr) == L"my host \u00E9\u0416:2300"; }));
    press(VK_UP, VK_MENU);  // Club moves up, and stays selected; then back
    EXPECT_TRUE(waitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }))
        << "Alt+Up did not move the entry";
    press(VK_DOWN, VK_MENU);
    EXPECT_TRUE(waitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 1; }));
    // Windows ends while the list's menu is open: the list is settled and the program ends.
    press(VK_F10, VK_SHIFT);
    ASSERT_TRUE(waitUntil([] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)); }));
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_NORMAL,
                                    scaled(10000), &answer) &&
                answer);
    PostMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    ASSERT_EQ(WaitForSingleObject(process.get(), scaled(15000)), WAIT_OBJECT_0)
        << "the program did not end with the Windows session";
    EXPECT_EQ(whyEnded(process.get()), "") << "ended well: its exit code says so";
    EXPECT_EQ(temp.read(L"serverlist.ini"),
              "Home#10.0.0.5#99\r\nClub#my host \xC3\xA9\xD0\x96#2300\r\n")
        << "taken back to what the file holds, the list is not written";
}

// A desktop shortcut, read back as Windows reads it: it runs the program with the nickname, in
// the program's folder, with the program's icon; and as the program reads it back.
TEST(HostdeckAppTest, MakesADesktopShortcutThatStartsTheServer) {
    const ComApartment com;  // as the program has
    fakes::TempFolder temp;
    const std::wstring path = temp.file(L"My Home.lnk");
    ASSERT_TRUE(makeSystemShell()
                    ->createShortcut(path, L"C:\\H\\hostdeck.exe", L"\"My Home\"", L"C:\\H")
                    .ok());
    ComPointer<IShellLinkW> link;
    ComPointer<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, link.put())));
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put())));
    ASSERT_TRUE(SUCCEEDED(file->Load(path.c_str(), STGM_READ)));
    wchar_t read[4][MAX_PATH] = {};  // target, arguments, folder, icon
    int icon = -1;
    link->GetPath(read[0], MAX_PATH, nullptr, 0);
    link->GetArguments(read[1], MAX_PATH);
    link->GetWorkingDirectory(read[2], MAX_PATH);
    link->GetIconLocation(read[3], MAX_PATH, &icon);
    EXPECT_EQ(std::wstring(read[0]) + L"|" + read[1] + L"|" + read[2] + L"|" + read[3] + L"," +
                  std::to_wstring(icon),
              L"C:\\H\\hostdeck.exe|\"My Home\"|C:\\H|C:\\H\\hostdeck.exe,0");
    // What the program reads back of one, to tell whose it is; nothing of another file.
    temp.write(L"Other.lnk", "not a shortcut");
    EXPECT_EQ(makeSystemShell()->shortcutArguments(path), L"\"My Home\"");
    EXPECT_EQ(makeSystemShell()->shortcutArguments(temp.file(L"Other.lnk")), std::nullopt);
}

// With no application for the file's type, the system's Open With dialog comes up through
// rundll32.exe, which the test swaps for the recording stand-in (the Wine runner lets a
// rundll32.exe on disk run instead of Wine's own).
TEST(HostdeckAppTest, NoAssociationRunsOpenWithThroughRundll32) {
    fakes::TempFolder temp;
    const auto shell = makeSystemShell();
    const std::wstring system = shell->systemFolder();
    const std::wstring rundll = system + L"\\rundll32.exe", saved = rundll + L".hostdeck-test";
    ASSERT_TRUE(MoveFileExW(rundll.c_str(), saved.c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(CopyFileW(kStandIn.c_str(), rundll.c_str(), FALSE));
    temp.write(L"howto.hdknone", "text");
    OpenDocument(*shell, temp.file(L"howto.hdknone"));
    const std::wstring line = recordedLaunch(system + L"\\launches.txt");
    DeleteFileW((system + L"\\launches.txt").c_str());
    MoveFileExW(saved.c_str(), rundll.c_str(), MOVEFILE_REPLACE_EXISTING);
    EXPECT_TRUE(line.ends_with(L"shell32.dll,OpenAs_RunDLL " + temp.file(L"howto.hdknone") + L"\n"))
        << line;
}

}  // namespace
}  // namespace hostdeck
