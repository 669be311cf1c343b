// Hostdeck: keeps a list of game servers and starts the game's server mode for one of them.
#include <windows.h>
#include <commctrl.h>

#include "launch/DesktopStart.h"
#include "app/frmHostdeck_win.h"
#include "launch/ServerLaunch.h"
#include "platform/FileStore.h"
#include "platform/NewerWindows_win.h"
#include "platform/ProcessStarter.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/UniqueHandle_win.h"
#include "serverlist/ServerListFile.h"
#include "texts/UserTexts.h"

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
    const std::wstring folder = hostdeck::programFolder();

    // "hostdeck.exe -s<address>:<port>", as a desktop shortcut runs it, or "hostdeck.exe
    // <nickname>": that server's game starts without the window. Where there is no such server,
    // or several, or the command line cannot be read, the window opens and says so.
    std::wstring startNote;
    if (const hostdeck::StartRequest request =
            hostdeck::readCommandLine(GetCommandLineW(), hostdeck::programPath());
        request.kind != hostdeck::StartRequest::Kind::Window) {
        const hostdeck::Result started = hostdeck::launchFromCommandLine(
            *files, folder + hostdeck::kListFileName, request, *registry, *starter);
        if (started.ok()) return 0;
        if (started.status != hostdeck::Result::Status::NotFound) {
            MessageBoxW(nullptr, hostdeck::texts::fitted(started.reason).c_str(),
                        hostdeck::texts::kCaption.data(), MB_OK | MB_ICONERROR);
            return 1;
        }
        startNote = started.reason;
    }

    hostdeck::frmHostdeck form(instance, {.files = *files,
                                          .registry = *registry,
                                          .starter = *starter,
                                          .shell = *shell,
                                          .folder = folder,
                                          .listPath = folder + hostdeck::kListFileName,
                                          .userFolder = hostdeck::userFolder(),
                                          .program = hostdeck::programPath(),
                                          .desktopFolder = hostdeck::desktopFolder(),
                                          .startNote = startNote});
    if (!form.create(showCommand)) return 1;
    // Until the window is gone: a modal loop that was running when it went (the list's menu when
    // Windows ends) may have taken the quit message for itself.
    MSG message{};
    while (form.window() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.translateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The quit message's code; a loop left because the window has gone holds the last message
    // it dispatched (a close command's SC_CLOSE), which is no exit code.
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}
