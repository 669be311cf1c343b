#include "platform/FileStore.h"

#include <windows.h>

#include <algorithm>

#include "platform/SystemMessage_win.h"
#include "platform/UniqueHandle_win.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

constexpr DWORD kChunk = 1u << 24;  // ReadFile and WriteFile take 32-bit sizes
// Another program (or another Hostdeck) reading the file holds it for a moment: the replace is
// tried again for about a second before its failure is reported.
constexpr int kReplaceTries = 10;
constexpr DWORD kReplacePauseMs = 100;

class NewHandleFile final : public NewFile {
  public:
    NewHandleFile(UniqueKernelHandle file, std::wstring path)
        : file_(std::move(file)), path_(std::move(path)) {}

    bool write(std::string_view bytes) override {
        while (!bytes.empty() && error_ == ERROR_SUCCESS) {
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kChunk, bytes.size()));
            DWORD put = 0;
            if (!WriteFile(file_.get(), bytes.data(), want, &put, nullptr) || put == 0) {
                error_ = GetLastError();
                if (error_ == ERROR_SUCCESS) error_ = ERROR_WRITE_FAULT;
                break;
            }
            bytes.remove_prefix(put);
        }
        return error_ == ERROR_SUCCESS;
    }
    Result writeResult() override {
        return error_ == ERROR_SUCCESS ? Result::success()
                                       : systemFailure(error_, texts::kCouldNotWrite, path_);
    }
    Result finish() override {
        if (!FlushFileBuffers(file_.get()))
            return systemFailure(GetLastError(), texts::kCouldNotWrite, path_);
        file_.reset();
        return Result::success();
    }

  private:
    UniqueKernelHandle file_;
    std::wstring path_;
    DWORD error_ = ERROR_SUCCESS;
};

// The file the path ends at, asked of the opened file itself: a link may stand anywhere in the
// path, and under Wine a link does not even show as one.
std::wstring finalPathOf(const std::wstring& path) {
    UniqueKernelHandle file(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return path;
    std::wstring target(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(
            file.get(), target.data(), static_cast<DWORD>(target.size()), FILE_NAME_NORMALIZED);
        if (length == 0) return path;
        if (length < target.size()) {
            target.resize(length);
            break;
        }
        target.resize(length);
    }
    // "\\?\C:\..." and "\\?\UNC\server\..." as the user writes them.
    if (target.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + target.substr(8);
    if (target.starts_with(L"\\\\?\\")) return target.substr(4);
    return target;
}

// A mutex named after the file, in this session: a second Hostdeck saving the same list waits.
class MutexLock final : public FileStore::SaveLock {
  public:
    explicit MutexLock(UniqueKernelHandle mutex) : mutex_(std::move(mutex)) {}
    ~MutexLock() override { ReleaseMutex(mutex_.get()); }

  private:
    UniqueKernelHandle mutex_;
};

class HandleFile final : public OpenFile {
  public:
    HandleFile(UniqueKernelHandle file, std::wstring path)
        : file_(std::move(file)), path_(std::move(path)) {}
    std::uint64_t size() override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(file_.get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }
    Result read(char* into, std::size_t room, std::size_t& got) override {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kChunk, room));
        if (!ReadFile(file_.get(), into, want, &read, nullptr))
            return systemFailure(GetLastError(), texts::kCouldNotRead, path_);
        got = read;
        return Result::success();
    }

  private:
    UniqueKernelHandle file_;
    std::wstring path_;
};

class Win32FileStore final : public FileStore {
  protected:
    Result openToRead(const std::wstring& path, std::unique_ptr<OpenFile>& file) override {
        // Shared for deletion too, so that another Hostdeck may replace it while this one reads.
        UniqueKernelHandle handle(CreateFileW(
            path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!handle) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                return Result::notFound({}, error);
            return systemFailure(error, texts::kCouldNotOpen, path);
        }
        file = std::make_unique<HandleFile>(std::move(handle), path);
        return Result::success();
    }

    std::vector<std::wstring> listStartingWith(const std::wstring& prefix) override {
        std::vector<std::wstring> paths;
        const std::size_t slash = prefix.find_last_of(L"\\/");
        const std::wstring folder = slash == std::wstring::npos ? L"" : prefix.substr(0, slash + 1);
        const std::wstring namePrefix = prefix.substr(folder.size());
        WIN32_FIND_DATAW found{};
        UniqueFindHandle search(FindFirstFileExW((prefix + L"*").c_str(), FindExInfoBasic, &found,
                                                 FindExSearchNameMatch, nullptr, 0));
        if (!search) return paths;
        do {
            // The pattern also matches short 8.3 names; only the real name counts.
            const std::wstring name = found.cFileName;
            if (name.size() >= namePrefix.size() &&
                CompareStringOrdinal(name.c_str(), static_cast<int>(namePrefix.size()),
                                     namePrefix.c_str(), static_cast<int>(namePrefix.size()),
                                     TRUE) == CSTR_EQUAL &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                paths.push_back(folder + name);
            }
        } while (FindNextFileW(search.get(), &found));
        return paths;
    }

    std::wstring finalPath(const std::wstring& path) override { return finalPathOf(path); }

    // As Windows itself compares file names: ordinal, letter case ignored.
    bool samePath(std::wstring_view a, std::wstring_view b) override {
        return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                    static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
    }

    Result lockForSaving(const std::wstring& path, std::unique_ptr<SaveLock>& lock,
                         unsigned waitMs) override {
        std::wstring name = path;
        CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
        unsigned long long hash = 0xCBF29CE484222325ull;
        for (const wchar_t c : name) hash = (hash ^ static_cast<unsigned>(c)) * 0x100000001B3ull;
        name = L"Local\\Hostdeck.saving." + texts::number(hash);
        UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, name.c_str()));
        if (!mutex) return systemFailure(GetLastError(), texts::kCouldNotSave, path);
        const DWORD waited = WaitForSingleObject(mutex.get(), waitMs);
        if (waited == WAIT_TIMEOUT)
            return Result::busy(texts::fill(texts::kAnotherSaverAtWork, {path}));
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
            return systemFailure(GetLastError(), texts::kCouldNotSave, path);
        lock = std::make_unique<MutexLock>(std::move(mutex));
        return Result::success();
    }

    Result makeFolder(const std::wstring& path) override {
        if (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
            return Result::success();
        return systemFailure(GetLastError(), texts::kCouldNotCreate, path);
    }

    Result checkNotReadOnly(const std::wstring& path) override {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return systemFailure(ERROR_ACCESS_DENIED, texts::kCouldNotReplace, path);
        return Result::success();
    }

    Result createNew(const std::wstring& path, std::unique_ptr<NewFile>& file,
                     bool& exists) override {
        UniqueKernelHandle handle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle) {
            const DWORD error = GetLastError();
            exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
            return systemFailure(error, texts::kCouldNotCreate, path);
        }
        file = std::make_unique<NewHandleFile>(std::move(handle), path);
        return Result::success();
    }

    void remove(const std::wstring& path) override { DeleteFileW(path.c_str()); }

    // An existing file is replaced as Windows replaces one file with another, which keeps its
    // security and other streams; its attributes and creation time are carried over as well,
    // since not every system keeps them.
    Result moveOver(const std::wstring& from, const std::wstring& to) override {
        WIN32_FILE_ATTRIBUTE_DATA old{};
        const bool existed = GetFileAttributesExW(to.c_str(), GetFileExInfoStandard, &old);
        for (int attempt = 1;; ++attempt) {
            // Asked first, so that a file another program holds is never half replaced (Wine's
            // ReplaceFileW leaves its own temporary files behind when it fails).
            DWORD error = existed ? whyNotReplaceable(to) : ERROR_SUCCESS;
            if (error == ERROR_SUCCESS)
                error = existed ? replaceFile(from, to) : moveFile(from, to);
            if (error == ERROR_SUCCESS) break;
            const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                              error == ERROR_ACCESS_DENIED ||
                              error == ERROR_UNABLE_TO_REMOVE_REPLACED;
            if (!held || attempt == kReplaceTries)
                return systemFailure(error, texts::kCouldNotReplace, to);
            Sleep(kReplacePauseMs);
        }
        if (existed) keepAttributesAndCreation(to, old);
        return Result::success();
    }

    // Why the file cannot be replaced now (another program holds it without sharing it), or
    // ERROR_SUCCESS.
    static DWORD whyNotReplaceable(const std::wstring& path) {
        const UniqueKernelHandle file(CreateFileW(
            path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, 0, nullptr));
        return file ? ERROR_SUCCESS : GetLastError();
    }
    static DWORD moveFile(const std::wstring& from, const std::wstring& to) {
        return MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? ERROR_SUCCESS
                   : GetLastError();
    }
    static DWORD replaceFile(const std::wstring& from, const std::wstring& to) {
        if (ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr))
            return ERROR_SUCCESS;
        const DWORD error = GetLastError();
        // The new file could not take the old one's name, which may be gone already: it takes
        // the place the plain way.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
            error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
            return moveFile(from, to);
        return error;
    }
    static void keepAttributesAndCreation(const std::wstring& path,
                                          const WIN32_FILE_ATTRIBUTE_DATA& old) {
        constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        const DWORD now = GetFileAttributesW(path.c_str());
        const DWORD wanted =
            (now & ~(kKept | FILE_ATTRIBUTE_NORMAL)) | (old.dwFileAttributes & kKept);
        if (now != INVALID_FILE_ATTRIBUTES && (now & ~FILE_ATTRIBUTE_NORMAL) != wanted)
            SetFileAttributesW(path.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
        const UniqueKernelHandle file(
            CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, 0, nullptr));
        if (file) SetFileTime(file.get(), &old.ftCreationTime, nullptr, nullptr);
    }
};

}  // namespace

std::unique_ptr<FileStore> makeSystemFileStore() { return std::make_unique<Win32FileStore>(); }

}  // namespace hostdeck
