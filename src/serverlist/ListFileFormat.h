#pragma once

#include <string>
#include <string_view>

// The list file "serverlist.ini": one server a line, nickname#address#port, each line
// ending in CR LF. The nickname ends at the first '#' and the port begins after the last
// one, so only the address may hold '#'. A line that begins with ';' is a comment. The text
// is in the ANSI code page, in UTF-8 when the file begins with the UTF-8 mark or is valid
// UTF-8 throughout, or in UTF-16 when it begins with that mark (as Notepad's "Unicode").
namespace hostdeck::list_file_format {

inline constexpr char kSeparator = '#';
inline constexpr char kCommentMark = ';';
inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// Why the file cannot hold this entry as it stands (it would come back split, shifted or
// lost at the next start), for a person to read; empty when it can.
std::wstring whyFileCannotHold(std::wstring_view nickname, std::wstring_view address,
                               std::wstring_view port);

}  // namespace hostdeck::list_file_format
