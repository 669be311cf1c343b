#include "texts/UserTexts.h"

#include <gtest/gtest.h>

#include <vector>

namespace hostdeck::texts {
namespace {

// A text compiles only with the count of values that fills it exactly, and fill() only with
// that many values: so each row here is a text that would, or would not, compile as Text<count>.
TEST(UserTextsTest, CountsTheValuesThatFillEachText) {
    const struct {
        std::wstring_view text;
        std::size_t count;
        bool fills = true;
    } cases[] = {
        {L"plain", 0},        {L"{1}", 1},        {L"a {2} b {1}.", 2},      {L"error {2}", 2},
        {L"{1}{1}", 1},       {L"{9}", 9},        {L"{0} {x} {12} { 1}", 0}, {L"{1", 0},
        {L"ends {", 0},       {L"{1}", 0, false}, {L"{1} {3}", 2, false},    {L"{1}", 2, false},
        {L"plain", 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fillsExactly(c.text, c.count), c.fills) << c.text.data() << " " << c.count;
}

TEST(UserTextsTest, FillsEachPlaceholderWithItsValueOnce) {
    const struct {
        std::wstring_view text;
        std::vector<std::wstring_view> values;
        std::wstring_view filled;
    } cases[] = {
        {L"Could not open \"{1}\": {2}", {L"a.ini", L"gone"}, L"Could not open \"a.ini\": gone"},
        {L"{2}{1}{2}", {L"a", L"b"}, L"bab"},
        {L"{1} and {2}", {L"{2}", L"x"}, L"{2} and x"},  // a value is not read again
        {L"{1}{", {L"a"}, L"a{"},
        {L"{0} {} {x}", {L"a"}, L"{0} {} {x}"},
        {L"{3}", {L"a", L"b"}, L"{3}"},
        {std::wstring_view(L"{1}", 2), {L"a"}, L"{1"},  // nothing is read beyond the text
    };
    for (const auto& c : cases)
        EXPECT_EQ(fillValues(c.text, c.values.data(), c.values.size()), c.filled) << c.text.data();
    EXPECT_EQ(fill(kAnotherSaverAtWork, {L"x"}), L"Another Hostdeck is saving \"x\".");
}

}  // namespace
}  // namespace hostdeck::texts
