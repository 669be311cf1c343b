#include "platform/FileStore.h"

#include <windows.h>

#include <algorithm>

#include "platform/SystemMessage_win.h"
#include "platform/UniqueHandle_win.h"

namespace hostdeck {

namespace {

constexpr DWORD kChunk = 1u << 24;  // ReadFile and WriteFile take 32-bit sizes

FileResult failure(const wchar_t* what, const std::wstring& path, DWORD error) {
    return FileResult::failed(std::wstring(what) + L" \"" + path + L"\": " + systemMessage(error));
}

class HandleSink final : public FileSink {
  public:
    explicit HandleSink(HANDLE file) : file_(file) {}
    DWORD error = ERROR_SUCCESS;

    bool write(std::string_view bytes) override {
        while (!bytes.empty() && error == ERROR_SUCCESS) {
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kChunk, bytes.size()));
            DWORD put = 0;
            if (!WriteFile(file_, bytes.data(), want, &put, nullptr) || put == 0) {
                error = GetLastError();
                if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
                break;
            }
            bytes.remove_prefix(put);
        }
        return error == ERROR_SUCCESS;
    }

  private:
    HANDLE file_;
};

class Win32FileStore final : public FileStore {
  public:
    FileResult readAll(const std::wstring& path, std::string& bytes) override {
        bytes.clear();
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                return FileResult::notFound();
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
        return FileResult::success();
    }

    FileResult replaceWith(const std::wstring& path, const FileProducer& produce) override {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            return failure(L"Could not replace", path, ERROR_ACCESS_DENIED);
        }
        const std::wstring temporary = path + L".saving";
        UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return failure(L"Could not create", temporary, GetLastError());

        auto discard = [&] {
            file.reset();
            DeleteFileW(temporary.c_str());
        };
        auto fail = [&](const wchar_t* what, const std::wstring& name, DWORD error) {
            discard();
            return failure(what, name, error);
        };
        HandleSink sink(file.get());
        const bool produced = produce(sink);
        if (sink.error != ERROR_SUCCESS) return fail(L"Could not write", temporary, sink.error);
        if (!produced) {
            discard();
            return FileResult::cancelled();
        }
        if (!FlushFileBuffers(file.get()))
            return fail(L"Could not write", temporary, GetLastError());
        file.reset();
        if (!MoveFileExW(temporary.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return fail(L"Could not replace", path, GetLastError());
        }
        return FileResult::success();
    }
};

}  // namespace

std::unique_ptr<FileStore> makeSystemFileStore() { return std::make_unique<Win32FileStore>(); }

}  // namespace hostdeck
