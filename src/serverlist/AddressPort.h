#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hostdeck {

// A server's address and port as players pass them around in chat and on websites:
// "host:port", or "[IPv6 address]:port".
struct AddressPort {
    std::wstring address;
    std::wstring port;
    bool operator==(const AddressPort&) const = default;
};

// "address:port", as parseAddressPort() reads it: blanks around each left out, and an address
// that holds a colon (IPv6) in brackets, unless it is in brackets already.
std::wstring addressPortText(std::wstring_view address, std::wstring_view port);

// The address and port of text that is exactly "host:port" or "[address]:port", with blanks
// and line breaks around it ignored; the port 1 to 65535. Nothing for any other text.
std::optional<AddressPort> parseAddressPort(std::wstring_view text);

// The two texts are the same with the letter case of A to Z ignored.
bool sameIgnoringCase(std::wstring_view a, std::wstring_view b);

// The two name the same server: the addresses equal but for letter case and the ports equal,
// each with the blanks around it ignored. An empty address names no server.
bool sameServer(std::wstring_view address, std::wstring_view port, std::wstring_view otherAddress,
                std::wstring_view otherPort);

}  // namespace hostdeck
