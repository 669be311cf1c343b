// Hostdeck: keeps a list of game servers and starts the game's server mode for one of them.
#include <windows.h>
#include <commctrl.h>

#include "app/frmHostdeck_win.h"
#include "platform/FileStore.h"
#include "platform/NewerWindows_win.h"
#include "platform/ProcessStarter.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/UniqueHandle_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // DLLs from the system folder only, where Windows can say so (8 and later, 7 with update
    // KB2533623); on a Windows 7 without it, at least never from the current folder.
    hostdeck::restrictDllSearch();
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    const hostdeck::ComApartment com;  // the shell may use COM to open the how-to document
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const auto files = hostdeck::makeSystemFileStore();
    const auto registry = hostdeck::makeSystemRegistry();
    const auto starter = hostdeck::makeSystemProcessStarter();
    const auto shell = hostdeck::makeSystemShell();
    hostdeck::frmHostdeck form(instance, {.files = *files,
                                          .registry = *registry,
                                          .starter = *starter,
                                          .shell = *shell,
                                          .folder = hostdeck::programFolder(),
                                          .userFolder = hostdeck::userFolder()});
    if (!form.create(showCommand)) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab, Enter and the Alt access keys move between and press the controls.
        if (form.window() && IsDialogMessageW(form.window(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
