#pragma once

#include <string>

namespace hostdeck {

// The folder that holds the running program, without a trailing separator.
std::wstring programFolder();

// The folder of the user's own that Hostdeck may write to, whatever folder it runs from
// ("Hostdeck" in the local application data); not created here.
std::wstring userDataFolder();

}  // namespace hostdeck
