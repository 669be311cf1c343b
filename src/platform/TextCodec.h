#pragma once

#include <string>
#include <string_view>

namespace hostdeck {

// How 8-bit text on disk maps to the wide text in memory.
enum class Encoding {
    Ansi,  // the system's ANSI code page (ISO-8859-1 on the host build)
    Utf8,
    Utf16Le,  // as Notepad saves "Unicode"
    Utf16Be,
};
inline bool isUtf16(Encoding encoding) {
    return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
}

// The only place where 8-bit text becomes wide text and back.
//
// Bytes that are not valid text in the encoding (a broken UTF-8 sequence, a lead byte of a
// double-byte code page without its trail, half of a UTF-16 surrogate pair) are not
// replaced: each such byte b becomes the lone low surrogate U+DC00 + b, which valid text
// never holds, and encoding writes it back as that same byte. Text read from a file
// therefore always goes back to the same bytes. A NUL becomes such an escape too: an edit
// control or a list box would end the text there.
inline constexpr wchar_t kFirstByteEscape = 0xDC00;
inline constexpr wchar_t kLastByteEscape = 0xDCFF;

// What stands at text[i]: a character or half of a well-formed pair, a byte escape, or half
// of a pair on its own (which no file can hold).
enum class UnitKind { Text, ByteEscape, LoneHalf };
UnitKind unitKindAt(std::wstring_view text, std::size_t i);

// Appends the decoded text to `text`. False only when the bytes are more than one
// conversion can take; `text` is then unspecified. UTF-16 bytes are taken in pairs, a last
// odd byte as an escape.
bool decodeTextInto(std::string_view bytes, Encoding encoding, std::wstring& text);
std::wstring decodeText(std::string_view bytes, Encoding encoding);

// Returns false, leaving `bytes` unspecified, when some character has no exact
// representation in the encoding (or is half of a surrogate pair). `keptBytes`, when given,
// tells whether the text held byte escapes.
bool encodeText(std::wstring_view text, Encoding encoding, std::string& bytes,
                bool* keptBytes = nullptr);

bool isAscii(std::string_view bytes);

// True when the bytes are well-formed UTF-8 as Windows reads it: no overlong forms, no
// encoded surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);

}  // namespace hostdeck
