#include "platform/FileStore.h"

#include <windows.h>

#include <algorithm>

#include "platform/SystemMessage_win.h"
#include "platform/UniqueHandle_win.h"

namespace hostdeck {

namespace {

constexpr DWORD kChunk = 1u << 24;  // ReadFile and WriteFile take 32-bit sizes

Result failure(const wchar_t* what, const std::wstring& path, DWORD error) {
    return Result::failed(std::wstring(what) + L" \"" + path + L"\": " + systemMessage(error));
}

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
                                       : failure(L"Could not write", path_, error_);
    }
    Result finish() override {
        if (!FlushFileBuffers(file_.get()))
            return failure(L"Could not write", path_, GetLastError());
        file_.reset();
        return Result::success();
    }

  private:
    UniqueKernelHandle file_;
    std::wstring path_;
    DWORD error_ = ERROR_SUCCESS;
};

// The file a symbolic link points to, so that replacing it keeps the link; any other path
// as it is.
std::wstring finalPath(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
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
            return target;
        }
        target.resize(length);
    }
}

class Win32FileStore final : public FileStore {
  public:
    Result readAll(const std::wstring& path, std::string& bytes) override {
        bytes.clear();
        UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                return Result::notFound();
            }
            return failure(L"Could not open", path, error);
        }
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.get(), &size))
            return failure(L"Could not read", path, GetLastError());
        if (static_cast<unsigned long long>(size.QuadPart) > bytes.max_size()) {
            return failure(L"Could not read", path, ERROR_NOT_ENOUGH_MEMORY);
        }
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const DWORD want =
                static_cast<DWORD>(std::min<std::size_t>(kChunk, bytes.size() - done));
            DWORD got = 0;
            if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) {
                return failure(L"Could not read", path, GetLastError());
            }
            if (got == 0) break;  // the file shrank while we read it
            done += got;
        }
        bytes.resize(done);
        return Result::success();
    }

    std::vector<std::wstring> pathsStartingWith(const std::wstring& prefix) override {
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

  protected:
    std::wstring linkTarget(const std::wstring& path) override { return finalPath(path); }

    Result checkNotReadOnly(const std::wstring& path) override {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return failure(L"Could not replace", path, ERROR_ACCESS_DENIED);
        return Result::success();
    }

    Result createNew(const std::wstring& path, std::unique_ptr<NewFile>& file) override {
        UniqueKernelHandle handle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle) return failure(L"Could not create", path, GetLastError());
        file = std::make_unique<NewHandleFile>(std::move(handle), path);
        return Result::success();
    }

    void remove(const std::wstring& path) override { DeleteFileW(path.c_str()); }

    Result moveOver(const std::wstring& from, const std::wstring& to) override {
        if (!MoveFileExW(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return failure(L"Could not replace", to, GetLastError());
        }
        return Result::success();
    }
};

}  // namespace

std::unique_ptr<FileStore> makeSystemFileStore() { return std::make_unique<Win32FileStore>(); }

}  // namespace hostdeck
