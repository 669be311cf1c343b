#include "serverlist/TextList.h"

#include <stdexcept>

namespace hostdeck {

namespace {
const std::wstring kEmptyText;
}

void TextList::append(std::wstring text) {
    items_.push_back(std::move(text));
    if (observer_) observer_->itemAppended(items_.back());
}

const std::wstring& TextList::item(ListIndex index) const {
    if (index < 0 || index >= count()) throw std::out_of_range("list index out of range");
    return items_[static_cast<std::size_t>(index)];
}

void TextList::setCurrentIndex(ListIndex index) {
    if (index < kNoItem || index >= count()) throw std::out_of_range("list index out of range");
    if (index == current_) return;
    current_ = index;
    if (observer_) observer_->currentChanged(current_);
}

const std::wstring& TextList::currentText() const {
    return current_ == kNoItem ? kEmptyText : items_[static_cast<std::size_t>(current_)];
}

void TextList::removeItem(ListIndex index) {
    if (index < 0 || index >= count()) throw std::out_of_range("list index out of range");
    items_.erase(items_.begin() + index);
    if (current_ == index) {
        current_ = kNoItem;
    } else if (current_ > index) {
        --current_;  // the current item moved up with the others
    }
    if (observer_) observer_->itemRemoved(index);
}

}  // namespace hostdeck
