#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace hostdeck {

// Takes a file's new content piece by piece.
class FileSink {
  public:
    // False once the file could not be written; the producer should then stop.
    virtual bool write(std::string_view bytes) = 0;

  protected:
    ~FileSink() = default;
};

// Writes a file's whole new content into the sink; returns false to give up.
using FileProducer = std::function<bool(FileSink&)>;

// Whole-file access to the files the program keeps.
class FileStore {
  public:
    virtual ~FileStore() = default;

    // Reads the whole file; NotFound when it (or its folder) does not exist.
    virtual Result readAll(const std::wstring& path, std::string& bytes) = 0;

    // Replaces the file's content in one step: what `produce` writes goes to a new temporary
    // file beside it, which is flushed and then takes its place. On any failure, or when
    // `produce` gives up (Cancelled), the old file is left exactly as it was. A read-only file
    // is never replaced. When the path is a symbolic link, the file it points to is replaced
    // and the link stays.
    virtual Result replaceWith(const std::wstring& path, const FileProducer& produce) = 0;

    // The paths of the files whose path begins with `prefix` (a folder and the start of a
    // name), in no particular order.
    virtual std::vector<std::wstring> pathsStartingWith(const std::wstring& prefix) = 0;

    Result replaceAll(const std::wstring& path, std::string_view bytes) {
        return replaceWith(path, [bytes](FileSink& sink) { return sink.write(bytes); });
    }
};

// The file access of the platform the program was built for.
std::unique_ptr<FileStore> makeSystemFileStore();

}  // namespace hostdeck
