#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace hostdeck::testing {

// A registry key the test creates in one view and deletes, with all it holds, afterwards.
class ScratchRegistryKey {
  public:
    ScratchRegistryKey(HKEY root, std::wstring path, REGSAM view);
    ~ScratchRegistryKey();
    ScratchRegistryKey(const ScratchRegistryKey&) = delete;
    ScratchRegistryKey& operator=(const ScratchRegistryKey&) = delete;

    void setRaw(const std::wstring& name, DWORD type, const void* data, DWORD size);
    void setText(const std::wstring& name, const std::wstring& text);
    void setDword(const std::wstring& name, DWORD number);
    const std::wstring& path() const { return path_; }

  private:
    HKEY root_;
    std::wstring path_;
    REGSAM view_;
    HKEY key_ = nullptr;
};

// A visible top-level window of that class belonging to that process, or null.
HWND findVisibleWindow(DWORD processId, const wchar_t* className);

// The folder of the running test program.
std::wstring testProgramFolder();

// Lines of a UTF-8 text file, waiting up to `timeoutMs` until it holds `count` of them.
std::vector<std::wstring> waitForLines(const std::wstring& path, std::size_t count,
                                       DWORD timeoutMs);

}  // namespace hostdeck::testing

namespace hostdeck::testing {
// ASCII rendering of a wide name for test messages.
inline std::string narrowForTrace(const wchar_t* text) {
    std::string out;
    for (; *text; ++text) out.push_back(*text < 128 ? static_cast<char>(*text) : '?');
    return out;
}
}  // namespace hostdeck::testing
