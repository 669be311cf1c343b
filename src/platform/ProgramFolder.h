#pragma once

#include <string>

namespace hostdeck {

// The folder that holds the running program, without a trailing separator.
std::wstring programFolder();

// The user folder: the one of the user's own that Hostdeck may write to, whatever folder it
// runs from (%LOCALAPPDATA%\Hostdeck); not created here.
std::wstring userFolder();

}  // namespace hostdeck
