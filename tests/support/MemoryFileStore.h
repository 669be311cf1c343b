#pragma once

#include <map>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileStore.h"

namespace hostdeck::testing {

// Files kept in memory, written through the real replace algorithm. Reading can be made to
// fail (a read failure of "throw" runs out of memory instead), and so can replacing.
class MemoryFileStore final : public FileStore {
  public:
    std::map<std::wstring, std::string> files;
    std::optional<std::wstring> readFailure, writeFailure;

    Result readAll(const std::wstring& path, std::string& bytes) override {
        if (readFailure == L"throw") throw std::bad_alloc();
        if (readFailure) return Result::failed(*readFailure);
        if (!files.count(path)) return Result::notFound();
        bytes = files[path];
        return Result::success();
    }
    std::vector<std::wstring> pathsStartingWith(const std::wstring& prefix) override {
        std::vector<std::wstring> paths;
        for (const auto& file : files) {
            if (file.first.compare(0, prefix.size(), prefix) == 0) paths.push_back(file.first);
        }
        return paths;
    }

  protected:
    struct MemoryFile final : NewFile {
        std::string& bytes;
        explicit MemoryFile(std::string& target) : bytes(target) {}
        bool write(std::string_view more) override {
            bytes += more;
            return true;
        }
        Result writeResult() override { return Result::success(); }
        Result finish() override { return Result::success(); }
    };
    std::wstring linkTarget(const std::wstring& path) override { return path; }
    Result checkNotReadOnly(const std::wstring&) override {
        return writeFailure ? Result::failed(*writeFailure) : Result::success();
    }
    Result createNew(const std::wstring& path, std::unique_ptr<NewFile>& file) override {
        file = std::make_unique<MemoryFile>(files[path]);
        return Result::success();
    }
    void remove(const std::wstring& path) override { files.erase(path); }
    Result moveOver(const std::wstring& from, const std::wstring& to) override {
        files[to] = files[from];
        files.erase(from);
        return Result::success();
    }
};

}  // namespace hostdeck::testing
