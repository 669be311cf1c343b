#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

#include "platform/ScopeGuard.h"

namespace hostdeck {

// Owns one Windows handle; the traits say how to close one and which values are no handle,
// so every kind of handle is closed the right way and exactly once.
template <typename Traits>
class UniqueHandle {
  public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Type get() const { return handle_; }
    explicit operator bool() const { return Traits::valid(handle_); }
    Type release() { return std::exchange(handle_, Type{}); }
    // Keeps the last error: a handle closed on the way out of a failure leaves its code intact.
    void reset(Type handle = Type{}) {
        if (Traits::valid(handle_)) {
            const DWORD error = ::GetLastError();
            Traits::close(handle_);
            ::SetLastError(error);
        }
        handle_ = handle;
    }
    // For APIs that hand a new handle out through a pointer.
    Type* put() {
        reset();
        return &handle_;
    }

  private:
    Type handle_{};
};

// Files, processes and threads. CreateFile reports failure as INVALID_HANDLE_VALUE, the
// others as null: neither is a handle.
struct KernelHandleTraits {
    using Type = HANDLE;
    static bool valid(Type handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static void close(Type handle) { ::CloseHandle(handle); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static bool valid(Type handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static void close(Type handle) { ::FindClose(handle); }
};

struct RegistryKeyTraits {
    using Type = HKEY;
    static bool valid(Type key) { return key != nullptr; }
    static void close(Type key) { ::RegCloseKey(key); }
};

struct FontTraits {
    using Type = HFONT;
    static bool valid(Type font) { return font != nullptr; }
    static void close(Type font) { ::DeleteObject(font); }
};

// Text that a shell call allocated for the caller (SHGetKnownFolderPath).
struct CoTaskTextTraits {
    using Type = PWSTR;
    static bool valid(Type text) { return text != nullptr; }
    static void close(Type text) { ::CoTaskMemFree(text); }
};

struct MenuTraits {
    using Type = HMENU;
    static bool valid(Type menu) { return menu != nullptr; }
    static void close(Type menu) { ::DestroyMenu(menu); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueFont = UniqueHandle<FontTraits>;
using UniqueCoTaskText = UniqueHandle<CoTaskTextTraits>;

// Holds one reference to a COM object, released when done.
template <typename Interface>
class ComPointer {
  public:
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer() {
        if (object_) object_->Release();
    }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For the calls that hand out a new reference through a pointer to void*.
    void** put() {
        if (object_) object_->Release();
        object_ = nullptr;
        return reinterpret_cast<void**>(&object_);
    }

  private:
    Interface* object_ = nullptr;
};

// COM on this thread, for as long as the program runs.
class ComApartment {
  public:
    ComApartment()
        : initialised_(SUCCEEDED(
              ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialised_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialised_;
};

// A window's device context, released when done.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// The whole screen's device context.
class ScreenDC : public WindowDC {
  public:
    ScreenDC() : WindowDC(nullptr) {}
};

// An object selected into a device context, with the one before it put back when done.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window that does not redraw itself while it changes much, and is redrawn whole once done.
class RedrawSuspended {
  public:
    explicit RedrawSuspended(HWND window) : window_(window) {
        ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawSuspended() {
        ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(window_, nullptr, TRUE);
    }
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;

  private:
    HWND window_;
};

}  // namespace hostdeck
