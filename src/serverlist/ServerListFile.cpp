#include "serverlist/ServerListFile.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <stdexcept>

#include "serverlist/ListFileFormat.h"

namespace hostdeck {

namespace {

using namespace list_file_format;

// Calls record(nickname, address, port) for each record line of the file's bytes, in
// order. Lines and fields are split on the bytes, before any decoding: '#', ';', CR and LF
// are never part of a multi-byte character in UTF-8 or in any ANSI code page, while a
// broken character decoded first could swallow them. Lines end at CR LF, LF or CR; empty
// lines and comments are skipped. A line without '#' is all nickname, so that no text is
// lost.
template <typename Record>
void forEachRecord(std::string_view bytes, Record record) {
    using View = std::string_view;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == View::npos) end = bytes.size();
        const View line = bytes.substr(start, end - start);
        start = end + 1;
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ++start;
        if (line.empty() || line.front() == kCommentMark) continue;

        const std::size_t first = line.find(kSeparator);
        if (first == View::npos) {
            record(line, View{}, View{});
            continue;
        }
        const std::size_t last = line.rfind(kSeparator);
        const View address = last > first ? line.substr(first + 1, last - first - 1) : View{};
        record(line.substr(0, first), address, line.substr(last + 1));
    }
}

// An upper bound of what the records need: no character takes fewer units than bytes.
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

// Tells whether the file is still what was read or written: a 64-bit mix of its bytes,
// eight at a time, and of its length. The same bytes give the same value however they
// were cut into pieces.
class Fingerprint {
  public:
    void add(std::string_view bytes) {
        length_ += bytes.size();
        while (!bytes.empty()) {
            const std::size_t take = std::min(bytes.size(), 8 - pending_);
            std::memcpy(word_ + pending_, bytes.data(), take);
            pending_ += take;
            bytes.remove_prefix(take);
            if (pending_ == 8) mixPending();
        }
    }
    std::uint64_t value() const {
        Fingerprint last = *this;
        if (last.pending_ > 0) {
            std::memset(last.word_ + last.pending_, 0, 8 - last.pending_);
            last.mixPending();
        }
        return mix(last.value_ ^ length_);
    }

  private:
    static std::uint64_t mix(std::uint64_t x) {
        x ^= x >> 31;
        x *= 0x7FB5D329728EA185ull;
        x ^= x >> 27;
        return x;
    }
    void mixPending() {
        std::uint64_t word;
        std::memcpy(&word, word_, 8);
        value_ = mix(value_ ^ word) + 0x9E3779B97F4A7C15ull;
        pending_ = 0;
    }

    std::uint64_t value_ = 0xCBF29CE484222325ull;
    std::uint64_t length_ = 0;
    unsigned char word_[8] = {};
    std::size_t pending_ = 0;
};

std::uint64_t fingerprintOf(std::string_view bytes) {
    Fingerprint fingerprint;
    fingerprint.add(bytes);
    return fingerprint.value();
}

std::wstring_view itemOrEmpty(const TextList& list, ListIndex index) {
    return index < list.count() ? list.item(index) : std::wstring_view{};
}

// Passes what is written on and watches it, to tell how the next load will read it.
class WrittenBytes final : public FileSink {
  public:
    explicit WrittenBytes(FileSink& sink) : sink_(sink) {}

    bool write(std::string_view bytes) override {
        if (start_.size() < kUtf8Mark.size())
            start_ += bytes.substr(0, kUtf8Mark.size() - start_.size());
        if (!isAscii(bytes)) {
            highByte_ = true;
            // Every piece ends at a line end or is the mark: none splits a character.
            validUtf8_ = validUtf8_ && isValidUtf8(bytes);
        }
        fingerprint_.add(bytes);
        return sink_.write(bytes);
    }

    bool startsWithMark() const { return start_ == kUtf8Mark; }
    bool highByte() const { return highByte_; }
    bool validUtf8() const { return validUtf8_; }
    std::uint64_t fingerprint() const { return fingerprint_.value(); }

  private:
    FileSink& sink_;
    std::string start_;
    bool highByte_ = false;
    bool validUtf8_ = true;
    Fingerprint fingerprint_;
};

enum class WriteOutcome { Written, Unencodable, SinkFailed };

// Writes `note` as comment lines and then the records, each line ending in CR LF. Converted
// and written a block of lines at a time, so that no copy of the whole file is made.
WriteOutcome writeLines(const ServerListModel& model, std::wstring_view note, Encoding encoding,
                        FileSink& sink) {
    constexpr std::size_t kBlock = 1 << 16;
    const std::wstring lineEnd(kLineEnd.begin(), kLineEnd.end());
    std::wstring lines;
    std::string bytes;
    auto flush = [&] {
        if (!encodeText(lines, encoding, bytes)) return WriteOutcome::Unencodable;
        lines.clear();
        return sink.write(bytes) ? WriteOutcome::Written : WriteOutcome::SinkFailed;
    };
    lines.reserve(kBlock + 256);
    while (!note.empty()) {
        const std::size_t end = std::min(note.find_first_of(L"\r\n"), note.size());
        lines += static_cast<wchar_t>(kCommentMark);
        lines += L' ';
        lines += note.substr(0, end);
        lines += lineEnd;
        const bool crLf = note.substr(end, 2) == L"\r\n";
        note.remove_prefix(std::min(end + (crLf ? 2 : 1), note.size()));
    }
    const wchar_t separator = static_cast<wchar_t>(kSeparator);
    const ListIndex count = model.lstServerNick.count();
    for (ListIndex i = 0; i < count; ++i) {
        lines += model.lstServerNick.item(i);
        lines += separator;
        lines += itemOrEmpty(model.lstServerIP, i);
        lines += separator;
        lines += itemOrEmpty(model.lstServerPort, i);
        lines += lineEnd;
        if (lines.size() >= kBlock) {
            if (const WriteOutcome outcome = flush(); outcome != WriteOutcome::Written)
                return outcome;
        }
    }
    return flush();
}

}  // namespace

Result ServerListFile::load(ServerListModel& model) {
    try {
        std::string bytes;
        Result result = files_.readAll(path_, bytes);
        if (result.status == Result::Status::NotFound) return Result::success();
        if (!result.ok()) {
            unreadable_ = true;
            return result;
        }
        fingerprint_ = fingerprintOf(bytes);
        std::string_view content = bytes;
        encoding_ = {};
        if (content.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
            encoding_ = {Encoding::Utf8, true};
            content.remove_prefix(kUtf8Mark.size());
        } else if (!isAscii(content) && isValidUtf8(content)) {
            encoding_ = {Encoding::Utf8, false};
        }
        model.reserve(measureRecords(content));
        std::wstring nickname, address, port;
        bool decoded = true;
        forEachRecord(content, [&](std::string_view n, std::string_view a, std::string_view p) {
            nickname.clear();
            address.clear();
            port.clear();
            decoded = decoded && decodeTextInto(n, encoding_.text, nickname) &&
                      decodeTextInto(a, encoding_.text, address) &&
                      decodeTextInto(p, encoding_.text, port);
            if (decoded) model.appendEntry(nickname, address, port);
        });
        if (!decoded) throw std::length_error("a line too long to convert");
        return result;
    } catch (const std::exception&) {
        // Out of memory, or a line too long for the system's conversion: the list is not
        // shown in part, and the file is kept from being overwritten with what was shown.
        model.removeAllEntries();
        unreadable_ = true;
        return Result::failed(L"\"" + path_ + L"\" is too large for Hostdeck to read into memory.");
    }
}

bool ServerListFile::changedOnDisk() {
    if (unreadable_) return false;  // save() refuses anyway
    std::string bytes;
    const Result read = files_.readAll(path_, bytes);
    // A file that is gone holds nothing to lose; one that cannot be read now will not be
    // replaced either, and save() says why.
    if (!read.ok()) return false;
    return !fingerprint_ || fingerprintOf(bytes) != *fingerprint_;
}

Result ServerListFile::write(const std::wstring& path, const ServerListModel& model,
                             std::wstring_view note, std::uint64_t* fingerprint) {
    // The encoding it was read in, unless the file cannot hold some text in it or the next
    // load would read the bytes in another encoding; UTF-8 with the mark always does.
    FileEncoding candidates[] = {encoding_, {Encoding::Utf8, true}};
    Result result;
    for (const FileEncoding& candidate : candidates) {
        bool retry = false;
        result = files_.replaceWith(path, [&](FileSink& sink) {
            WrittenBytes written(sink);
            if (candidate.mark && (model.entryCount() > 0 || !note.empty()) &&
                !written.write(kUtf8Mark)) {
                return false;
            }
            const WriteOutcome outcome = writeLines(model, note, candidate.text, written);
            if (outcome != WriteOutcome::Written) {
                retry = outcome == WriteOutcome::Unencodable;
                return false;
            }
            const bool readsAsAscii = !written.highByte() && !written.startsWithMark();
            const bool readsAsWritten =
                written.startsWithMark() == candidate.mark &&
                (candidate.mark || (candidate.text == Encoding::Utf8) == written.validUtf8());
            if (!readsAsAscii && !readsAsWritten) {
                retry = true;
                return false;
            }
            if (fingerprint) *fingerprint = written.fingerprint();
            return true;
        });
        if (!retry) {
            if (result.ok()) encoding_ = candidate;
            return result;
        }
    }
    return Result::failed(L"Some text in the list cannot be stored in \"" + path + L"\".");
}

Result ServerListFile::save(const ServerListModel& model) {
    if (unreadable_) {
        return Result::failed(L"The list was not saved: \"" + path_ +
                              L"\" could not be read at start, and saving now would "
                              L"overwrite it. The file was left as it was.");
    }
    std::uint64_t written = 0;
    const Result result = write(path_, model, {}, &written);
    if (result.ok()) fingerprint_ = written;
    return result;
}

std::wstring ServerListFile::copyPrefix() const {
    std::wstring stem = path_;
    const std::size_t dot = stem.rfind(L'.');
    const std::size_t slash = stem.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) stem.resize(dot);
    return stem + L" (not saved ";
}

std::vector<std::wstring> ServerListFile::copiesBeside() {
    std::vector<std::wstring> copies = files_.pathsStartingWith(copyPrefix());
    const auto number = [&](const std::wstring& copy) {
        return std::wcstoul(copy.c_str() + copyPrefix().size(), nullptr, 10);
    };
    std::sort(copies.begin(), copies.end(),
              [&](const std::wstring& a, const std::wstring& b) { return number(a) < number(b); });
    return copies;
}

Result ServerListFile::saveCopyBeside(const ServerListModel& model, std::wstring_view note,
                                      std::wstring& copyPath) {
    const std::vector<std::wstring> existing = files_.pathsStartingWith(copyPrefix());
    for (unsigned long n = 1;; ++n) {
        copyPath = copyPrefix() + std::to_wstring(n) + L").ini";
        if (std::find(existing.begin(), existing.end(), copyPath) == existing.end()) break;
    }
    return write(copyPath, model, note, nullptr);
}

}  // namespace hostdeck
