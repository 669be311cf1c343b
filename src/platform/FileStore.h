#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace hostdeck {

struct FileResult {
    enum class Status { Ok, NotFound, Failed };
    Status status = Status::Ok;
    std::wstring reason;  // when Failed: what went wrong, for a person to read

    bool ok() const { return status == Status::Ok; }
    static FileResult success() { return {}; }
    static FileResult notFound() { return {Status::NotFound, {}}; }
    static FileResult failed(std::wstring why) { return {Status::Failed, std::move(why)}; }
};

// Whole-file access to the files the program keeps.
class FileStore {
  public:
    virtual ~FileStore() = default;

    // Reads the whole file; NotFound when it (or its folder) does not exist.
    virtual FileResult readAll(const std::wstring& path, std::string& bytes) = 0;

    // Replaces the file's content in one step: the new bytes are written and flushed to a
    // temporary file beside it, which then takes its place. On any failure the old file is
    // left exactly as it was. A read-only file is never replaced.
    virtual FileResult replaceAll(const std::wstring& path, std::string_view bytes) = 0;
};

// The file access of the platform the program was built for.
std::unique_ptr<FileStore> makeSystemFileStore();

}  // namespace hostdeck
