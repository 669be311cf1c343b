#pragma once

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/FileStore.h"

namespace hostdeck::fakes {

// Files kept in memory, written through the real replace algorithm. Reading can be made to
// fail (a read failure of "throw" runs out of memory instead), for every file or for one that
// another program holds locked; and so can replacing: refused for a read-only file or below a
// read-only folder, or for a locked file, the next few writes failing part-way, the next few new
// files or replacements refused. `whileSaving` runs as a new file is being written, as another
// program would. Every file a save put in place is logged.
class MemoryFileStore final : public FileStore {
  public:
    std::map<std::wstring, std::string> files;
    std::optional<std::wstring> readFailure;
    std::optional<std::wstring> readOnlyFolder;
    int failingWrites = 0;
    std::map<std::wstring, int> busySaves;  // the next so many saves find another saver at work
    std::function<void()> whileSaving;
    // Path, and why it cannot be read ("throw": too large for memory) or replaced.
    std::map<std::wstring, std::wstring> locked;
    int refusedCreates = 0, refusedMoves = 0;
    std::vector<std::wstring> replaced;  // in order
    unsigned readDelayMs = 0;            // a slow share: each file opens so late

  protected:
    struct ReadFile final : OpenFile {
        std::string bytes;
        std::size_t at = 0;
        explicit ReadFile(std::string content) : bytes(std::move(content)) {}
        std::uint64_t size() override { return bytes.size(); }
        Result read(char* into, std::size_t room, std::size_t& got) override {
            got = bytes.copy(into, room, at);
            at += got;
            return Result::success();
        }
    };
    Result openToRead(const std::wstring& path, std::unique_ptr<OpenFile>& file) override {
        const std::optional<std::wstring> failure = locked.count(path) ? locked[path] : readFailure;
        if (failure == L"throw") throw std::bad_alloc();
        if (failure) return Result::failed(*failure);
        if (!files.count(path)) return Result::notFound();
        std::this_thread::sleep_for(std::chrono::milliseconds(readDelayMs));
        file = std::make_unique<ReadFile>(files[path]);
        return Result::success();
    }
    std::vector<std::wstring> listStartingWith(const std::wstring& prefix) override {
        std::vector<std::wstring> paths;
        for (const auto& file : files) {
            if (file.first.compare(0, prefix.size(), prefix) == 0) paths.push_back(file.first);
        }
        return paths;
    }
    Result makeFolder(const std::wstring&) override { return Result::success(); }
    struct MemoryFile final : NewFile {
        std::string& bytes;
        bool fails;
        MemoryFile(std::string& target, bool failing) : bytes(target), fails(failing) {}
        bool write(std::string_view more) override {
            bytes += more.substr(0, fails ? 1 : more.size());
            return !fails;
        }
        Result writeResult() override {
            return fails ? Result::failed(L"Disk full") : Result::success();
        }
        Result finish() override { return Result::success(); }
    };
    std::wstring finalPath(const std::wstring& path) override { return path; }
    bool samePath(std::wstring_view a, std::wstring_view b) override {  // as Windows does
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
            return std::towupper(x) == std::towupper(y);
        });
    }
    Result checkNotReadOnly(const std::wstring& path) override {
        return readOnlyFolder && path.starts_with(*readOnlyFolder)  // a file, or what is in it
                   ? Result::failed(L"Access denied")
                   : Result::success();
    }
    Result lockForSaving(const std::wstring& path, std::unique_ptr<SaveLock>&, unsigned) override {
        if (busySaves[path] == 0) return Result::success();
        --busySaves[path];
        return Result::busy(L"Another Hostdeck is saving");
    }
    Result createNew(const std::wstring& path, std::unique_ptr<NewFile>& file, bool&) override {
        if (refusedCreates > 0 && refusedCreates--) return Result::failed(L"Access denied");
        file = std::make_unique<MemoryFile>(files[path], failingWrites > 0 && failingWrites--);
        if (whileSaving) std::exchange(whileSaving, nullptr)();
        return Result::success();
    }
    void remove(const std::wstring& path) override { files.erase(path); }
    Result moveOver(const std::wstring& from, const std::wstring& to) override {
        if (locked.count(to)) return Result::failed(locked[to]);
        if (refusedMoves > 0 && refusedMoves--) return Result::failed(L"Access denied");
        replaced.push_back(to);
        files[to] = files[from];
        files.erase(from);
        return Result::success();
    }
};

}  // namespace hostdeck::fakes
