#pragma once

#include <string>

#include "platform/Shell.h"

namespace hostdeck {

// ShellExecute's answer when no application is associated with the file's type.
inline constexpr std::intptr_t kNoAssociation = 31;  // SE_ERR_NOASSOC

// Opens `file` with the application associated with its type, or, when there is none, lets
// the user pick one in the system's Open With dialog. Failures end silently.
void OpenDocument(Shell& shell, const std::wstring& file);

}  // namespace hostdeck
