// The program's window inside the test program, with a list file, registry, game and shell of
// the test's own: laid out as measured, and driven by messages along the user's paths.
#include <gtest/gtest.h>

#include <deque>

#include "app/FormFont_win.h"
#include "app/FormLayout.h"
#include "app/frmHostdeck.h"
#include "launch/ServerLaunch.h"
#include "support/FakeRegistry.h"
#include "support/MemoryFileStore.h"
#include "support/Recorders.h"

namespace hostdeck {
namespace {

const std::wstring kList = L"C:\\H\\serverlist.ini";
constexpr auto npos = std::wstring::npos;

// Answers this thread's message boxes as the user would, in order (then OK), and keeps what
// they said. A message box is the one window here with a static control of id 0xFFFF.
struct MessageBoxAnswers {
    std::deque<int> answers;
    std::wstring said;  // each message followed by "|"
    const HHOOK hook = SetWindowsHookExW(WH_CBT, onEvent, nullptr, GetCurrentThreadId());
    MessageBoxAnswers() { current = this; }
    ~MessageBoxAnswers() { UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK onEvent(int code, WPARAM wParam, LPARAM lParam) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t text[2048] = {};
        if (code == HCBT_ACTIVATE && GetDlgItemTextW(box, 0xFFFF, text, 2048)) {
            current->said += std::wstring(text) + L"|";
            const int answer = current->answers.empty() ? IDOK : current->answers.front();
            if (!current->answers.empty()) current->answers.pop_front();
            PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline MessageBoxAnswers* current = nullptr;
};

class WindowTest : public ::testing::Test {
  protected:
    void start(int show = SW_HIDE) {
        form = std::make_unique<frmHostdeck>(
            GetModuleHandleW(nullptr), FormServices{files, registry, starter, shell, L"C:\\H"});
        ASSERT_TRUE(form->create(show));
        pump();
    }
    // Runs what the window posted to itself; the quit message of a closed window is dropped.
    static void pump() {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
            if (message.message != WM_QUIT) DispatchMessageW(&message);
    }
    HWND control(int id) const { return GetDlgItem(form->window(), id); }
    void send(UINT message, WPARAM wParam = 0) const {
        SendMessageW(form->window(), message, wParam, 0);
    }
    void command(int id, int notification = BN_CLICKED) const {
        SendMessageW(form->window(), WM_COMMAND, MAKEWPARAM(id, notification),
                     reinterpret_cast<LPARAM>(control(id)));
    }
    void pick(int item, int notification = LBN_SELCHANGE) const {  // a click on a list item
        SendMessageW(control(kIdServerNickList), LB_SETCURSEL, static_cast<WPARAM>(item), 0);
        command(kIdServerNickList, notification);
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

    testing::MemoryFileStore files;
    testing::FakeRegistry registry;
    testing::RecordingStarter starter;
    testing::RecordingShell shell;
    MessageBoxAnswers boxes;
    std::unique_ptr<frmHostdeck> form;
};

TEST_F(WindowTest, LaysOutItsControlsAsMeasuredAtEachDpi) {
    start();
    HWND window = form->window();
    EXPECT_EQ(text(window), kFormCaption);
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME);
    RECT client{}, frame{};
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    EXPECT_EQ(client.right * 1000 + client.bottom, 525 * 1000 + 270);
    EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 2) << "centred";
    EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 2);
    const ScreenDC dc;
    for (const int dpi : {96, 192}) {
        RECT suggested{100, 100, 1200, 720};
        if (dpi != 96)
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
        // Each shown control's place in pixels at 96 dots per inch: captions sized to their
        // text give no size, centred ones say so.
        std::wstring placed;
        for (const ControlLayout& layout : kFormControls) {
            HWND shown = control(controlId(layout));
            ASSERT_EQ(shown != nullptr, layout.shown) << "hidden lists are data, not windows";
            if (!shown) continue;
            RECT r{};
            GetWindowRect(shown, &r);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
            const LONG at[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
            placed += std::wstring(layout.name) + L" ";
            for (int i = 0; i < (layout.sizedToText ? 2 : 4); ++i)
                placed += std::to_wstring(at[i] * 96 / dpi) + L" ";
            if (layout.kind == ControlKind::Label && (GetWindowLongW(shown, GWL_STYLE) & SS_CENTER))
                placed += L"centred ";
            EXPECT_EQ(text(shown), layout.caption);
            // Windows, and so a screen reader, names a control after the caption before it.
            if (layout.names) {
                EXPECT_EQ(GetDlgCtrlID(GetWindow(shown, GW_HWNDNEXT)), controlId(layout.names));
            }
            EXPECT_LE(wrappedTextHeight(dc.get(), fontOf(shown), layout.caption, at[2]), at[3])
                << "every caption shows whole";
        }
        EXPECT_EQ(placed,
                  L"lstServerNick 3 16 438 212 txtServerNickname 4 246 213 21 txtServerIP 220 246 "
                  L"161 21 lblPort 400 231 txtServerPort 384 246 57 21 cmdDelServer 445 15 76 21 "
                  L"cmdInfo 445 130 81 21 cmdEditServer 444 205 76 21 cmdAddServer 444 228 76 21 "
                  L"Label1 65 0 centred Label2 272 231 centred Label3 445 50 81 56 Label4 60 231 "
                  L"centred ")
            << "at " << dpi << " dots per inch";
        LOGFONTW font{};
        GetObjectW(fontOf(control(kIdAddButton)), sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -MulDiv(kFontPoints, dpi, 72));
        EXPECT_STREQ(font.lfFaceName, kFormFontFace) << "the face the layout was measured for";
    }
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right * 1000 + frame.bottom, 1200 * 1000 + 720) << "the size Windows suggested";

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

    // Tab goes round the controls in this order.
    std::wstring order;
    HWND focus = control(kIdServerNickList);
    for (int i = 0; i < 8; ++i, focus = GetNextDlgTabItem(window, focus, FALSE))
        order += std::wstring(controlWithId(GetDlgCtrlID(focus)).name) + L" ";
    EXPECT_EQ(order,
              L"lstServerNick txtServerNickname txtServerIP txtServerPort cmdDelServer cmdInfo "
              L"cmdEditServer cmdAddServer ");
    EXPECT_EQ(focus, control(kIdServerNickList));
}

TEST_F(WindowTest, EditsTheListAndSavesItOnClose) {
    files.files[kList] =
        "Home#10.0.0.5#99\r\n; a comment\r\nClub#club.example#2300\r\nLan#192.168.1.2#47624\r\n";
    start();
    EXPECT_EQ(shown(), L"Home Club Lan ||+");
    pick(1);
    EXPECT_EQ(shown(), L"Home Club Lan Club|club.example|2300-");
    command(kIdEditButton);  // Club is out for editing
    EXPECT_EQ(shown(), L"Home Lan Club|club.example|2300+");
    SetWindowTextW(control(kIdPortField), L"2301");
    SetWindowTextW(control(kIdNicknameField), L"Cl#ub");
    command(kIdAddButton);
    EXPECT_NE(boxes.said.find(L"The nickname holds \"#\""), npos) << boxes.said;
    SetWindowTextW(control(kIdNicknameField), L"Club");
    command(kIdAddButton);
    EXPECT_EQ(shown(), L"Home Lan Club Club|club.example|2301+");

    pick(0);
    command(kIdDeleteButton);
    EXPECT_EQ(shown(), L"Lan Club Home|10.0.0.5|99-");
    EXPECT_EQ(SendMessageW(control(kIdServerNickList), LB_GETCURSEL, 0, 0), LB_ERR);
    command(kIdAddButton);   // a copy of what the fields show
    command(kIdEditButton);  // nothing current: takes the first entry, Lan
    EXPECT_EQ(shown(), L"Club Home Lan|192.168.1.2|47624+");
    SetWindowTextW(control(kIdPortField), L"1");
    pick(1);  // Lan goes back before Home fills the fields
    EXPECT_EQ(shown(), L"Club Home Lan Home|10.0.0.5|99-");
    command(kIdEditButton);
    SetWindowTextW(control(kIdNicknameField), L";Home");
    boxes.answers = {IDNO};
    send(WM_CLOSE);
    EXPECT_NE(boxes.said.find(L"begins with \";\""), npos) << boxes.said;
    EXPECT_TRUE(IsWindow(form->window())) << "No goes back to the window";
    SetWindowTextW(control(kIdNicknameField), L"Home 2");
    send(WM_CLOSE);
    EXPECT_EQ(form->window(), nullptr);
    EXPECT_EQ(files.files[kList],
              "Club#club.example#2301\r\nLan#192.168.1.2#1\r\nHome 2#10.0.0.5#99\r\n");
}

TEST_F(WindowTest, EnterOrDoubleClickStartsTheGameAndEnterPressesButtons) {
    files.files[kList] = "Home#10.0.0.5#99\r\nClub#club.example#2300\r\n";
    registry.values[L"32:" + std::wstring(kGameKey) + L"\\AppPath"] = testing::sz(L"C:\\G");
    start(SW_SHOW);
    EXPECT_EQ(GetFocus(), control(kIdServerNickList)) << "the focus starts on the list";
    command(IDOK);  // Enter with no current entry: nothing happens
    pick(1);
    command(IDOK);
    pick(0, LBN_DBLCLK);
    EXPECT_EQ(starter.starts,
              L"C:\\G\\exe\\vantorel.exe|C:\\G\\exe\\vantorel.exe -sclub.example:2300\n"
              L"C:\\G\\exe\\vantorel.exe|C:\\G\\exe\\vantorel.exe -s10.0.0.5:99\n");
    EXPECT_EQ(shown(), L"Home Club Home|10.0.0.5|99-");

    SetFocus(control(kIdHowToButton));
    command(IDOK);
    EXPECT_NE(shell.calls.find(L"|open|C:\\H\\howto.txt|"), npos) << shell.calls;
    send(WM_ACTIVATE, WA_INACTIVE);
    SetFocus(nullptr);
    send(WM_ACTIVATE, WA_ACTIVE);
    EXPECT_EQ(GetFocus(), control(kIdHowToButton)) << "the focus comes back where it was";

    starter.failure = L"File not found";
    pick(1, LBN_DBLCLK);
    registry.values.clear();
    pick(1, LBN_DBLCLK);
    EXPECT_EQ(boxes.said.substr(0, 30), L"The game could not be started.");
    EXPECT_NE(boxes.said.find(L"File not found|The game's install folder was not found"), npos)
        << boxes.said;
    command(kIdDeleteButton);  // the window is still usable
    EXPECT_EQ(shown(), L"Home Club|club.example|2300-");
}

// Another program (or another Hostdeck) writes the file, or holds it: the user's list is
// never replaced unasked, and what cannot be saved is kept beside it.
TEST_F(WindowTest, TheListFileIsNeverLostOrReplacedUnasked) {
    start();
    command(kIdAddButton);
    files.files[kList] = "Other#1#2\r\n";
    boxes.answers = {IDCANCEL, IDNO};
    send(WM_CLOSE);
    EXPECT_NE(boxes.said.find(L"changed by another program"), npos) << boxes.said;
    EXPECT_TRUE(IsWindow(form->window())) << "Cancel goes back to the window";
    send(WM_CLOSE);
    EXPECT_EQ(files.files[kList], "Other#1#2\r\n");

    start();  // the end of the session: saved once, then nobody can be asked
    command(kIdAddButton);
    send(WM_QUERYENDSESSION);
    send(WM_ENDSESSION, TRUE);
    EXPECT_EQ(files.files[kList], "Other#1#2\r\n##\r\n");
    files.files[kList] = "Third#3#4\r\n";
    send(WM_ENDSESSION, TRUE);
    send(WM_CLOSE);
    EXPECT_EQ(files.files[kList], "Third#3#4\r\n") << "saved once, not again on close";

    start();
    command(kIdAddButton);
    files.files[kList] = "Fourth#5#6\r\n";
    send(WM_ENDSESSION, TRUE);
    send(WM_CLOSE);
    EXPECT_EQ(files.files[kList], "Fourth#5#6\r\n");
    const std::string copy = files.files[L"C:\\H\\serverlist (not saved 1).ini"];
    EXPECT_TRUE(copy.starts_with("; Hostdeck kept this copy")) << copy;
    EXPECT_TRUE(copy.ends_with("\r\nThird#3#4\r\n##\r\n")) << copy;

    boxes.said.clear();
    files.writeFailure = L"Access denied";
    start();  // tells of the copy; cannot save
    EXPECT_NE(boxes.said.find(L"C:\\H\\serverlist (not saved 1).ini"), npos) << boxes.said;
    command(kIdAddButton);
    send(WM_CLOSE);
    EXPECT_NE(boxes.said.find(kList + L"\n\nAccess denied"), npos) << boxes.said;
    EXPECT_EQ(form->window(), nullptr) << "closing goes on after the message";

    files.readFailure = L"sharing violation";
    start();  // a list that cannot be read is never overwritten
    EXPECT_NE(boxes.said.find(L"could not be read.\n\nsharing violation"), npos) << boxes.said;
    EXPECT_EQ(shown(), L"||+");
    send(WM_CLOSE);
    EXPECT_EQ(files.files[kList], "Fourth#5#6\r\n");
}

}  // namespace
}  // namespace hostdeck
