#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/FileStore.h"

namespace hostdeck::testing {

// Files kept in memory; a path can be made to fail reading or writing.
class MemoryFileStore final : public FileStore {
  public:
    std::map<std::wstring, std::string> files;
    std::optional<std::wstring> readFailure;
    std::optional<std::wstring> writeFailure;
    int writes = 0;

    FileResult readAll(const std::wstring& path, std::string& bytes) override {
        if (readFailure) return FileResult::failed(*readFailure);
        const auto found = files.find(path);
        if (found == files.end()) return FileResult::notFound();
        bytes = found->second;
        return FileResult::success();
    }

    FileResult replaceWith(const std::wstring& path, const FileProducer& produce) override {
        ++writes;
        if (writeFailure) return FileResult::failed(*writeFailure);
        struct Collect final : FileSink {
            std::string bytes;
            bool write(std::string_view more) override {
                bytes += more;
                return true;
            }
        } sink;
        if (!produce(sink)) return FileResult::cancelled();
        files[path] = sink.bytes;
        return FileResult::success();
    }
};

}  // namespace hostdeck::testing
