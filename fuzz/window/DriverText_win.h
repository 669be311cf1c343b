#pragma once
// Time and text for the window fuzzer's traces and waits.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

namespace hostdeck::windowfuzz {

inline constexpr DWORD kAnswerMs = 2000;  // the window answers a message within this

inline DWORD scaled(DWORD ms) {
    wchar_t scale[16] = {};
    GetEnvironmentVariableW(L"HOSTDECK_WAIT_SCALE", scale, 16);
    return ms * std::max(1UL, std::wcstoul(scale, nullptr, 10));
}

inline double nowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline std::string utf8(std::wstring_view text) {
    std::string out(text.size() * 3 + 1, '\0');
    out.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                            static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

// Shown in a trace: quotes, and control characters as \x.
inline std::string shown(std::wstring_view text) {
    std::wstring out = L"\"";
    for (wchar_t c : text.substr(0, 60)) {
        wchar_t code[8];
        if (c < 0x20) std::swprintf(code, 8, L"\\x%02X", static_cast<unsigned>(c));
        out += c < 0x20 ? std::wstring(code) : std::wstring(1, c);
    }
    return utf8(out + (text.size() > 60 ? L"...\"" : L"\""));
}

inline std::string listed(const std::vector<std::wstring>& names) {
    std::string out = "[";
    for (std::size_t i = 0; i < names.size() && i < 30; ++i)
        out += (i ? ", " : "") + shown(names[i]);
    return out + (names.size() > 30 ? ", ...]" : "]");
}

}  // namespace hostdeck::windowfuzz
