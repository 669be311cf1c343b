#pragma once

#include <string>

namespace hostdeck {

// Told about every change of a TextField, so that a visible control can mirror it.
class TextFieldObserver {
  public:
    virtual void textChanged(const std::wstring& text) = 0;
    virtual void enabledChanged(bool enabled) = 0;

  protected:
    ~TextFieldObserver() = default;
};

// A single-line text field with an enabled flag. Starts empty and enabled.
class TextField {
  public:
    const std::wstring& text() const { return text_; }
    void setText(std::wstring text);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    void setObserver(TextFieldObserver* observer) { observer_ = observer; }

  private:
    std::wstring text_;
    bool enabled_ = true;
    TextFieldObserver* observer_ = nullptr;
};

}  // namespace hostdeck
