// Host build: ISO-8859-1 stands in for the ANSI code page, since it maps every byte to a
// character and back. wchar_t holds whole code points here.
#include "platform/TextCodec.h"

#include <cstdint>

namespace hostdeck {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::wstring decodeUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t extra = lead < 0x80           ? 0
                                  : (lead >> 5) == 0x6  ? 1
                                  : (lead >> 4) == 0xE  ? 2
                                  : (lead >> 3) == 0x1E ? 3
                                                        : 4;  // 4: not a lead byte
        char32_t cp = extra == 0 ? lead : (lead & (0x3F >> extra));
        bool ok = extra < 4 && i + extra < bytes.size();
        for (std::size_t k = 1; ok && k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            ok = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!ok) {
            out.push_back(static_cast<wchar_t>(kReplacement));
            ++i;
            continue;
        }
        out.push_back(static_cast<wchar_t>(cp));
        i += extra + 1;
    }
    return out;
}

void encodeUtf8(char32_t cp, std::string& out) {
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

}  // namespace

std::wstring decodeText(std::string_view bytes, Encoding encoding) {
    if (encoding == Encoding::Utf8) return decodeUtf8(bytes);
    std::wstring out(bytes.size(), L'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    }
    return out;
}

bool encodeText(std::wstring_view text, Encoding encoding, std::string& bytes) {
    bytes.clear();
    if (encoding == Encoding::Ansi) {
        bytes.resize(text.size());
        std::uint32_t high = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto cp = static_cast<std::uint32_t>(text[i]);
            high |= cp;
            bytes[i] = static_cast<char>(cp);
        }
        return high <= 0xFF;
    }
    bytes.reserve(text.size());
    for (wchar_t c : text) {
        const auto cp = static_cast<std::uint32_t>(c);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        encodeUtf8(cp, bytes);
    }
    return true;
}

}  // namespace hostdeck
