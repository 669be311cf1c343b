#include "app/FileDialog_win.h"

#include <commdlg.h>

namespace hostdeck {

std::optional<std::wstring> chooseFile(HWND owner, const FileDialog& dialog) {
    std::wstring path(32768, L'\0');  // the longest path Windows takes
    path.replace(0, dialog.offeredName.size(), dialog.offeredName);
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.lpstrFilter = dialog.filter;
    chooser.lpstrFile = path.data();
    chooser.nMaxFile = static_cast<DWORD>(path.size());
    chooser.lpstrTitle = dialog.title.data();
    chooser.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    const bool open = dialog.kind == FileDialog::Kind::Open;
    if (open) {
        chooser.Flags |= OFN_FILEMUSTEXIST;
    } else {
        chooser.Flags |= OFN_OVERWRITEPROMPT;
        chooser.lpstrDefExt = dialog.extension.empty() ? nullptr : dialog.extension.data();
    }
    if (!(open ? GetOpenFileNameW(&chooser) : GetSaveFileNameW(&chooser))) return std::nullopt;
    path.resize(path.find(L'\0'));
    return path;
}

}  // namespace hostdeck
