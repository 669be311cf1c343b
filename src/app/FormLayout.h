#pragma once

#include <span>
#include <vector>

namespace hostdeck {

enum class ControlKind { Label, WrappingLabel, List, Button, TextField };

// Control identifiers of the main window (also what tests find the controls by).
enum ControlId : int {
    kIdServerNickList = 101,
    kIdServerIPList = 102,
    kIdServerPortList = 103,
    kIdDeleteButton = 104,
    kIdInstructionLabel = 105,
    kIdHowToButton = 106,
    kIdEditButton = 107,
    kIdAddButton = 108,
    kIdNicknameCaption = 109,
    kIdListCaption = 110,
    kIdAddressCaption = 111,
    kIdPortCaption = 112,
    kIdNicknameField = 113,
    kIdAddressField = 114,
    kIdPortField = 115,
};

// One control of the main window; positions in twips (1/1440 inch).
struct ControlLayout {
    const wchar_t* name;
    ControlId id;
    ControlKind kind;
    const wchar_t* caption;
    int left, top, width, height;
    int tabOrder;
    bool shown;
    bool sizedToText;  // a one-line caption that takes the size of its text
    bool centred;
};

inline constexpr wchar_t kFormCaption[] = L"select server over Multiplayer LAN-button  by Quennick";
inline constexpr int kClientWidthTwips = 7875;
inline constexpr int kClientHeightTwips = 4050;
inline constexpr int kFontPoints = 8;

// All controls, in tab order.
std::span<const ControlLayout> formControls();

// The captions that name a control. Windows, and so a screen reader, takes an unnamed
// control's name from the caption just before it in the window order.
struct ControlCaption {
    ControlId caption;
    ControlId control;
};
inline constexpr ControlCaption kControlCaptions[] = {
    {kIdListCaption, kIdServerNickList},
    {kIdNicknameCaption, kIdNicknameField},
    {kIdAddressCaption, kIdAddressField},
    {kIdPortCaption, kIdPortField},
};

// The order the controls are created in: the tab order, with each naming caption moved to
// just before its control. Captions take no focus, so the tab order stays as it is.
std::vector<const ControlLayout*> creationOrder();

const ControlLayout* findControl(ControlId id);

// Twips to pixels at the given dots per inch, rounded to the nearest pixel.
constexpr int twipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

}  // namespace hostdeck
