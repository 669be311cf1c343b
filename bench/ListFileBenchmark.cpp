// Load and save of large list files, each beside a baseline that does only the raw work:
// reading the bytes and splitting them at line ends, or writing the bytes out.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "serverlist/ServerListFile.h"
#include "support/TempFolder.h"

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

BENCHMARK_MAIN();
