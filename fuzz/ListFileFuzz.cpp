// libFuzzer target: any bytes as the list file, through the real load and save, and as text
// for the line format alone. Checks, besides crashes and undefined behaviour:
//   - a save loads back as the same entries;
//   - a file already in the form the program writes is saved back byte for byte, in
//     UTF-16 as in 8-bit encodings;
//   - every record a line gives is one the format can hold;
//   - whatever the format says it can hold is read back from its line as it was, alone;
//   - comment lines give no record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "serverlist/ListFileFormat.h"
#include "serverlist/ServerListFile.h"
#include "support/MemoryFileStore.h"

namespace {

using namespace hostdeck;
const std::wstring kPath = L"C:\\Hostdeck\\serverlist.ini";

bool sameEntries(const ServerListModel& a, const ServerListModel& b) {
    if (a.entryCount() != b.entryCount()) return false;
    for (ListIndex i = 0; i < a.entryCount(); ++i) {
        if (a.lstServerNick.item(i) != b.lstServerNick.item(i) ||
            a.lstServerIP.item(i) != b.lstServerIP.item(i) ||
            a.lstServerPort.item(i) != b.lstServerPort.item(i)) {
            return false;
        }
    }
    return true;
}

// The form the program writes: record lines only, each with two '#' or more and ending in
// CR LF, after the file's mark when there is one and the list is not empty.
template <typename Char>
bool isCanonicalLines(std::basic_string_view<Char> text) {
    using View = std::basic_string_view<Char>;
    constexpr Char kLineEnds[] = {Char('\r'), Char('\n'), Char(0)};
    constexpr Char kCrLf[] = {Char('\r'), Char('\n'), Char(0)};
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(kLineEnds);
        if (end == View::npos || text.substr(end, 2) != View(kCrLf)) return false;
        const View line = text.substr(0, end);
        if (line.empty() || line.front() == Char(';')) return false;
        const std::size_t first = line.find(Char('#'));
        if (first == View::npos || line.rfind(Char('#')) == first) return false;
        text.remove_prefix(end + 2);
    }
    return true;
}

bool isCanonical(std::string_view bytes) {
    using namespace list_file_format;
    for (const std::string_view mark : {kUtf16LeMark, kUtf16BeMark}) {
        if (!bytes.starts_with(mark) || bytes.size() % 2 != 0) continue;
        std::u16string units;
        for (std::size_t i = mark.size(); i < bytes.size(); i += 2) {
            const auto first = static_cast<unsigned char>(bytes[i]);
            const auto second = static_cast<unsigned char>(bytes[i + 1]);
            units += static_cast<char16_t>(mark == kUtf16LeMark ? second << 8 | first
                                                                : first << 8 | second);
        }
        return !units.empty() && isCanonicalLines(std::u16string_view(units));
    }
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
        if (bytes.empty()) return false;
    }
    return isCanonicalLines(bytes);
}

// The format's promise for one entry: when it can hold it, its line reads back as that entry
// and nothing else.
void checkHeld(std::wstring_view nickname, std::wstring_view address, std::wstring_view port) {
    using namespace list_file_format;
    if (!whyFileCannotHold(nickname, address, port).empty()) return;
    std::wstring line;
    appendRecord(line, nickname, address, port);
    int records = 0;
    forEachRecord(std::wstring_view(line), [&](auto n, auto a, auto p) {
        if (++records > 1 || n != nickname || a != address || p != port) std::abort();
    });
    if (records != 1) std::abort();
}

void checkLineFormat(std::string_view bytes) {
    using namespace list_file_format;
    // Each byte as a character, and each pair of bytes as a UTF-16 unit (halves of pairs too).
    const std::wstring text(bytes.begin(), bytes.end());
    std::wstring units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) << 8 |
                                      static_cast<unsigned char>(bytes[i + 1]));
    forEachRecord(std::wstring_view(text), [](auto n, auto a, auto p) {
        if (!whyFileCannotHold(n, a, p).empty()) std::abort();
        checkHeld(n, a, p);
    });
    // Any three pieces of the text, cut where it holds '\x01'.
    const std::size_t one = units.find(L'\x01'), two = units.find(L'\x01', one + 1);
    if (two != std::wstring::npos) {
        const std::wstring_view all = units;
        checkHeld(all.substr(0, one), all.substr(one + 1, two - one - 1), all.substr(two + 1));
    }
    std::wstring comment;
    appendComment(comment, text);
    forEachRecord(std::wstring_view(comment), [](auto...) { std::abort(); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    checkLineFormat(bytes);
    hostdeck::fakes::MemoryFileStore files;
    files.files[kPath] = bytes;

    ServerListModel loaded;
    ServerListFile file(files, kPath);
    if (!file.load(loaded).ok()) std::abort();
    if (!file.save(loaded).ok()) std::abort();
    const std::string saved = files.files[kPath];

    ServerListModel reloaded;
    if (!ServerListFile(files, kPath).load(reloaded).ok()) std::abort();
    if (!sameEntries(loaded, reloaded)) std::abort();
    if (isCanonical(bytes) && saved != bytes) std::abort();
    return 0;
}
