#pragma once

#include <string>
#include <string_view>

// The system's ANSI code page, the one part of the text codec that each platform provides.
namespace hostdeck::ansi_code_page {

// True where the ANSI code page is UTF-8 itself (a Windows option).
bool isUtf8();

// Appends the text of `bytes`, which hold no ASCII-only shortcut; bytes that are not valid
// in the code page become byte escapes. False when the bytes are too many for one call.
bool decode(std::string_view bytes, std::wstring& text);

// Appends the bytes of `text`; false, with `bytes` unspecified, when a character (a byte
// escape among them) has no exact form in the code page.
bool encode(std::wstring_view text, std::string& bytes);

}  // namespace hostdeck::ansi_code_page
