#pragma once

#include <windows.h>

#include <string>

#include "platform/Result.h"

namespace hostdeck {

// Puts `text` on the clipboard as Unicode text, in place of what it held.
Result putOnClipboard(HWND owner, const std::wstring& text);

// The clipboard's Unicode text; empty when it holds none.
std::wstring clipboardText(HWND owner);

}  // namespace hostdeck
