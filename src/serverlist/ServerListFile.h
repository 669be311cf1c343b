#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileStore.h"
#include "platform/TextCodec.h"
#include "serverlist/ServerListModel.h"

namespace hostdeck {

// The list file's name, appended to the program's folder.
inline constexpr wchar_t kListFileName[] = L"\\serverlist.ini";

// The list file: read once at start, rewritten whole at the end. The format is in
// ListFileFormat.h.
class ServerListFile final : public EntryCheck {
  public:
    ServerListFile(FileStore& files, std::wstring path) : files_(files), path_(std::move(path)) {}

    const std::wstring& path() const { return path_; }

    // Appends one entry per record line, in file order. A missing file is an empty list.
    // On any other failure (the file cannot be read, or is too large for memory) the lists
    // stay empty and the file is protected from being overwritten by save().
    Result load(ServerListModel& model);
    bool loadFailed() const { return loadFailed_; }
    // load() found the file and read its bytes (false: there was none, or it could not be
    // read), even where their text was too large to take in.
    bool found() const { return known_.kind == DiskCheck::Seen::Kind::Present; }
    // The lists hold the entries that load() read or save() last wrote, in the same order: a
    // save would change nothing that matters, whatever happened to the file meanwhile. Where
    // they changed and may have changed back, what load() read is read again to tell (the
    // file itself after a save).
    bool holdsAsKnown(const ServerListModel& model);

    // What the file on disk holds now, against what load() read or save() last wrote.
    enum class DiskState {
        AsKnown,     // the same bytes (or no file, as before); also after a failed load
        Gone,        // it was there and is no more: nothing to lose
        Changed,     // someone else wrote it
        Unreadable,  // it cannot be read now, so whether it changed is unknown
    };
    struct DiskCheck {
        DiskState state = DiskState::AsKnown;
        std::wstring reason;  // for Unreadable: why
        struct Seen {
            enum class Kind { Absent, Present, Unreadable } kind = Kind::Absent;
            std::uint64_t fingerprint = 0;
            bool operator==(const Seen&) const = default;
        } seen;
    };
    DiskCheck checkDisk();
    // The user chose to replace what that check saw; save() replaces nothing else.
    // What the file is known to hold stays as it was: a list changed back is still not written.
    void mayReplace(const DiskCheck& check) { replaceable_ = check.seen; }

    // Rewrites the file from the lists, in the encoding it was read in. The old file stays
    // untouched unless the new one was written completely; Cancelled when, by then, the file
    // on disk was no longer what this program knew or was allowed to replace; Busy when
    // another Hostdeck was still saving the file after `waitMs`.
    Result save(const ServerListModel& model, unsigned waitMs = 0);

    // Writes the lists to a new file in `folder`, named after the list file, for when the
    // list file may not be replaced. At its top, as comment lines (which a load skips): the
    // headline, the line that names the list file, and the details. Returns the new file's path in
    // `copyPath`. Where no encoding gives every byte back, the copy is in UTF-8 and keeps every
    // character.
    Result saveCopy(const std::wstring& folder, const ServerListModel& model,
                    std::wstring_view headline, std::wstring_view details, std::wstring& copyPath);
    // The start of the line that names the list file in a copy: part of the copy's format, which
    // the next start reads back, so not among the texts to translate.
    static constexpr std::wstring_view kCopyOwner = L"It belongs to ";
    // The copies that saveCopy() left in `folder`, oldest first; `ofThisList`: only those that
    // name this list file at their top (a folder shared with other installations).
    std::vector<std::wstring> copiesIn(const std::wstring& folder, bool ofThisList = false);
    std::wstring folder() const;

    // The encoding a load reads these bytes in, and how many of them are its mark.
    static std::pair<Encoding, std::size_t> encodingOfBytes(std::string_view bytes);

    // EntryCheck: the format's rules, and that the text reads back the same in the encoding
    // the next save writes.
    std::wstring whyCannotHold(const ServerListModel& list, std::wstring_view nickname,
                               std::wstring_view address, std::wstring_view port) const override {
        std::optional<ListIndex> notInUtf8;
        return whyCannotHold(list, nickname, address, port, notInUtf8);
    }
    std::vector<std::wstring> whyCannotHoldEach(
        const ServerListModel& list, const std::vector<const EntryText*>& entries) const override;

  private:
    // The bytes the text is stored in, and whether the file begins with its mark.
    struct FileEncoding {
        Encoding text = Encoding::Ansi;
        bool mark = false;
        std::string_view markBytes() const;
        bool operator==(const FileEncoding&) const = default;
    };
    static FileEncoding encodingOf(std::string_view start, std::uint64_t length, bool ascii,
                                   bool validUtf8);
    // Appends the records of the file's bytes to the model; false when a line is too long to
    // convert.
    bool parse(std::string_view bytes, ServerListModel& model);
    DiskCheck::Seen readDisk(std::wstring& reason);
    // Where and how write() writes the lists.
    struct Writing {
        const std::wstring& path;
        std::wstring_view note = {};           // comment lines at the top
        std::uint64_t* fingerprint = nullptr;  // set to the fingerprint of what was written
        ReplaceCheck stillWanted = {};         // as FileStore::replaceWith() takes it
        bool anyBytes = false;  // a copy, which may end in UTF-8 whatever kept bytes read as
        unsigned waitMs = 0;    // for another saver
    };
    Result write(const ServerListModel& model, const Writing& how);
    // `notInUtf8`: the list's first entry that would not read back in UTF-8 (kNoItem: none),
    // once looked for.
    std::wstring whyCannotHold(const ServerListModel& list, std::wstring_view nickname,
                               std::wstring_view address, std::wstring_view port,
                               std::optional<ListIndex>& notInUtf8) const;
    std::wstring whyListCannotSwitchToUtf8(const ServerListModel& list, std::wstring_view character,
                                           std::optional<ListIndex>& notInUtf8) const;
    bool namesThisList(const std::wstring& copy);
    std::wstring copyPrefix(const std::wstring& folder) const;

    FileStore& files_;
    std::wstring path_;
    FileEncoding encoding_;
    bool loadFailed_ = false;
    DiskCheck::Seen known_;                       // what load() read or save() wrote
    std::optional<DiskCheck::Seen> replaceable_;  // what else the user let save() replace
    std::string loadedBytes_;                     // what load() read, until a save
    bool saved_ = false;
    std::uint64_t changesKnown_ = 0;  // the model's count of changes when load() or save() ended
    ListIndex countKnown_ = 0;        // and its count of entries
};

}  // namespace hostdeck
