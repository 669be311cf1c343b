// Times the real program: process start to window shown, with an empty list and with 32,767
// entries, and closing (which saves the list); and 30,000 servers pasted on a list of 30,000
// with Ctrl+V, until the import's message shows, with the memory the program took for it; and a
// 63 MB file pasted, with how long the window took to answer meanwhile.
// Prints the medians of several runs.
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "form/FormLayout.h"
#include "platform/ProgramFolder.h"
#include "support/TempFolder.h"

namespace {

using hostdeck::fakes::TempFolder;

double now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Run {
    double shownMs = 0;
    double savedMs = 0;   // WM_CLOSE until the list file has been replaced
    double exitedMs = 0;  // WM_CLOSE until the process has ended
};

FILETIME lastWrite(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// Starts the program in `folder` and waits until its window shows (null: it did not); the
// process in `started`, its handles to be closed by the caller.
HWND startShown(const std::wstring& folder, PROCESS_INFORMATION& started) {
    const std::wstring exe = folder + L"\\hostdeck.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &started)) {
        std::printf("cannot start hostdeck.exe\n");
        return nullptr;
    }
    HWND window = nullptr;
    for (const double start = now(); !window && now() - start < 60000;) {
        window = FindWindowW(hostdeck::kWindowClass, nullptr);  // the only one running
        if (window && !IsWindowVisible(window)) window = nullptr;
        if (!window) Sleep(1);
    }
    return window;
}

Run runOnce(const std::wstring& folder) {
    Run run;
    PROCESS_INFORMATION started{};
    const double start = now();
    HWND window = startShown(folder, started);
    if (!window) return run;
    run.shownMs = now() - start;
    WaitForInputIdle(started.hProcess, 10000);
    Sleep(200);
    const std::wstring list = folder + L"\\serverlist.ini";
    const FILETIME before = lastWrite(list);
    // One entry added, so that closing saves: an unchanged list is not written.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(hostdeck::kIdAddButton, BN_CLICKED), 0);
    const double closing = now();
    PostMessageW(window, WM_CLOSE, 0, 0);
    for (FILETIME current = before;
         CompareFileTime(&before, &current) == 0 && now() - closing < 60000;) {
        Sleep(0);
        current = lastWrite(list);
    }
    run.savedMs = now() - closing;
    WaitForSingleObject(started.hProcess, 60000);
    run.exitedMs = now() - closing;
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    return run;
}

struct Import {
    double ms = 0;
    double undoMs = 0;  // Ctrl+Z until the list is back to what it was
    double peakMb = 0;  // the growth of the program's peak working set
};

// The message box that the window owns, once it shows.
HWND messageBoxOf(HWND window) {
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));)
        if (GetWindow(box, GW_OWNER) == window && IsWindowVisible(box)) return box;
    return nullptr;
}

void putOnClipboard(const std::string& text) {
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* wide = static_cast<wchar_t*>(GlobalLock(memory));
    for (std::size_t i = 0; i <= text.size(); ++i) wide[i] = static_cast<unsigned char>(text[i]);
    GlobalUnlock(memory);
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// Starts the program in `folder`, brings its window to the front and presses Ctrl+V on the list,
// which has the focus; the program's memory as it was just before, in `before`.
HWND startAndPaste(const std::wstring& folder, PROCESS_INFORMATION& started,
                   PROCESS_MEMORY_COUNTERS& before) {
    HWND window = startShown(folder, started);
    if (!window) return nullptr;
    WaitForInputIdle(started.hProcess, 10000);
    Sleep(200);
    SetForegroundWindow(window);
    GetProcessMemoryInfo(started.hProcess, &before, sizeof before);
    keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event('V', 0, 0, 0);
    keybd_event('V', 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    return window;
}

// Ends the program at once: the list file stays as it was.
void endProgram(PROCESS_INFORMATION& started) {
    TerminateProcess(started.hProcess, 0);
    WaitForSingleObject(started.hProcess, 60000);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
}

Import importOnce(const std::wstring& folder) {
    Import import;
    PROCESS_INFORMATION started{};
    PROCESS_MEMORY_COUNTERS before{}, after{};
    HWND window = startAndPaste(folder, started, before);
    if (!window) return import;
    const double start = now();
    HWND box = nullptr;
    while (!(box = messageBoxOf(window)) && now() - start < 60000) Sleep(1);
    import.ms = now() - start;
    GetProcessMemoryInfo(started.hProcess, &after, sizeof after);
    import.peakMb = static_cast<double>(after.PeakWorkingSetSize - before.PeakWorkingSetSize) / 1e6;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (const double closing = now(); IsWindow(box) && now() - closing < 10000;) Sleep(1);
    HWND list = GetDlgItem(window, hostdeck::kIdServerNickList);
    const LRESULT imported = SendMessageW(list, LB_GETCOUNT, 0, 0);
    const double undoing = now();
    keybd_event(VK_CONTROL, 0, 0, 0);  // Ctrl+Z takes the import back
    keybd_event('Z', 0, 0, 0);
    keybd_event('Z', 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    while (SendMessageW(list, LB_GETCOUNT, 0, 0) > imported - 30000 && now() - undoing < 60000)
        Sleep(1);
    import.undoMs = now() - undoing;
    endProgram(started);
    return import;
}

// A file of 63 MB, 3.7 million "address:port" lines, pasted on the list as a file Explorer copied:
// the longest the window took to answer meanwhile (asked every 50 ms), the time until the import's
// message, and the growth of the program's peak private memory.
struct LargeImport {
    double longestAnswerMs = 0, ms = 0, peakMb = 0;
    wchar_t said[80] = {};  // the start of the import's message
};

void putFileOnClipboard(const std::wstring& path) {
    const std::size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    *files = {sizeof(DROPFILES), {}, FALSE, TRUE};
    path.copy(reinterpret_cast<wchar_t*>(files + 1), path.size());
    GlobalUnlock(memory);
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_HDROP, memory);
    CloseClipboard();
}

LargeImport largeImportOnce(const std::wstring& folder) {
    LargeImport import;
    PROCESS_INFORMATION started{};
    PROCESS_MEMORY_COUNTERS before{}, after{};
    HWND window = startAndPaste(folder, started, before);
    if (!window) return import;
    const double start = now();
    HWND box = nullptr;
    for (;;) {  // until the summary shows; the wait's box ("Reading ...") is not it
        box = messageBoxOf(window);
        wchar_t text[16] = {};
        if (box) GetDlgItemTextW(box, 0xFFFF, text, 16);
        if ((box && std::wstring_view(text).substr(0, 7) != L"Reading") || now() - start > 120000)
            break;
        const double asked = now();
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
        import.longestAnswerMs = std::max(import.longestAnswerMs, now() - asked);
        Sleep(50);
    }
    import.ms = now() - start;
    if (box) GetDlgItemTextW(box, 0xFFFF, import.said, 80);
    GetProcessMemoryInfo(started.hProcess, &after, sizeof after);
    // Private memory, or the working set where the system does not keep that peak.
    import.peakMb =
        static_cast<double>(std::max(after.PeakPagefileUsage - before.PeakPagefileUsage,
                                     after.PeakWorkingSetSize - before.PeakWorkingSetSize)) /
        1e6;
    endProgram(started);
    return import;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

struct Case {
    int entries;
    TempFolder folder;
    std::string list;
    std::vector<double> shown, saved, exited;
};

void timeLargeFile(FILE* out, const std::wstring& program) {
    Case large;
    CopyFileW(program.c_str(), large.folder.file(L"hostdeck.exe").c_str(), FALSE);
    std::string lines;
    for (int i = 0; lines.size() < (std::size_t{63} << 20); ++i)
        lines += "10." + std::to_string(i >> 16) + "." + std::to_string((i >> 8) & 255) + "." +
                 std::to_string(i & 255) + ":2300\r\n";
    large.folder.write(L"servers.txt", lines);
    putFileOnClipboard(large.folder.file(L"servers.txt"));
    std::vector<double> answerMs, largeMs, largeMb;
    for (int round = 0; round < 3; ++round) {
        const LargeImport run = largeImportOnce(large.folder.path());
        answerMs.push_back(run.longestAnswerMs);
        largeMs.push_back(run.ms);
        largeMb.push_back(run.peakMb);
        std::fprintf(out, "  said: %ls\n", run.said);
    }
    std::fprintf(out,
                 "a 63 MB file of %zu address:port lines pasted as a copied file: the window "
                 "answered within %.0f ms at the longest, Ctrl+V to the import's message %.0f ms, "
                 "peak memory %.0f MB more (median of 3; target: answers within 500 ms, the "
                 "300 ms before a wait shows among them, and under 300 MB)\n",
                 static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n')),
                 median(answerMs), median(largeMs), median(largeMb));
}

int main(int argc, char** argv) {
    // Under a Wine virtual desktop the console is not ours: write to a file when given one.
    FILE* out = argc > 1 ? std::fopen(argv[1], "w") : stdout;
    if (!out) return 1;
    constexpr int kRounds = 15;
    const std::wstring program = hostdeck::programFolder() + L"\\hostdeck.exe";
    if (argc > 2 && std::string(argv[2]) == "large") {  // the large file alone
        timeLargeFile(out, program);
        return 0;
    }
    Case cases[2];
    cases[0].entries = 0;
    cases[1].entries = 32767;
    for (Case& c : cases) {
        CopyFileW(program.c_str(), c.folder.file(L"hostdeck.exe").c_str(), FALSE);
        for (int i = 0; i < c.entries; ++i) {
            c.list += "Server number " + std::to_string(i) + "#10.0." + std::to_string(i % 256) +
                      ".1#" + std::to_string(2300 + i % 1000) + "\r\n";
        }
        c.folder.write(L"serverlist.ini", c.list);
        runOnce(c.folder.path());  // warm-up: file cache and Wine's own start-up
    }
    // Taking turns, so that whatever else the machine does weighs on both alike.
    for (int round = 0; round < kRounds; ++round) {
        for (Case& c : cases) {
            const Run run = runOnce(c.folder.path());
            c.shown.push_back(run.shownMs);
            c.saved.push_back(run.savedMs);
            c.exited.push_back(run.exitedMs);
        }
    }
    for (Case& c : cases) {
        // Each run added one entry before it closed: the list is what it was, and those.
        const bool intact = c.folder.read(L"serverlist.ini").starts_with(c.list);
        std::fprintf(out,
                     "%6d entries: start to window shown %7.1f ms, close to list saved %6.1f ms, "
                     "close to process end %6.1f ms (median of %d)%s\n",
                     c.entries, median(c.shown), median(c.saved), median(c.exited), kRounds,
                     intact ? "" : "  LIST CHANGED");
    }
    std::fprintf(
        out, "the full list costs %.0f%% more to start than the empty one\n",
        100.0 * (median(cases[1].shown) - median(cases[0].shown)) / median(cases[0].shown));

    // 30,000 servers pasted on a list of 30,000: the repeat check runs over both.
    Case imports;
    CopyFileW(program.c_str(), imports.folder.file(L"hostdeck.exe").c_str(), FALSE);
    std::string pasted;
    for (int i = 0; i < 30000; ++i) {
        const std::string server = std::to_string(i % 256) + "." + std::to_string(i / 256) + ".1";
        imports.list += "Server " + std::to_string(i) + "#10.0." + server + "#2300\r\n";
        pasted += "10.1." + server + ":2300 Imported " + std::to_string(i) + "\r\n";
    }
    imports.folder.write(L"serverlist.ini", imports.list);
    putOnClipboard(pasted);
    std::vector<double> importMs, importMb, undoMs;
    for (int round = 0; round < 5; ++round) {
        const Import run = importOnce(imports.folder.path());
        importMs.push_back(run.ms);
        importMb.push_back(run.peakMb);
        undoMs.push_back(run.undoMs);
    }
    std::fprintf(out,
                 "30000 servers pasted on a list of 30000: Ctrl+V to the import's message %.1f ms, "
                 "peak working set %.1f MB more; Ctrl+Z to the list as it was %.1f ms "
                 "(median of 5)\n",
                 median(importMs), median(importMb), median(undoMs));
    timeLargeFile(out, program);
    if (out != stdout) std::fclose(out);
    return 0;
}
