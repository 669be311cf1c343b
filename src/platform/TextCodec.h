#pragma once

#include <string>
#include <string_view>

namespace hostdeck {

// How 8-bit text on disk maps to the wide text in memory.
enum class Encoding {
    Ansi,  // the system's ANSI code page (ISO-8859-1 on the host build)
    Utf8,
};

// The only place where 8-bit text becomes wide text and back.
std::wstring decodeText(std::string_view bytes, Encoding encoding);

// Returns false, leaving `bytes` unspecified, when some character has no exact
// representation in the encoding.
bool encodeText(std::wstring_view text, Encoding encoding, std::string& bytes);

}  // namespace hostdeck
