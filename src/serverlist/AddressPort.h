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

// The address and port of text that is exactly "host:port" or "[IPv6 address]:port", with blanks
// around it ignored: a host name (letters, digits, "-" and "_" between dots) or an IPv4 address,
// or an IPv6 address in brackets, and a port from 1 to 65535. Nothing for any other text.
std::optional<AddressPort> parseAddressPort(std::wstring_view text);

// What a paste into the address field fills in: the first line that is not blank, read as
// parseAddressPort() reads it (the field itself keeps only a first line).
std::optional<AddressPort> readPastedAddress(std::wstring_view text);

// The two texts are the same with the letter case of A to Z ignored.
bool sameIgnoringCase(std::wstring_view a, std::wstring_view b);

// Which server an address and port name, as one text: the address without the blanks and the
// brackets around it and with A to Z in small letters, a line break, and the port without the
// blanks around it. Two entries name the same server when their keys are equal.
std::wstring serverKey(std::wstring_view address, std::wstring_view port);

// The two name the same server (their serverKey is one). An empty address names no server.
bool sameServer(std::wstring_view address, std::wstring_view port, std::wstring_view otherAddress,
                std::wstring_view otherPort);

}  // namespace hostdeck
