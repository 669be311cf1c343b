#include <gtest/gtest.h>

#include <string>

#include "document/mDocumenteOeffnen.h"
#include "support/Recorders.h"

namespace hostdeck {
namespace {

// Only "no application for this type" brings up Open With; any other outcome ends there.
TEST(OpenDocumentTest, OpensWithTheAssociatedApplicationOrOpenWith) {
    const std::wstring open = L"65552|open|C:\\H\\howto.txt|||1\nmessages\n";
    for (const std::intptr_t result : {42, 2, 5, 0, 31}) {
        testing::RecordingShell shell;
        shell.firstResult = result;
        OpenDocument(shell, L"C:\\H\\howto.txt");
        EXPECT_EQ(shell.calls, result != kNoAssociation
                                   ? open
                                   : open +
                                         L"65552||RUNDLL32.EXE|shell32.dll,OpenAs_RunDLL "
                                         L"C:\\H\\howto.txt|C:\\windows\\system32|1\n");
    }
}

}  // namespace
}  // namespace hostdeck
