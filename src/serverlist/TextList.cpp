#include "serverlist/TextList.h"

#include <stdexcept>
#include <utility>

#include "platform/ScopeGuard.h"

namespace hostdeck {

void TextList::insert(ListIndex index, std::wstring_view text) {
    if (index < 0 || index > count()) throw std::out_of_range("list index out of range");
    if (!text_.empty() && text.data() >= text_.data() &&
        text.data() < text_.data() + text_.size()) {
        const std::wstring copy(text);  // our own text: growing the buffer would move it
        insert(index, copy);
        return;
    }
    ++changes_;
    if (index == count()) {
        spans_.push_back({text_.size(), text.size()});  // appended: the common case at load
    } else {
        spans_.insert(spans_.begin() + index, Span{text_.size(), text.size()});
    }
    text_.insert(text_.end(), text.begin(), text.end());
    text_.push_back(L'\0');
    if (current_ >= index) ++current_;  // the current item moved down with the others
    if (observer_) observer_->itemInserted(index);
}

void TextList::appendAll(std::span<const std::wstring_view> texts) {
    const ListIndex first = count();
    {
        TextListObserver* const observer = std::exchange(observer_, nullptr);
        const ScopeGuard observeAgain([&] { observer_ = observer; });
        for (const std::wstring_view text : texts) append(text);
    }
    if (observer_ && count() > first) observer_->itemsAppended(first, count() - first);
}

void TextList::removeItems(ListIndex first, ListIndex count) {
    if (first < 0 || count < 0 || first + count > this->count())
        throw std::out_of_range("list index out of range");
    if (count == 0) return;
    {
        TextListObserver* const observer = std::exchange(observer_, nullptr);
        const ScopeGuard observeAgain([&] { observer_ = observer; });
        for (ListIndex i = first + count; i-- > first;) removeItem(i);  // the last first
    }
    if (observer_) observer_->itemsRemoved(first, count);
}

const TextList::Span& TextList::span(ListIndex index) const {
    if (index < 0 || index >= count()) throw std::out_of_range("list index out of range");
    return spans_[static_cast<std::size_t>(index)];
}

std::wstring_view TextList::item(ListIndex index) const {
    const Span& s = span(index);
    return {text_.data() + s.start, s.length};
}

const wchar_t* TextList::itemCString(ListIndex index) const {
    return text_.data() + span(index).start;
}

void TextList::setCurrentIndex(ListIndex index) {
    if (index < kNoItem || index >= count()) throw std::out_of_range("list index out of range");
    if (index == current_) return;
    current_ = index;
    if (observer_) observer_->currentChanged(current_);
}

std::wstring_view TextList::currentText() const {
    return current_ == kNoItem ? std::wstring_view{} : item(current_);
}

void TextList::removeItem(ListIndex index) {
    unused_ += span(index).length + 1;
    ++changes_;
    spans_.erase(spans_.begin() + index);
    if (current_ == index) {
        current_ = kNoItem;
    } else if (current_ > index) {
        --current_;  // the current item moved up with the others
    }
    if (unused_ > 4096 && unused_ > text_.size() / 2) compact();
    if (observer_) observer_->itemRemoved(index);
}

void TextList::clear() {
    ++changes_;
    text_.clear();
    spans_.clear();
    unused_ = 0;
    current_ = kNoItem;
}

void TextList::compact() {
    std::vector<wchar_t> kept;
    kept.reserve(text_.size() - unused_);
    for (Span& s : spans_) {
        const std::size_t start = kept.size();
        kept.insert(kept.end(), text_.begin() + static_cast<std::ptrdiff_t>(s.start),
                    text_.begin() + static_cast<std::ptrdiff_t>(s.start + s.length + 1));
        s.start = start;
    }
    text_ = std::move(kept);
    unused_ = 0;
}

}  // namespace hostdeck
