// The window fuzzer: plays random user input against the real program under Wine and checks
// what the user sees. scripts/fuzz.sh window runs it.
//   window_fuzzer --source DIR --seconds N --corpus DIR   mutates the seeds for N seconds
//   window_fuzzer --source DIR --replay PATH...           replays inputs (files or folders)
// A failing input is shrunk, saved beside the corpus as window-failure-<kind>-<hash> and
// replayed with a trace of each step.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "WindowPlayer_win.h"

using namespace hostdeck::windowfuzz;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::wstring programFolder() {
    wchar_t self[MAX_PATH * 4];
    std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH * 4));
    return path.substr(0, path.find_last_of(L'\\'));
}

bool readFile(const std::wstring& path, Bytes& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.assign(GetFileSize(file, nullptr), 0);
    DWORD read = 0;
    const bool ok = bytes.empty() ||
                    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return ok;
}

void writeFile(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// The files of a folder, or the path itself when it is a file.
std::vector<std::wstring> filesAt(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {path};
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(path + L"\\" + data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(files.begin(), files.end());
    return files;
}

// The lines of the readers' seed files, typed and pasted as they are: UTF-16 where every other
// byte is 0, else UTF-8 (or Latin-1 where that is no UTF-8).
void addLinesOf(const std::wstring& folder, std::vector<std::wstring>& texts) {
    for (const std::wstring& path : filesAt(folder)) {
        Bytes bytes;
        if (!readFile(path, bytes) || bytes.size() < 2) continue;
        std::wstring text;
        std::size_t zeros = 0;
        for (std::size_t i = 1; i < bytes.size(); i += 2) zeros += bytes[i] == 0;
        std::size_t from = 0;
        if (bytes[0] == 0xFF && bytes[1] == 0xFE) from = 2;
        if (from || zeros * 3 > bytes.size()) {
            for (std::size_t i = from; i + 1 < bytes.size(); i += 2)
                text += static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
        } else {
            text.resize(bytes.size() + 1);
            int n = MultiByteToWideChar(
                CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes.data()),
                static_cast<int>(bytes.size()), text.data(), static_cast<int>(text.size()));
            if (n <= 0)
                n = MultiByteToWideChar(1252, 0, reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<int>(bytes.size()), text.data(),
                                        static_cast<int>(text.size()));
            text.resize(static_cast<std::size_t>(std::max(n, 0)));
        }
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find_first_of(L"\r\n", start);
            if (end == std::wstring::npos) end = text.size();
            const std::wstring line = text.substr(start, end - start);
            if (!line.empty() && line.size() <= 80 && line.find(L'\0') == std::wstring::npos &&
                std::find(texts.begin(), texts.end(), line) == texts.end())
                texts.push_back(line);
            start = end + 1;
        }
    }
}

std::string hashOf(const Bytes& bytes) {
    unsigned long long h = 1469598103934665603ULL;
    for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ULL;
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", h);
    return text;
}

std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::mt19937& random() {
    static std::mt19937 engine(static_cast<unsigned>(GetTickCount64()));
    return engine;
}
unsigned below(unsigned n) { return n ? static_cast<unsigned>(random()() % n) : 0; }

Action randomAction() {
    return {static_cast<Op>(below(static_cast<unsigned>(Op::Count))),
            static_cast<std::uint8_t>(below(256))};
}

// One to four changes: an action replaced, inserted, removed, its byte changed, the list file
// changed, or the tail of another input spliced on.
Bytes mutate(const Bytes& base, const std::vector<Bytes>& corpus) {
    Input input = decode(base);
    for (unsigned n = 1 + below(4); n > 0; --n) {
        auto& actions = input.actions;
        const unsigned at = below(static_cast<unsigned>(actions.size()) + 1);
        switch (below(7)) {
            case 0:
                input.listFile = static_cast<std::uint8_t>(below(256));
                break;
            case 1:
                if (actions.size() < kMaxActions)
                    actions.insert(actions.begin() + at, randomAction());
                break;
            case 2:
                if (!actions.empty())
                    actions.erase(actions.begin() + below(static_cast<unsigned>(actions.size())));
                break;
            case 3:
                if (!actions.empty())
                    actions[below(static_cast<unsigned>(actions.size()))].arg =
                        static_cast<std::uint8_t>(below(256));
                break;
            case 4: {
                const Input other = decode(corpus[below(static_cast<unsigned>(corpus.size()))]);
                actions.resize(std::min<std::size_t>(actions.size(), at));
                for (std::size_t i = below(static_cast<unsigned>(other.actions.size()) + 1);
                     i < other.actions.size() && actions.size() < kMaxActions; ++i)
                    actions.push_back(other.actions[i]);
                break;
            }
            default:
                if (!actions.empty())
                    actions[below(static_cast<unsigned>(actions.size()))] = randomAction();
        }
    }
    return encode(input);
}

// Shorter inputs that fail the same way: whole runs of actions left out, halves first.
Bytes shrink(Player& player, const Bytes& failing, const std::string& kind, int& tries) {
    Input best = decode(failing);
    const ULONGLONG deadline = GetTickCount64() + 300000;
    for (std::size_t chunk = std::max<std::size_t>(1, best.actions.size() / 2); chunk >= 1;
         chunk /= 2) {
        for (std::size_t at = 0;
             at < best.actions.size() && GetTickCount64() < deadline && tries < 80;) {
            Input shorter = best;
            shorter.actions.erase(shorter.actions.begin() + static_cast<std::ptrdiff_t>(at),
                                  shorter.actions.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                at + chunk, best.actions.size())));
            ++tries;
            const Outcome outcome = player.play(shorter);
            if (outcome.failure && outcome.failure->kind == kind) {
                best = shorter;
                std::printf("  shrunk to %zu actions\n", best.actions.size());
            } else {
                at += chunk;
            }
        }
        if (chunk == 1) break;
    }
    // Actions after the one that failed play no part.
    Outcome last = player.play(best);
    if (last.failure && last.failure->kind == kind &&
        last.actions < static_cast<int>(best.actions.size()))
        best.actions.resize(static_cast<std::size_t>(last.actions));
    return encode(best);
}

int replay(Player& player, const std::vector<std::wstring>& paths) {
    int failed = 0, count = 0;
    for (const std::wstring& path : paths) {
        for (const std::wstring& file : filesAt(path)) {
            Bytes bytes;
            if (!readFile(file, bytes)) continue;
            ++count;
            std::printf("%ls\n", file.c_str());
            // A failure counts when it comes again the same way: a busy machine can make one
            // step slow once, a fault makes it so each time.
            Outcome outcome;
            for (int attempt = 0; attempt < 2; ++attempt) {
                const std::optional<Failure> first = outcome.failure;
                outcome = player.play(decode(bytes));
                if (auto late = player.finishEnding(15000); late && !outcome.failure)
                    outcome.failure = late;
                if (!outcome.failure) {
                    if (first)
                        std::printf(
                            "  passed when played again: the first failure is not counted\n");
                    break;
                }
                if (first && first->kind != outcome.failure->kind) outcome.failure = first;
                if (!first)
                    std::printf("  failed (%s); played again\n", outcome.failure->kind.c_str());
            }
            if (outcome.failure) {
                std::printf("FAILED (%s): %s\n", outcome.failure->kind.c_str(),
                            outcome.failure->detail.c_str());
                ++failed;
            }
        }
    }
    std::printf("%d of %d inputs failed\n", failed, count);
    return failed ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // every line as it comes, also when it ends badly
    std::wstring source, corpusOut;
    double seconds = 60;
    std::vector<std::wstring> replays;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--source" && i + 1 < argc)
            source = argv[++i];
        else if (arg == L"--seconds" && i + 1 < argc)
            seconds = _wtof(argv[++i]);
        else if (arg == L"--corpus" && i + 1 < argc)
            corpusOut = argv[++i];
        else if (arg == L"--replay") {
            while (i + 1 < argc) replays.push_back(argv[++i]);
        }
    }
    Setup setup;
    // The program played: this build's, or the one HOSTDECK_APP_EXE names (the shipped 32-bit
    // build, where Wine runs 32-bit programs).
    wchar_t other[MAX_PATH * 4] = {};
    setup.program = GetEnvironmentVariableW(L"HOSTDECK_APP_EXE", other, MAX_PATH * 4)
                        ? std::wstring(other)
                        : programFolder() + L"\\hostdeck.exe";
    setup.standIn = programFolder() + L"\\standin_game.exe";
    setup.texts = {
        L"Home",       L"10.0.0.9",       L"27015", L"[::1]:2300", L"a#b", L"host.example:70000",
        L"Club One",   L"10.0.0.5:27015", L"0",     L"x",          L"#",   L";",
        L"new.example"};
    addLinesOf(source + L"\\fuzz\\input-corpus", setup.texts);
    addLinesOf(source + L"\\fuzz\\listfile-corpus", setup.texts);
    const std::wstring seeds = source + L"\\fuzz\\window-corpus";

    if (!replays.empty()) {
        setup.trace = true;
        Player player(setup);
        return replay(player, replays);
    }

    Player player(setup);
    std::vector<Bytes> corpus;
    for (const std::wstring& folder : {seeds, corpusOut})
        for (const std::wstring& file : filesAt(folder)) {
            Bytes bytes;
            if (readFile(file, bytes) && !bytes.empty()) corpus.push_back(bytes);
        }
    if (corpus.empty()) corpus.push_back({1});
    std::printf("window fuzzer: %zu inputs to start from, %zu texts to type\n", corpus.size(),
                setup.texts.size());
    std::set<std::string> seen;
    const ULONGLONG began = GetTickCount64();
    ULONGLONG lastReport = began;
    long long runs = 0, actions = 0;
    for (; GetTickCount64() - began < seconds * 1000; ++runs) {
        const Bytes input = mutate(corpus[below(static_cast<unsigned>(corpus.size()))], corpus);
        Outcome outcome = player.play(decode(input));
        actions += outcome.actions;
        if (outcome.failure) {
            const Failure first = *outcome.failure;
            std::printf("\nFAILURE (%s) after %.0f s: %s\n", first.kind.c_str(),
                        (GetTickCount64() - began) / 1000.0, first.detail.c_str());
            const Outcome again = player.play(decode(input));
            if (!again.failure || again.failure->kind != first.kind) {
                // Kept to look at: what fails once may depend on timing.
                const std::wstring once = (corpusOut.empty() ? L"." : corpusOut + L"\\..") +
                                          L"\\window-once-" + wide(first.kind) + L"-" +
                                          wide(hashOf(input));
                writeFile(once, input);
                std::printf(
                    "  it did not fail again the same way (a busy machine?); kept as %ls, going "
                    "on\n",
                    once.c_str());
                continue;
            }
            int tries = 0;
            const Bytes shortest = shrink(player, input, first.kind, tries);
            const std::wstring saved = (corpusOut.empty() ? L"." : corpusOut + L"\\..") +
                                       L"\\window-failure-" + wide(first.kind) + L"-" +
                                       wide(hashOf(shortest));
            writeFile(saved, shortest);
            std::printf("  shrunk in %d runs to %zu actions, saved as %ls\n  replayed:\n", tries,
                        decode(shortest).actions.size(), saved.c_str());
            Setup traced = setup;
            traced.trace = true;
            player.finishEnding(15000);
            Player tracer(traced);
            const Outcome shown = tracer.play(decode(shortest));
            std::printf("  => %s: %s\n",
                        shown.failure ? shown.failure->kind.c_str() : "passed this time",
                        shown.failure ? shown.failure->detail.c_str() : "");
            return 1;
        }
        bool fresh = false;
        for (const std::string& s : outcome.seen) fresh |= seen.insert(s).second;
        if (fresh) {
            corpus.push_back(input);
            if (!corpusOut.empty()) writeFile(corpusOut + L"\\" + wide(hashOf(input)), input);
        }
        if (GetTickCount64() - lastReport > 30000 || GetTickCount64() - began >= seconds * 1000) {
            lastReport = GetTickCount64();
            const double elapsed = (lastReport - began) / 1000.0;
            const Timings& t = player.timings();
            std::printf(
                "%5.0f s: %lld runs, %lld actions, %.1f actions/s, corpus %zu, states %zu | "
                "start %.0f%%, input %.0f%%, settling %.0f%%, checks %.0f%%, end %.0f%%\n",
                elapsed, runs, actions, actions / elapsed, corpus.size(), seen.size(),
                t.start / elapsed / 10, t.input / elapsed / 10, t.settle / elapsed / 10,
                t.checks / elapsed / 10, t.end / elapsed / 10);
            std::fflush(stdout);
        }
    }
    if (auto late = player.finishEnding(15000)) {
        std::printf("FAILURE (%s): %s\n", late->kind.c_str(), late->detail.c_str());
        return 1;
    }
    std::printf("no failure in %lld runs, %lld actions\n", runs, actions);
    return 0;
}
