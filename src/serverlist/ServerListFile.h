#pragma once

#include <string>
#include <string_view>

#include "platform/FileStore.h"
#include "platform/TextCodec.h"
#include "serverlist/ServerListModel.h"

namespace hostdeck {

// Appends one entry per record line of `text` to the model's lists, in file order.
// A record is nickname#address#port: the nickname ends at the first '#', the port starts
// after the last one, and the address between them may hold '#' itself. Lines starting
// with ';' are comments; CR LF, LF and CR all end a line; empty lines are skipped.
void parseServerList(std::wstring_view text, ServerListModel& model);

// The list file: read once at start, rewritten whole at the end.
class ServerListFile {
  public:
    ServerListFile(FileStore& files, std::wstring path) : files_(files), path_(std::move(path)) {}

    const std::wstring& path() const { return path_; }

    // A missing file is an empty list. On any other failure nothing is added, and the
    // file is protected from being overwritten by save().
    FileResult load(ServerListModel& model);

    // Rewrites the file from the lists, in the encoding it was read in. The old file stays
    // untouched unless the new one was written completely.
    FileResult save(const ServerListModel& model);

  private:
    FileStore& files_;
    std::wstring path_;
    Encoding encoding_ = Encoding::Ansi;
    bool unreadable_ = false;
};

}  // namespace hostdeck
