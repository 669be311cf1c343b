#include "platform/FileStore.h"

#include <chrono>
#include <cstdint>

#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

// A temporary file's name: the file's own, a dot, 16 hex digits and this.
constexpr std::size_t kSuffixDigits = 16;
constexpr std::wstring_view kTemporaryEnd = L".saving";

// Hex digits that no earlier save is likely to have used: the time in nanoseconds, mixed with
// a count of this program's saves. A clash only costs another try, since the name is created
// new.
std::wstring freshSuffix() {
    static std::uint64_t saves = 0;
    std::uint64_t value =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (++saves * 0x9E3779B97F4A7C15ull);
    value ^= value >> 29;
    std::wstring digits;
    for (int shift = static_cast<int>(4 * kSuffixDigits) - 4; shift >= 0; shift -= 4)
        digits += L"0123456789abcdef"[(value >> shift) & 0xF];
    return digits;
}

}  // namespace

Result FileStore::readAll(const std::wstring& path, std::string& bytes, std::uint64_t most) {
    bytes.clear();
    std::unique_ptr<OpenFile> file;
    if (Result opened = openToRead(path, file); !opened.ok()) return opened;
    const std::uint64_t size = file->size();
    if (size > most) return Result::cancelled();
    if (size > bytes.max_size())
        return Result::failed(texts::fill(texts::kTooLargeForMemory, {path}));
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    for (std::size_t got = 1; done < bytes.size() && got > 0; done += got) {
        if (Result read = file->read(bytes.data() + done, bytes.size() - done, got); !read.ok())
            return read;
    }
    bytes.resize(done);  // the file shrank while it was read
    return Result::success();
}

Result FileStore::readPieces(const std::wstring& path, const PieceTaker& take) {
    std::unique_ptr<OpenFile> file;
    if (Result opened = openToRead(path, file); !opened.ok()) return opened;
    std::string chunk(1 << 16, '\0');
    for (;;) {
        std::size_t got = 0;
        if (Result read = file->read(chunk.data(), chunk.size(), got); !read.ok()) return read;
        if (got == 0) return Result::success();
        take(std::string_view(chunk).substr(0, got));
    }
}

// A save that was cut off (the program killed, the machine off) left its temporary file. While
// this saver holds the lock, no other saver of the file on this machine is at work; one in
// another Windows session keeps its file open and so cannot lose it.
void FileStore::removeLeftoverTemporaries(const std::wstring& target) {
    const std::wstring prefix = target + L".";
    for (const std::wstring& path : listStartingWith(prefix)) {
        const std::wstring_view name = std::wstring_view(path).substr(prefix.size());
        if (name.size() == kSuffixDigits + kTemporaryEnd.size() && name.ends_with(kTemporaryEnd) &&
            name.find_first_not_of(L"0123456789abcdef") == kSuffixDigits)
            remove(path);
    }
}

Result FileStore::replaceWith(const std::wstring& path, const FileProducer& produce,
                              const ReplaceCheck& stillWanted, unsigned waitMs) {
    const std::wstring target = finalPath(path);
    if (Result writable = checkNotReadOnly(target); !writable.ok()) return writable;
    std::unique_ptr<SaveLock> lock;
    if (Result locked = lockForSaving(target, lock, waitMs); !locked.ok()) return locked;
    removeLeftoverTemporaries(target);
    // A new name for each save: whatever stands beside the file already (left by a save that
    // was cut off, or planted there) is never opened, written or removed.
    std::wstring temporary;
    std::unique_ptr<NewFile> file;
    for (int attempt = 1; !file; ++attempt) {
        temporary = target + L"." + freshSuffix() + std::wstring(kTemporaryEnd);
        bool exists = false;
        Result created = createNew(temporary, file, exists);
        if (!created.ok() && (!exists || attempt == 10)) return created;
    }

    auto discard = [&](Result why) {
        file.reset();
        remove(temporary);
        return why;
    };
    const bool produced = produce(*file);
    if (Result written = file->writeResult(); !written.ok()) return discard(written);
    if (!produced) return discard(Result::cancelled());
    if (Result finished = file->finish(); !finished.ok()) return discard(finished);
    file.reset();
    if (stillWanted && !stillWanted()) return discard(Result::cancelled());
    if (Result moved = moveOver(temporary, target); !moved.ok()) return discard(moved);
    return Result::success();
}

}  // namespace hostdeck
