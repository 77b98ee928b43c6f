// Reading speed of the buffered file stream: small typed reads served by its buffer and
// large reads that go straight to the caller, over a 100 MB file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "foundation/files/file_layer.h"
#include "foundation/streams/file_in_stream.h"
#include "foundation/streams/file_out_stream.h"

namespace {

constexpr uint32_t kFileSize = 100u << 20;
constexpr uint32_t kBlockSize = 64u << 10;
// Small reads walk this much of the file per iteration, then start over.
constexpr uint32_t kSmallReadSpan = 1u << 20;

// The file is written on first use and deleted when the program ends.
class BenchFile {
public:
    static const char* Path() {
        static BenchFile file;
        return file.path_;
    }

private:
    BenchFile() {
        if (MakeTempFileName(nullptr, "zsb", path_, sizeof path_, "bin", 1, 0) == 0) std::abort();
        CFileOutStream out;
        if (out.Create(path_, kBlockSize) != kResultOk) std::abort();
        std::vector<uint8_t> block(kBlockSize);
        uint32_t state = 1;
        for (uint32_t written = 0; written < kFileSize; written += kBlockSize) {
            for (uint8_t& byte : block)
                byte = static_cast<uint8_t>((state = state * 1664525 + 1013904223) >> 24);
            if (out.Write(block.data(), kBlockSize) != kResultOk) std::abort();
        }
    }
    ~BenchFile() { FileDelete(path_); }

    char path_[MAX_PATH] = {};
};

void OpenOrAbort(CFileInStream& stream) {
    if (stream.OpenFile(BenchFile::Path()) != kResultOk) std::abort();
}

void BM_FileInStreamReadByte(benchmark::State& state) {
    CFileInStream stream;
    OpenOrAbort(stream);
    uint8_t value = 0;
    for (auto _ : state) {
        stream.Seek(0, 0);
        for (uint32_t i = 0; i < kSmallReadSpan; i++)
            stream.ReadByte(&value);
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(int64_t{state.iterations()} * kSmallReadSpan);
}
BENCHMARK(BM_FileInStreamReadByte);

void BM_FileInStreamReadLong(benchmark::State& state) {
    CFileInStream stream;
    OpenOrAbort(stream);
    uint32_t value = 0;
    for (auto _ : state) {
        stream.Seek(0, 0);
        for (uint32_t i = 0; i < kSmallReadSpan / 4; i++)
            stream.ReadLong(&value);
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(int64_t{state.iterations()} * kSmallReadSpan);
}
BENCHMARK(BM_FileInStreamReadLong);

void BM_FileInStreamRead64K(benchmark::State& state) {
    CFileInStream stream;
    OpenOrAbort(stream);
    std::vector<uint8_t> block(kBlockSize);
    for (auto _ : state) {
        if (stream.Read(block.data(), kBlockSize) != kResultOk) {
            stream.Seek(0, 0);
            stream.Read(block.data(), kBlockSize);
        }
        benchmark::DoNotOptimize(block.data());
    }
    state.SetBytesProcessed(int64_t{state.iterations()} * kBlockSize);
}
BENCHMARK(BM_FileInStreamRead64K);

void BM_FileInStreamWhole100MB(benchmark::State& state) {
    std::vector<uint8_t> block(kBlockSize);
    for (auto _ : state) {
        CFileInStream stream;
        OpenOrAbort(stream);
        for (uint32_t done = 0; done < kFileSize; done += kBlockSize) {
            if (stream.Read(block.data(), kBlockSize) != kResultOk) std::abort();
        }
        benchmark::DoNotOptimize(block.data());
    }
    state.SetBytesProcessed(int64_t{state.iterations()} * kFileSize);
}
BENCHMARK(BM_FileInStreamWhole100MB)->Unit(benchmark::kMillisecond);

} // namespace
