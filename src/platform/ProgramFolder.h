#pragma once

#include <string>

namespace hostdeck {

// The folder that holds the running program, without a trailing separator.
std::wstring programFolder();

}  // namespace hostdeck
