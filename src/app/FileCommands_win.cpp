// The list's file commands. The ways servers come into the window from elsewhere: the
// clipboard's lines or files pasted on the list, a file chosen in the Open dialog, and files
// dropped from Explorer; each is read into ServerLines beside the window, and handed to the list
// session's one import. And the way they go out: Export servers, to a file chosen in the Save
// dialog.
#include "app/frmHostdeck_win.h"

#include <atomic>
#include <functional>
#include <memory>
#include <new>

#include "app/FileDialog_win.h"
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
    // Files copied in Explorer are imported as if dropped.
    if (std::vector<std::wstring> files = clipboardFiles(window_); !files.empty())
        return importFiles(files);
    auto text = std::make_shared<std::wstring>(clipboardText(window_));
    if (text->empty()) return tell(Question::Tone::Warning, std::wstring(texts::kClipboardEmpty));
    const auto lines = std::make_shared<ServerLines>();
    if (readBeside(std::wstring(texts::kImportReadingClipboard), lines,
                   [lines, text] { lines->readText(*text); }))
        static_cast<void>(session_.importServers(*lines));  // the session says what it did
}

void frmHostdeck::importServersFromFile() {
    if (const auto path = chooseFile(window_, {.kind = FileDialog::Kind::Open,
                                               .title = texts::kImportTitle,
                                               .filter = texts::kImportFilter}))
        importFiles({*path});
}

void frmHostdeck::exportServers() {
    // Until it is written, or the user gives up: a place that failed offers the dialog again.
    while (const auto path = chooseFile(window_, {.kind = FileDialog::Kind::Save,
                                                  .title = texts::kExportTitle,
                                                  .filter = texts::kExportFilter,
                                                  .offeredName = texts::kExportFileName,
                                                  .extension = texts::kExportExtension})) {
        if (session_.exportServers(*path).status != Result::Status::Failed) return;
    }
}

LRESULT frmHostdeck::onDropFiles(HDROP drop) {
    std::vector<std::wstring> paths;
    {
        const ScopeGuard finished([drop] { DragFinish(drop); });
        paths = filesIn(drop);
    }
    importFiles(paths);
    return 0;
}

void frmHostdeck::importFiles(const std::vector<std::wstring>& paths) {
    const auto lines = std::make_shared<ServerLines>();
    const std::shared_ptr<FileStore> files = services_.filesForReading();
    for (const std::wstring& path : paths) {
        const bool read = readBeside(texts::fill(texts::kImportReading, {path}), lines,
                                     [lines, files, path] { lines->readFileAt(*files, path); });
        if (!read) return;  // the user left the wait: nothing is imported
    }
    static_cast<void>(session_.importServers(*lines));  // the session says what it did
}

bool frmHostdeck::readBeside(const std::wstring& waitText, std::shared_ptr<ServerLines> lines,
                             std::function<void()> read) {
    // Shared with the thread, which may outlive a wait that the user left.
    struct Job {
        std::function<void()> read;
        std::shared_ptr<ServerLines> lines;
        std::atomic<bool> stop{false}, done{false};
    };
    const auto job = std::make_shared<Job>();
    job->read = std::move(read);
    job->lines = std::move(lines);
    job->lines->stop = &job->stop;
    const auto run = [job] {
        try {
            job->read();
        } catch (const std::bad_alloc&) {  // nothing is imported, and the user is told
            job->lines->outOfMemory = true;
        }
        job->lines->stop = nullptr;
        job->done = true;
    };
    // On a thread of the process's pool, kept for the next read: a thread of its own, started
    // while the last one ended, at times never ran under Wine on a busy machine.
    auto work = std::make_unique<std::function<void()>>(run);
    if (QueueUserWorkItem(runWork, work.get(), WT_EXECUTELONGFUNCTION))
        static_cast<void>(work.release());  // runWork owns it now
    else
        run();  // no thread to be had: read here
    for (DWORD waited = 0; !job->done && waited < kReadQuietMs; waited += 10) Sleep(10);
    if (job->done || waitUntil(waitText, [&] { return job->done.load(); })) return true;
    job->stop = true;  // the thread ends at its next line
    return false;
}

}  // namespace hostdeck
