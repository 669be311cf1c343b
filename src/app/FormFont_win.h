#pragma once

#include <windows.h>

#include <string_view>

#include "platform/UniqueHandle_win.h"

namespace hostdeck {

// The face the window's layout was measured for.
inline constexpr wchar_t kFormFontFace[] = L"MS Sans Serif";

// The window's font at `points` and the given DPI: `face` where the system has it, else the
// system's own dialog font. The program uses the default face; for the tests, any other.
UniqueFont createFormFont(int points, UINT dpi, const wchar_t* face = kFormFontFace);

// For text that must show whole in a fixed box: null when `font` already fits the text,
// wrapped at the box's width, into the box's height; else the largest smaller size that
// does, in the same face or, where that has no smaller size, the system's dialog face.
UniqueFont smallerFontToFit(HDC dc, HFONT font, std::wstring_view text, SIZE box);

// Height of the text in that font, wrapped at `width` pixels as a wrapping caption does
// (shared for the tests, which check that every caption shows whole).
int wrappedTextHeight(HDC dc, HFONT font, std::wstring_view text, int width);

}  // namespace hostdeck
