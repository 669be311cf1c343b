#pragma once

#include <string>

#include "platform/FileStore.h"
#include "platform/ProcessStarter.h"
#include "platform/Registry.h"
#include "serverlist/ServerListModel.h"

namespace hostdeck {

// Where the game keeps its install folder: HKEY_LOCAL_MACHINE\<kGameKey>, value kGamePathValue.
inline constexpr wchar_t kGameKey[] = L"SOFTWARE\\Microsoft\\Microsoft Games\\Vantorel\\1.0";
inline constexpr wchar_t kGamePathValue[] = L"AppPath";
// Before the address and port on the program's command line: the game's own switch for them.
inline constexpr std::wstring_view kAddressSwitch = L"-s";

// Starts the game in server mode for the entry current in lstServerNick, after copying that
// entry into the (then locked) fields just as select() does. Cancelled when there is no
// current entry; NotFound (no install path) and Failed say what to tell the user.
Result launchServer(ServerListModel& model, Registry& registry, ProcessStarter& starter);

// Starts the game without the window, as the program's command line asks (DesktopStart.h):
// "-s<address>:<port>", as a desktop shortcut carries it, starts exactly that address and port
// (the list file is not read); a nickname, the one server of the list file with it (letter case
// ignored); "address:port" that no nickname names, that address. The list file is not written.
// NotFound, with what the window should say, when there is no such server, when several have
// that nickname (it names their addresses), or when the list cannot be read; Failed when the game
// cannot be started.
Result launchFromCommandLine(FileStore& files, const std::wstring& listPath,
                             std::wstring_view argument, Registry& registry,
                             ProcessStarter& starter);

}  // namespace hostdeck
