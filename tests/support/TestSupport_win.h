#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/UniqueHandle_win.h"

namespace hostdeck::testing {

// A key below HKEY_LOCAL_MACHINE that the test creates in one registry view, and deletes
// with all it holds afterwards.
struct ScratchRegistryKey {
    ScratchRegistryKey(std::wstring path, REGSAM view);
    ~ScratchRegistryKey();
    void setText(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ);
    std::wstring path;
    REGSAM view;
    UniqueRegistryKey key;
};

// Waits until `condition` holds, checking every few milliseconds; false on time-out.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// What the stand-in game (StandInGame_win.cpp) recorded in `path`, once it holds `count`
// lines or 20 seconds have passed.
std::wstring waitForLines(const std::wstring& path, std::size_t count);

}  // namespace hostdeck::testing
