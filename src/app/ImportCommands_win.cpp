// The three ways servers come into the window from elsewhere: the clipboard's lines pasted on
// the list, a file chosen in the Open dialog, and files dropped from Explorer. Each reads its
// text into ServerLines and hands it to the list session's one import.
#include "app/frmHostdeck_win.h"

#include <commdlg.h>

#include <atomic>
#include <functional>
#include <memory>

#include "platform/Clipboard_win.h"
#include "platform/ScopeGuard.h"
#include "texts/UserTexts.h"

namespace hostdeck {

namespace {

// Runs and frees a piece of work handed to the thread pool.
DWORD WINAPI runWork(void* work) {
    const std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(work));
    (*owned)();
    return 0;
}

// So long a read may take before the wait shows.
constexpr DWORD kReadQuietMs = 300;

}  // namespace

void frmHostdeck::pasteServers() {
    ServerLines lines;
    lines.readText(clipboardText(window_));
    static_cast<void>(session_.importServers(lines));  // the session says what it did
}

void frmHostdeck::importServersFromFile() {
    std::wstring path(32768, L'\0');  // the longest path Windows takes
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = texts::kImportFilter;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = texts::kImportTitle.data();  // a literal: ends in NUL
    dialog.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return;  // cancelled
    path.resize(path.find(L'\0'));
    importFiles({path});
}

LRESULT frmHostdeck::onDropFiles(HDROP drop) {
    std::vector<std::wstring> paths;
    {
        const ScopeGuard finished([drop] { DragFinish(drop); });
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
            path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
            paths.push_back(std::move(path));
        }
    }
    importFiles(paths);
    return 0;
}

void frmHostdeck::importFiles(const std::vector<std::wstring>& paths) {
    ServerLines lines;
    for (const std::wstring& path : paths) {
        std::string bytes;
        const Result read = readWaiting(path, bytes);
        if (read.status == Result::Status::Cancelled) return;  // the user left the wait
        if (read.ok())
            lines.readFile(bytes, path);
        else  // a file that is gone says nothing of its own
            lines.refuse(path, read.reason.empty() ? texts::kImportNoSuchFile : read.reason);
    }
    static_cast<void>(session_.importServers(lines));  // the session says what it did
}

Result frmHostdeck::readWaiting(const std::wstring& path, std::string& bytes) {
    // Shared with the thread, which may outlive a wait that the user left.
    struct Read {
        std::unique_ptr<FileStore> files;
        std::string bytes;
        Result result;
        std::atomic<bool> done{false};
    };
    const auto read = std::make_shared<Read>();
    read->files = services_.filesForReading();
    const auto readFile = [read, path] {
        read->result = read->files->readAll(path, read->bytes, kMostImportBytes);
        read->done = true;
    };
    // On a thread of the process's pool, kept for the next read: a thread of its own, started
    // while the last one ended, at times never ran under Wine on a busy machine.
    auto work = std::make_unique<std::function<void()>>(readFile);
    if (QueueUserWorkItem(runWork, work.get(), WT_EXECUTELONGFUNCTION))
        static_cast<void>(work.release());  // runWork owns it now
    else
        readFile();  // no thread to be had: read here
    for (DWORD waited = 0; !read->done && waited < kReadQuietMs; waited += 10) Sleep(10);
    if (!read->done &&
        !waitUntil(texts::fill(texts::kImportReading, {path}), [&] { return read->done.load(); }))
        return Result::cancelled();
    bytes = std::move(read->bytes);
    return read->result;
}

}  // namespace hostdeck
