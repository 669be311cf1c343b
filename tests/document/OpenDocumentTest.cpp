#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/mDocumenteOeffnen.h"

namespace hostdeck {
namespace {

// Records the shell calls in order and answers the first execute with a chosen result.
class RecordingShell final : public Shell {
  public:
    std::intptr_t firstResult = 42;
    std::vector<std::wstring> calls;

    std::uintptr_t desktopWindow() override { return 0x10010; }
    std::intptr_t execute(std::uintptr_t owner, const std::wstring& verb, const std::wstring& file,
                          const std::wstring& parameters, const std::wstring& directory,
                          int show) override {
        calls.push_back(L"execute owner=" + std::to_wstring(owner) + L" verb=" + verb + L" file=" +
                        file + L" parameters=" + parameters + L" directory=" + directory +
                        L" show=" + std::to_wstring(show));
        return calls.size() == 1 ? firstResult : 42;
    }
    void processWaitingMessages() override { calls.push_back(L"messages"); }
    std::wstring systemFolder() override { return L"C:\\windows\\system32"; }
};

const std::wstring kOpen =
    L"execute owner=65552 verb=open file=C:\\Hostdeck\\howto.txt parameters= directory= show=1";

TEST(OpenDocumentTest, OpensWithTheAssociatedApplication) {
    for (std::intptr_t result :
         {std::intptr_t{42}, kFileNotFound, std::intptr_t{5}, std::intptr_t{0}}) {
        RecordingShell shell;
        shell.firstResult = result;
        OpenDocument(shell, L"C:\\Hostdeck\\howto.txt");
        EXPECT_EQ(shell.calls, (std::vector<std::wstring>{kOpen, L"messages"}))
            << "result " << result;
    }
}

TEST(OpenDocumentTest, NoAssociationBringsUpOpenWith) {
    RecordingShell shell;
    shell.firstResult = kNoAssociation;
    OpenDocument(shell, L"C:\\Hostdeck\\howto.txt");
    EXPECT_EQ(
        shell.calls,
        (std::vector<std::wstring>{
            kOpen, L"messages",
            L"execute owner=65552 verb= file=RUNDLL32.EXE parameters=shell32.dll,OpenAs_RunDLL "
            L"C:\\Hostdeck\\howto.txt directory=C:\\windows\\system32 show=1"}));
}

}  // namespace
}  // namespace hostdeck
