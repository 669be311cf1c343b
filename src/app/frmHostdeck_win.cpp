#include "app/frmHostdeck_win.h"

#include <optional>
#include <vector>

#include "app/FormFont_win.h"
#include "app/FormLayout.h"
#include "document/mDocumenteOeffnen.h"
#include "launch/ServerLaunch.h"
#include "platform/NewerWindows_win.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

constexpr const wchar_t* kMessageCaption = texts::kCaption.data();  // a literal: ends in NUL
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr UINT kShowStartNotes = WM_APP + 1;
constexpr UINT kTellListNotKept = WM_APP + 2;
constexpr UINT_PTR kWaitTimer = 1;
constexpr UINT kWaitPollMs = 250;
constexpr int kWaitOver = 0x100;  // a message box's result that no button gives
constexpr int kIconResource = 1;

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Shared icons belong to the system's cache and are never destroyed by us.
HICON loadIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_SHARED));
}

struct MessageBoxSearch {
    HWND owner;
    const std::wstring& text;
    HWND box = nullptr;
};

// The message box that the window owns and that says the text: another may be open above it.
BOOL CALLBACK findMessageBox(HWND window, LPARAM found) {
    auto& search = *reinterpret_cast<MessageBoxSearch*>(found);
    constexpr int kMessageTextId = 0xFFFF;  // the box's text, in Windows and in Wine
    wchar_t name[8] = {};
    GetClassNameW(window, name, 8);
    if (GetWindow(window, GW_OWNER) != search.owner || std::wstring_view(name) != L"#32770" ||
        windowText(GetDlgItem(window, kMessageTextId)) != search.text)
        return TRUE;
    search.box = window;
    return FALSE;
}

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass controlClass(const ControlLayout& control) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (control.kind) {
        case ControlKind::List:
            return {L"LISTBOX",
                    kChild | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE};
        case ControlKind::TextField:
            return {L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::Button:
            return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::WrappingLabel:
            return {L"STATIC", kChild | SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::Label:
            return {L"STATIC", kChild | SS_NOPREFIX | (control.centred ? SS_CENTER : SS_LEFT), 0};
    }
    return {L"STATIC", kChild, 0};
}

}  // namespace

// Which event procedure each control's notification runs; Enter comes as IDOK.
const frmHostdeck::EventRoute frmHostdeck::kEventRoutes[] = {
    {kIdServerNickList, LBN_SELCHANGE, &frmHostdeck::lstServerNick_Click},
    {kIdServerNickList, LBN_DBLCLK, &frmHostdeck::lstServerNick_DblClick},
    {kIdAddButton, BN_CLICKED, &frmHostdeck::cmdAddServer_Click},
    {kIdEditButton, BN_CLICKED, &frmHostdeck::cmdEditServer_Click},
    {kIdDeleteButton, BN_CLICKED, &frmHostdeck::cmdDelServer_Click},
    {kIdHowToButton, BN_CLICKED, &frmHostdeck::cmdInfo_Click},
    {IDOK, BN_CLICKED, &frmHostdeck::onEnter},
};

// The edit control that shows each editor field of the model.
const frmHostdeck::FieldRoute frmHostdeck::kFieldRoutes[] = {
    {kIdNicknameField, &ServerListModel::txtServerNickname},
    {kIdAddressField, &ServerListModel::txtServerIP},
    {kIdPortField, &ServerListModel::txtServerPort},
};

frmHostdeck::frmHostdeck(HINSTANCE instance, FormServices services)
    : instance_(instance),
      services_(std::move(services)),
      session_(services_.files, services_.listPath, services_.userFolder, model_, *this) {
    fields_.reserve(std::size(kFieldRoutes));  // observers point into it: never moved
    for (const FieldRoute& route : kFieldRoutes) {
        fields_.emplace_back(*this, model_.*route.field, route.control);
    }
}

frmHostdeck::~frmHostdeck() {
    model_.lstServerNick.setObserver(nullptr);
    for (const FieldRoute& route : kFieldRoutes) (model_.*route.field).setObserver(nullptr);
    if (window_) DestroyWindow(window_);
}

bool frmHostdeck::create(int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIcon = loadIcon(instance_, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = loadIcon(instance_, SM_CXSMICON, SM_CYSMICON);
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    // WM_CREATE builds the controls and runs Form_Load, all before the window is shown.
    if (!CreateWindowExW(0, kWindowClass, kFormCaption, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this)) {
        return false;
    }
    SendMessageW(window_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(loadIcon(instance_, SM_CXICON, SM_CYICON)));
    SendMessageW(window_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(loadIcon(instance_, SM_CXSMICON, SM_CYSMICON)));
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    if (session_.hasStartNotes() || !services_.startNote.empty())
        PostMessageW(window_, kShowStartNotes, 0, 0);
    return true;
}

LRESULT CALLBACK frmHostdeck::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<frmHostdeck*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<frmHostdeck*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {  // the last message: the window is gone after it
        form->window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->onMessage(message, wParam, lParam);
}

LRESULT frmHostdeck::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return onCreate();
        case WM_COMMAND:
            return onCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_ACTIVATE:
            return onActivate(LOWORD(wParam) != WA_INACTIVE, HIWORD(wParam) != 0);
        case WM_DPICHANGED:
            return onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        case kShowStartNotes:
            return showStartNotes();
        case WM_CLOSE:
            return onClose();
        case WM_TIMER:
            return wParam == kWaitTimer ? onWaitTimer() : 0;
        case WM_QUERYENDSESSION:
            return onQueryEndSession();
        case kTellListNotKept:
            return tellListNotKept();
        case WM_ENDSESSION:
            return onEndSession(wParam != FALSE);
        case WM_DROPFILES:
            return onDropFiles(reinterpret_cast<HDROP>(wParam));
        case WM_CONTEXTMENU:
            return onContextMenu(
                reinterpret_cast<HWND>(wParam),
                {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

LRESULT frmHostdeck::onCreate() {
    dpi_ = windowDpi(window_);
    createControls();
    layOut(dpi_);
    placeCentred();
    DragAcceptFiles(window_, TRUE);  // files dropped from Explorer are imported
    Form_Load();
    return 0;
}

// The client area the layout was measured for, centred on the screen the window is on.
void frmHostdeck::placeCentred() {
    RECT frame{0, 0, twipsToPixels(kClientWidthTwips, static_cast<int>(dpi_)),
               twipsToPixels(kClientHeightTwips, static_cast<int>(dpi_))};
    adjustFrameForDpi(frame, kWindowStyle, dpi_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcMonitor;
    SetWindowPos(window_, nullptr, screen.left + (screen.right - screen.left - width) / 2,
                 screen.top + (screen.bottom - screen.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// A window that is no dialog keeps its own focus: the control that had it gets it back when
// the window is active again (first: the nickname list).
LRESULT frmHostdeck::onActivate(bool active, bool minimised) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) focusWhenInactive_ = focus;
    } else if (!minimised) {
        HWND focus = focusWhenInactive_;
        if (!focus || !IsChild(window_, focus) || !IsWindowEnabled(focus)) focus = nickList_;
        SetFocus(focus);
    }
    return 0;
}

LRESULT frmHostdeck::onDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layOut(dpi_);
    return 0;
}

LRESULT frmHostdeck::showStartNotes() {
    if (!services_.startNote.empty()) tell(Question::Tone::Warning, services_.startNote);
    if (session_.hasStartNotes()) session_.tellStartNotes();
    return 0;
}

LRESULT frmHostdeck::onClose() {
    if (Form_Unload()) DestroyWindow(window_);
    return 0;
}

// Windows asks whether it may end the session: the list is saved, or kept in a copy, now. Where
// nothing can keep it, Windows is asked to wait, with the reason, and the user is told.
LRESULT frmHostdeck::onQueryEndSession() {
    const Result ended = session_.endSession();
    if (ended.ok()) return TRUE;
    ShutdownBlockReasonCreate(window_, texts::kListNotKept.data());  // a literal: ends in NUL
    notKeptReason_ = ended.reason;
    // Once Windows has had the answer; one box, however often Windows asks meanwhile.
    if (!tellingNotKept_) PostMessageW(window_, kTellListNotKept, 0, 0);
    tellingNotKept_ = true;
    return FALSE;
}

LRESULT frmHostdeck::tellListNotKept() {
    tell(Question::Tone::Error, notKeptReason_);
    tellingNotKept_ = false;
    return 0;
}

// The session ends: the program ends after it, as Windows and the installers that close
// programs expect. Or it goes on after all, and so does the window, its list saved at close.
LRESULT frmHostdeck::onEndSession(bool ending) {
    ShutdownBlockReasonDestroy(window_);
    EndMenu();  // the list's menu, should it be open: the program ends after the window
    if (!ending) {
        session_.resumeAfterEndSession();
        return 0;
    }
    // Ended anyway, though the list was not kept: nobody can be told now.
    static_cast<void>(session_.endSession());
    DestroyWindow(window_);
    return 0;
}

void frmHostdeck::createControls() {
    for (const ControlLayout* control : creationOrder()) {
        if (!control->shown) continue;  // the address and port lists are data only
        const ControlClass kind = controlClass(*control);
        CreateWindowExW(kind.exStyle, kind.className, control->caption, kind.style, 0, 0, 0, 0,
                        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(*control))),
                        instance_, nullptr);
    }
    nickList_ = GetDlgItem(window_, kIdServerNickList);
    model_.lstServerNick.setObserver(this);
    for (FieldBinding& field : fields_) field.attach(window_);
    attachCommands();
}

void frmHostdeck::layOut(UINT dpi) {
    UniqueFont font = createFormFont(kFontPoints, dpi);
    UniqueFont fittedFont;
    const WindowDC windowDC(window_);
    HDC dc = windowDC.get();
    const SelectedObject selected(dc, font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int d = static_cast<int>(dpi);
    for (const ControlLayout& layout : kFormControls) {
        HWND control = GetDlgItem(window_, controlId(layout));
        if (!control) continue;
        int width = twipsToPixels(layout.width, d);
        int height = twipsToPixels(layout.height, d);
        if (layout.sizedToText) {
            SIZE extent{};
            GetTextExtentPoint32W(dc, layout.caption, lstrlenW(layout.caption), &extent);
            width = extent.cx;
            height = metrics.tmHeight;
        }
        HFONT controlFont = font.get();
        if (layout.kind == ControlKind::WrappingLabel) {
            // Its text must show whole in the box the layout gives it, in any font.
            fittedFont = smallerFontToFit(dc, font.get(), layout.caption, SIZE{width, height});
            if (fittedFont) controlFont = fittedFont.get();
        }
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont), FALSE);
        SetWindowPos(control, nullptr, twipsToPixels(layout.left, d), twipsToPixels(layout.top, d),
                     width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    font_ = std::move(font);  // the old fonts are deleted only after no control uses them
    fittedFont_ = std::move(fittedFont);
    InvalidateRect(window_, nullptr, TRUE);
}

void frmHostdeck::fillNicknameList() { addNicknames(0); }

// The nicknames from `first` on (all of them from 0, the list box emptied first) in one go: room
// made once, drawn once; then the current entry selected.
void frmHostdeck::addNicknames(ListIndex first) {
    const TextList& nicknames = model_.lstServerNick;
    std::size_t characters = 0;
    for (ListIndex i = first; i < nicknames.count(); ++i)
        characters += nicknames.item(i).size() + 1;
    {
        const RedrawSuspended redrawOnceFilled(nickList_);
        if (first == 0) SendMessageW(nickList_, LB_RESETCONTENT, 0, 0);
        SendMessageW(nickList_, LB_INITSTORAGE, static_cast<WPARAM>(nicknames.count() - first),
                     characters * sizeof(wchar_t));
        for (ListIndex i = first; i < nicknames.count(); ++i) {
            SendMessageW(nickList_, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(nicknames.itemCString(i)));
        }
    }
    SendMessageW(nickList_, LB_SETCURSEL, static_cast<WPARAM>(nicknames.currentIndex()), 0);
}

LRESULT frmHostdeck::onCommand(int id, int notification) {
    for (const EventRoute& route : kEventRoutes) {
        if (route.control == id && route.notification == notification) {
            (this->*route.procedure)();
            return 0;
        }
    }
    if (notification != EN_CHANGE) return 0;
    for (FieldBinding& field : fields_) {
        if (field.control() == id) field.takeTextFromControl();
    }
    return 0;
}

ListIndex frmHostdeck::entryAt(POINT point) const {
    const LRESULT hit = SendMessageW(nickList_, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    if (HIWORD(hit) != 0) return kNoItem;  // outside the list
    RECT item{};
    if (SendMessageW(nickList_, LB_GETITEMRECT, LOWORD(hit), reinterpret_cast<LPARAM>(&item)) ==
            LB_ERR ||
        !PtInRect(&item, point))
        return kNoItem;  // below the last entry: the nearest one is no hit
    return LOWORD(hit);
}

ListIndex frmHostdeck::selectedEntry() const {
    const auto selected = static_cast<ListIndex>(SendMessageW(nickList_, LB_GETCURSEL, 0, 0));
    return selected >= 0 && selected < model_.entryCount() ? selected : kNoItem;
}

// Enter on the list is the list's Start command (ListCommands_win.cpp).
void frmHostdeck::onEnter() {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON)) {
        SendMessageW(focus, BM_CLICK, 0, 0);  // Enter presses the focused button
    }
}

void frmHostdeck::tell(Question::Tone tone, const std::wstring& text) {
    ask(Question{tone, Question::Choices::Ok, Question::Answer::Ok, text});
}

Question::Answer frmHostdeck::ask(const Question& question) {
    using Answer = Question::Answer;
    // Each choice's buttons with their ids, in the order the message box shows them.
    static constexpr struct {
        UINT style;
        std::pair<int, Answer> buttons[3];
    } kChoices[] = {
        // In the order of Question::Choices.
        {MB_OK, {{IDOK, Answer::Ok}}},
        {MB_YESNO, {{IDYES, Answer::Yes}, {IDNO, Answer::No}}},
        {MB_YESNOCANCEL, {{IDYES, Answer::Yes}, {IDNO, Answer::No}, {IDCANCEL, Answer::Cancel}}},
        {MB_CANCELTRYCONTINUE,
         {{IDCANCEL, Answer::Cancel},
          {IDTRYAGAIN, Answer::TryAgain},
          {IDCONTINUE, Answer::Continue}}},
    };
    static constexpr UINT kTones[] = {MB_ICONINFORMATION, MB_ICONWARNING, MB_ICONERROR};
    const auto& choice = kChoices[static_cast<int>(question.choices)];
    UINT style = choice.style | kTones[static_cast<int>(question.tone)];
    for (UINT i = 0; i < 3; ++i) {
        if (choice.buttons[i].first && choice.buttons[i].second == question.byDefault)
            style |= i * MB_DEFBUTTON2;  // MB_DEFBUTTON1, 2 or 3
    }
    const int chosen =
        MessageBoxW(window_, texts::fitted(question.text).c_str(), kMessageCaption, style);
    for (const auto& [id, answer] : choice.buttons) {
        if (id && id == chosen) return answer;
    }
    return Answer::Cancel;  // the box could not be shown
}

// A message box that the window's own message loop keeps going: the window answers, and every
// so often the wait is asked whether it is over, which closes the box.
bool frmHostdeck::waitUntil(const std::wstring& words, const std::function<bool()>& done) {
    const std::wstring text = texts::fitted(words);
    waitText_ = &text;  // the wait's own box is the one that says it
    waitDone_ = &done;
    SetTimer(window_, kWaitTimer, kWaitPollMs, nullptr);
    const ScopeGuard stopAsking([this] {
        if (window_) KillTimer(window_, kWaitTimer);
        waitDone_ = nullptr;
    });
    for (;;) {
        const int chosen = MessageBoxW(window_, text.c_str(), kMessageCaption,
                                       MB_RETRYCANCEL | MB_ICONINFORMATION);
        if (chosen == kWaitOver) return true;
        if (chosen != IDRETRY) return false;
        if (done()) return true;
    }
}

LRESULT frmHostdeck::onWaitTimer() {
    if (!waitDone_ || !(*waitDone_)()) return 0;
    // The wait's message box, which this window owns; asked again should it not be there yet.
    MessageBoxSearch search{window_, *waitText_};
    EnumThreadWindows(GetCurrentThreadId(), findMessageBox, reinterpret_cast<LPARAM>(&search));
    if (!search.box) return 0;
    waitDone_ = nullptr;  // over: not asked again before the box has closed
    EndDialog(search.box, kWaitOver);
    return 0;
}

void frmHostdeck::Form_Load() {
    model_.lstServerNick.setObserver(nullptr);  // the list box is filled in one go below
    const ScopeGuard observeAgain([this] { model_.lstServerNick.setObserver(this); });
    session_.load();
    fillNicknameList();
}

bool frmHostdeck::Form_Unload() { return session_.mayClose(); }

ListIndex frmHostdeck::listSelection() const {
    return static_cast<ListIndex>(SendMessageW(nickList_, LB_GETCURSEL, 0, 0));
}

void frmHostdeck::lstServerNick_Click() { session_.click(listSelection()); }

// Only a double-click on an entry starts it: the list also reports one on its empty area.
void frmHostdeck::lstServerNick_DblClick() {
    const DWORD at = GetMessagePos();
    POINT pointer{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ScreenToClient(nickList_, &pointer);
    if (entryAt(pointer) != kNoItem) startSelectedServer();
}

void frmHostdeck::startSelectedServer() {
    if (selectedEntry() == kNoItem || !session_.takeSelection(listSelection())) return;
    const Result result = launchServer(model_, services_.registry, services_.starter);
    if (result.status == Result::Status::NotFound || result.status == Result::Status::Failed) {
        tell(Question::Tone::Error, result.reason);
    }
}

void frmHostdeck::cmdAddServer_Click() {
    const Result added = session_.add();
    if (!added.ok() && added.status != Result::Status::Cancelled) {
        tell(Question::Tone::Warning, texts::fill(texts::kNotAdded, {added.reason}));
    }
}

void frmHostdeck::cmdEditServer_Click() {
    if (session_.settleEntryOutForEditing()) model_.edit();
}

void frmHostdeck::cmdDelServer_Click() { model_.deleteCurrent(); }

void frmHostdeck::cmdInfo_Click() {
    OpenDocument(services_.shell, services_.folder + L"\\howto.txt");
}

void frmHostdeck::itemInserted(ListIndex index) {
    SendMessageW(nickList_, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(model_.lstServerNick.itemCString(index)));
    // The current entry may have moved down.
    SendMessageW(nickList_, LB_SETCURSEL, static_cast<WPARAM>(model_.lstServerNick.currentIndex()),
                 0);
}

// Many at once (an import): the list box takes them in one go.
void frmHostdeck::itemsAppended(ListIndex first, ListIndex) { addNicknames(first); }

void frmHostdeck::itemRemoved(ListIndex index) {
    SendMessageW(nickList_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

// Many at once (an import taken back): the list box is filled again, in one go.
void frmHostdeck::itemsRemoved(ListIndex, ListIndex) { fillNicknameList(); }

void frmHostdeck::currentChanged(ListIndex index) {
    SendMessageW(nickList_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void frmHostdeck::FieldBinding::attach(HWND window) {
    edit_ = GetDlgItem(window, control_);
    field_.setObserver(this);
    SetWindowTextW(edit_, field_.text().c_str());
    EnableWindow(edit_, field_.enabled());
}

void frmHostdeck::FieldBinding::takeTextFromControl() {
    form_.updatingFromControl_ = true;
    const ScopeGuard done([this] { form_.updatingFromControl_ = false; });
    field_.setText(windowText(edit_));
}

void frmHostdeck::FieldBinding::textChanged(const std::wstring& text) {
    // Text the user typed is already in the control; writing it back would move the caret.
    if (!form_.updatingFromControl_) SetWindowTextW(edit_, text.c_str());
}

void frmHostdeck::FieldBinding::enabledChanged(bool enabled) { EnableWindow(edit_, enabled); }

}  // namespace hostdeck
