#pragma once

#include <string>
#include <string_view>

// Starting one server from the desktop: the command line "hostdeck.exe <nickname>" and the
// shortcut that runs it.
namespace hostdeck {

// The nickname the program was started with: what follows the program's own name on the
// command line, without the blanks and the one pair of quotes around it; empty when none.
std::wstring nicknameFromCommandLine(std::wstring_view commandLine);

// The arguments a shortcut runs the program with to start this server.
std::wstring shortcutArguments(std::wstring_view nickname);

// The name of the server's shortcut: the nickname, with each character that a file name cannot
// hold replaced by "_", and ".lnk".
std::wstring shortcutFileName(std::wstring_view nickname);

}  // namespace hostdeck
