#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Result.h"

namespace hostdeck {

// The shell calls that opening a document and making a shortcut need.
class Shell {
  public:
    virtual ~Shell() = default;
    virtual std::uintptr_t desktopWindow() = 0;
    // As ShellExecute: an empty verb is the default verb, empty parameters or directory are
    // none. Values above 32 mean success, smaller ones are SE_ERR_ codes.
    virtual std::intptr_t execute(std::uintptr_t owner, const std::wstring& verb,
                                  const std::wstring& file, const std::wstring& parameters,
                                  const std::wstring& directory, int show) = 0;
    // Handles the window messages that are waiting, then returns.
    virtual void processWaitingMessages() = 0;
    virtual std::wstring systemFolder() = 0;
    // Writes a shortcut (.lnk) at `path`, over one that is there, that runs `target` with
    // `arguments` in `folder`, with the target's own icon.
    virtual Result createShortcut(const std::wstring& path, const std::wstring& target,
                                  const std::wstring& arguments, const std::wstring& folder) = 0;
    // The arguments of the shortcut at `path`; nothing where it cannot be read as a shortcut.
    virtual std::optional<std::wstring> shortcutArguments(const std::wstring& path) = 0;
};

std::unique_ptr<Shell> makeSystemShell();

}  // namespace hostdeck
