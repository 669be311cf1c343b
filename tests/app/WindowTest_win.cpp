// The main window inside the test program, with the list kept in memory: how it lays itself
// out for another DPI, and the font of its instruction.
#include <gtest/gtest.h>

#include "app/FormFont_win.h"
#include "app/FormLayout.h"
#include "app/frmHostdeck.h"
#include "support/FakeRegistry.h"
#include "support/MemoryFileStore.h"

namespace hostdeck {
namespace {

struct InProcessForm {
    testing::MemoryFileStore files;
    testing::FakeRegistry registry;
    std::unique_ptr<ProcessStarter> starter = makeSystemProcessStarter();
    std::unique_ptr<Shell> shell = makeSystemShell();
    frmHostdeck form{GetModuleHandleW(nullptr), {files, registry, *starter, *shell, L"C:\\H"}};
};

TEST(WindowTest, MovingToAnotherDpiScalesControlsAndFont) {
    InProcessForm in;
    ASSERT_TRUE(in.form.create(SW_HIDE));
    HWND window = in.form.window();
    RECT suggested{100, 100, 100 + 1100, 100 + 620};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    for (int id : {kIdServerNickList, kIdHowToButton, kIdPortField}) {
        const ControlLayout& layout = controlWithId(id);
        RECT rect{};
        GetWindowRect(GetDlgItem(window, id), &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
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
    EXPECT_STREQ(font.lfFaceName, kFormFontFace) << "the face the layout was measured for";
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, suggested.left);
    EXPECT_EQ(frame.right - frame.left, suggested.right - suggested.left);
}

// The instruction shows its whole text in its box: in the face the layout was measured for,
// which the test prefix has as Windows does, and in whatever a system without it offers.
TEST(WindowTest, InstructionShowsItsWholeTextInItsBox) {
    const ControlLayout& label = controlWithId(kIdInstructionLabel);
    const SIZE box{twipsToPixels(label.width, 96), twipsToPixels(label.height, 96)};
    const ScreenDC dc;
    for (const wchar_t* face : {kFormFontFace, L"No Such Face"}) {
        UniqueFont font = createFormFont(kFontPoints, 96, face);
        UniqueFont fitted = smallerFontToFit(dc.get(), font.get(), label.caption, box);
        HFONT used = fitted ? fitted.get() : font.get();
        EXPECT_LE(wrappedTextHeight(dc.get(), used, label.caption, box.cx), box.cy);
    }
    InProcessForm in;
    ASSERT_TRUE(in.form.create(SW_HIDE));
    HWND instruction = GetDlgItem(in.form.window(), kIdInstructionLabel);
    RECT client{};
    GetClientRect(instruction, &client);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(instruction, WM_GETFONT, 0, 0));
    EXPECT_LE(wrappedTextHeight(dc.get(), font, label.caption, client.right), client.bottom);
}

}  // namespace
}  // namespace hostdeck
