// Host build: ISO-8859-1 stands in for the ANSI code page, since it maps every byte to a
// character and back.
#include "platform/AnsiCodePage.h"

namespace hostdeck::ansi_code_page {

bool isUtf8() { return false; }

bool decode(std::string_view bytes, std::wstring& text) {
    for (const char byte : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    return true;
}

bool encode(std::wstring_view text, std::string& bytes) {
    for (const wchar_t c : text) {
        if (static_cast<unsigned long>(c) > 0xFF) return false;
        bytes.push_back(static_cast<char>(c));
    }
    return true;
}

}  // namespace hostdeck::ansi_code_page
