#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hostdeck {

// Position in a list; kNoItem means "no item".
using ListIndex = std::ptrdiff_t;
inline constexpr ListIndex kNoItem = -1;

// Told about every change of a TextList, so that a visible control can mirror it.
class TextListObserver {
  public:
    virtual void itemAppended(const std::wstring& text) = 0;
    virtual void itemRemoved(ListIndex index) = 0;
    virtual void currentChanged(ListIndex index) = 0;

  protected:
    ~TextListObserver() = default;
};

// An ordered list of texts with an optional current item, the way a list box keeps them:
// items stay in the order they were appended, and removing one moves the later ones up.
class TextList {
  public:
    void append(std::wstring text);
    void reserve(std::size_t capacity) { items_.reserve(capacity); }

    ListIndex count() const { return static_cast<ListIndex>(items_.size()); }
    const std::wstring& item(ListIndex index) const;
    const std::vector<std::wstring>& items() const { return items_; }

    ListIndex currentIndex() const { return current_; }
    // kNoItem clears the current item; 0..count-1 makes that item current.
    // Throws std::out_of_range for any other index.
    void setCurrentIndex(ListIndex index);
    // The current item's text, or the empty text when there is none.
    const std::wstring& currentText() const;

    // Throws std::out_of_range unless 0 <= index < count.
    void removeItem(ListIndex index);

    void setObserver(TextListObserver* observer) { observer_ = observer; }

  private:
    std::vector<std::wstring> items_;
    ListIndex current_ = kNoItem;
    TextListObserver* observer_ = nullptr;
};

}  // namespace hostdeck
