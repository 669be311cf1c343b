#include "platform/TextCodec.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace hostdeck {

namespace {

UINT codePageOf(Encoding encoding) { return encoding == Encoding::Utf8 ? CP_UTF8 : CP_ACP; }

}  // namespace

std::wstring decodeText(std::string_view bytes, Encoding encoding) {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    // Plain ASCII reads the same in every ANSI code page and in UTF-8; widening it here is
    // several times faster than the system's conversion.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return std::wstring(bytes.begin(), bytes.end());
    }
    const UINT codePage = codePageOf(encoding);
    const int length = static_cast<int>(bytes.size());
    const int wideLength = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (wideLength <= 0) return {};
    std::wstring text(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), wideLength);
    return text;
}

bool encodeText(std::wstring_view text, Encoding encoding, std::string& bytes) {
    bytes.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const UINT codePage = codePageOf(encoding);
    const int length = static_cast<int>(text.size());
    // Characters the code page lacks must fail the conversion, not turn into '?' or a
    // look-alike, or the list would come back changed.
    const DWORD flags = encoding == Encoding::Utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = encoding == Encoding::Utf8 ? nullptr : &usedDefault;
    const int byteLength = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0,
                                               nullptr, usedDefaultOut);
    if (byteLength <= 0 || usedDefault) return false;
    bytes.resize(static_cast<std::size_t>(byteLength));
    WideCharToMultiByte(codePage, flags, text.data(), length, bytes.data(), byteLength, nullptr,
                        nullptr);
    return true;
}

}  // namespace hostdeck
