#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/Result.h"

namespace hostdeck {

// Puts `text` on the clipboard as Unicode text, in place of what it held.
Result putOnClipboard(HWND owner, const std::wstring& text);

// The clipboard's Unicode text; empty when it holds none.
std::wstring clipboardText(HWND owner);
// The files of a drop, or on the clipboard (what Explorer's Copy leaves there); none when it
// holds no files.
std::vector<std::wstring> filesIn(HDROP files);
std::vector<std::wstring> clipboardFiles(HWND owner);

}  // namespace hostdeck
