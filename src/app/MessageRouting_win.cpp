// Which handler each window message runs, and which event procedure each control's
// notification runs.
#include "app/frmHostdeck_win.h"

#include "form/FormLayout.h"

namespace hostdeck {

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

// Enter on the list is the list's Start command (ListCommands_win.cpp).
void frmHostdeck::onEnter() {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON)) {
        SendMessageW(focus, BM_CLICK, 0, 0);  // Enter presses the focused button
    }
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

}  // namespace hostdeck
