#include "app/AppDriver_win.h"

#include <stdexcept>

#include "app/FormLayout.h"
#include "support/TestSupport_win.h"

namespace hostdeck::testing {

namespace {


void sendInputs(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT keyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT mouseInput(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() > deadline) return false;
        Sleep(20);
    }
}

AppDriver::AppDriver(const std::wstring& folder) {
    const std::wstring exe = folder + L"\\hostdeck.exe";
    if (!CopyFileW((testProgramFolder() + L"\\hostdeck.exe").c_str(), exe.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy hostdeck.exe");
    }
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &started)) {
        throw std::runtime_error("cannot start hostdeck.exe");
    }
    process_.reset(started.hProcess);
    CloseHandle(started.hThread);
    processId_ = started.dwProcessId;
    waitUntil([&] { return (window_ = findVisibleWindow(processId_, kWindowClass)) != nullptr; },
              30000);
    if (!window_) throw std::runtime_error("hostdeck.exe showed no window");
    threadId_ = GetWindowThreadProcessId(window_, nullptr);
    WaitForInputIdle(process_.get(), 10000);
    bringToFront();
}

AppDriver::~AppDriver() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

std::vector<std::wstring> AppDriver::listItems() const {
    HWND list = control(kIdServerNickList);
    std::vector<std::wstring> items;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // The program may change the list while we read it: a gone item ends the reading.
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        if (length < 0) break;
        std::wstring item(static_cast<std::size_t>(length) + 256, L'\0');
        const LRESULT got =
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        if (got < 0 || got > length + 255) break;
        item.resize(static_cast<std::size_t>(got));
        items.push_back(item);
    }
    return items;
}

int AppDriver::currentListItem() const {
    return static_cast<int>(SendMessageW(control(kIdServerNickList), LB_GETCURSEL, 0, 0));
}

std::wstring AppDriver::text(int id) const {
    wchar_t buffer[1024] = {};
    const auto length =
        SendMessageW(control(id), WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<std::size_t>(length));
}

int AppDriver::focusedId() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(threadId_, &info) || !info.hwndFocus) return 0;
    return GetDlgCtrlID(info.hwndFocus);
}

RECT AppDriver::controlRect(int id) const {
    RECT rect{};
    GetWindowRect(control(id), &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void AppDriver::bringToFront() {
    if (GetForegroundWindow() != window_) {
        SetForegroundWindow(window_);
        waitUntil([&] { return GetForegroundWindow() == window_; }, 3000);
    }
}

void AppDriver::click(int id, POINT clientPoint, bool doubleClick) {
    bringToFront();
    ClientToScreen(control(id), &clientPoint);
    // The window system may place a new window a moment after it is shown: click only once
    // the point is really over the control.
    waitUntil(
        [&] {
            SetCursorPos(clientPoint.x, clientPoint.y);
            return WindowFromPoint(clientPoint) == control(id);
        },
        5000);
    std::vector<INPUT> inputs{mouseInput(MOUSEEVENTF_LEFTDOWN), mouseInput(MOUSEEVENTF_LEFTUP)};
    if (doubleClick) {
        inputs.push_back(mouseInput(MOUSEEVENTF_LEFTDOWN));
        inputs.push_back(mouseInput(MOUSEEVENTF_LEFTUP));
    }
    sendInputs(inputs);
}

void AppDriver::clickListItem(int index, bool doubleClick) {
    RECT item{};
    SendMessageW(control(kIdServerNickList), LB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    click(kIdServerNickList, {item.left + 10, (item.top + item.bottom) / 2}, doubleClick);
}

void AppDriver::clickControl(int id) {
    RECT rect{};
    GetClientRect(control(id), &rect);
    click(id, {rect.right / 2, rect.bottom / 2});
}

void AppDriver::pressKey(WORD key, bool alt, bool shift) {
    bringToFront();
    std::vector<INPUT> inputs;
    if (alt) inputs.push_back(keyInput(VK_MENU, false));
    if (shift) inputs.push_back(keyInput(VK_SHIFT, false));
    inputs.push_back(keyInput(key, false));
    inputs.push_back(keyInput(key, true));
    if (shift) inputs.push_back(keyInput(VK_SHIFT, true));
    if (alt) inputs.push_back(keyInput(VK_MENU, true));
    sendInputs(inputs);
}

void AppDriver::type(const std::wstring& text) {
    bringToFront();
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = c;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(input);
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    sendInputs(inputs);
}

HWND AppDriver::findMessageBox() const { return findVisibleWindow(processId_, L"#32770"); }

std::wstring AppDriver::messageBoxText(HWND box) {
    // The message is the static control with the most text.
    std::wstring longest;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t buffer[2048] = {};
        const auto length =
            SendMessageW(child, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
        if (static_cast<std::size_t>(length) > longest.size())
            longest.assign(buffer, static_cast<std::size_t>(length));
    }
    return longest;
}

bool AppDriver::close(DWORD timeoutMs) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    return waitForExit(timeoutMs);
}

bool AppDriver::waitForExit(DWORD timeoutMs) {
    return WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace hostdeck::testing
