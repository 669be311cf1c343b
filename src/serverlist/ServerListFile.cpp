#include "serverlist/ServerListFile.h"

#include <algorithm>

namespace hostdeck {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr wchar_t kSeparator = L'#';
constexpr wchar_t kCommentMark = L';';

void parseRecord(std::wstring_view line, ServerListModel& model) {
    const std::size_t first = line.find(kSeparator);
    if (first == std::wstring_view::npos) {
        // No separator at all: keep the text as a nickname rather than lose it.
        model.appendEntry(line, {}, {});
        return;
    }
    const std::size_t last = line.rfind(kSeparator);
    const std::wstring_view address =
        last > first ? line.substr(first + 1, last - first - 1) : std::wstring_view{};
    model.appendEntry(line.substr(0, first), address, line.substr(last + 1));
}

std::wstring_view itemOrEmpty(const TextList& list, ListIndex index) {
    return index < list.count() ? list.item(index) : std::wstring_view{};
}

// An upper bound of what the records in the file need: a character never takes less than a
// byte, and '#' never stands inside a multi-byte character.
ServerListModel::Capacity measureRecords(std::string_view bytes) {
    ServerListModel::Capacity capacity;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line.front() == ';') continue;
        const std::size_t first = std::min(line.find('#'), line.size());
        const std::size_t last = line.rfind('#');
        ++capacity.entries;
        capacity.nicknameChars += first;
        if (last != std::string_view::npos) {
            capacity.portChars += line.size() - last - 1;
            if (last > first) capacity.addressChars += last - first - 1;
        }
    }
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
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos) end = text.size();
        const std::wstring_view line = text.substr(start, end - start);
        start = end + 1;
        if (end + 1 < text.size() && text[end] == L'\r' && text[end + 1] == L'\n') ++start;

        if (line.empty() || line.front() == kCommentMark) continue;
        parseRecord(line, model);
    }
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
