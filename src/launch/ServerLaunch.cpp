#include "launch/ServerLaunch.h"

#include "launch/mdlRegedit.h"

namespace hostdeck {

GameCommand buildGameCommand(const std::wstring& installPath, const std::wstring& address,
                             const std::wstring& port) {
    GameCommand command;
    command.executable = installPath + kGameExecutable;
    command.commandLine = command.executable + kServerSwitch + address + L":" + port;
    return command;
}

LaunchResult launchServer(ServerListModel& model, Registry& registry, ProcessStarter& starter) {
    if (model.lstServerNick.currentIndex() == kNoItem) {
        return {LaunchResult::Status::NoCurrentEntry, {}};
    }
    const std::wstring installPath = registryValueText(
        ReadRegistryValue(registry, RegistryRoot::LocalMachine, kGameKey, kGamePathValue));
    // An entry out for editing that cannot go back keeps the fields: nothing to start.
    if (!model.select()) return {LaunchResult::Status::NoCurrentEntry, {}};
    if (installPath.empty()) {
        return {LaunchResult::Status::NoInstallPath,
                L"The game's install folder was not found.\n\nHostdeck looks for it in the "
                L"registry value \"" +
                    std::wstring(kGamePathValue) + L"\" under\nHKEY_LOCAL_MACHINE\\" + kGameKey +
                    L"\n\nIs the game installed?"};
    }
    const GameCommand command =
        buildGameCommand(installPath, model.txtServerIP.text(), model.txtServerPort.text());
    const StartResult started = starter.start(command.executable, command.commandLine);
    if (!started.started) {
        return {
            LaunchResult::Status::StartFailed,
            L"The game could not be started.\n\n" + command.executable + L"\n\n" + started.reason};
    }
    return {};
}

}  // namespace hostdeck
