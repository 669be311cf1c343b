#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>
#include <vector>

namespace hostdeck {

enum class ControlKind { Label, WrappingLabel, List, Button, TextField };

// One control of the main window; positions in twips (1/1440 inch).
struct ControlLayout {
    const wchar_t* name;
    ControlKind kind;
    const wchar_t* caption = L"";
    int left = 0, top = 0, width = 0, height = 0;
    bool shown = true;
    bool sizedToText = false;  // a one-line caption that takes the size of its text
    bool centred = false;
    // For a caption: the control it names. Windows, and so a screen reader, takes an unnamed
    // control's name from the caption just before it in the window order.
    const wchar_t* names = nullptr;
};

// The main window's class, by which other programs (and the tests) find it.
inline constexpr wchar_t kWindowClass[] = L"HostdeckMainWindow";
inline constexpr wchar_t kFormCaption[] = L"select server over Multiplayer LAN-button  by Quennick";
inline constexpr int kClientWidthTwips = 7875;
inline constexpr int kClientHeightTwips = 4050;
inline constexpr int kFontPoints = 8;

// Every control of the main window, in tab order. A new control is a row here and, when it
// has events, a route to its event procedure in frmHostdeck_win.cpp. The hidden address and
// port lists are kept for the record of the layout; the window keeps them as data only.
// clang-format off
inline constexpr ControlLayout kFormControls[] = {
    {.name = L"lstServerNick", .kind = ControlKind::List,
     .left = 45, .top = 240, .width = 6570, .height = 3180},
    {.name = L"lstServerIP", .kind = ControlKind::List,
     .left = 3300, .top = 135, .width = 2415, .height = 3180, .shown = false},
    {.name = L"lstServerPort", .kind = ControlKind::List,
     .left = 5760, .top = 135, .width = 855, .height = 3180, .shown = false},
    {.name = L"txtServerNickname", .kind = ControlKind::TextField,
     .left = 60, .top = 3690, .width = 3195, .height = 315},
    {.name = L"txtServerIP", .kind = ControlKind::TextField,
     .left = 3300, .top = 3690, .width = 2415, .height = 315},
    {.name = L"lblPort", .kind = ControlKind::Label, .caption = L"Port",
     .left = 6000, .top = 3465, .width = 285, .height = 195, .sizedToText = true,
     .names = L"txtServerPort"},
    {.name = L"txtServerPort", .kind = ControlKind::TextField,
     .left = 5760, .top = 3690, .width = 855, .height = 315},
    {.name = L"cmdDelServer", .kind = ControlKind::Button, .caption = L"&Delete Server",
     .left = 6675, .top = 225, .width = 1140, .height = 315},
    {.name = L"cmdInfo", .kind = ControlKind::Button, .caption = L"&How to",
     .left = 6675, .top = 1950, .width = 1215, .height = 315},
    {.name = L"cmdEditServer", .kind = ControlKind::Button, .caption = L"&Edit Server",
     .left = 6660, .top = 3075, .width = 1140, .height = 315},
    {.name = L"cmdAddServer", .kind = ControlKind::Button, .caption = L"&Add Server",
     .left = 6660, .top = 3420, .width = 1140, .height = 315},
    {.name = L"Label1", .kind = ControlKind::Label, .caption = L"Server Nickname",
     .left = 975, .top = 0, .width = 1245, .height = 195, .sizedToText = true, .centred = true,
     .names = L"lstServerNick"},
    {.name = L"Label2", .kind = ControlKind::Label, .caption = L"Server IP",
     .left = 4080, .top = 3465, .width = 675, .height = 195, .sizedToText = true, .centred = true,
     .names = L"txtServerIP"},
    {.name = L"Label3", .kind = ControlKind::WrappingLabel,
     .caption = L"to start a server just doubleclick on the nickname of the server",
     .left = 6675, .top = 750, .width = 1215, .height = 840},
    {.name = L"Label4", .kind = ControlKind::Label, .caption = L"Server Nickname",
     .left = 900, .top = 3465, .width = 1245, .height = 195, .sizedToText = true, .centred = true,
     .names = L"txtServerNickname"},
};
// clang-format on

// A control's window id: its place in the table, counted from kFirstControlId.
inline constexpr int kFirstControlId = 101;
constexpr int controlId(const ControlLayout& control) {
    return kFirstControlId + static_cast<int>(&control - kFormControls);
}
constexpr int controlId(std::wstring_view name) {
    for (const ControlLayout& control : kFormControls) {
        if (name == control.name) return controlId(control);
    }
    throw "no control of that name";  // a compile error where the name is a constant
}
// For the tests, which walk the real controls.
constexpr const ControlLayout& controlWithId(int id) {
    return kFormControls[static_cast<std::size_t>(id - kFirstControlId)];
}

// The ids that the program and its tests use by name.
inline constexpr int kIdServerNickList = controlId(L"lstServerNick");
inline constexpr int kIdNicknameField = controlId(L"txtServerNickname");
inline constexpr int kIdAddressField = controlId(L"txtServerIP");
inline constexpr int kIdPortField = controlId(L"txtServerPort");
inline constexpr int kIdDeleteButton = controlId(L"cmdDelServer");
inline constexpr int kIdHowToButton = controlId(L"cmdInfo");
inline constexpr int kIdEditButton = controlId(L"cmdEditServer");
inline constexpr int kIdAddButton = controlId(L"cmdAddServer");
inline constexpr int kIdInstructionLabel = controlId(L"Label3");  // for the tests

// The order the controls are created in: the tab order, with each naming caption just
// before its control. Captions take no focus, so the tab order stays as it is.
std::vector<const ControlLayout*> creationOrder();

// Twips to pixels at the given dots per inch, rounded to the nearest pixel.
constexpr int twipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

}  // namespace hostdeck
