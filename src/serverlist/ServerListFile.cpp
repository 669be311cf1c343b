#include "serverlist/ServerListFile.h"

#include <algorithm>

namespace hostdeck {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr wchar_t kSeparator = L'#';

// Calls record(nickname, address, port) for each record line of the text, in order. Lines
// end at CR LF, LF or CR; empty lines and comments are skipped. The nickname ends at the
// first '#', the port starts after the last one; a line without '#' is all nickname, so that
// no text is lost.
template <typename Char, typename Record>
void forEachRecord(std::basic_string_view<Char> text, Record record) {
    using View = std::basic_string_view<Char>;
    constexpr Char kLineEnds[] = {Char('\r'), Char('\n'), Char(0)};
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(kLineEnds, start);
        if (end == View::npos) end = text.size();
        const View line = text.substr(start, end - start);
        start = end + 1;
        if (end + 1 < text.size() && text[end] == Char('\r') && text[end + 1] == Char('\n'))
            ++start;
        if (line.empty() || line.front() == Char(';')) continue;

        const std::size_t first = line.find(Char('#'));
        if (first == View::npos) {
            record(line, View{}, View{});
            continue;
        }
        const std::size_t last = line.rfind(Char('#'));
        const View address = last > first ? line.substr(first + 1, last - first - 1) : View{};
        record(line.substr(0, first), address, line.substr(last + 1));
    }
}

std::wstring_view itemOrEmpty(const TextList& list, ListIndex index) {
    return index < list.count() ? list.item(index) : std::wstring_view{};
}

// An upper bound of what the records in the file need: a character never takes less than a
// byte, and neither '#' nor a line end ever stands inside a multi-byte character.
ServerListModel::Capacity measureRecords(std::string_view bytes) {
    ServerListModel::Capacity capacity;
    forEachRecord(bytes,
                  [&](std::string_view nickname, std::string_view address, std::string_view port) {
                      ++capacity.entries;
                      capacity.nicknameChars += nickname.size();
                      capacity.addressChars += address.size();
                      capacity.portChars += port.size();
                  });
    return capacity;
}

enum class WriteOutcome { Written, Unencodable, SinkFailed };

// Writes the records, each line ending in CR LF. Converted and written a block of lines at a
// time, so that no copy of the whole file is made, wide or narrow.
WriteOutcome writeServerList(const ServerListModel& model, Encoding encoding, FileSink& sink) {
    constexpr std::size_t kBlock = 1 << 16;
    std::wstring lines;
    std::string bytes;
    auto flush = [&] {
        if (!encodeText(lines, encoding, bytes)) return WriteOutcome::Unencodable;
        lines.clear();
        return sink.write(bytes) ? WriteOutcome::Written : WriteOutcome::SinkFailed;
    };
    lines.reserve(kBlock + 256);
    const ListIndex count = model.lstServerNick.count();
    for (ListIndex i = 0; i < count; ++i) {
        lines += model.lstServerNick.item(i);
        lines += kSeparator;
        lines += itemOrEmpty(model.lstServerIP, i);
        lines += kSeparator;
        lines += itemOrEmpty(model.lstServerPort, i);
        lines += L"\r\n";
        if (lines.size() >= kBlock) {
            if (const WriteOutcome outcome = flush(); outcome != WriteOutcome::Written)
                return outcome;
        }
    }
    return flush();
}

}  // namespace

void parseServerList(std::wstring_view text, ServerListModel& model) {
    forEachRecord(
        text, [&](std::wstring_view nickname, std::wstring_view address, std::wstring_view port) {
            model.appendEntry(nickname, address, port);
        });
}

FileResult ServerListFile::load(ServerListModel& model) {
    std::string bytes;
    FileResult result = files_.readAll(path_, bytes);
    if (result.status == FileResult::Status::NotFound) return FileResult::success();
    if (!result.ok()) {
        unreadable_ = true;
        return result;
    }
    std::string_view content = bytes;
    encoding_ = Encoding::Ansi;
    if (content.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        encoding_ = Encoding::Utf8;
        content.remove_prefix(kUtf8Mark.size());
    }
    model.reserve(measureRecords(content));
    // Decoded a block of lines at a time; a line end byte never stands inside a character.
    constexpr std::size_t kBlock = 1 << 16;
    while (!content.empty()) {
        const std::size_t lineEnd = content.find('\n', std::min(kBlock, content.size() - 1));
        const std::size_t cut = lineEnd == std::string_view::npos ? content.size() : lineEnd + 1;
        parseServerList(decodeText(content.substr(0, cut), encoding_), model);
        content.remove_prefix(cut);
    }
    return result;
}

FileResult ServerListFile::save(const ServerListModel& model) {
    if (unreadable_) {
        return FileResult::failed(L"The list was not saved: \"" + path_ +
                                  L"\" could not be read at start, and saving now would "
                                  L"overwrite it. The file was left as it was.");
    }
    for (;;) {
        bool unencodable = false;
        const FileResult result = files_.replaceWith(path_, [&](FileSink& sink) {
            if (encoding_ == Encoding::Utf8 && model.entryCount() > 0 && !sink.write(kUtf8Mark)) {
                return false;
            }
            const WriteOutcome outcome = writeServerList(model, encoding_, sink);
            unencodable = outcome == WriteOutcome::Unencodable;
            return outcome == WriteOutcome::Written;
        });
        if (unencodable && encoding_ == Encoding::Ansi) {
            // Some text has no place in the ANSI code page: UTF-8 keeps every character.
            encoding_ = Encoding::Utf8;
            continue;
        }
        return result;
    }
}

}  // namespace hostdeck
