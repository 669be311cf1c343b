#include "platform/FileStore.h"

namespace hostdeck {

Result FileStore::replaceWith(const std::wstring& path, const FileProducer& produce) {
    const std::wstring target = linkTarget(path);
    if (Result writable = checkNotReadOnly(target); !writable.ok()) return writable;
    // Always a new file: a stale one, or a link planted under its name, goes first.
    const std::wstring temporary = target + L".saving";
    remove(temporary);
    std::unique_ptr<NewFile> file;
    if (Result created = createNew(temporary, file); !created.ok()) return created;

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
    if (Result moved = moveOver(temporary, target); !moved.ok()) return discard(moved);
    return Result::success();
}

}  // namespace hostdeck
