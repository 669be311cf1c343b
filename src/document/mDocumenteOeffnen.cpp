#include "document/mDocumenteOeffnen.h"

namespace hostdeck {

namespace {
constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
}  // namespace

void OpenDocument(Shell& shell, const std::wstring& file) {
    const std::uintptr_t owner = shell.desktopWindow();
    const std::intptr_t result = shell.execute(owner, L"open", file, {}, {}, kShowNormal);
    shell.processWaitingMessages();
    if (result != kNoAssociation) return;  // opened, missing file, or another error

    shell.execute(owner, {}, L"RUNDLL32.EXE", L"shell32.dll,OpenAs_RunDLL " + file,
                  shell.systemFolder(), kShowNormal);
}

}  // namespace hostdeck
