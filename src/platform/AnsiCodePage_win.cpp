#include "platform/AnsiCodePage.h"

#include <windows.h>

#include <climits>

#include "platform/TextCodec.h"

namespace hostdeck::ansi_code_page {

namespace {

// Decodes `bytes` as a whole and keeps the text only when it encodes back to exactly these
// bytes: a double-byte code page turns a broken pair into some other character, which
// would be written back as other bytes.
bool decodesExactly(std::string_view bytes, std::wstring& text, std::string& check) {
    const int length = static_cast<int>(bytes.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (wideLength <= 0) return false;
    const std::size_t start = text.size();
    text.resize(start + static_cast<std::size_t>(wideLength));
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data() + start, wideLength);
    check.clear();
    if (encode(std::wstring_view(text).substr(start), check) && check == bytes) return true;
    text.resize(start);
    return false;
}

}  // namespace

bool isUtf8() { return GetACP() == CP_UTF8; }

bool decode(std::string_view bytes, std::wstring& text) {
    if (bytes.size() > INT_MAX) return false;
    std::string check;
    if (decodesExactly(bytes, text, check)) return true;
    // Character by character, so that only the bytes that are not text become escapes.
    const UINT codePage = GetACP();
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = IsDBCSLeadByteEx(codePage, lead) && i + 1 < bytes.size() ? 2 : 1;
        if (decodesExactly(bytes.substr(i, length), text, check)) {
            i += length;
            continue;
        }
        text.push_back(lead < 0x80 ? static_cast<wchar_t>(lead)
                                   : static_cast<wchar_t>(kFirstByteEscape + lead));
        ++i;
    }
    return true;
}

bool encode(std::wstring_view text, std::string& bytes) {
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const int length = static_cast<int>(text.size());
    // Characters the code page lacks must fail the conversion, not turn into '?' or a
    // look-alike, or the list would come back changed.
    BOOL usedDefault = FALSE;
    const int byteLength = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                               nullptr, 0, nullptr, &usedDefault);
    if (byteLength <= 0 || usedDefault) return false;
    const std::size_t start = bytes.size();
    bytes.resize(start + static_cast<std::size_t>(byteLength));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data() + start,
                        byteLength, nullptr, nullptr);
    return true;
}

}  // namespace hostdeck::ansi_code_page
