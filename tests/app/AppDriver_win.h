#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/UniqueHandle_win.h"

namespace hostdeck::testing {

// Waits until `condition` holds, checking every few milliseconds; false on time-out.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// Runs the real hostdeck.exe from a folder of the test's and drives its window.
class AppDriver {
  public:
    // Copies hostdeck.exe into `folder` and starts it there; waits for its window.
    explicit AppDriver(const std::wstring& folder);
    ~AppDriver();  // ends the program if the test left it running
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;

    HWND window() const { return window_; }
    HWND control(int id) const { return GetDlgItem(window_, id); }
    DWORD processId() const { return processId_; }

    std::vector<std::wstring> listItems() const;
    int currentListItem() const;
    std::wstring text(int id) const;
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    int focusedId() const;
    // Control's rectangle in the window's client coordinates.
    RECT controlRect(int id) const;

    // Real input, through the system's input queue.
    void click(int id, POINT clientPoint, bool doubleClick = false);
    void clickListItem(int index, bool doubleClick = false);
    void clickControl(int id);
    void pressKey(WORD key, bool alt = false, bool shift = false);
    void type(const std::wstring& text);

    // The message box the program shows, if one is up; its text.
    HWND findMessageBox() const;
    static std::wstring messageBoxText(HWND box);

    // Closes the window as the user would and waits for the program to end.
    bool close(DWORD timeoutMs = 15000);
    bool waitForExit(DWORD timeoutMs);

  private:
    void bringToFront();

    UniqueKernelHandle process_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

}  // namespace hostdeck::testing
