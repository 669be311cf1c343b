#pragma once

#include <memory>
#include <string>

#include "platform/Result.h"

namespace hostdeck {

// Starts a program and forgets it: not waited for, not watched.
class ProcessStarter {
  public:
    virtual ~ProcessStarter() = default;
    // Runs exactly `executable` (never a program found by splitting the command line at
    // blanks) with `commandLine` as the command line it receives, its window shown
    // normally and given the focus. On failure the reason is the system's words for why.
    virtual Result start(const std::wstring& executable, const std::wstring& commandLine) = 0;
};

std::unique_ptr<ProcessStarter> makeSystemProcessStarter();

}  // namespace hostdeck
