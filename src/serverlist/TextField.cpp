#include "serverlist/TextField.h"

namespace hostdeck {

void TextField::setText(std::wstring text) {
    if (text == text_) return;
    text_ = std::move(text);
    if (observer_) observer_->textChanged(text_);
}

void TextField::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (observer_) observer_->enabledChanged(enabled_);
}

}  // namespace hostdeck
