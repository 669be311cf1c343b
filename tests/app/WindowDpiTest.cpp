// The main window inside the test program: how it lays itself out again for a new DPI.
#include <gtest/gtest.h>

#include "app/FormLayout.h"
#include "app/frmHostdeck.h"

namespace hostdeck {
namespace {

RECT childRect(HWND window, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(window, id), &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(WindowDpiTest, MovingToAnotherDpiScalesControlsAndFont) {
    frmHostdeck form(GetModuleHandleW(nullptr));
    ASSERT_TRUE(form.create(SW_HIDE));
    HWND window = form.handle();
    RECT suggested{100, 100, 100 + 1100, 100 + 620};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));

    for (int id : {kIdServerNickList, kIdHowToButton, kIdPortField}) {
        const ControlLayout& layout = *findControl(static_cast<ControlId>(id));
        const RECT rect = childRect(window, id);
        EXPECT_EQ(rect.left, twipsToPixels(layout.left, 192)) << id;
        EXPECT_EQ(rect.top, twipsToPixels(layout.top, 192)) << id;
        EXPECT_EQ(rect.right - rect.left, twipsToPixels(layout.width, 192)) << id;
        EXPECT_EQ(rect.bottom - rect.top, twipsToPixels(layout.height, 192)) << id;
    }
    LOGFONTW font{};
    GetObjectW(
        reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(window, kIdAddButton), WM_GETFONT, 0, 0)),
        sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(kFontPoints, 192, 72));
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, suggested.left);
    EXPECT_EQ(frame.right - frame.left, suggested.right - suggested.left);
}

}  // namespace
}  // namespace hostdeck
