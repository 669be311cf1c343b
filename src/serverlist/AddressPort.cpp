#include "serverlist/AddressPort.h"

#include <algorithm>

namespace hostdeck {

namespace {

constexpr std::wstring_view kBlanks = L" \t\r\n";
constexpr unsigned kHighestPort = 65535;

std::wstring_view trimmed(std::wstring_view text) {
    const std::size_t start = text.find_first_not_of(kBlanks);
    if (start == std::wstring_view::npos) return {};
    return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

bool isPort(std::wstring_view text) {
    if (text.empty() || text.size() > 5) return false;
    unsigned value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value >= 1 && value <= kHighestPort;
}

wchar_t folded(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

bool isIn(wchar_t c, std::wstring_view letters) { return letters.find(c) != letters.npos; }
bool isLetterOrDigit(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}
constexpr std::wstring_view kHexDigits = L"0123456789abcdefABCDEF";

// Labels of letters, digits, "-" and "_" between dots (an IPv4 address is one too), none
// beginning or ending with "-", one dot allowed at the end, 253 characters at most.
bool isHostName(std::wstring_view text) {
    if (text.ends_with(L'.')) text.remove_suffix(1);
    if (text.empty() || text.size() > 253) return false;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(L'.', start), text.size());
        const std::wstring_view label = text.substr(start, end - start);
        if (label.empty() || label.size() > 63 || label.front() == L'-' || label.back() == L'-')
            return false;
        for (const wchar_t c : label)
            if (!isLetterOrDigit(c) && c != L'-' && c != L'_') return false;
        start = end + 1;
    }
    return true;
}

// Hex digits, colons (at least two) and dots (an IPv4 end), and a zone after "%".
bool isIpv6(std::wstring_view text) {
    const std::wstring_view zone = text.substr(std::min(text.find(L'%'), text.size()));
    text.remove_suffix(zone.size());
    if (zone.size() == 1 || text.size() < 2 || text.size() > 45) return false;
    if (std::count(text.begin(), text.end(), L':') < 2) return false;
    for (const wchar_t c : text)
        if (!isIn(c, kHexDigits) && c != L':' && c != L'.') return false;
    for (const wchar_t c : zone.substr(std::min<std::size_t>(1, zone.size())))
        if (!isLetterOrDigit(c) && !isIn(c, L".-_")) return false;
    return true;
}

// The address as the rule for the same server reads it: no blanks or brackets around it.
std::wstring_view serverAddress(std::wstring_view address) {
    address = trimmed(address);
    if (address.size() >= 2 && address.front() == L'[' && address.back() == L']')
        address = trimmed(address.substr(1, address.size() - 2));
    return address;
}

}  // namespace

std::wstring addressPortText(std::wstring_view address, std::wstring_view port) {
    // What a paste takes back: no blanks around, and an address in brackets already kept so.
    // Any other address with a colon or a bracket goes in brackets, so that no part of the port
    // can read as the end of an IPv6 address: "[" and ":c:]:1" must not paste as "::c:".
    address = trimmed(address);
    port = trimmed(port);
    const bool bracketed = address.size() >= 2 && address.front() == L'[' && address.back() == L']';
    const bool colon = !bracketed && address.find_first_of(L":[]") != std::wstring_view::npos;
    std::wstring text;
    if (colon) text += L'[';
    text += address;
    if (colon) text += L']';
    text += L':';
    text += port;
    return text;
}

std::optional<AddressPort> parseAddressPort(std::wstring_view text) {
    text = trimmed(text);
    std::wstring_view address, port;
    bool valid = false;
    if (text.starts_with(L'[')) {
        const std::size_t close = text.find(L"]:");
        if (close == std::wstring_view::npos) return std::nullopt;
        address = text.substr(1, close - 1);
        port = text.substr(close + 2);
        valid = isIpv6(address);
    } else {
        const std::size_t colon = text.find(L':');
        if (colon == std::wstring_view::npos || text.rfind(L':') != colon) return std::nullopt;
        address = text.substr(0, colon);
        port = text.substr(colon + 1);
        valid = isHostName(address);
    }
    if (!valid || !isPort(port)) return std::nullopt;
    return AddressPort{std::wstring(address), std::wstring(port)};
}

std::optional<AddressPort> readPastedAddress(std::wstring_view text) {
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of(L"\r\n", start), text.size());
        const std::wstring_view line = text.substr(start, end - start);
        if (!trimmed(line).empty()) return parseAddressPort(line);
        start = end + 1;
    }
    return std::nullopt;
}

bool sameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return folded(x) == folded(y); });
}

std::wstring serverKey(std::wstring_view address, std::wstring_view port) {
    address = serverAddress(address);
    std::wstring key;
    key.reserve(address.size() + port.size() + 1);
    for (const wchar_t c : address) key += folded(c);
    key += L'\n';
    key += trimmed(port);
    return key;
}

bool sameServer(std::wstring_view address, std::wstring_view port, std::wstring_view otherAddress,
                std::wstring_view otherPort) {
    address = serverAddress(address);
    return !address.empty() && sameIgnoringCase(address, serverAddress(otherAddress)) &&
           trimmed(port) == trimmed(otherPort);
}

}  // namespace hostdeck
