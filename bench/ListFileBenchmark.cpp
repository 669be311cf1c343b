// Load and save of large list files, each beside a baseline that does only the raw work:
// reading the bytes and splitting them at line ends, or writing the bytes out. And an import of
// 30,000 servers into a list of 30,000, with the memory it takes at its peak.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

#include "serverlist/ListSession.h"
#include "serverlist/ServerExport.h"
#include "serverlist/ServerImport.h"
#include "serverlist/ServerListFile.h"
#include "support/MemoryFileStore.h"
#include "support/TempFolder.h"

// Bytes allocated and not yet freed, and the most there were since the last reset.
std::atomic<std::size_t> liveBytes{0}, peakBytes{0};

namespace hostdeck {
namespace {

std::string generatedList(long entries) {
    std::string bytes;
    for (long i = 0; i < entries; ++i) {
        bytes += "Server number " + std::to_string(i) + "#10." + std::to_string(i % 256) + "." +
                 std::to_string((i / 256) % 256) + ".1#" + std::to_string(2300 + i % 1000) + "\r\n";
    }
    return bytes;
}

struct Fixture {
    explicit Fixture(long entries) : bytes(generatedList(entries)) {
        folder.write(L"serverlist.ini", bytes);
        path = folder.file(L"serverlist.ini");
    }
    fakes::TempFolder folder;
    std::string bytes;
    std::wstring path;
    std::unique_ptr<FileStore> store = makeSystemFileStore();
};

Fixture& fixture(long entries) {
    static Fixture small(32767);
    static Fixture large(1000000);
    return entries == 32767 ? small : large;
}

void setCounters(benchmark::State& state, const Fixture& f) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void BM_Load(benchmark::State& state) {
    Fixture& f = fixture(state.range(0));
    for (auto _ : state) {
        ServerListModel model;
        ServerListFile file(*f.store, f.path);
        if (!file.load(model).ok()) state.SkipWithError("the load failed");
        benchmark::DoNotOptimize(model.entryCount());
    }
    setCounters(state, f);
}

void BM_LoadBaseline_ReadAndSplitLines(benchmark::State& state) {
    Fixture& f = fixture(state.range(0));
    for (auto _ : state) {
        std::string bytes;
        if (!f.store->readAll(f.path, bytes).ok()) state.SkipWithError("the read failed");
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find_first_of("\r\n", start);
            if (end == std::string::npos) end = bytes.size();
            lines.emplace_back(bytes, start, end - start);
            start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
        benchmark::DoNotOptimize(lines.data());
    }
    setCounters(state, f);
}

void BM_Save(benchmark::State& state) {
    Fixture& f = fixture(state.range(0));
    ServerListModel model;
    ServerListFile file(*f.store, f.path);
    if (!file.load(model).ok()) state.SkipWithError("the load failed");
    for (auto _ : state) {
        if (!file.save(model).ok()) state.SkipWithError("the save failed");
    }
    setCounters(state, f);
}

void BM_SaveBaseline_WriteBytes(benchmark::State& state) {
    Fixture& f = fixture(state.range(0));
    const std::string target = std::string("/tmp/hostdeck-bench-") + std::to_string(getpid());
    for (auto _ : state) {
        const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, f.bytes.data(), f.bytes.size()));
        ::close(fd);
    }
    ::unlink(target.c_str());
    setCounters(state, f);
}

// The same bytes with the save's durability: flushed to disk and moved into place.
void BM_SaveBaseline_WriteFlushRename(benchmark::State& state) {
    Fixture& f = fixture(state.range(0));
    const std::string target = std::string("/tmp/hostdeck-bench-") + std::to_string(getpid());
    const std::string temporary = target + ".tmp";
    for (auto _ : state) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, f.bytes.data(), f.bytes.size()));
        ::fsync(fd);
        ::close(fd);
        ::rename(temporary.c_str(), target.c_str());
    }
    ::unlink(target.c_str());
    setCounters(state, f);
}

// Answers the import's question, Yes to the repeated servers, and reads its summary.
struct AgreeingUser final : User {
    Question::Answer ask(const Question& q) override {
        return q.choices == Question::Choices::Ok ? q.byDefault : Question::Answer::Yes;
    }
    bool waitUntil(const std::wstring&, const std::function<bool()>& done) override {
        return done();
    }
};

// 30,000 servers, read from a file's bytes, into a list of 30,000: all of them new (0), all of
// them servers the list has (1), which the repeat check finds, or new with names the list's code
// page lacks (2), for which the whole list must be able to switch to UTF-8.
void BM_Import(benchmark::State& state) {
    constexpr long kServers = 30000;
    std::string list = generatedList(kServers), more = list;
    if (state.range(0) != 1) {
        for (std::size_t at = 0; (at = more.find("#10.", at)) != std::string::npos; at += 4)
            more.replace(at, 4, "#11.");
    }
    if (state.range(0) == 2) {  // names the list's code page lacks: it would be saved in UTF-8
        more.insert(0, "\xEF\xBB\xBF");
        for (std::size_t at = 0; (at = more.find("Server", at)) != std::string::npos; at += 6)
            more.replace(at, 6,
                         "\xD0\xA1"
                         "erver");  // a Cyrillic S
    }
    std::size_t peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fakes::MemoryFileStore files;
        files.files[L"C:\\serverlist.ini"] = list;
        ServerListModel model;
        AgreeingUser user;
        ListSession session(files, L"C:\\serverlist.ini", L"C:\\U", model, user);
        session.load();
        const std::size_t before = liveBytes;
        peakBytes = before;
        state.ResumeTiming();
        ServerLines lines;
        lines.readFile(more, L"more.ini");
        if (!session.importServers(lines).ok() || model.entryCount() != 2 * kServers)
            state.SkipWithError("the import failed");
        state.PauseTiming();
        peak = std::max(peak, peakBytes - before);
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}

// Export servers of a list of 32,767 or 65,535 entries (the most the window shows): each line
// chosen and the whole file read back, as the export does, into bytes.
void BM_Export(benchmark::State& state) {
    ServerListModel model;
    ServerListFile file(*fixture(32767).store, fixture(32767).path);
    static_cast<void>(file.load(model));
    if (state.range(0) > model.entryCount()) static_cast<void>(file.load(model));  // twice over
    std::size_t bytes = 0;
    for (auto _ : state) bytes = exportServers(model).bytes.size();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["entries"] = static_cast<double>(model.entryCount());
}

BENCHMARK(BM_Import)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export)->Arg(32767)->Arg(65534)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(32767)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBaseline_ReadAndSplitLines)
    ->Arg(32767)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(32767)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBaseline_WriteBytes)->Arg(32767)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBaseline_WriteFlushRename)
    ->Arg(32767)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hostdeck

// Every allocation counted, for the import's peak. GCC takes a free() of what this new returns for
// a mismatch once both are inlined into the standard containers.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    const std::size_t live = liveBytes += malloc_usable_size(block);
    for (std::size_t peak = peakBytes;
         live > peak && !peakBytes.compare_exchange_weak(peak, live);) {
    }
    return block;
}
void operator delete(void* block) noexcept {
    if (block) liveBytes -= malloc_usable_size(block);
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

BENCHMARK_MAIN();
