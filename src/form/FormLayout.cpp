#include "form/FormLayout.h"

namespace hostdeck {

std::vector<const ControlLayout*> creationOrder() {
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& control : kFormControls) {
        if (control.names) continue;  // placed with the control it names
        for (const ControlLayout& caption : kFormControls) {
            if (caption.names && std::wstring_view(caption.names) == control.name)
                order.push_back(&caption);
        }
        order.push_back(&control);
    }
    return order;
}

}  // namespace hostdeck
