#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/UniqueHandle_win.h"

namespace hostdeck::testing {

// Runs the real hostdeck.exe from a folder of the test's and drives its window with
// messages and with real input through the system's input queue.
class AppDriver {
  public:
    // Copies hostdeck.exe into `folder`, starts it there and waits for its window.
    explicit AppDriver(const std::wstring& folder);
    ~AppDriver();  // ends the program if the test left it running

    HWND window() const { return window_; }
    HWND control(int id) const { return GetDlgItem(window_, id); }
    std::vector<std::wstring> listItems() const;
    int currentListItem() const;
    std::wstring text(int id) const;
    // The three fields' texts, "nickname|address|port", and whether each is enabled ("+-+").
    std::wstring fields() const;
    std::wstring fieldsEnabled() const;
    void setText(int id, const wchar_t* text) const;  // as if typed: the program is told
    int focusedId() const;
    RECT controlRect(int id) const;  // in the window's client coordinates

    void clickListItem(int index, bool doubleClick = false);
    void clickControl(int id);
    void pressKey(WORD key, bool alt = false, bool shift = false);
    void type(const std::wstring& text);

    // Waits for the program's message box and answers it with `button`; returns its text.
    std::wstring answerMessageBox(int button = IDOK);
    bool messageBoxShown() const;
    // Closes the window as the user would (the program may still ask) and waits for the end.
    bool close(DWORD timeoutMs = 15000);
    bool waitForExit(DWORD timeoutMs);

  private:
    void bringToFront();
    void click(int id, POINT clientPoint, bool doubleClick);
    HWND findWindow(const wchar_t* className) const;

    UniqueKernelHandle process_;
    DWORD processId_ = 0, threadId_ = 0;
    HWND window_ = nullptr;
};

}  // namespace hostdeck::testing
