// The program's window inside the test program, with a list file, registry, game and shell of
// the test's own: laid out as measured, and driven by messages along the user's paths.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <deque>

#include "app/FormFont_win.h"
#include "launch/DesktopStart.h"
#include "form/FormLayout.h"
#include "app/frmHostdeck_win.h"
#include "launch/ServerLaunch.h"
#include "platform/Clipboard_win.h"
#include "texts/UserTexts.h"
#include "platform/NewerWindows_win.h"
#include "support/FakeRegistry.h"
#include "support/MemoryFileStore.h"
#include "support/Recorders.h"
#include "support/TempFolder.h"

#include <dlgs.h>
#include <shlobj.h>

namespace hostdeck {
namespace {

using ::testing::HasSubstr;
using namespace std::string_literals;
const std::wstring kList = L"C:\\H\\serverlist.ini";

// Answers this thread's message boxes as the test says they come, in order: each must say what
// the test names (a part of its text) and gets that answer (0 leaves it open). A box the test did
// not name fails the test and is cancelled; one it named that never came fails it at the end.
// A message box is the one window here with a static control of id 0xFFFF; a box with a `file`
// is the Open or Save dialog of that title, given the file (and `said` gets the name offered). The
// wait of a read that a busy machine made slow stays open unless named. With `closeAgain`, the
// window is asked to close once more while each box is open. A box still open 30 s on fails the
// test and is closed: the test ends and says what was open, instead of waiting for ever.
struct MessageBoxAnswers {
    struct Box {
        std::wstring says;
        int answer = IDOK;
        std::wstring file = {};  // typed into the file dialog whose title `says` is, then OK
    };
    std::deque<Box> expected;
    std::wstring said;  // each message followed by "|"
    bool closeAgain = false;
    const HHOOK hook = SetWindowsHookExW(WH_CBT, onEvent, nullptr, GetCurrentThreadId());
    const UINT_PTR ticker = SetTimer(nullptr, 0, 30000, closeLeftOpen);
    HWND openBox = nullptr;  // the box open when the timer last came
    MessageBoxAnswers() { current = this; }
    ~MessageBoxAnswers() {
        KillTimer(nullptr, ticker);
        UnhookWindowsHookEx(hook);
    }
    void expect(std::initializer_list<Box> boxes) { expected.insert(expected.end(), boxes); }
    void expectAllCame() {
        for (const Box& box : std::exchange(expected, {}))
            ADD_FAILURE() << "a message box that never came: " << testing::PrintToString(box.says);
    }
    static LRESULT CALLBACK onEvent(int code, WPARAM wParam, LPARAM lParam) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t text[2048] = {};
        MessageBoxAnswers& self = *current;
        if (code == HCBT_ACTIVATE && !self.expected.empty() &&
            !self.expected.front().file.empty() && GetWindowTextW(box, text, 2048) &&
            self.expected.front().says == text) {
            GetDlgItemTextW(box, cmb13, text, 2048);  // the name the dialog offers
            self.said += L"offered " + std::wstring(text) + L"|";
            SetDlgItemTextW(box, cmb13, self.expected.front().file.c_str());
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            self.expected.pop_front();
        } else if (code == HCBT_ACTIVATE && GetDlgItemTextW(box, 0xFFFF, text, 2048) &&
                   boxFitsScreen(box) &&
                   (!std::wstring_view(text).starts_with(L"Reading ") ||
                    (!self.expected.empty() &&
                     self.expected.front().says.starts_with(L"Reading ")))) {
            self.said += std::wstring(text) + L"|";
            const Box next =
                self.expected.empty() ? Box{L"(none)", IDCANCEL} : self.expected.front();
            if (!self.expected.empty()) self.expected.pop_front();
            EXPECT_NE(std::wstring_view(text).find(next.says), std::wstring_view::npos)
                << "a message box other than the one expected, "
                << testing::PrintToString(next.says) << ": "
                << testing::PrintToString(std::wstring(text));
            if (self.closeAgain) PostMessageW(GetWindow(box, GW_OWNER), WM_CLOSE, 0, 0);
            if (next.answer) PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(next.answer), 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static bool boxFitsScreen(HWND box) {
        MONITORINFO screen{sizeof screen, {}, {}, 0};
        GetMonitorInfoW(MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST), &screen);
        RECT frame{}, inside{};
        GetWindowRect(box, &frame);
        IntersectRect(&inside, &frame, &screen.rcWork);
        return EqualRect(&inside, &frame) || (ADD_FAILURE() << "a box beyond the screen", true);
    }
    static void CALLBACK closeLeftOpen(HWND, UINT, UINT_PTR, DWORD) {
        HWND box = FindWindowW(L"#32770", nullptr);
        wchar_t says[2048] = {};
        if (!box || box != std::exchange(current->openBox, box)) return;
        GetDlgItemTextW(box, 0xFFFF, says, 2048);
        ADD_FAILURE() << "left open, so closed: " << testing::PrintToString(std::wstring(says));
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    }
    static inline MessageBoxAnswers* current = nullptr;
};

class WindowTest : public ::testing::Test {
  protected:
    void start(int show = SW_HIDE) {
        // clang-format off
        form = std::make_unique<frmHostdeck>(GetModuleHandleW(nullptr), FormServices{
            .files = files, .registry = registry, .starter = starter, .shell = shell,
            .folder = L"C:\\H", .listPath = kList, .userFolder = L"C:\\U", .program = L"C:\\H\\hd.exe",
            .desktopFolder = desktop, .startNote = startNote, .filesForReading = filesForReading});
        // clang-format on
        ASSERT_TRUE(form->create(show));
        pump();  // what the window posted to itself; the quit message of a closed window is dropped
    }
    HWND control(int id) const { return GetDlgItem(form->window(), id); }
    void send(UINT message, WPARAM wParam = 0) const {
        SendMessageW(form->window(), message, wParam, 0);
    }
    void command(int id, int notification = BN_CLICKED) const {
        send(WM_COMMAND, MAKEWPARAM(id, notification));
    }
    // On a list item (or below the last one), on the screen.
    POINT pointAt(int item) const {
        RECT place{};
        SendMessageW(control(kIdServerNickList), LB_GETITEMRECT, 0,
                     reinterpret_cast<LPARAM>(&place));
        POINT at{place.left + 2, place.top + 2 + (place.bottom - place.top) * item};
        ClientToScreen(control(kIdServerNickList), &at);
        return at;
    }
    // A click on a list item; a double-click, with the pointer on it (or below the last one).
    void pick(int item, int notification = LBN_SELCHANGE) {
        HWND list = control(kIdServerNickList);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
        const POINT at = pointAt(item);
        SetCursorPos(at.x, at.y);
        PostMessageW(list, WM_NULL, 0, 0);  // the pointer's place for the next message
        pump();
        command(kIdServerNickList, notification);
    }
    // A key with Ctrl (or another modifier), as the keyboard sends it; Alt and a key come as a
    // system key. Held, it comes again `repeats` times, each marked as a repeat.
    void key(HWND to, WPARAM code, BYTE modifier = VK_CONTROL, int repeats = 0) {
        BYTE state[256] = {};
        state[modifier] = 0x80;
        SetKeyboardState(state);
        for (int press = 0; press <= repeats; ++press)
            PostMessageW(to, modifier == VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN, code,
                         press ? 1 | (LPARAM{1} << 30) : 1);
        pump();
        state[modifier] = 0;
        SetKeyboardState(state);
    }
    // The list's menu by Shift+F10, or by a right-click there, and the item of that access key.
    // A key that names no item fails the test and the menu is closed, instead of staying open.
    void menu(wchar_t item, POINT at = {-1, -1}) {
        HWND list = control(kIdServerNickList);
        accessKey = item;
        const HHOOK hook =
            SetWindowsHookExW(WH_CALLWNDPROC, onMenuOpened, nullptr, GetCurrentThreadId());
        PostMessageW(list, WM_CHAR, item, 0);
        SendMessageW(form->window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list),
                     MAKELPARAM(at.x, at.y));
        UnhookWindowsHookEx(hook);
        pump();
    }
    static inline wchar_t accessKey = 0;
    static LRESULT CALLBACK onMenuOpened(int code, WPARAM wParam, LPARAM lParam) {
        const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        std::wstring items;
        for (int i = 0; code == HC_ACTION && sent.message == WM_INITMENUPOPUP &&
                        i < GetMenuItemCount(reinterpret_cast<HMENU>(sent.wParam));
             ++i) {
            wchar_t item[256] = {};
            GetMenuStringW(reinterpret_cast<HMENU>(sent.wParam), static_cast<UINT>(i), item, 256,
                           MF_BYPOSITION);
            const wchar_t* amp = std::wcschr(item, L'&');
            if (amp && std::towlower(amp[1]) == std::towlower(accessKey))
                return CallNextHookEx(nullptr, code, wParam, lParam);
            items += std::wstring(L" \"") + item + L"\"";
        }
        if (!items.empty()) {
            ADD_FAILURE() << "no item of the list's menu has the access key "
                          << testing::PrintToString(std::wstring(1, accessKey)) << ":"
                          << testing::PrintToString(items);
            PostMessageW(sent.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);  // closes the menu
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    // Runs what is waiting for the window, through its own keys.
    void pump() {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            if (message.message == WM_QUIT || form->translateMessage(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    static HFONT fontOf(HWND window) {
        return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    }
    static std::wstring text(HWND window) {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        return text;
    }
    // The list's items, each followed by a blank, then "nickname|address|port", then the
    // fields' state: "+" unlocked or "-" locked.
    std::wstring shown() const {
        HWND list = control(kIdServerNickList);
        std::wstring items;
        for (LRESULT i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t item[512] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            items += std::wstring(item) + L" ";
        }
        return items + text(control(kIdNicknameField)) + L"|" + text(control(kIdAddressField)) +
               L"|" + text(control(kIdPortField)) +
               (IsWindowEnabled(control(kIdPortField)) ? L"+" : L"-");
    }

    // The controls in window order, which Tab follows ("tab" where it stops) and in which a
    // caption names the control after it, as Windows and so a screen reader take it; each
    // placed in pixels at 96 dots per inch, where captions sized to their text give no size.
    std::wstring placed(int dpi) const {
        const ScreenDC dc;
        std::wstring placed;
        for (HWND shown = GetWindow(form->window(), GW_CHILD); shown;
             shown = GetWindow(shown, GW_HWNDNEXT)) {
            const ControlLayout& layout = controlWithId(GetDlgCtrlID(shown));
            RECT r{};
            GetWindowRect(shown, &r);
            MapWindowPoints(nullptr, form->window(), reinterpret_cast<POINT*>(&r), 2);
            const LONG at[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
            placed += std::wstring(layout.name) + L" ";
            for (int i = 0; i < (layout.sizedToText ? 2 : 4); ++i)
                placed += std::to_wstring(at[i] * 96 / dpi) + L" ";
            const LONG style = GetWindowLongW(shown, GWL_STYLE);
            if (style & WS_TABSTOP) placed += L"tab ";
            if (layout.kind == ControlKind::Label && (style & SS_CENTER)) placed += L"centred ";
            EXPECT_EQ(text(shown), layout.caption);
            EXPECT_LE(wrappedTextHeight(dc.get(), fontOf(shown), layout.caption, at[2]), at[3])
                << "every caption shows whole";
        }
        return placed;
    }
    static constexpr wchar_t kPlacedAt96[] =
        L"Label1 65 0 centred lstServerNick 3 16 438 212 tab Label4 60 231 centred "
        L"txtServerNickname 4 246 213 21 tab Label2 272 231 centred txtServerIP 220 246 "
        L"161 21 tab lblPort 400 231 txtServerPort 384 246 57 21 tab cmdDelServer 445 15 "
        L"76 21 tab cmdInfo 445 130 81 21 tab cmdEditServer 444 205 76 21 tab "
        L"cmdAddServer 444 228 76 21 tab Label3 445 50 81 56 ";
    // The client area is the layout's, and the window is centred on the screen.
    void expectClientAreaCentred() const {
        RECT client{}, frame{};
        GetClientRect(form->window(), &client);
        GetWindowRect(form->window(), &frame);
        EXPECT_EQ(client.right * 1000 + client.bottom, 525 * 1000 + 270);
        EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 2) << "centred";
        EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 2);
    }

    std::wstring startNote, desktop = L"C:\\D";
    std::function<std::unique_ptr<FileStore>()> filesForReading = makeSystemFileStore;
    fakes::MemoryFileStore files;
    fakes::FakeRegistry registry;
    fakes::RecordingStarter starter;
    fakes::RecordingShell shell;
    MessageBoxAnswers boxes;
    std::unique_ptr<frmHostdeck> form;
    void TearDown() override { boxes.expectAllCame(); }
};

TEST_F(WindowTest, LaysOutItsControlsAsMeasuredAtEachDpi) {
    start();
    HWND window = form->window();
    EXPECT_EQ(text(window), kFormCaption);
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME);
    expectClientAreaCentred();
    const ScreenDC dc;
    for (const int dpi : {96, 192}) {
        RECT suggested{100, 100, 1000, 700};
        if (dpi != 96)
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(placed(dpi), kPlacedAt96) << "at " << dpi << " dots per inch";
        LOGFONTW font{};
        GetObjectW(fontOf(control(kIdAddButton)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, kFormFontFace) << "the face the layout was measured for";
    }
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right * 1000 + frame.bottom, 1000 * 1000 + 700) << "the size Windows suggested";

    // Where the system lacks that face, the instruction still fits in a smaller one.
    const ControlLayout& label = controlWithId(kIdInstructionLabel);
    const SIZE box{twipsToPixels(label.width, 96), twipsToPixels(label.height, 96)};
    UniqueFont font = createFormFont(kFontPoints, 96, L"No Such Face");
    LOGFONTW dialogFont{};
    GetObjectW(font.get(), sizeof dialogFont, &dialogFont);
    EXPECT_STRNE(dialogFont.lfFaceName, L"No Such Face") << "the system's dialog face instead";
    UniqueFont fitted = smallerFontToFit(dc.get(), font.get(), label.caption, box);
    EXPECT_LE(
        wrappedTextHeight(dc.get(), fitted ? fitted.get() : font.get(), label.caption, box.cx),
        box.cy);
}

// Before Windows 10, version 1607, there is no per-window DPI: the window is laid out at its
// monitor's (Windows 8.1), or else at the system's. Where Windows 7 lacks the call that limits
// the DLL search to the system folder, the current folder is still taken out of it.
HRESULT WINAPI monitorAt144(HMONITOR monitor, int kind, UINT* x, UINT* y) {
    *x = *y = monitor && kind == 0 ? 144 : 96;  // the effective DPI of a monitor
    return S_OK;
}

TEST_F(WindowTest, RunsWhereWindowsLacksTheNewerCalls) {
    NewerWindows& newer = newerWindows();
    const NewerWindows present = newer;
    const ScopeGuard restore([&] { newer = present; });
    for (const auto monitorDpi : {decltype(NewerWindows::getDpiForMonitor){}, &monitorAt144}) {
        newer = {};
        newer.getDpiForMonitor = monitorDpi;
        start();
        if (!monitorDpi) expectClientAreaCentred();
        EXPECT_EQ(placed(monitorDpi ? 144 : GetDeviceCaps(ScreenDC().get(), LOGPIXELSY)),
                  kPlacedAt96);
    }

    wchar_t folder[MAX_PATH] = L"";
    SetDllDirectoryW(L"C:\\windows");
    restrictDllSearch();
    EXPECT_EQ(GetDllDirectoryW(MAX_PATH, folder), 0u) << folder;
}

TEST_F(WindowTest, EditsTheListAndSavesItOnClose) {
    files.files[kList] =
        "Home#10.0.0.5#99\r\n; a comment\r\nClub#club.example#2300\r\nLan#192.168.1.2\0x#47624\r\n"s;
    start();
    EXPECT_EQ(shown(), L"Home Club Lan ||+");
    pick(1);
    EXPECT_EQ(shown(), L"Home Club Lan Club|club.example|2300-");
    command(kIdEditButton);  // Club is out for editing
    EXPECT_EQ(shown(), L"Home Lan Club|club.example|2300+");
    SetWindowTextW(control(kIdPortField), L"2301");
    SetWindowTextW(control(kIdNicknameField), L"Cl#ub");
    boxes.expect({{L"The nickname holds \"#\""}});
    command(kIdAddButton);
    SetWindowTextW(control(kIdNicknameField), L"Club");
    command(kIdAddButton);
    EXPECT_EQ(shown(), L"Home Lan Club Club|club.example|2301+");

    pick(0);
    command(kIdDeleteButton);
    EXPECT_EQ(shown(), L"Lan Club Home|10.0.0.5|99-");
    EXPECT_EQ(SendMessageW(control(kIdServerNickList), LB_GETCURSEL, 0, 0), LB_ERR);
    command(kIdAddButton);   // a copy of what the fields show
    command(kIdEditButton);  // nothing current: takes the first entry, Lan
    EXPECT_EQ(shown(), L"Club Home Lan|192.168.1.2\xDC00x|47624+") << "a NUL kept";
    SetWindowTextW(control(kIdPortField), L"1");
    pick(1);  // Lan goes back where it was before Home fills the fields
    EXPECT_EQ(shown(), L"Lan Club Home Home|10.0.0.5|99-");
    EXPECT_EQ(SendMessageW(control(kIdServerNickList), LB_GETCURSEL, 0, 0), 2) << "Home moved";
    command(kIdEditButton);
    SetWindowTextW(control(kIdNicknameField), L"Home 2");
    send(WM_QUERYENDSESSION), send(WM_ENDSESSION, FALSE);  // asked, then called off
    EXPECT_EQ(shown(), L"Lan Club Home 2|10.0.0.5|99+") << "as the user left it";
    send(WM_CLOSE);  // the entry out for editing goes back first
    EXPECT_EQ(form->window(), nullptr);
    EXPECT_EQ(files.files[kList],
              "Lan#192.168.1.2\0x#1\r\nClub#club.example#2301\r\nHome 2#10.0.0.5#99\r\n"s);
}

TEST_F(WindowTest, EnterOrDoubleClickStartsTheGameAndEnterPressesButtons) {
    files.files[kList] = "Home#10.0.0.5#99\r\nClub#club.example#2300\r\n";
    registry.values[L"32:" + std::wstring(kGameKey) + L"\\AppPath"] = fakes::sz(L"C:\\G");
    start(SW_SHOW);  // Enter on the list is the real program's test, with real keys
    command(IDOK);   // Enter with no current entry: nothing happens
    pick(0, LBN_DBLCLK);
    EXPECT_EQ(starter.starts, L"C:\\G\\exe\\vantorel.exe|C:\\G\\exe\\vantorel.exe -s10.0.0.5:99\n");
    EXPECT_EQ(shown(), L"Home Club Home|10.0.0.5|99-");

    SetFocus(control(kIdHowToButton));
    command(IDOK);
    EXPECT_THAT(shell.calls, HasSubstr(L"|open|C:\\H\\howto.txt|"));
    send(WM_ACTIVATE, WA_INACTIVE);
    SetFocus(nullptr);
    send(WM_ACTIVATE, WA_ACTIVE);
    EXPECT_EQ(GetFocus(), control(kIdHowToButton)) << "the focus comes back where it was";

    starter.failure = L"File not found";
    boxes.expect(
        {{L"The game could not be started."}, {L"The game's install folder was not found"}});
    pick(1, LBN_DBLCLK);
    registry.values.clear();
    pick(1, LBN_DBLCLK);
    EXPECT_THAT(boxes.said, HasSubstr(L"File not found|"));
    command(kIdDeleteButton);  // the window is still usable
    EXPECT_EQ(shown(), L"Home Club|club.example|2300-");
}

// The list's keys and menu (its items by their access keys), the real clipboard both ways, a
// double-click only on an entry, and Add asking before it repeats a server.
TEST_F(WindowTest, ListKeysMenuClipboardAndShortcuts) {
    files.files[kList] = "Home#10.0.0.5#99\r\nClub#fe80::1#2300\r\n";
    registry.values[L"32:" + std::wstring(kGameKey) + L"\\AppPath"] = fakes::sz(L"C:\\G");
    startNote = L"no such server";
    boxes.expect({{L"no such server"}});
    start(SW_SHOW);
    HWND list = control(kIdServerNickList), address = control(kIdAddressField);
    pick(1);
    pick(2, LBN_DBLCLK);  // below the last entry
    EXPECT_EQ(starter.starts, L"") << "a double-click on no server starts none";
    menu(L's');
    key(list, VK_RETURN, 0, 2);  // held: one start
    const std::wstring started =
        L"C:\\G\\exe\\vantorel.exe|C:\\G\\exe\\vantorel.exe -sfe80::1:2300\n";
    EXPECT_EQ(starter.starts, started + started);
    menu(L'd');
    files.files[L"C:\\D\\Club.lnk"] = "";
    boxes.expect(
        {{L"C:\\D\\Club.lnk\n\nIt starts the server [fe80::1]:2300.\n\nReplace it?", IDNO}});
    menu(L'd');  // there already: replaced only when the user says so
    const std::wstring made = L"|C:\\H\\hd.exe|\"-sfe80::1:2300\"|C:\\H\n";
    EXPECT_EQ(shell.calls, L"shortcut|C:\\D\\Club.lnk" + made);
    shell.shortcuts[L"C:\\D\\Club.lnk"] = L"\"-s10.0.0.8:8\"";  // another server's Club
    menu(L'd');
    EXPECT_EQ(shell.calls, L"shortcut|C:\\D\\Club.lnk" + made + L"shortcut|C:\\D\\" +
                               shortcutFileName(L"Club", L"fe80::1", L"2300") + made);

    command(kIdDeleteButton);
    RECT below{};
    GetWindowRect(list, &below);
    menu(L'u', {below.left + 5, below.bottom - 5});  // on the empty area: only Undo delete
    EXPECT_EQ(shown(), L"Home Club Club|fe80::1|2300-");

    pick(1);
    command(kIdEditButton);  // Club is out: the fields take a paste
    ASSERT_TRUE(putOnClipboard(form->window(), L" [fe80::2]:27015\r\nsecond line").ok());
    key(address, 'V');
    EXPECT_EQ(shown(), L"Home Club|fe80::2|27015+");
    ASSERT_TRUE(putOnClipboard(form->window(), L"10.0.0.9:9").ok());
    key(address, VK_INSERT, VK_SHIFT);
    EXPECT_EQ(shown(), L"Home Club|10.0.0.9|9+");
    ASSERT_TRUE(putOnClipboard(form->window(), L"not:an address").ok());
    SendMessageW(address, WM_PASTE, 0, 0);
    EXPECT_EQ(text(address), L"not:an address10.0.0.9") << "other text pastes as usual";
    SetWindowTextW(address, L"10.0.0.5");
    SetWindowTextW(control(kIdPortField), L"99");
    boxes.expect(
        {{L"Server 1, \"Home\", has the same address and port already: 10.0.0.5:99.", IDNO}});
    command(kIdAddButton);  // Club, out for editing, now has Home's server: asked as any Add
    EXPECT_EQ(shown(), L"Home Club|10.0.0.5|99+");
    boxes.expect({{L"Add this server anyway?", IDYES}});
    command(kIdAddButton);
    EXPECT_EQ(shown(), L"Home Club Club|10.0.0.5|99+");
}

// The list session's notes and questions reach the user as message boxes, and the answers come
// back; the end of the Windows session ends the program.
TEST_F(WindowTest, TellsAndAsksWhatTheListSessionSaysAndEndsWithTheSession) {
    files.files[kList] = "Home#1#2\r\n";
    files.files[L"C:\\H\\serverlist (not saved 1).ini"] = "; kept\r\n";
    boxes.expect({{L"\nC:\\H\\serverlist (not saved 1).ini\n"}});
    start();
    command(kIdAddButton);
    files.failingWrites = 2;
    const std::wstring full = L"Disk full\n\nTry Again tries once more";
    boxes.expect({{full, IDTRYAGAIN}, {full, IDCANCEL}});
    boxes.closeAgain = true;  // one question at a time: the open one decides
    send(WM_CLOSE);
    EXPECT_TRUE(IsWindow(form->window())) << "Cancel goes back to the window";
    boxes.closeAgain = false;
    // While another Hostdeck saves, a box that keeps the window going waits, then closes.
    boxes.expect({{L"", IDYES}, {L"Another Hostdeck window is saving", 0}});
    files.busySaves[kList] = 3;
    files.files[kList] = "Other#1#2\r\n";
    send(WM_CLOSE);
    EXPECT_EQ(form->window(), nullptr);
    EXPECT_EQ(files.files[kList], "Home#1#2\r\n##\r\n");

    boxes.expect({{L"\nC:\\H\\serverlist (not saved 1).ini\n"}});  // still there
    start();
    command(kIdAddButton);
    // Nothing can keep the list: Windows is asked to wait, the user told, and the window stays.
    files.readOnlyFolder = L"C:\\";
    boxes.expect({{L"nor keep a copy of it"}});  // once, though Windows asks twice
    EXPECT_FALSE(SendMessageW(form->window(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP));
    EXPECT_FALSE(SendMessageW(form->window(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP));
    SendMessageW(form->window(), WM_ENDSESSION, FALSE, ENDSESSION_CLOSEAPP);
    pump();
    EXPECT_TRUE(IsWindow(form->window()));
    files.readOnlyFolder.reset();
    EXPECT_TRUE(SendMessageW(form->window(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP));
    SendMessageW(form->window(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_EQ(form->window(), nullptr) << "the program ends";
    EXPECT_EQ(files.files[kList], "Home#1#2\r\n##\r\n##\r\n");
}

// Alt+Up and Alt+Down, and the menu's Move up and Move down, greyed at the ends; the menu of the
// server right-clicked while another is out for editing; what is copied, and why it was not.
TEST_F(WindowTest, MovesServersAndActsOnTheServerClicked) {
    files.files[kList] = "Home#10.0.0.5#99\r\nClub#club#2300\r\nLan# 1.2.3.4 #1\r\n";
    desktop.clear();  // Windows does not say where it is
    start(SW_SHOW);
    pick(0);
    key(control(kIdServerNickList), VK_DOWN, VK_MENU);
    EXPECT_EQ(shown(), L"Club Home Lan Home|10.0.0.5|99-");
    menu(L'p');  // the server moved stays selected
    menu(L'p');  // at the top: Move up is greyed
    EXPECT_EQ(shown(), L"Home Club Lan Home|10.0.0.5|99-");
    command(kIdEditButton);
    menu(L'c', pointAt(1));  // Lan: Home goes back above it, and it stays the one clicked
    EXPECT_EQ(clipboardText(nullptr), L"1.2.3.4:1");
    boxes.expect({{std::wstring(texts::kNoDesktopFolder)}});
    menu(L'd');  // no shortcut, and why
    EXPECT_EQ(shell.calls, L"");
    ASSERT_TRUE(OpenClipboard(control(kIdAddButton)));  // another window holds it
    boxes.expect({{L"The address was not copied to the clipboard.\n\n"}});
    key(control(kIdServerNickList), 'C');
    CloseClipboard();
}

// Files as Explorer hands them over, in a drop or on the clipboard.
HGLOBAL droppedFiles(const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const std::wstring& path : paths) names += path + L'\0';
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * 2);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    *files = {sizeof(DROPFILES), {}, FALSE, TRUE};
    names.copy(reinterpret_cast<wchar_t*>(files + 1), names.size());
    GlobalUnlock(memory);
    return memory;
}
// Files dropped on the window: the window frees the memory.
void drop(HWND window, const std::vector<std::wstring>& paths) {
    PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(droppedFiles(paths)), 0);
}
// The clipboard holds `files` alone, or nothing.
bool clipboardHolds(HWND owner, const std::vector<std::wstring>& files) {
    return OpenClipboard(owner) && EmptyClipboard() &&
           (files.empty() || SetClipboardData(CF_HDROP, droppedFiles(files))) && CloseClipboard();
}

// Servers from the real clipboard, from a real file picked in the real Open dialog, and from
// real files dropped on the window; each import taken back by Ctrl+Z, and the fields kept.
TEST_F(WindowTest, ImportsServersPastedOpenedOrDropped) {
    files.files[kList] = "Home#10.0.0.5#99\r\n";
    start(SW_SHOW);
    HWND list = control(kIdServerNickList);
    SetWindowTextW(control(kIdNicknameField), L"typed");
    ASSERT_TRUE(putOnClipboard(form->window(), L"10.0.0.7:7 Seven\r\njunk").ok());
    boxes.expect(
        {{L"added to the end of the list: 1.\n\nSkipped, as they are no server "
          L"(address:port, or nickname#address#port): line 2."}});
    key(list, 'V');
    EXPECT_EQ(shown(), L"Home Seven typed||+");
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1) << "the last one imported";
    menu(L'u');  // Undo import
    EXPECT_EQ(shown(), L"Home typed||+");

    const fakes::TempFolder folder;
    const std::u16string utf16 = u"\uFEFFClub#c#2\r\n10.0.0.5:99";  // Notepad's "Unicode"
    folder.write(L"friend.ini", {reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2});
    boxes.expect({{std::wstring(texts::kImportTitle), 0, folder.file(L"friend.ini")},
                  {L"1 of the servers to import have the address and port", IDYES},
                  {L"added to the end of the list: 2."}});
    menu(L'i');
    folder.write(L"post.txt", "Caf\xE9#1.2.3.4#5\r\n");  // ANSI
    folder.write(L"photo.jpg", "\xFF\xD8\xFF\0JFIF"s);
    boxes.expect(
        {{L"photo.jpg\nIt is not a server list: it holds bytes that are no text.\n\nNot "
          L"imported: "}});
    EXPECT_TRUE(GetWindowLongW(form->window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES)
        << "Explorer drops files only on a window that takes them";
    drop(form->window(),
         {folder.file(L"post.txt"), folder.file(L"photo.jpg"), folder.file(L"gone.ini")});
    pump();
    EXPECT_EQ(shown(), L"Home Club 10.0.0.5:99 Caf\u00e9 typed||+");
    key(list, 'Z');
    EXPECT_EQ(shown(), L"Home Club 10.0.0.5:99 typed||+");
    // Files copied in Explorer paste as dropped; a clipboard with neither text nor files says so.
    ASSERT_TRUE(clipboardHolds(list, {folder.file(L"post.txt")}));
    boxes.expect({{L"added to the end of the list: 1."}, {std::wstring(texts::kClipboardEmpty)}});
    key(list, 'V');
    ASSERT_TRUE(clipboardHolds(list, {}));
    key(list, 'V');
    key(list, 'Z');
    // A selection of a hundred files: the summary names five and fits the screen.
    std::vector<std::wstring> many;
    for (int i = 0; i < 100; ++i) many.push_back(folder.file(std::wstring(150, L'x') + L".ini"));
    boxes.expect({{L"\n\n... and 95 more files not imported."}});
    drop(form->window(), many);
    pump();
    // Out through the real Save dialog, which offers "servers.txt" and adds ".txt" to a name.
    boxes.expect({{std::wstring(texts::kExportTitle), 0, folder.file(L"out")},
                  {L"3 servers were written to\n" + folder.file(L"out.txt")}});
    menu(L'e');
    EXPECT_THAT(boxes.said, HasSubstr(L"offered servers.txt|"));
    EXPECT_EQ(files.files[folder.file(L"out.txt")],
              "\xEF\xBB\xBF"
              "10.0.0.5:99\tHome\r\nc:2\tClub\r\n10.0.0.5:99\t10.0.0.5:99\r\n");
    send(WM_CLOSE);
    EXPECT_EQ(files.files[kList], "Home#10.0.0.5#99\r\nClub#c#2\r\n10.0.0.5:99#10.0.0.5#99\r\n");
    // A slow read shows a wait: Cancel imports nothing; left open, it closes once the file is in.
    filesForReading = [] {
        auto slow = std::make_unique<fakes::MemoryFileStore>();
        slow->files[L"S:\\slow.ini"] = "9.9.9.9:9 Slow";
        slow->readDelayMs = 1000;
        return slow;
    };
    start(SW_SHOW);
    boxes.expect({{L"Reading S:\\slow.ini", IDCANCEL}, {L"Reading S:\\slow.ini", 0}, {L": 1."}});
    for (int i = 0; i < 2; ++i) drop(form->window(), {L"S:\\slow.ini"}), pump();
    EXPECT_EQ(shown(), L"Home Club 10.0.0.5:99 Slow ||+");
}

}  // namespace
}  // namespace hostdeck
