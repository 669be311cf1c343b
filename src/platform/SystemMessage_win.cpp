#include "platform/SystemMessage_win.h"

#include <iterator>

#include "texts/UserTexts.h"

namespace hostdeck {

std::wstring systemMessage(DWORD error) {
    // An HRESULT (COM's errors) is shown in hex, as Windows writes it; one that stands for a
    // Win32 error has that error's text.
    const bool hresult = (error & 0x80000000u) != 0;
    const DWORD textOf =
        hresult && HRESULT_FACILITY(error) == FACILITY_WIN32 ? HRESULT_CODE(error) : error;
    wchar_t buffer[512];
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, textOf,
                       0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                          buffer[length - 1] == L' ' || buffer[length - 1] == L'.')) {
        --length;
    }
    std::wstring code = hresult ? L"0x" : texts::number(error);
    for (int shift = 28; hresult && shift >= 0; shift -= 4)
        code += L"0123456789ABCDEF"[(error >> shift) & 0xF];
    if (length == 0) return texts::fill(texts::kSystemError, {{}, code});
    return texts::fill(texts::kSystemMessage, {std::wstring_view(buffer, length), code});
}

Result systemFailure(DWORD error, const texts::Text<2>& text, std::wstring_view subject,
                     Result::Status status) {
    return {status, texts::fill(text, {subject, systemMessage(error)}), error};
}

}  // namespace hostdeck
