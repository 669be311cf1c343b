#include "serverlist/ServerListFile.h"

namespace hostdeck {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr wchar_t kSeparator = L'#';
constexpr wchar_t kCommentMark = L';';

void parseRecord(std::wstring_view line, ServerListModel& model) {
    const std::size_t first = line.find(kSeparator);
    if (first == std::wstring_view::npos) {
        // No separator at all: keep the text as a nickname rather than lose it.
        model.appendEntry(std::wstring(line), {}, {});
        return;
    }
    const std::size_t last = line.rfind(kSeparator);
    const std::wstring_view address =
        last > first ? line.substr(first + 1, last - first - 1) : std::wstring_view{};
    model.appendEntry(std::wstring(line.substr(0, first)), std::wstring(address),
                      std::wstring(line.substr(last + 1)));
}

const std::wstring& itemOrEmpty(const TextList& list, ListIndex index) {
    static const std::wstring empty;
    return index < list.count() ? list.item(index) : empty;
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

std::wstring formatServerList(const ServerListModel& model) {
    const ListIndex count = model.lstServerNick.count();
    std::size_t length = 0;
    for (ListIndex i = 0; i < count; ++i) {
        length += model.lstServerNick.item(i).size() + itemOrEmpty(model.lstServerIP, i).size() +
                  itemOrEmpty(model.lstServerPort, i).size() + 4;
    }
    std::wstring text;
    text.reserve(length);
    for (ListIndex i = 0; i < count; ++i) {
        text += model.lstServerNick.item(i);
        text += kSeparator;
        text += itemOrEmpty(model.lstServerIP, i);
        text += kSeparator;
        text += itemOrEmpty(model.lstServerPort, i);
        text += L"\r\n";
    }
    return text;
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
    parseServerList(decodeText(content, encoding_), model);
    return result;
}

FileResult ServerListFile::save(const ServerListModel& model) {
    if (unreadable_) {
        return FileResult::failed(L"The list was not saved: \"" + path_ +
                                  L"\" could not be read at start, and saving now would "
                                  L"overwrite it. The file was left as it was.");
    }
    const std::wstring text = formatServerList(model);
    std::string bytes;
    if (!text.empty() &&
        (encoding_ == Encoding::Utf8 || !encodeText(text, Encoding::Ansi, bytes))) {
        // Some text has no place in the ANSI code page: UTF-8 keeps every character.
        encoding_ = Encoding::Utf8;
        std::string utf8;
        encodeText(text, Encoding::Utf8, utf8);
        bytes.assign(kUtf8Mark);
        bytes += utf8;
    }
    return files_.replaceAll(path_, bytes);
}

}  // namespace hostdeck
