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

    Result replaceWith(const std::wstring& path, const FileProducer& produce) override {
        ++writes;
        if (writeFailure) return Result::failed(*writeFailure);
        struct Collect final : FileSink {
            std::string bytes;
            bool write(std::string_view more) override {
                bytes += more;
                return true;
            }
        } sink;
        if (!produce(sink)) return Result::cancelled();
        files[path] = sink.bytes;
        return Result::success();
    }

    std::vector<std::wstring> pathsStartingWith(const std::wstring& prefix) override {
        std::vector<std::wstring> paths;
        for (const auto& [path, bytes] : files) {
            if (path.compare(0, prefix.size(), prefix) == 0) paths.push_back(path);
        }
        return paths;
    }
};

}  // namespace hostdeck::testing
