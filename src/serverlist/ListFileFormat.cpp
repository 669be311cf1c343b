#include "serverlist/ListFileFormat.h"

#include <algorithm>

#include "platform/TextCodec.h"

namespace hostdeck::list_file_format {

namespace {

std::wstring position(std::size_t i) { return L" (character " + std::to_wstring(i + 1) + L")"; }

std::wstring problemIn(const wchar_t* field, std::wstring_view text, bool separatorAllowed) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            return std::wstring(field) + L" holds a line break" + position(i) +
                   L". Each server is one line of the list file, so the entry would be split "
                   L"in two.";
        }
        if (c == static_cast<wchar_t>(kSeparator) && !separatorAllowed) {
            return std::wstring(field) + L" holds \"#\"" + position(i) +
                   L". \"#\" separates the nickname, the address and the port in the list file, "
                   L"so the fields would be split differently the next time Hostdeck starts. "
                   L"Only the address may hold \"#\".";
        }
        if (unitKindAt(text, i) == UnitKind::LoneHalf) {
            std::wstring code;
            for (int shift = 12; shift >= 0; shift -= 4)
                code += L"0123456789ABCDEF"[(static_cast<unsigned>(c) >> shift) & 0xF];
            return std::wstring(field) + L" holds half of a character (U+" + code + L")" +
                   position(i) + L", which no file can hold.";
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
    if (!nickname.empty() && nickname.front() == static_cast<wchar_t>(kCommentMark)) {
        return L"The nickname begins with \";\". A line that begins with \";\" is a comment in "
               L"the list file, so this server would be skipped the next time Hostdeck starts.";
    }
    std::wstring why = problemIn(L"The nickname", nickname, false);
    if (why.empty()) why = problemIn(L"The address", address, true);
    if (why.empty()) why = problemIn(L"The port", port, false);
    return why;
}

}  // namespace hostdeck::list_file_format
