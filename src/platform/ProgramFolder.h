#pragma once

#include <string>

namespace hostdeck {

// The running program's own file, and the folder that holds it (without a trailing separator).
std::wstring programPath();
std::wstring programFolder();

// The user folder: the one of the user's own that Hostdeck may write to, whatever folder it
// runs from (%LOCALAPPDATA%\Hostdeck); not created here.
std::wstring userFolder();

// The user's desktop folder; empty when Windows cannot say.
std::wstring desktopFolder();

}  // namespace hostdeck
