// Where the window and its controls go, and their font, at the DPI of the screen it is on.
#include "app/frmHostdeck_win.h"

#include "app/FormFont_win.h"
#include "form/FormLayout.h"
#include "platform/NewerWindows_win.h"

namespace hostdeck {

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

LRESULT frmHostdeck::onDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layOut(dpi_);
    return 0;
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

}  // namespace hostdeck
