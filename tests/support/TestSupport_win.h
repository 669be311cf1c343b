#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/UniqueHandle_win.h"

namespace hostdeck::testing {

// A registry key the test creates in one view and deletes, with all it holds, afterwards.
class ScratchRegistryKey {
  public:
    ScratchRegistryKey(HKEY root, std::wstring path, REGSAM view);
    ~ScratchRegistryKey();
    void set(const std::wstring& name, DWORD type, const void* data, DWORD size);
    void setText(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
        set(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

  private:
    HKEY root_;
    std::wstring path_;
    REGSAM view_;
    UniqueRegistryKey key_;
};

// Waits until `condition` holds, checking every few milliseconds; false on time-out.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The folder of the running test program, which holds hostdeck.exe and the stand-in game.
std::wstring testProgramFolder();

// The lines that the stand-in game (StandInGame_win.cpp) recorded in `path`, once there are
// `count` of them or 20 seconds have passed.
std::vector<std::wstring> waitForLines(const std::wstring& path, std::size_t count);

}  // namespace hostdeck::testing
