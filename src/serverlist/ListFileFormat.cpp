#include "serverlist/ListFileFormat.h"

#include <algorithm>

#include "platform/TextCodec.h"
#include "texts/UserTexts.h"

namespace hostdeck::list_file_format {

namespace {

std::wstring problemIn(std::wstring_view field, std::wstring_view text, bool separatorAllowed) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const std::wstring at = texts::number(i + 1);
        if (c == L'\r' || c == L'\n') return texts::fill(texts::kHoldsLineBreak, {field, at});
        if (c == static_cast<wchar_t>(kSeparator) && !separatorAllowed)
            return texts::fill(texts::kHoldsSeparator, {field, at});
        if (unitKindAt(text, i) == UnitKind::LoneHalf) {
            std::wstring code;
            for (int shift = 12; shift >= 0; shift -= 4)
                code += L"0123456789ABCDEF"[(static_cast<unsigned>(c) >> shift) & 0xF];
            return texts::fill(texts::kHoldsHalfCharacter, {field, at, code});
        }
    }
    return {};
}

}  // namespace

void appendComment(std::wstring& lines, std::wstring_view note) {
    while (!note.empty()) {
        const std::size_t end = std::min(note.find_first_of(L"\r\n"), note.size());
        lines += static_cast<wchar_t>(kCommentMark);
        lines += L' ';
        lines += note.substr(0, end);
        lines += kLineEnd;
        const bool crLf = note.substr(end, 2) == kLineEnd;
        note.remove_prefix(std::min(end + (crLf ? 2 : 1), note.size()));
    }
}

std::wstring whyFileCannotHold(std::wstring_view nickname, std::wstring_view address,
                               std::wstring_view port) {
    if (!nickname.empty() && nickname.front() == static_cast<wchar_t>(kCommentMark))
        return std::wstring(texts::kBeginsWithComment);
    std::wstring why = problemIn(texts::kTheNickname, nickname, false);
    if (why.empty()) why = problemIn(texts::kTheAddress, address, true);
    if (why.empty()) why = problemIn(texts::kThePort, port, false);
    return why;
}

}  // namespace hostdeck::list_file_format
