#include "launch/ServerLaunch.h"

#include <algorithm>

#include "launch/mdlRegedit.h"
#include "serverlist/AddressPort.h"
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

Result launchFromCommandLine(FileStore& files, const std::wstring& listPath,
                             const StartRequest& request, Registry& registry,
                             ProcessStarter& starter) {
    // As a double-click starts the entry; an address and port that the list need not hold go
    // to the game as they stand.
    ServerListModel model;
    const auto start = [&](ListIndex entry) {
        model.lstServerNick.setCurrentIndex(entry);
        const Result started = launchServer(model, registry, starter);
        return started.ok() ? started
                            : Result{Result::Status::Failed, started.reason, started.code};
    };
    const auto startAt = [&](std::wstring_view address, std::wstring_view port) {
        model.appendEntry(L"", address, port);
        return start(model.entryCount() - 1);
    };
    const std::wstring& argument = request.text;
    switch (request.kind) {
        case StartRequest::Kind::Window:
            return Result::cancelled();
        case StartRequest::Kind::TooManyArguments:
            return Result::notFound(texts::fill(texts::kTooManyArguments, {argument}));
        case StartRequest::Kind::Server: {
            // Split where the game splits it, so that it gets the text exactly as written.
            const std::size_t colon = argument.rfind(L':');
            return startAt(std::wstring_view(argument).substr(0, colon),
                           std::wstring_view(argument).substr(colon + 1));
        }
        case StartRequest::Kind::Name:
            break;
    }
    ServerListFile file(files, listPath);
    if (const Result loaded = file.load(model); !loaded.ok())
        return Result::notFound(texts::fill(texts::kListUnreadForStart, {argument, loaded.reason}));
    std::wstring named;
    ListIndex first = kNoItem, count = 0;
    for (ListIndex i = 0; i < model.entryCount(); ++i) {
        if (!sameIgnoringCase(model.lstServerNick.item(i), argument)) continue;
        if (count++ == 0) first = i;
        if (count <= kServersNamed)
            named += texts::fill(
                texts::kServerOfNickname,
                {model.lstServerNick.item(i),
                 addressPortText(model.lstServerIP.item(i), model.lstServerPort.item(i))});
    }
    if (count > kServersNamed)
        named += texts::fill(texts::kAndMoreServers, {texts::number(count - kServersNamed)});
    if (count > 1) {
        return Result::notFound(
            texts::fill(texts::kSeveralServersNamed, {argument, texts::number(count), named}));
    }
    if (count == 1) return start(first);
    if (const std::optional<AddressPort> address = parseAddressPort(argument))
        return startAt(address->address, address->port);
    return Result::notFound(texts::fill(texts::kNoServerNamed, {argument}));
}

}  // namespace hostdeck
