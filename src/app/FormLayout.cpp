#include "app/FormLayout.h"

#include <array>

namespace hostdeck {

namespace {

using K = ControlKind;

// The hidden address and port lists are kept for the record of the layout; the window shows
// neither, so they exist only as data.
constexpr std::array<ControlLayout, 15> kControls{{
    {L"lstServerNick", kIdServerNickList, K::List, L"", 45, 240, 6570, 3180, 0, true, false, false},
    {L"lstServerIP", kIdServerIPList, K::List, L"", 3300, 135, 2415, 3180, 1, false, false, false},
    {L"lstServerPort", kIdServerPortList, K::List, L"", 5760, 135, 855, 3180, 2, false, false,
     false},
    {L"txtServerNickname", kIdNicknameField, K::TextField, L"", 60, 3690, 3195, 315, 3, true, false,
     false},
    {L"txtServerIP", kIdAddressField, K::TextField, L"", 3300, 3690, 2415, 315, 4, true, false,
     false},
    {L"lblPort", kIdPortCaption, K::Label, L"Port", 6000, 3465, 285, 195, 5, true, true, false},
    {L"txtServerPort", kIdPortField, K::TextField, L"", 5760, 3690, 855, 315, 6, true, false,
     false},
    {L"cmdDelServer", kIdDeleteButton, K::Button, L"&Delete Server", 6675, 225, 1140, 315, 7, true,
     false, false},
    {L"cmdInfo", kIdHowToButton, K::Button, L"&How to", 6675, 1950, 1215, 315, 8, true, false,
     false},
    {L"cmdEditServer", kIdEditButton, K::Button, L"&Edit Server", 6660, 3075, 1140, 315, 9, true,
     false, false},
    {L"cmdAddServer", kIdAddButton, K::Button, L"&Add Server", 6660, 3420, 1140, 315, 10, true,
     false, false},
    {L"Label1", kIdListCaption, K::Label, L"Server Nickname", 975, 0, 1245, 195, 11, true, true,
     true},
    {L"Label2", kIdAddressCaption, K::Label, L"Server IP", 4080, 3465, 675, 195, 12, true, true,
     true},
    {L"Label3", kIdInstructionLabel, K::WrappingLabel,
     L"to start a server just doubleclick on the nickname of the server", 6675, 750, 1215, 840, 13,
     true, false, false},
    {L"Label4", kIdNicknameCaption, K::Label, L"Server Nickname", 900, 3465, 1245, 195, 14, true,
     true, true},
}};

}  // namespace

std::span<const ControlLayout> formControls() { return kControls; }

std::vector<const ControlLayout*> creationOrder() {
    const auto captionOf = [](ControlId id) -> const ControlLayout* {
        for (const ControlCaption& pair : kControlCaptions) {
            if (pair.control == id) return findControl(pair.caption);
        }
        return nullptr;
    };
    const auto namesAControl = [](ControlId id) {
        for (const ControlCaption& pair : kControlCaptions) {
            if (pair.caption == id) return true;
        }
        return false;
    };
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& control : kControls) {
        if (namesAControl(control.id)) continue;  // placed with its control
        if (const ControlLayout* caption = captionOf(control.id)) order.push_back(caption);
        order.push_back(&control);
    }
    return order;
}

const ControlLayout* findControl(ControlId id) {
    for (const ControlLayout& control : kControls) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

}  // namespace hostdeck
