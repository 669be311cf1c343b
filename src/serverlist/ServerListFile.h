#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileStore.h"
#include "platform/TextCodec.h"
#include "serverlist/ServerListModel.h"

namespace hostdeck {

// The list file: read once at start, rewritten whole at the end. The format is in
// ListFileFormat.h.
class ServerListFile {
  public:
    ServerListFile(FileStore& files, std::wstring path) : files_(files), path_(std::move(path)) {}

    const std::wstring& path() const { return path_; }

    // Appends one entry per record line, in file order. A missing file is an empty list.
    // On any other failure (the file cannot be read, or is too large for memory) the lists
    // stay empty and the file is protected from being overwritten by save().
    Result load(ServerListModel& model);

    // True when the file on disk is no longer what load() read or save() last wrote, so that
    // replacing it would throw away what someone else wrote there.
    bool changedOnDisk();

    // Rewrites the file from the lists, in the encoding it was read in. The old file stays
    // untouched unless the new one was written completely.
    Result save(const ServerListModel& model);

    // Writes the lists to a new file beside the list file, for when the list file may not be
    // replaced without asking and nobody can be asked. `note` goes at the top as comment
    // lines, which a load skips. Returns the new file's path in `copyPath`.
    Result saveCopyBeside(const ServerListModel& model, std::wstring_view note,
                          std::wstring& copyPath);
    // The copies that saveCopyBeside() left, oldest first.
    std::vector<std::wstring> copiesBeside();

  private:
    // The bytes the text is stored in, and whether the file begins with the UTF-8 mark.
    struct FileEncoding {
        Encoding text = Encoding::Ansi;
        bool mark = false;
    };
    Result write(const std::wstring& path, const ServerListModel& model, std::wstring_view note,
                 std::uint64_t* fingerprint);
    std::wstring copyPrefix() const;

    FileStore& files_;
    std::wstring path_;
    FileEncoding encoding_;
    bool unreadable_ = false;
    std::optional<std::uint64_t> fingerprint_;  // of the bytes on disk; none: no file
};

}  // namespace hostdeck
