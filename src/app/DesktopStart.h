#pragma once

#include <string>
#include <string_view>

// Starting one server from the desktop: the command line "hostdeck.exe -s<address>:<port>" that
// a desktop shortcut runs, "hostdeck.exe <nickname>" for people who type, and the shortcut.
namespace hostdeck {

// What the program was started with: what follows the program's own name on the command line,
// without the blanks and the one pair of quotes around it; empty when nothing.
std::wstring argumentFromCommandLine(std::wstring_view commandLine);

// The arguments a shortcut runs the program with to start exactly this server, whatever the
// servers of the list are called by then: the game's own switch with the address and the port.
std::wstring shortcutArguments(std::wstring_view address, std::wstring_view port);

// The name of the server's shortcut: the nickname, with each character that a file name cannot
// hold replaced by "_", a name that Windows reads as a device made a plain one, and ".lnk".
std::wstring shortcutFileName(std::wstring_view nickname);

}  // namespace hostdeck
