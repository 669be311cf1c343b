// A message's lines are cut to fit a message box, whatever the input: each row fits a text to
// rows of 10 characters and 8 rows at most.
#include <gtest/gtest.h>

#include "texts/UserTexts.h"

namespace hostdeck {
namespace {

TEST(FittedTextTest, CutsLongLinesInTheMiddleAndCountsLinesLeftOut) {
    const std::wstring x30(30, L'x');
    const struct {
        std::wstring text, fitted;
    } kCases[] = {
        {L"", L""},
        {L"0123456789\n\nshort", L"0123456789\n\nshort"},
        {L"0123456789A\nx", L"0123456789A\nx"},
        {std::wstring(28, L'a') + std::wstring(50, L'x') + std::wstring(29, L'b'),
         std::wstring(28, L'a') + L"..." + std::wstring(29, L'b')},
        {L"1\n2\n3\n4\n5\n6\n7\n8", L"1\n2\n3\n4\n5\n6\n7\n8"},
        {L"1\n2\n3\n4\n5\n6\n7\n8\n", L"1\n2\n3\n4\n5\n6\n7\n... (2 more lines not shown)"},
        {L"1\n" + std::wstring(5000, L'x') + L"\n3",
         L"1\n" + std::wstring(28, L'x') + L"..." + std::wstring(29, L'x') + L"\n3"},
        {x30 + L"\n" + x30 + L"\n" + x30, x30 + L"\n" + x30 + L"\n... (1 more lines not shown)"},
    };
    for (const auto& c : kCases) EXPECT_EQ(texts::fitted(c.text, 10, 8), c.fitted) << c.text;
}

}  // namespace
}  // namespace hostdeck
