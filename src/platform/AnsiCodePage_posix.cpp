// Host build: ISO-8859-1 stands in for the ANSI code page, since it maps every byte to a
// character and back.
#include "platform/AnsiCodePage.h"

namespace hostdeck::ansi_code_page {

bool isUtf8() { return false; }

bool decode(std::string_view bytes, std::wstring& text) {
    for (const char byte : bytes)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    return true;
}

bool encode(std::wstring_view text, std::string& bytes) {
    const std::size_t start = bytes.size();
    bytes.resize(start + text.size());
    unsigned long high = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned long>(text[i]);
        high |= c;
        bytes[start + i] = static_cast<char>(c);
    }
    return high <= 0xFF;
}

}  // namespace hostdeck::ansi_code_page
