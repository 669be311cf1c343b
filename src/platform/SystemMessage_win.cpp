#include "platform/SystemMessage_win.h"

#include <iterator>

namespace hostdeck {

std::wstring systemMessage(DWORD error) {
    wchar_t buffer[512];
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                          buffer[length - 1] == L' ' || buffer[length - 1] == L'.')) {
        --length;
    }
    if (length == 0) return L"error " + std::to_wstring(error);
    return std::wstring(buffer, length) + L" (error " + std::to_wstring(error) + L")";
}

}  // namespace hostdeck
