#include "serverlist/ServerListFile.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <utility>

#include "serverlist/ListFileFormat.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

using namespace list_file_format;

// The note of a copy quotes the fields as the user left them, which may hold half a character
// (no file can hold one) or a byte kept from the file (which, next to the note's text, could read
// as another character, or keep the copy from its list's encoding). They are written as the text
// "\uD800" and "\xE9", so that the note never keeps the list from its copy, and says what was
// there.
std::wstring writableNote(std::wstring_view note) {
    std::wstring text;
    const auto hex = [&](unsigned value, int digits) {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
            text += L"0123456789ABCDEF"[(value >> shift) & 0xF];
    };
    for (std::size_t i = 0; i < note.size(); ++i) {
        const auto unit = static_cast<unsigned>(note[i]);
        switch (unitKindAt(note, i)) {
            case UnitKind::LoneHalf:
                text += L"\\u";
                hex(unit, 4);
                break;
            case UnitKind::ByteEscape:
                text += L"\\x";
                hex(unit - kFirstByteEscape, 2);
                break;
            case UnitKind::Text:
                text += note[i];
                break;
        }
    }
    return text;
}

// An upper bound of what the records need: no character takes fewer units than bytes.
template <typename Char>
ServerListModel::Capacity measureRecords(std::basic_string_view<Char> text) {
    ServerListModel::Capacity capacity;
    using View = std::basic_string_view<Char>;
    forEachRecord(text, [&](View nickname, View address, View port) {
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
        if (pending_ > 0) {
            const std::size_t take = std::min(bytes.size(), 8 - pending_);
            std::memcpy(word_ + pending_, bytes.data(), take);
            pending_ += take;
            bytes.remove_prefix(take);
            if (pending_ < 8) return;
            mixPending();
        }
        for (; bytes.size() >= 8; bytes.remove_prefix(8)) {  // whole words straight from the bytes
            std::uint64_t word;
            std::memcpy(&word, bytes.data(), 8);
            mixWord(word);
        }
        std::memcpy(word_, bytes.data(), bytes.size());
        pending_ = bytes.size();
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
    void mixWord(std::uint64_t word) { value_ = mix(value_ ^ word) + 0x9E3779B97F4A7C15ull; }
    void mixPending() {
        std::uint64_t word;
        std::memcpy(&word, word_, 8);
        mixWord(word);
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

// Only text with bytes kept from the file can fail to.
bool readsBackInUtf8(std::wstring_view text) {
    std::string bytes;
    std::wstring back;
    bool keptBytes = false;
    return encodeText(text, Encoding::Utf8, bytes, &keptBytes) &&
           (!keptBytes || (decodeTextInto(bytes, Encoding::Utf8, back) && back == text));
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
        length_ += bytes.size();
        fingerprint_.add(bytes);
        return sink_.write(bytes);
    }

    const std::string& start() const { return start_; }
    std::uint64_t length() const { return length_; }
    bool highByte() const { return highByte_; }
    bool validUtf8() const { return validUtf8_; }
    std::uint64_t fingerprint() const { return fingerprint_.value(); }

  private:
    FileSink& sink_;
    std::string start_;
    std::uint64_t length_ = 0;
    bool highByte_ = false;
    bool validUtf8_ = true;
    Fingerprint fingerprint_;
};

// Takes what a save would write, only to tell it by its fingerprint.
struct FingerprintOnly final : FileSink {
    Fingerprint fingerprint;
    bool write(std::string_view bytes) override {
        fingerprint.add(bytes);
        return true;
    }
};

enum class WriteOutcome { Written, Unencodable, SinkFailed };

// Writes `note` as comment lines and then the records, converted and written a block of lines
// at a time, so that no copy of the whole file is made. A block that holds bytes kept from the
// file is read back (unless any bytes will do): next to each other, kept bytes can read as
// another character in another encoding.
WriteOutcome writeLines(const ServerListModel& model, std::wstring_view note, Encoding encoding,
                        bool anyBytes, FileSink& sink) {
    constexpr std::size_t kBlock = 1 << 16;
    std::wstring lines, readBack;
    std::string bytes;
    auto flush = [&] {
        bool keptBytes = false;
        if (!encodeText(lines, encoding, bytes, &keptBytes)) return WriteOutcome::Unencodable;
        if (keptBytes && !anyBytes) {
            readBack.clear();
            if (!decodeTextInto(bytes, encoding, readBack) || readBack != lines)
                return WriteOutcome::Unencodable;
        }
        lines.clear();
        return sink.write(bytes) ? WriteOutcome::Written : WriteOutcome::SinkFailed;
    };
    lines.reserve(kBlock + 256);
    appendComment(lines, note);
    const ListIndex count = model.lstServerNick.count();
    for (ListIndex i = 0; i < count; ++i) {
        appendRecord(lines, model.lstServerNick.item(i), itemOrEmpty(model.lstServerIP, i),
                     itemOrEmpty(model.lstServerPort, i));
        if (lines.size() >= kBlock) {
            if (const WriteOutcome outcome = flush(); outcome != WriteOutcome::Written)
                return outcome;
        }
    }
    return flush();
}

}  // namespace

std::string_view ServerListFile::FileEncoding::markBytes() const {
    if (!mark) return {};
    if (text == Encoding::Utf16Le) return kUtf16LeMark;
    if (text == Encoding::Utf16Be) return kUtf16BeMark;
    return kUtf8Mark;
}

// The encoding a load reads a file in, as the format says (ListFileFormat.h).
ServerListFile::FileEncoding ServerListFile::encodingOf(std::string_view start,
                                                        std::uint64_t length, bool ascii,
                                                        bool validUtf8) {
    for (const FileEncoding marked :
         {FileEncoding{Encoding::Utf8, true}, FileEncoding{Encoding::Utf16Le, true},
          FileEncoding{Encoding::Utf16Be, true}}) {
        if (start.starts_with(marked.markBytes()) &&
            (marked.text == Encoding::Utf8 || length % 2 == 0))
            return marked;
    }
    if (!ascii && validUtf8) return {Encoding::Utf8, false};
    return {};
}

std::pair<Encoding, std::size_t> ServerListFile::encodingOfBytes(std::string_view bytes) {
    const bool ascii = isAscii(bytes);
    const FileEncoding found =
        encodingOf(bytes.substr(0, 3), bytes.size(), ascii, !ascii && isValidUtf8(bytes));
    return {found.text, found.markBytes().size()};
}

bool ServerListFile::parse(std::string_view content, ServerListModel& model) {
    const bool ascii = isAscii(content);
    encoding_ =
        encodingOf(content.substr(0, 3), content.size(), ascii, !ascii && isValidUtf8(content));
    content.remove_prefix(encoding_.markBytes().size());
    if (isUtf16(encoding_.text)) {
        std::wstring text;
        decodeTextInto(content, encoding_.text, text);
        model.reserve(measureRecords(std::wstring_view(text)));
        forEachRecord(std::wstring_view(text),
                      [&](auto n, auto a, auto p) { model.appendEntry(n, a, p); });
        return true;
    }
    model.reserve(measureRecords(content));
    bool decoded = true;
    std::wstring nickname, address, port;
    forEachRecord(content, [&](std::string_view n, std::string_view a, std::string_view p) {
        nickname.clear();
        address.clear();
        port.clear();
        decoded = decoded && decodeTextInto(n, encoding_.text, nickname) &&
                  decodeTextInto(a, encoding_.text, address) &&
                  decodeTextInto(p, encoding_.text, port);
        if (decoded) model.appendEntry(nickname, address, port);
    });
    return decoded;
}

Result ServerListFile::load(ServerListModel& model) {
    changesKnown_ = model.changes();
    countKnown_ = model.entryCount();
    try {
        std::string bytes;
        Result result = files_.readAll(path_, bytes);
        if (result.status == Result::Status::NotFound) return Result::success();
        if (!result.ok()) {
            loadFailed_ = true;
            return result;
        }
        known_ = {DiskCheck::Seen::Kind::Present, fingerprintOf(bytes)};
        if (parse(bytes, model)) {
            changesKnown_ = model.changes();
            countKnown_ = model.entryCount();
            loadedBytes_ = std::move(bytes);  // kept to tell a list changed back, at no cost now
            return result;
        }
    } catch (const std::exception&) {
        // Out of memory: handled below as a line too long to convert.
    }
    // The list is not shown in part, and the file is kept from being overwritten with what
    // was shown.
    model.removeAllEntries();
    loadFailed_ = true;
    return Result::failed(texts::fill(texts::kTooLargeForMemory, {path_}));
}

ServerListFile::DiskCheck::Seen ServerListFile::readDisk(std::wstring& reason) {
    using Kind = DiskCheck::Seen::Kind;
    try {
        Fingerprint fingerprint;
        const Result read =
            files_.readPieces(path_, [&](std::string_view piece) { fingerprint.add(piece); });
        if (read.ok()) return {Kind::Present, fingerprint.value()};
        if (read.status == Result::Status::NotFound) return {Kind::Absent};
        reason = read.reason;
    } catch (const std::exception&) {
        reason = texts::kNoMemoryToRead;
    }
    return {Kind::Unreadable};
}

ServerListFile::DiskCheck ServerListFile::checkDisk() {
    DiskCheck check;
    check.seen = readDisk(check.reason);
    using Kind = DiskCheck::Seen::Kind;
    // save() refuses after a failed load.
    if (loadFailed_ || check.seen == known_ || check.seen == replaceable_) return check;
    switch (check.seen.kind) {
        case Kind::Absent:
            check.state = DiskState::Gone;
            break;
        case Kind::Unreadable:
            check.state = DiskState::Unreadable;
            break;
        case Kind::Present:
            check.state = DiskState::Changed;
            break;
    }
    return check;
}

bool ServerListFile::holdsAsKnown(const ServerListModel& model) {
    if (loadFailed_) return false;
    if (model.changes() == changesKnown_) return true;
    if (model.entryCount() != countKnown_) return false;
    // Changed, and maybe changed back: the entries as they were read, or the bytes a save
    // would write now as those it wrote (told by their fingerprint, so that neither the file,
    // which may be locked or changed by now, nor a copy of what was written is needed).
    try {
        if (known_.kind != DiskCheck::Seen::Kind::Present) return model.entryCount() == 0;
        if (saved_) {
            FingerprintOnly sink;
            if (encoding_.mark && model.entryCount() > 0) sink.write(encoding_.markBytes());
            return writeLines(model, {}, encoding_.text, false, sink) == WriteOutcome::Written &&
                   sink.fingerprint.value() == known_.fingerprint;
        }
        ServerListFile again(files_, path_);
        ServerListModel known;
        return again.parse(loadedBytes_, known) && known.sameEntries(model);
    } catch (const std::exception&) {
        return false;  // out of memory: taken as changed, and so saved or kept
    }
}

Result ServerListFile::write(const ServerListModel& model, const Writing& how) {
    const std::wstring_view note = how.note;
    // The encoding it was read in, unless the file cannot hold some text in it or the next
    // load would read the bytes in another encoding; UTF-8 with the mark always does. A copy
    // that no encoding gives back byte for byte is in UTF-8 all the same: every character the
    // window holds is in it.
    const FileEncoding candidates[] = {encoding_, {Encoding::Utf8, true}, {Encoding::Utf8, true}};
    Result result;
    for (const FileEncoding& candidate : candidates) {
        const bool lastResort = &candidate == &candidates[2];
        if (lastResort && !how.anyBytes) break;
        bool retry = false;
        result = files_.replaceWith(
            how.path,
            [&](FileSink& sink) {
                WrittenBytes written(sink);
                if (candidate.mark && (model.entryCount() > 0 || !note.empty()) &&
                    !written.write(candidate.markBytes())) {
                    return false;
                }
                const WriteOutcome outcome =
                    writeLines(model, note, candidate.text, lastResort, written);
                if (outcome != WriteOutcome::Written) {
                    retry = outcome == WriteOutcome::Unencodable;
                    return false;
                }
                const FileEncoding readAs = encodingOf(written.start(), written.length(),
                                                       !written.highByte(), written.validUtf8());
                const bool readsAsAscii = !written.highByte() && !readAs.mark;
                if (readAs != candidate && !readsAsAscii && !lastResort) {
                    retry = true;
                    return false;
                }
                if (how.fingerprint) *how.fingerprint = written.fingerprint();
                return true;
            },
            how.stillWanted, how.waitMs);
        if (!retry) {
            if (result.ok() && !how.anyBytes)
                encoding_ = candidate;  // a copy leaves the file as it is
            return result;
        }
    }
    return Result::failed(texts::fill(texts::kCannotStoreSoItReadsBack, {how.path}));
}

Result ServerListFile::save(const ServerListModel& model, unsigned waitMs) {
    if (loadFailed_) {
        return Result::failed(texts::fill(texts::kNotSavedUnreadAtStart, {path_}));
    }
    // Checked again once the new file is written, while no other saver can go on: another
    // window may have saved since the caller looked.
    const auto stillAsKnown = [&] {
        std::wstring ignored;
        const DiskCheck::Seen now = readDisk(ignored);
        return now == known_ || now == replaceable_ || now.kind == DiskCheck::Seen::Kind::Absent;
    };
    std::uint64_t written = 0;
    const Result result = write(
        model,
        {.path = path_, .fingerprint = &written, .stillWanted = stillAsKnown, .waitMs = waitMs});
    if (result.ok()) {
        saved_ = true;
        loadedBytes_ = {};
        known_ = {DiskCheck::Seen::Kind::Present, written};
        replaceable_.reset();
        changesKnown_ = model.changes();
        countKnown_ = model.entryCount();
    }
    return result;
}

std::wstring ServerListFile::folder() const {
    const std::size_t slash = path_.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path_.substr(0, slash);
}

std::wstring ServerListFile::copyPrefix(const std::wstring& folder) const {
    const std::size_t slash = path_.find_last_of(L"\\/");
    std::wstring stem = path_.substr(slash + 1);
    stem.resize(std::min(stem.rfind(L'.'), stem.size()));
    return folder + (slash == std::wstring::npos ? L'\\' : path_[slash]) + stem + L" (not saved ";
}

bool ServerListFile::namesThisList(const std::wstring& copy) {
    std::string bytes;
    if (!files_.readAll(copy, bytes).ok()) return false;
    // Its first lines, which name the list, in whole lines (UTF-16 in whole units).
    std::string_view top = std::string_view(bytes).substr(0, 4 * (path_.size() + 256));
    if (!top.starts_with(kUtf16LeMark) && !top.starts_with(kUtf16BeMark))
        top = top.substr(0, top.rfind('\n') + 1);
    const FileEncoding encoding =
        encodingOf(top.substr(0, 3), top.size(), isAscii(top), isValidUtf8(top));
    const std::wstring text = decodeText(top.substr(encoding.markBytes().size()), encoding.text);
    std::wstring owner(kLineEnd);  // the start of the comment line that saveCopy() writes
    appendComment(owner, kCopyOwner);
    owner.resize(owner.size() - kLineEnd.size());
    const std::size_t start = text.find(owner);
    if (start == std::wstring::npos) return false;
    const std::size_t named = start + owner.size();
    const std::wstring_view list =
        std::wstring_view(text).substr(named, text.find(kLineEnd, named) - named);
    return files_.namesFile(list, path_);
}

std::vector<std::wstring> ServerListFile::copiesIn(const std::wstring& folder, bool ofThisList) {
    const std::wstring prefix = copyPrefix(folder);
    std::vector<std::wstring> copies = files_.pathsStartingWith(prefix);
    if (ofThisList) std::erase_if(copies, [&](const std::wstring& c) { return !namesThisList(c); });
    const auto number = [&](const std::wstring& copy) {
        return std::wcstoul(copy.c_str() + prefix.size(), nullptr, 10);
    };
    std::sort(copies.begin(), copies.end(),
              [&](const std::wstring& a, const std::wstring& b) { return number(a) < number(b); });
    return copies;
}

Result ServerListFile::saveCopy(const std::wstring& folder, const ServerListModel& model,
                                std::wstring_view headline, std::wstring_view details,
                                std::wstring& copyPath) {
    const std::wstring note =
        writableNote(std::wstring(headline) + L"\n" + std::wstring(kCopyOwner) + path_ + L"\n" +
                     std::wstring(details));
    const std::vector<std::wstring> existing = files_.pathsStartingWith(copyPrefix(folder));
    for (std::size_t n = 1;; ++n) {
        copyPath = copyPrefix(folder) + texts::number(n) + L").ini";
        if (std::find(existing.begin(), existing.end(), copyPath) != existing.end()) continue;
        // Never over another copy: one that appeared since the folder was listed is kept.
        const auto stillNew = [&] {
            const std::vector<std::wstring> now = files_.pathsStartingWith(copyPath);
            return std::find(now.begin(), now.end(), copyPath) == now.end();
        };
        const Result result = write(
            model, {.path = copyPath, .note = note, .stillWanted = stillNew, .anyBytes = true});
        if (result.status != Result::Status::Cancelled) return result;
        if (n > existing.size() + 100)
            return Result::failed(texts::fill(texts::kCouldNotCreateCopy, {copyPath}));
    }
}

std::vector<std::wstring> ServerListFile::whyCannotHoldEach(
    const ServerListModel& list, const std::vector<const EntryText*>& entries) const {
    std::optional<ListIndex> notInUtf8;
    std::vector<std::wstring> whys;
    whys.reserve(entries.size());
    for (const EntryText* e : entries)
        whys.push_back(whyCannotHold(list, e->nickname, e->address, e->port, notInUtf8));
    return whys;
}

std::wstring ServerListFile::whyCannotHold(const ServerListModel& list, std::wstring_view nickname,
                                           std::wstring_view address, std::wstring_view port,
                                           std::optional<ListIndex>& notInUtf8) const {
    std::wstring why = whyFileCannotHold(nickname, address, port);
    const std::pair<std::wstring_view, std::wstring_view> fields[] = {
        {texts::kTheNickname, nickname}, {texts::kTheAddress, address}, {texts::kThePort, port}};
    std::wstring_view lacking;  // the first character that the file's encoding lacks
    for (const auto& [name, text] : fields) {
        if (!why.empty()) break;
        // Text the file's encoding lacks makes the next save switch to UTF-8.
        Encoding encoding = encoding_.text;
        std::string bytes;
        if (!encodeText(text, encoding, bytes)) {
            for (std::size_t i = 0; lacking.empty() && i < text.size(); ++i) {
                const bool pair =
                    text[i] >= 0xD800 && text[i] <= 0xDBFF && unitKindAt(text, i) == UnitKind::Text;
                const std::size_t units = pair ? 2 : 1;
                if (!encodeText(text.substr(i, units), encoding, bytes))
                    lacking = text.substr(i, units);
            }
            encoding = Encoding::Utf8;
            encodeText(text, encoding, bytes);
        }
        std::wstring back;
        decodeTextInto(bytes, encoding, back);
        const bool wholeUnits = !isUtf16(encoding) || bytes.size() % 2 == 0;
        if (back == text && wholeUnits) continue;
        const auto differs = std::mismatch(text.begin(), text.end(), back.begin(), back.end());
        why = texts::fill(texts::kWouldNotReadBack,
                          {name, texts::number(differs.first - text.begin() + 1)});
    }
    if (why.empty() && !lacking.empty()) {
        // The entry's own fields too: one of them may hold the kept bytes.
        for (const auto& [name, text] : fields) {
            if (why.empty() && !readsBackInUtf8(text))
                why = texts::fill(texts::kEntryCannotSwitchToUtf8, {lacking, name});
        }
        if (why.empty()) why = whyListCannotSwitchToUtf8(list, lacking, notInUtf8);
    }
    return why;
}

// The servers already in the list must read back in UTF-8 too, once a new character makes the
// save switch to it: only lines with bytes kept from the file can fail to.
std::wstring ServerListFile::whyListCannotSwitchToUtf8(const ServerListModel& list,
                                                       std::wstring_view character,
                                                       std::optional<ListIndex>& notInUtf8) const {
    std::wstring line;
    for (ListIndex i = 0; !notInUtf8 && i < list.entryCount(); ++i) {
        line.clear();
        appendRecord(line, list.lstServerNick.item(i), itemOrEmpty(list.lstServerIP, i),
                     itemOrEmpty(list.lstServerPort, i));
        if (!readsBackInUtf8(line)) notInUtf8 = i;
    }
    if (!notInUtf8) notInUtf8 = kNoItem;
    if (*notInUtf8 == kNoItem) return {};
    return texts::fill(texts::kCannotSwitchToUtf8, {character, texts::number(*notInUtf8 + 1),
                                                    list.lstServerNick.item(*notInUtf8)});
}

}  // namespace hostdeck
