#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace hostdeck {

// The standard Windows Open and Save dialogs, set up alike.
struct FileDialog {
    enum class Kind { Open, Save } kind = Kind::Open;
    std::wstring_view title;          // a literal: ends in NUL
    const wchar_t* filter = nullptr;  // pairs of a name and its patterns, each ending in NUL
    std::wstring_view offeredName{};  // Save: the name offered
    std::wstring_view extension{};    // Save: added to a name typed without one (a literal)
};

// The file the user chose; nothing when the dialog was cancelled. Open takes only a file that
// is there; Save asks before replacing one.
std::optional<std::wstring> chooseFile(HWND owner, const FileDialog& dialog);

}  // namespace hostdeck
