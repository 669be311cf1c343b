#include "app/AppDriver_win.h"

#include <stdexcept>

#include "app/FormLayout.h"
#include "support/TestSupport_win.h"

namespace hostdeck::testing {

namespace {

void send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT key(WORD virtualKey, wchar_t character, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = character;
    input.ki.dwFlags = flags;
    return input;
}

INPUT mouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner != search->processId || lstrcmpW(className, search->className) != 0 ||
        !IsWindowVisible(window)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

}  // namespace

AppDriver::AppDriver(const std::wstring& folder) {
    const std::wstring exe = folder + L"\\hostdeck.exe";
    if (!CopyFileW((testProgramFolder() + L"\\hostdeck.exe").c_str(), exe.c_str(), FALSE))
        throw std::runtime_error("cannot copy hostdeck.exe");
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &started)) {
        throw std::runtime_error("cannot start hostdeck.exe");
    }
    process_.reset(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    processId_ = started.dwProcessId;
    waitUntil([&] { return (window_ = findWindow(kWindowClass)) != nullptr; }, 30000);
    if (!window_) throw std::runtime_error("hostdeck.exe showed no window");
    threadId_ = GetWindowThreadProcessId(window_, nullptr);
    WaitForInputIdle(process_.get(), 10000);
    bringToFront();
}

AppDriver::~AppDriver() {
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

std::vector<std::wstring> AppDriver::listItems() const {
    std::vector<std::wstring> items;
    const auto count = SendMessageW(control(kIdServerNickList), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[512] = {};
        if (SendMessageW(control(kIdServerNickList), LB_GETTEXTLEN, i, 0) >= 512) break;
        SendMessageW(control(kIdServerNickList), LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        items.push_back(item);
    }
    return items;
}

int AppDriver::currentListItem() const {
    return static_cast<int>(SendMessageW(control(kIdServerNickList), LB_GETCURSEL, 0, 0));
}

std::wstring AppDriver::text(int id) const {
    wchar_t text[512] = {};  // WM_GETTEXT: GetWindowText does not ask another process's control
    SendMessageW(control(id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring AppDriver::fields() const {
    return text(kIdNicknameField) + L"|" + text(kIdAddressField) + L"|" + text(kIdPortField);
}

std::wstring AppDriver::fieldsEnabled() const {
    std::wstring enabled;
    for (int id : {kIdNicknameField, kIdAddressField, kIdPortField})
        enabled += IsWindowEnabled(control(id)) ? L'+' : L'-';
    return enabled;
}

void AppDriver::setText(int id, const wchar_t* text) const {
    SendMessageW(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
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
    if (GetForegroundWindow() == window_) return;
    SetForegroundWindow(window_);
    waitUntil([&] { return GetForegroundWindow() == window_; }, 3000);
}

void AppDriver::click(int id, POINT clientPoint, bool doubleClick) {
    bringToFront();
    ClientToScreen(control(id), &clientPoint);
    // The window system may place a new window a moment after it is shown: click only once
    // the point is really over the control.
    waitUntil([&] {
        SetCursorPos(clientPoint.x, clientPoint.y);
        return WindowFromPoint(clientPoint) == control(id);
    });
    const INPUT down = mouse(MOUSEEVENTF_LEFTDOWN), up = mouse(MOUSEEVENTF_LEFTUP);
    send(doubleClick ? std::vector<INPUT>{down, up, down, up} : std::vector<INPUT>{down, up});
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
    click(id, {rect.right / 2, rect.bottom / 2}, false);
}

void AppDriver::pressKey(WORD virtualKey, bool alt, bool shift) {
    bringToFront();
    std::vector<INPUT> inputs;
    if (alt) inputs.push_back(key(VK_MENU, 0, 0));
    if (shift) inputs.push_back(key(VK_SHIFT, 0, 0));
    inputs.push_back(key(virtualKey, 0, 0));
    inputs.push_back(key(virtualKey, 0, KEYEVENTF_KEYUP));
    if (shift) inputs.push_back(key(VK_SHIFT, 0, KEYEVENTF_KEYUP));
    if (alt) inputs.push_back(key(VK_MENU, 0, KEYEVENTF_KEYUP));
    send(inputs);
}

void AppDriver::type(const std::wstring& text) {
    bringToFront();
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        inputs.push_back(key(0, c, KEYEVENTF_UNICODE));
        inputs.push_back(key(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    send(inputs);
}

HWND AppDriver::findWindow(const wchar_t* className) const {
    WindowSearch search{processId_, className};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool AppDriver::messageBoxShown() const { return findWindow(L"#32770") != nullptr; }

std::wstring AppDriver::answerMessageBox(int button) {
    HWND box = nullptr;
    if (!waitUntil([&] { return (box = findWindow(L"#32770")) != nullptr; })) return L"<none>";
    // The message is the static control with the most text.
    std::wstring message;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[2048] = {};
        GetWindowTextW(child, text, 2048);
        if (wcslen(text) > message.size()) message = text;
    }
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    waitUntil([&] { return !IsWindow(box); });
    return message;
}

bool AppDriver::close(DWORD timeoutMs) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    return waitForExit(timeoutMs);
}

bool AppDriver::waitForExit(DWORD timeoutMs) {
    return WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace hostdeck::testing
