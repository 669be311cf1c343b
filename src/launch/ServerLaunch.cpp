#include "launch/ServerLaunch.h"

#include "launch/mdlRegedit.h"
#include "serverlist/ServerListFile.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

// The game's executable below its install folder, and the switch for server mode.
constexpr wchar_t kGameExecutable[] = L"\\exe\\vantorel.exe";
constexpr wchar_t kServerSwitch[] = L" -s";

struct GameCommand {
    std::wstring executable;   // install path + "\exe\vantorel.exe"
    std::wstring commandLine;  // executable + " -s" + address + ":" + port, nothing quoted
};

GameCommand buildGameCommand(const std::wstring& installPath, const std::wstring& address,
                             const std::wstring& port) {
    GameCommand command;
    command.executable = installPath + kGameExecutable;
    command.commandLine = command.executable + kServerSwitch + address + L":" + port;
    return command;
}

}  // namespace

Result launchServer(ServerListModel& model, Registry& registry, ProcessStarter& starter) {
    if (model.lstServerNick.currentIndex() == kNoItem) {
        return Result::cancelled();
    }
    const std::wstring installPath = registryValueText(
        ReadRegistryValue(registry, registry_code::kLocalMachine, kGameKey, kGamePathValue));
    // An entry out for editing that cannot go back keeps the fields: nothing to start.
    if (!model.select()) return Result::cancelled();
    if (installPath.empty()) {
        return Result::notFound(texts::fill(texts::kGameNotFound, {kGamePathValue, kGameKey}));
    }
    const GameCommand command =
        buildGameCommand(installPath, model.txtServerIP.text(), model.txtServerPort.text());
    const Result started = starter.start(command.executable, command.commandLine);
    if (!started.ok()) {
        return Result::failed(
            texts::fill(texts::kGameNotStarted, {command.executable, started.reason}),
            started.code);
    }
    return Result::success();
}

Result launchNamedServer(FileStore& files, const std::wstring& listPath, std::wstring_view nickname,
                         Registry& registry, ProcessStarter& starter) {
    ServerListModel model;
    ServerListFile file(files, listPath);
    if (const Result loaded = file.load(model); !loaded.ok())
        return Result::notFound(texts::fill(texts::kListUnreadForStart, {nickname, loaded.reason}));
    const ListIndex named = model.entryNamed(nickname);
    if (named == kNoItem) return Result::notFound(texts::fill(texts::kNoServerNamed, {nickname}));
    model.lstServerNick.setCurrentIndex(named);
    const Result started = launchServer(model, registry, starter);
    if (started.ok()) return started;
    return {Result::Status::Failed, started.reason, started.code};
}

}  // namespace hostdeck
