#include "platform/ProcessStarter.h"

#include <windows.h>

#include <vector>

#include "platform/SystemMessage_win.h"
#include "platform/UniqueHandle_win.h"

namespace hostdeck {

namespace {

class Win32ProcessStarter final : public ProcessStarter {
  public:
    Result start(const std::wstring& executable, const std::wstring& commandLine) override {
        std::vector<wchar_t> writableCommandLine(commandLine.begin(), commandLine.end());
        writableCommandLine.push_back(L'\0');

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(executable.c_str(), writableCommandLine.data(), nullptr, nullptr, FALSE,
                            0, nullptr, nullptr, &startup, &started)) {
            return systemFailure(GetLastError());
        }
        UniqueKernelHandle process(started.hProcess);
        UniqueKernelHandle thread(started.hThread);
        // We are the foreground program (the user just double-clicked): let the game take
        // the focus from us.
        AllowSetForegroundWindow(started.dwProcessId);
        return Result::success();
    }
};

}  // namespace

std::unique_ptr<ProcessStarter> makeSystemProcessStarter() {
    return std::make_unique<Win32ProcessStarter>();
}

}  // namespace hostdeck
