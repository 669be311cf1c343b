// Stands in for the game in tests: appends "<show state>|<command line>\n" in UTF-16 to
// launches.txt in its own folder, then exits.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH * 4];
    std::wstring record(self, GetModuleFileNameW(nullptr, self, MAX_PATH * 4));
    record = record.substr(0, record.find_last_of(L'\\')) + L"\\launches.txt";
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    const std::wstring line = std::to_wstring(show) + L"|" + GetCommandLineW() + L"\n";
    // Appending is one step, also when several stand-ins finish at once.
    HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)),
                              &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}
