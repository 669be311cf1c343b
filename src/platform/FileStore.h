#pragma once

#include <cstdint>
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

// A new file being written, for FileStore's own use.
class NewFile : public FileSink {
  public:
    virtual ~NewFile() = default;
    // Why a write failed, once one has.
    virtual Result writeResult() = 0;
    // Flushes it to the disk and closes it.
    virtual Result finish() = 0;
};

// A file opened for reading, for FileStore's own use.
class OpenFile {
  public:
    virtual ~OpenFile() = default;
    // Its size when it was opened.
    virtual std::uint64_t size() = 0;
    // Reads up to `room` bytes into `into`; `got` is 0 at the end.
    virtual Result read(char* into, std::size_t room, std::size_t& got) = 0;
};

// Writes a file's whole new content into the sink; returns false to give up.
using FileProducer = std::function<bool(FileSink&)>;
// Asked once the new content is written, just before it takes the old file's place, while
// no other saver of that file can go on; false keeps the old file.
using ReplaceCheck = std::function<bool()>;

// Whole-file access to the files the program keeps. The public operations are what callers
// use, written once (FileStore.cpp); each is made of the few protected primitives that each
// platform provides (FileStore_win.cpp, FileStore_posix.cpp, and for the tests
// tests/support/MemoryFileStore.h). A new operation is written here, from the primitives.
class FileStore {
  public:
    virtual ~FileStore() = default;

    // Reads the whole file; NotFound when it (or its folder) does not exist. A file larger
    // than `most` bytes is not read (Cancelled: the caller knows why it set the limit).
    Result readAll(const std::wstring& path, std::string& bytes, std::uint64_t most = UINT64_MAX);
    // The same, handed over piece by piece, in order, without holding the whole file.
    using PieceTaker = std::function<void(std::string_view piece)>;
    Result readPieces(const std::wstring& path, const PieceTaker& take);

    // The paths of the files whose path begins with `prefix` (a folder and the start of a
    // name), in no particular order.
    std::vector<std::wstring> pathsStartingWith(const std::wstring& prefix) {
        return listStartingWith(prefix);
    }

    // Replaces the file's content in one step: what `produce` writes goes to a new temporary
    // file beside it, which is flushed and then takes its place. On any failure, or when
    // `produce` or `stillWanted` gives up (Cancelled), the old file is left exactly as it
    // was. A read-only file is never replaced. Temporary files that earlier saves of the file
    // left when they were cut off are removed. Savers of one file take turns: while another
    // one is at it, this one waits up to `waitMs` and then gives up (Busy). The new file keeps
    // the old one's attributes and creation time. Where the path leads through a link, the
    // file it ends at is replaced and the link stays.
    Result replaceWith(const std::wstring& path, const FileProducer& produce,
                       const ReplaceCheck& stillWanted = {}, unsigned waitMs = 0);
    // For the tests: replaceWith() for content that is at hand whole.
    Result replaceAll(const std::wstring& path, std::string_view bytes) {
        return replaceWith(path, [bytes](FileSink& sink) { return sink.write(bytes); });
    }

    // Whether `written`, a path as something wrote it down, names the file at `path`: compared
    // as the system compares paths (on Windows: letter case ignored), with the path and with
    // the file it ends at.
    bool namesFile(std::wstring_view written, const std::wstring& path) {
        return samePath(written, path) || samePath(written, finalPath(path));
    }

    // Whether the two paths name one file: spelt alike as the system compares paths, or ending
    // at the same file through links.
    bool sameFile(const std::wstring& a, const std::wstring& b) {
        return samePath(a, b) || samePath(finalPath(a), finalPath(b));
    }

    // Whether the file is there, as the folder lists it: the file is not opened.
    bool exists(const std::wstring& path) {
        for (const std::wstring& found : listStartingWith(path))
            if (samePath(found, path)) return true;
        return false;
    }

    // Creates the folder unless it is there.
    Result createFolder(const std::wstring& path) { return makeFolder(path); }

    // Held by one saver of a file at a time, on this machine.
    class SaveLock {
      public:
        virtual ~SaveLock() = default;
    };

  private:
    void removeLeftoverTemporaries(const std::wstring& target);

  protected:
    // ---- The primitives.
    // NotFound when the file (or its folder) does not exist. Another program, or Hostdeck, may
    // replace the file while it is open.
    virtual Result openToRead(const std::wstring& path, std::unique_ptr<OpenFile>& file) = 0;
    virtual std::vector<std::wstring> listStartingWith(const std::wstring& prefix) = 0;
    virtual Result makeFolder(const std::wstring& path) = 0;
    // The file the path ends at, through any link in it; the path itself when there is none.
    virtual std::wstring finalPath(const std::wstring& path) = 0;
    // The two paths are spelt alike as this system compares paths.
    virtual bool samePath(std::wstring_view a, std::wstring_view b) = 0;
    // Failed, with the reason, when the file exists and is read-only.
    virtual Result checkNotReadOnly(const std::wstring& path) = 0;
    // Busy when another saver still holds it after `waitMs`.
    virtual Result lockForSaving(const std::wstring& path, std::unique_ptr<SaveLock>& lock,
                                 unsigned waitMs) = 0;
    // Creates the file new: never opens one that exists (then `exists`), nor follows a link.
    virtual Result createNew(const std::wstring& path, std::unique_ptr<NewFile>& file,
                             bool& exists) = 0;
    // Removes a file that createNew() made; one that a saver still holds open stays.
    virtual void remove(const std::wstring& path) = 0;
    // Puts `from` in the place of `to` in one step, with `to`'s attributes, creation time and
    // (where the system has them) security and other streams, and makes that step durable.
    virtual Result moveOver(const std::wstring& from, const std::wstring& to) = 0;
};

// The file access of the platform the program was built for.
std::unique_ptr<FileStore> makeSystemFileStore();

}  // namespace hostdeck
