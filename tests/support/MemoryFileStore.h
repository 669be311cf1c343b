#pragma once

#include <map>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileStore.h"

namespace hostdeck::testing {

// Files kept in memory; a path can be made to fail reading or writing. A read failure of
// "throw" runs out of memory instead.
class MemoryFileStore final : public FileStore {
  public:
    std::map<std::wstring, std::string> files;
    std::optional<std::wstring> readFailure;
    std::optional<std::wstring> writeFailure;
    int writes = 0;

    Result readAll(const std::wstring& path, std::string& bytes) override {
        if (readFailure == L"throw") throw std::bad_alloc();
        if (readFailure) return Result::failed(*readFailure);
        const auto found = files.find(path);
        if (found == files.end()) return Result::notFound();
        bytes = found->second;
        return Result::success();
    }

    std::vector<std::wstring> pathsStartingWith(const std::wstring& prefix) override {
        std::vector<std::wstring> paths;
        for (const auto& [path, bytes] : files) {
            if (path.compare(0, prefix.size(), prefix) == 0) paths.push_back(path);
        }
        return paths;
    }

  protected:
    class MemoryFile final : public NewFile {
      public:
        MemoryFile(MemoryFileStore& store, std::wstring path) : store_(store), path_(path) {}
        bool write(std::string_view more) override {
            bytes_ += more;
            return true;
        }
        Result writeResult() override { return Result::success(); }
        Result finish() override {
            store_.files[path_] = bytes_;
            return Result::success();
        }

      private:
        MemoryFileStore& store_;
        std::wstring path_;
        std::string bytes_;
    };

    std::wstring linkTarget(const std::wstring& path) override { return path; }
    Result checkNotReadOnly(const std::wstring&) override {
        ++writes;
        return writeFailure ? Result::failed(*writeFailure) : Result::success();
    }
    Result createNew(const std::wstring& path, std::unique_ptr<NewFile>& file) override {
        file = std::make_unique<MemoryFile>(*this, path);
        return Result::success();
    }
    void remove(const std::wstring& path) override { files.erase(path); }
    Result moveOver(const std::wstring& from, const std::wstring& to) override {
        files[to] = std::move(files[from]);
        files.erase(from);
        return Result::success();
    }
};

}  // namespace hostdeck::testing
