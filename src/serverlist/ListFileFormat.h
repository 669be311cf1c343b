#pragma once

#include <string>
#include <string_view>

// The list file "serverlist.ini", beside the program: what its lines hold, read and written.
//
// - One server a line: nickname#address#port. The nickname ends at the first '#' and the port
//   begins after the last one, so only the address may hold '#'. A line without '#' is all
//   nickname, and one with a single '#' has no address, so that no text is lost.
// - Lines end in CR LF when written; CR LF, a lone LF or a lone CR end a line when read.
// - A line that begins with ';' is a comment. Comments and empty lines are skipped when read,
//   and are not written back.
// - The text is in the Windows ANSI code page; in UTF-8 when the file begins with the UTF-8
//   mark or is valid UTF-8 throughout; in UTF-16, little or big endian, when it begins with
//   that mark and has an even length (Notepad's "Unicode"). A save keeps the encoding it found,
//   byte for byte for what did not change, unless the text needs more: then UTF-8 with the
//   mark. Bytes that are no text in the encoding are kept as they are (TextCodec.h). Choosing
//   the encoding is ServerListFile's.
namespace hostdeck::list_file_format {

inline constexpr char kSeparator = '#';
inline constexpr char kCommentMark = ';';
inline constexpr std::wstring_view kLineEnd = L"\r\n";
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// Calls record(nickname, address, port) for each record line of `text`, in order. 8-bit files
// are split on their bytes, before any decoding: '#', ';', CR and LF are never part of a
// multi-byte character in UTF-8 or in any ANSI code page, while a broken character decoded
// first could swallow them. UTF-16 files are split on their text.
template <typename Char, typename Record>
void forEachRecord(std::basic_string_view<Char> text, Record record) {
    using View = std::basic_string_view<Char>;
    constexpr Char kLineEnds[] = {Char('\r'), Char('\n'), Char(0)};
    constexpr Char kCrLf[] = {Char('\r'), Char('\n')};
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(kLineEnds, start);
        if (end == View::npos) end = text.size();
        const View line = text.substr(start, end - start);
        start = end + (text.substr(end, 2) == View(kCrLf, 2) ? 2 : 1);
        if (line.empty() || line.front() == Char(kCommentMark)) continue;

        const std::size_t first = line.find(Char(kSeparator));
        if (first == View::npos) {
            record(line, View{}, View{});
            continue;
        }
        const std::size_t last = line.rfind(Char(kSeparator));
        const View address = last > first ? line.substr(first + 1, last - first - 1) : View{};
        record(line.substr(0, first), address, line.substr(last + 1));
    }
}

// Appends the record line of one server, with its line end.
inline void appendRecord(std::wstring& lines, std::wstring_view nickname, std::wstring_view address,
                         std::wstring_view port) {
    lines += nickname;
    lines += static_cast<wchar_t>(kSeparator);
    lines += address;
    lines += static_cast<wchar_t>(kSeparator);
    lines += port;
    lines += kLineEnd;
}
// Appends `note` as comment lines, one for each of its lines.
void appendComment(std::wstring& lines, std::wstring_view note);

// Why the file cannot hold this entry as it stands (it would come back split, shifted or
// lost at the next start), for a person to read; empty when it can.
std::wstring whyFileCannotHold(std::wstring_view nickname, std::wstring_view address,
                               std::wstring_view port);

}  // namespace hostdeck::list_file_format
