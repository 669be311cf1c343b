// UTF-8 and the byte escapes are the same on every platform; the ANSI code page is the
// platform's (AnsiCodePage_*.cpp).
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/AnsiCodePage.h"

namespace hostdeck {

namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool isByteEscape(std::uint32_t c) { return c >= kFirstByteEscape && c <= kLastByteEscape; }

// One UTF-16 unit or, where wchar_t is 32 bits wide, one code point.
std::uint32_t unit(std::wstring_view text, std::size_t i) {
    const auto c = static_cast<std::uint32_t>(text[i]);
    return kWideIsUtf16 ? (c & 0xFFFF) : c;
}

wchar_t escapeOf(unsigned char byte) { return static_cast<wchar_t>(0xDC00 + byte); }

// Length of the well-formed UTF-8 sequence at `at`, or 0 when none starts there. The
// ranges of the second byte rule out overlong forms, surrogates and values past U+10FFFF.
std::size_t utf8SequenceLength(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[at + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() - at < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
    }
    return length;
}

void appendCodePoint(std::uint32_t cp, std::wstring& text) {
    if (kWideIsUtf16 && cp >= 0x10000) {
        cp -= 0x10000;
        text.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        text.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        text.push_back(static_cast<wchar_t>(cp));
    }
}

void decodeUtf8(std::string_view bytes, std::wstring& text) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t length = utf8SequenceLength(bytes, i);
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (length == 0) {
            text.push_back(escapeOf(lead));
            ++i;
            continue;
        }
        std::uint32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        }
        appendCodePoint(cp, text);
        i += length;
    }
}

// Units that are no text on their own (a NUL, half of a surrogate pair) keep their two bytes
// as escapes, in file order.
void decodeUtf16(std::string_view bytes, bool bigEndian, std::wstring& text) {
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (std::uint32_t{first} << 8 | second)
                         : (std::uint32_t{second} << 8 | first);
    };
    const auto isHigh = [](std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; };
    const auto isLow = [](std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const std::uint32_t u = unitAt(i);
        if (isHigh(u) && i + 3 < bytes.size() && isLow(unitAt(i + 2))) {
            appendCodePoint(0x10000 + ((u - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00), text);
            i += 2;
        } else if (u == 0 || isHigh(u) || isLow(u)) {
            text.push_back(escapeOf(static_cast<unsigned char>(bytes[i])));
            text.push_back(escapeOf(static_cast<unsigned char>(bytes[i + 1])));
        } else {
            text.push_back(static_cast<wchar_t>(u));
        }
    }
    if (i < bytes.size()) text.push_back(escapeOf(static_cast<unsigned char>(bytes[i])));
}

void appendUtf8(std::uint32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool encodeUtf8(std::wstring_view text, std::string& out, bool& keptBytes) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint32_t cp = unit(text, i);
        if (kWideIsUtf16 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            const std::uint32_t next = unit(text, i + 1);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                appendUtf8(0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00), out);
                ++i;
                continue;
            }
        }
        if (isByteEscape(cp)) {
            keptBytes = true;
            out.push_back(static_cast<char>(cp - 0xDC00));
        } else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            return false;
        } else {
            appendUtf8(cp, out);
        }
    }
    return true;
}

// The ANSI code page knows no escapes: the text between them goes through the code page,
// each escape becomes its byte. A low surrogate right after a high one is half of a pair.
bool encodeAnsi(std::wstring_view text, std::string& out, bool& keptBytes) {
    std::size_t runStart = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool escape = i < text.size() && unitKindAt(text, i) == UnitKind::ByteEscape;
        if (i < text.size() && !escape) continue;
        if (i > runStart && !ansi_code_page::encode(text.substr(runStart, i - runStart), out))
            return false;
        if (escape) out.push_back(static_cast<char>(unit(text, i) - 0xDC00));
        keptBytes = keptBytes || escape;
        runStart = i + 1;
    }
    return true;
}

bool encodeUtf16(std::wstring_view text, bool bigEndian, std::string& out, bool& keptBytes) {
    const auto put = [&](std::uint32_t u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const UnitKind kind = unitKindAt(text, i);
        std::uint32_t cp = unit(text, i);
        if (kind == UnitKind::LoneHalf || cp > 0x10FFFF) return false;
        if (kind == UnitKind::ByteEscape) {
            keptBytes = true;
            out.push_back(static_cast<char>(cp - 0xDC00));
        } else if (cp >= 0x10000) {  // a wchar_t of 32 bits
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return true;
}

}  // namespace

UnitKind unitKindAt(std::wstring_view text, std::size_t i) {
    const auto isHigh = [&](std::size_t k) {
        return unit(text, k) >= 0xD800 && unit(text, k) <= 0xDBFF;
    };
    const auto isLow = [&](std::size_t k) {
        return unit(text, k) >= 0xDC00 && unit(text, k) <= 0xDFFF;
    };
    if (isHigh(i)) return i + 1 < text.size() && isLow(i + 1) ? UnitKind::Text : UnitKind::LoneHalf;
    if (!isLow(i) || (i > 0 && isHigh(i - 1))) return UnitKind::Text;
    return isByteEscape(unit(text, i)) ? UnitKind::ByteEscape : UnitKind::LoneHalf;
}

bool isAscii(std::string_view bytes) {
    // Eight bytes at a time: this runs over every byte the program reads or writes.
    std::uint64_t high = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        high |= word;
    }
    for (; i < bytes.size(); ++i) high |= static_cast<unsigned char>(bytes[i]);
    return (high & 0x8080808080808080ull) == 0;
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8SequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

namespace {

// Bytes without a NUL, in an 8-bit encoding.
bool decodeRun(std::string_view bytes, Encoding encoding, std::wstring& text) {
    // Plain ASCII reads the same in every ANSI code page and in UTF-8; widening it here is
    // several times faster than the system's conversion.
    if (isAscii(bytes)) {
        text.append(bytes.begin(), bytes.end());
        return true;
    }
    if (encoding == Encoding::Utf8 || ansi_code_page::isUtf8()) {
        decodeUtf8(bytes, text);
        return true;
    }
    return ansi_code_page::decode(bytes, text);
}

}  // namespace

bool decodeTextInto(std::string_view bytes, Encoding encoding, std::wstring& text) {
    if (isUtf16(encoding)) {
        decodeUtf16(bytes, encoding == Encoding::Utf16Be, text);
        return true;
    }
    for (;;) {
        const std::size_t nul = bytes.find('\0');
        if (!decodeRun(bytes.substr(0, nul), encoding, text)) return false;
        if (nul == std::string_view::npos) return true;
        text.push_back(escapeOf(0));
        bytes.remove_prefix(nul + 1);
    }
}

std::wstring decodeText(std::string_view bytes, Encoding encoding) {
    std::wstring text;
    if (!decodeTextInto(bytes, encoding, text)) text.clear();
    return text;
}

bool encodeText(std::wstring_view text, Encoding encoding, std::string& bytes, bool* keptBytes) {
    bytes.clear();
    bytes.reserve(text.size());
    bool kept = false, encoded = false;
    if (isUtf16(encoding)) {
        encoded = encodeUtf16(text, encoding == Encoding::Utf16Be, bytes, kept);
    } else if (encoding == Encoding::Utf8 || ansi_code_page::isUtf8()) {
        encoded = encodeUtf8(text, bytes, kept);
    } else if (ansi_code_page::encode(text, bytes)) {
        encoded = true;  // byte escapes are rare: the whole text goes through the code page first
    } else {
        bytes.clear();
        encoded = encodeAnsi(text, bytes, kept);
    }
    if (keptBytes) *keptBytes = kept;
    return encoded;
}

}  // namespace hostdeck
