#pragma once

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
        return Result::success();
    }
};

}  // namespace hostdeck::fakes
