// Stands in for the game in tests: appends "<show state>|<command line>" as a UTF-8 line to
// launches.txt in its own folder, then exits.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    std::wstring record = std::wstring(self, length);
    record = record.substr(0, record.find_last_of(L'\\')) + L"\\launches.txt";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    const std::wstring line = std::to_wstring(show) + L"|" + GetCommandLineW() + L"\n";
    std::string utf8(static_cast<std::size_t>(line.size() * 4), '\0');
    utf8.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr)));
    // Two stand-ins may finish at once: retry while the other one holds the file.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
            CloseHandle(file);
            return 0;
        }
        Sleep(25);
    }
    return 1;
}
