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

}  // namespace

std::wstring addressPortText(std::wstring_view address, std::wstring_view port) {
    // What a paste takes back: no blanks around, and an address in brackets already kept so.
    address = trimmed(address);
    port = trimmed(port);
    const bool colon = address.find(L':') != std::wstring_view::npos &&
                       !(address.starts_with(L'[') && address.ends_with(L']'));
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
    if (text.starts_with(L'[')) {
        const std::size_t close = text.find(L"]:");
        if (close == std::wstring_view::npos) return std::nullopt;
        address = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else {
        const std::size_t colon = text.find(L':');
        if (colon == std::wstring_view::npos || text.rfind(L':') != colon) return std::nullopt;
        address = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    if (address.empty() || address.find_first_of(L" \t\r\n[]") != std::wstring_view::npos ||
        !isPort(port))
        return std::nullopt;
    return AddressPort{std::wstring(address), std::wstring(port)};
}

bool sameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return folded(x) == folded(y); });
}

bool sameServer(std::wstring_view address, std::wstring_view port, std::wstring_view otherAddress,
                std::wstring_view otherPort) {
    address = trimmed(address);
    return !address.empty() && sameIgnoringCase(address, trimmed(otherAddress)) &&
           trimmed(port) == trimmed(otherPort);
}

}  // namespace hostdeck
