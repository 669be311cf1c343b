// The window's birth: its class, the window and its controls from the layout table, and the
// model's observers bound to them.
#include "app/frmHostdeck_win.h"

#include "form/FormLayout.h"
#include "platform/NewerWindows_win.h"

namespace hostdeck {

namespace {

constexpr int kIconResource = 1;

// Shared icons belong to the system's cache and are never destroyed by us.
HICON loadIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_SHARED));
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

LRESULT frmHostdeck::onCreate() {
    dpi_ = windowDpi(window_);
    createControls();
    layOut(dpi_);
    placeCentred();
    DragAcceptFiles(window_, TRUE);  // files dropped from Explorer are imported
    Form_Load();
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

}  // namespace hostdeck
