#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Result.h"
#include "texts/UserTexts.h"

namespace hostdeck {

// The system's own text for a Win32 error code, without the trailing line end.
std::wstring systemMessage(DWORD error);

// The one way from a system error to a Result: it keeps the code, and its reason is the
// system's text, or `text` with `subject` for {1} and the system's text for {2}.
Result systemFailure(DWORD error, const texts::Text<2>& text = texts::kSystemReasonAlone,
                     std::wstring_view subject = {},
                     Result::Status status = Result::Status::Failed);

}  // namespace hostdeck
