#include "platform/FileStore.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/TextCodec.h"

namespace hostdeck {

namespace {

std::string narrowPath(const std::wstring& path) {
    std::string bytes;
    encodeText(path, Encoding::Utf8, bytes);
    return bytes;
}

std::wstring describe(const char* what, const std::wstring& path, int error) {
    std::wstring reason = decodeText(what, Encoding::Utf8);
    reason += L" \"" + path + L"\": ";
    reason += decodeText(std::strerror(error), Encoding::Utf8);
    return reason;
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

class DescriptorSink final : public FileSink {
  public:
    explicit DescriptorSink(int fd) : fd_(fd) {}
    int error = 0;

    bool write(std::string_view bytes) override {
        while (!bytes.empty() && error == 0) {
            const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
            if (put < 0) {
                if (errno != EINTR) error = errno;
                continue;
            }
            bytes.remove_prefix(static_cast<std::size_t>(put));
        }
        return error == 0;
    }

  private:
    int fd_;
};

class PosixFileStore final : public FileStore {
  public:
    Result readAll(const std::wstring& path, std::string& bytes) override {
        bytes.clear();
        FileDescriptor file(::open(narrowPath(path).c_str(), O_RDONLY | O_CLOEXEC));
        if (!file.valid()) {
            if (errno == ENOENT || errno == ENOTDIR) return Result::notFound();
            return Result::failed(describe("Could not open", path, errno));
        }
        struct stat info {};
        if (::fstat(file.get(), &info) == 0 && info.st_size > 0) {
            bytes.reserve(static_cast<std::size_t>(info.st_size));
        }
        char chunk[1 << 16];
        for (;;) {
            const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
            if (got < 0) {
                if (errno == EINTR) continue;
                return Result::failed(describe("Could not read", path, errno));
            }
            if (got == 0) break;
            bytes.append(chunk, static_cast<std::size_t>(got));
        }
        return Result::success();
    }

    Result replaceWith(const std::wstring& path, const FileProducer& produce) override {
        std::string target = narrowPath(path);
        struct stat info {};
        if (::lstat(target.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
            // Replace the file the link points to, in its own folder; the link stays.
            if (char* resolved = ::realpath(target.c_str(), nullptr)) {
                target = resolved;
                std::free(resolved);
            }
        }
        mode_t mode = 0644;
        if (::stat(target.c_str(), &info) == 0) {
            if ((info.st_mode & 0222) == 0) {
                return Result::failed(describe("Could not replace", path, EACCES));
            }
            mode = info.st_mode & 07777;
        }
        // Always a new file: a stale one (or a link planted under its name) is removed first,
        // and O_EXCL never opens what is already there.
        const std::string temporary = target + ".saving";
        const std::wstring temporaryName = decodeText(temporary, Encoding::Utf8);
        ::unlink(temporary.c_str());
        FileDescriptor file(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (!file.valid())
            return Result::failed(describe("Could not create", temporaryName, errno));

        auto discard = [&] {
            file.close();
            ::unlink(temporary.c_str());
        };
        auto fail = [&](const char* what, const std::wstring& name, int error) {
            discard();
            return Result::failed(describe(what, name, error));
        };
        DescriptorSink sink(file.get());
        const bool produced = produce(sink);
        if (sink.error) return fail("Could not write", temporaryName, sink.error);
        if (!produced) {
            discard();
            return Result::cancelled();
        }
        if (::fsync(file.get()) != 0) return fail("Could not write", temporaryName, errno);
        if (file.close() != 0) return fail("Could not write", temporaryName, errno);
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            return fail("Could not replace", path, errno);
        }
        return Result::success();
    }

    std::vector<std::wstring> pathsStartingWith(const std::wstring& prefix) override {
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
};

}  // namespace

std::unique_ptr<FileStore> makeSystemFileStore() { return std::make_unique<PosixFileStore>(); }

}  // namespace hostdeck
