#pragma once

#include <string>

#include "launch/DesktopStart.h"
#include "platform/FileStore.h"
#include "platform/ProcessStarter.h"
#include "platform/Registry.h"
#include "serverlist/ServerListModel.h"

namespace hostdeck {

// Where the game keeps its install folder: HKEY_LOCAL_MACHINE\<kGameKey>, value kGamePathValue.
inline constexpr wchar_t kGameKey[] = L"SOFTWARE\\Microsoft\\Microsoft Games\\Vantorel\\1.0";
inline constexpr wchar_t kGamePathValue[] = L"AppPath";

// Starts the game in server mode for the entry current in lstServerNick, after copying that
// entry into the (then locked) fields just as select() does. Cancelled when there is no
// current entry; NotFound (no install path) and Failed say what to tell the user.
Result launchServer(ServerListModel& model, Registry& registry, ProcessStarter& starter);

// Starts the game without the window, as the program's command line asks (DesktopStart.h):
// a Server request starts exactly that address and port, as a desktop shortcut carries it (the
// list file is not read); a Name, the one server of the list file with that nickname (letter
// case ignored), or else the host name or IP address and port it is. The list file is not
// written. NotFound, with what the window should say, when there is no such server, when several
// have that nickname (it names the first few), when the list cannot be read, or when the command
// line was refused; Failed when the game cannot be started; Cancelled for no request.
Result launchFromCommandLine(FileStore& files, const std::wstring& listPath,
                             const StartRequest& request, Registry& registry,
                             ProcessStarter& starter);

// How many servers of one nickname a note names before it says how many more there are.
inline constexpr ListIndex kServersNamed = 5;

}  // namespace hostdeck
