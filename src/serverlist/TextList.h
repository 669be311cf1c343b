#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <span>
#include <string_view>
#include <vector>

namespace hostdeck {

// Position in a list; kNoItem means "no item".
using ListIndex = std::ptrdiff_t;
inline constexpr ListIndex kNoItem = -1;

// Told about every change of a TextList, so that a visible control can mirror it.
class TextListObserver {
  public:
    // A new item stands at `index` (at the end when appended); the ones from there on moved
    // down by one.
    virtual void itemInserted(ListIndex index) = 0;
    // `count` items were appended at once from `first` on: by default, each as inserted.
    virtual void itemsAppended(ListIndex first, ListIndex count) {
        for (ListIndex i = first; i < first + count; ++i) itemInserted(i);
    }
    virtual void itemRemoved(ListIndex index) = 0;
    // `count` items were removed at once from `first` on: by default, each as removed.
    virtual void itemsRemoved(ListIndex first, ListIndex count) {
        for (ListIndex i = 0; i < count; ++i) itemRemoved(first);
    }
    virtual void currentChanged(ListIndex index) = 0;

  protected:
    ~TextListObserver() = default;
};

// An ordered list of texts with an optional current item, the way a list box keeps them:
// items stay in the order they were appended, and removing one moves the later ones up.
// The texts share one buffer, so that lists of many thousands of entries cost few
// allocations; a text handed out stays valid until the list next changes.
class TextList {
  public:
    void append(std::wstring_view text) { insert(count(), text); }
    // Appends the texts in order, as one change for the observer (itemsAppended()), so that a
    // list box mirroring the list can take many at once.
    void appendAll(std::span<const std::wstring_view> texts);
    // Puts the text at `index` (0..count), moving the later items, and the current one with
    // them, down by one. Throws std::out_of_range for any other index.
    void insert(ListIndex index, std::wstring_view text);
    // Room for `items` more texts of `characters` characters in all, so that filling the
    // list from a large file does not copy what it has read again and again.
    void reserve(std::size_t items, std::size_t characters) {
        spans_.reserve(spans_.size() + items);
        text_.reserve(text_.size() + characters + items);  // one NUL per text
    }

    ListIndex count() const { return static_cast<ListIndex>(spans_.size()); }
    // Throw std::out_of_range unless 0 <= index < count.
    std::wstring_view item(ListIndex index) const;
    const wchar_t* itemCString(ListIndex index) const;  // NUL-terminated

    ListIndex currentIndex() const { return current_; }
    // kNoItem clears the current item; 0..count-1 makes that item current.
    // Throws std::out_of_range for any other index.
    void setCurrentIndex(ListIndex index);
    // The current item's text, or the empty text when there is none.
    std::wstring_view currentText() const;

    // Throws std::out_of_range unless 0 <= index < count.
    void removeItem(ListIndex index);
    // Removes `count` items from `first` on, as one change for the observer (itemsRemoved()).
    void removeItems(ListIndex first, ListIndex count);

    // Removes every item at once; the observer is not told.
    void clear();

    void setObserver(TextListObserver* observer) { observer_ = observer; }

    // Counts every item added or removed: while it stays the same, so do the items.
    std::uint64_t changes() const { return changes_; }

  private:
    struct Span {
        std::size_t start;
        std::size_t length;
    };
    const Span& span(ListIndex index) const;
    void compact();

    std::vector<wchar_t> text_;  // every item's characters, each followed by a NUL
    std::vector<Span> spans_;
    std::size_t unused_ = 0;  // characters of removed items still in text_
    ListIndex current_ = kNoItem;
    std::uint64_t changes_ = 0;
    TextListObserver* observer_ = nullptr;
};

}  // namespace hostdeck
