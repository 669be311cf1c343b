#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/ProcessStarter.h"
#include "platform/Shell.h"

namespace hostdeck::fakes {

// Records each start as "executable|command line"; fails with `failure` when it is set.
struct RecordingStarter final : ProcessStarter {
    std::wstring starts, failure;
    Result start(const std::wstring& executable, const std::wstring& commandLine) override {
        if (!failure.empty()) return Result::failed(failure);
        starts += executable + L"|" + commandLine + L"\n";
        return Result::success();
    }
};

// Records the shell calls in order and answers the first execute with `firstResult`.
struct RecordingShell final : Shell {
    std::intptr_t firstResult = 42;
    std::wstring calls;
    int executes = 0;
    std::uintptr_t desktopWindow() override { return 0x10010; }
    std::intptr_t execute(std::uintptr_t owner, const std::wstring& verb, const std::wstring& file,
                          const std::wstring& parameters, const std::wstring& directory,
                          int show) override {
        calls += std::to_wstring(owner) + L"|" + verb + L"|" + file + L"|" + parameters + L"|" +
                 directory + L"|" + std::to_wstring(show) + L"\n";
        return executes++ == 0 ? firstResult : 42;
    }
    void processWaitingMessages() override { calls += L"messages\n"; }
    std::wstring systemFolder() override { return L"C:\\windows\\system32"; }
    Result createShortcut(const std::wstring& path, const std::wstring& target,
                          const std::wstring& arguments, const std::wstring& folder) override {
        calls += L"shortcut|" + path + L"|" + target + L"|" + arguments + L"|" + folder + L"\n";
        shortcuts[path] = arguments;
        return Result::success();
    }
    // The arguments of each shortcut made, by path; a test may put others there.
    std::map<std::wstring, std::wstring> shortcuts;
    std::optional<std::wstring> shortcutArguments(const std::wstring& path) override {
        const auto found = shortcuts.find(path);
        if (found == shortcuts.end()) return std::nullopt;
        return found->second;
    }
};

}  // namespace hostdeck::fakes
