#include "platform/FileStore.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/TextCodec.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

std::string narrowPath(const std::wstring& path) {
    std::string bytes;
    encodeText(path, Encoding::Utf8, bytes);
    return bytes;
}

Result failure(const texts::Text<2>& text, const std::wstring& path, int error) {
    return Result::failed(
        texts::fill(text, {path, decodeText(std::strerror(error), Encoding::Utf8)}),
        static_cast<unsigned long>(error));
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int close() {
        const int result = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

class NewDescriptorFile final : public NewFile {
  public:
    NewDescriptorFile(int fd, std::wstring path) : file_(fd), path_(std::move(path)) {}

    bool write(std::string_view bytes) override {
        while (!bytes.empty() && error_ == 0) {
            const ssize_t put = ::write(file_.get(), bytes.data(), bytes.size());
            if (put < 0) {
                if (errno != EINTR) error_ = errno;
                continue;
            }
            bytes.remove_prefix(static_cast<std::size_t>(put));
        }
        return error_ == 0;
    }
    Result writeResult() override {
        return error_ == 0 ? Result::success() : failure(texts::kCouldNotWrite, path_, error_);
    }
    Result finish() override {
        if (::fsync(file_.get()) != 0 || file_.close() != 0)
            return failure(texts::kCouldNotWrite, path_, errno);
        return Result::success();
    }

  private:
    FileDescriptor file_;
    std::wstring path_;
    int error_ = 0;
};

class DescriptorFile final : public OpenFile {
  public:
    DescriptorFile(int fd, std::wstring path) : file_(fd), path_(std::move(path)) {}
    std::uint64_t size() override {
        struct stat info {};
        return ::fstat(file_.get(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    }
    Result read(char* into, std::size_t room, std::size_t& got) override {
        for (;;) {
            const ssize_t read = ::read(file_.get(), into, room);
            if (read >= 0) {
                got = static_cast<std::size_t>(read);
                return Result::success();
            }
            if (errno != EINTR) return failure(texts::kCouldNotRead, path_, errno);
        }
    }

  private:
    FileDescriptor file_;
    std::wstring path_;
};

class PosixFileStore final : public FileStore {
  protected:
    Result openToRead(const std::wstring& path, std::unique_ptr<OpenFile>& file) override {
        const int fd = ::open(narrowPath(path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT || errno == ENOTDIR) return Result::notFound({}, errno);
            return failure(texts::kCouldNotOpen, path, errno);
        }
        file = std::make_unique<DescriptorFile>(fd, path);
        return Result::success();
    }

    std::vector<std::wstring> listStartingWith(const std::wstring& prefix) override {
        std::vector<std::wstring> paths;
        const std::string start = narrowPath(prefix);
        const std::size_t slash = start.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : start.substr(0, slash + 1);
        const std::string namePrefix = start.substr(folder.size());
        const std::unique_ptr<DIR, int (*)(DIR*)> dir(
            ::opendir(folder.empty() ? "." : folder.c_str()), &::closedir);
        if (!dir) return paths;
        while (const dirent* entry = ::readdir(dir.get())) {
            const std::string name = entry->d_name;
            struct stat info {};
            if (name.compare(0, namePrefix.size(), namePrefix) == 0 &&
                ::stat((folder + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                paths.push_back(decodeText(folder + name, Encoding::Utf8));
            }
        }
        return paths;
    }

    std::wstring finalPath(const std::wstring& path) override {
        const std::unique_ptr<char, void (*)(void*)> resolved(
            ::realpath(narrowPath(path).c_str(), nullptr), &std::free);
        return resolved ? decodeText(resolved.get(), Encoding::Utf8) : path;
    }

    bool samePath(std::wstring_view a, std::wstring_view b) override { return a == b; }

    // The lock is on the file's folder, which every saver of the file can open.
    struct FolderLock final : SaveLock {
        explicit FolderLock(int fd) : folder(fd) {}
        FileDescriptor folder;
    };
    Result lockForSaving(const std::wstring& path, std::unique_ptr<SaveLock>& lock,
                         unsigned waitMs) override {
        std::string folder = narrowPath(path);
        folder.resize(folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/') + 1);
        auto held = std::make_unique<FolderLock>(
            ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!held->folder.valid()) return failure(texts::kCouldNotSave, path, errno);
        for (unsigned waited = 0; ::flock(held->folder.get(), LOCK_EX | LOCK_NB) != 0;
             waited += 10) {
            if (errno != EWOULDBLOCK) return failure(texts::kCouldNotSave, path, errno);
            if (waited >= waitMs)
                return Result::busy(texts::fill(texts::kAnotherSaverAtWork, {path}));
            ::usleep(10000);
        }
        lock = std::move(held);
        return Result::success();
    }

    Result makeFolder(const std::wstring& path) override {
        if (::mkdir(narrowPath(path).c_str(), 0777) == 0 || errno == EEXIST)
            return Result::success();
        return failure(texts::kCouldNotCreate, path, errno);
    }

    Result checkNotReadOnly(const std::wstring& path) override {
        struct stat info {};
        if (::stat(narrowPath(path).c_str(), &info) == 0 && (info.st_mode & 0222) == 0)
            return failure(texts::kCouldNotReplace, path, EACCES);
        return Result::success();
    }

    Result createNew(const std::wstring& path, std::unique_ptr<NewFile>& file,
                     bool& exists) override {
        const int fd = ::open(narrowPath(path).c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        exists = fd < 0 && errno == EEXIST;
        if (fd < 0) return failure(texts::kCouldNotCreate, path, errno);
        file = std::make_unique<NewDescriptorFile>(fd, path);
        return Result::success();
    }

    void remove(const std::wstring& path) override { ::unlink(narrowPath(path).c_str()); }

    Result moveOver(const std::wstring& from, const std::wstring& to) override {
        if (::rename(narrowPath(from).c_str(), narrowPath(to).c_str()) != 0)
            return failure(texts::kCouldNotReplace, to, errno);
        return Result::success();
    }
};

}  // namespace

std::unique_ptr<FileStore> makeSystemFileStore() { return std::make_unique<PosixFileStore>(); }

}  // namespace hostdeck
