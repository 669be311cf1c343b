#pragma once

#include <windows.h>

#include <string>

namespace hostdeck {

// The system's own text for a Win32 error code, without the trailing line end.
std::wstring systemMessage(DWORD error);

}  // namespace hostdeck
