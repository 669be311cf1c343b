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

// Starts the game in server mode for the entry current in lstServerNick, after copying that
// entry into the (then locked) fields just as select() does. Cancelled when there is no
// current entry; NotFound (no install path) and Failed say what to tell the user.
Result launchServer(ServerListModel& model, Registry& registry, ProcessStarter& starter);

// Starts the game for the first server of the list file with this nickname (letter case
// ignored), as a double-click on it starts it, without the window; the list file is not
// written. NotFound when the list cannot be read or has no such server, Failed when the game
// cannot be started: the reason says which, as the window would say it.
Result launchNamedServer(FileStore& files, const std::wstring& listPath, std::wstring_view nickname,
                         Registry& registry, ProcessStarter& starter);

}  // namespace hostdeck
