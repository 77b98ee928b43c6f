// Inflate throughput of ZStream_Decompress beside zlib's own inflate loop with the same
// chunk and buffer sizes; the ratio counter is our time over zlib's (goal: at most 1.1).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/streams/mem_in_stream.h"
#include "foundation/streams/mem_out_stream.h"
#include "foundation/streams/zstream.h"

namespace {

constexpr uint32_t kChunkSize = 8192;
constexpr size_t kPlainSize = 16u << 20;

struct Sample {
    std::vector<uint8_t> plain;
    std::vector<uint8_t> packed;
};

// Text mixed with noisy binary runs, packed at the default level.
const Sample& GetSample() {
    static const Sample sample = [] {
        Sample s;
        uint32_t state = 7;
        while (s.plain.size() < kPlainSize) {
            state = state * 1103515245 + 12345;
            std::string word =
                "token" + std::to_string(state >> 22) + ((state & 0x300) ? " " : "\n");
            s.plain.insert(s.plain.end(), word.begin(), word.end());
            if ((state & 0xF000) == 0) {
                for (int i = 0; i < 64; i++)
                    s.plain.push_back(static_cast<uint8_t>(state >> (i % 24)));
            }
        }
        s.plain.resize(kPlainSize);
        uLongf size = compressBound(kPlainSize);
        s.packed.resize(size);
        if (compress2(s.packed.data(), &size, s.plain.data(), kPlainSize, Z_DEFAULT_COMPRESSION) !=
            Z_OK)
            std::abort();
        s.packed.resize(size);
        return s;
    }();
    return sample;
}

void InflateWithZStream(const Sample& sample, std::vector<uint8_t>& out) {
    CMemInStream reader;
    reader.Attach(sample.packed.data(), static_cast<uint32_t>(sample.packed.size()));
    CMemOutStream writer;
    writer.AttachBuffer(out.data(), static_cast<uint32_t>(out.size()));
    if (ZStream_Decompress(writer, reader, kZStreamWholeStream) != kResultOk) std::abort();
}

// The plain zlib loop: input fed in chunks, output drained through a buffer of the same
// size into the destination, as the glue does.
void InflateWithZlib(const Sample& sample, std::vector<uint8_t>& out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) std::abort();
    uint8_t input[kChunkSize], output[kChunkSize];
    size_t read = 0, written = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END && read < sample.packed.size()) {
        size_t take = std::min<size_t>(kChunkSize, sample.packed.size() - read);
        std::memcpy(input, sample.packed.data() + read, take);
        read += take;
        stream.next_in = input;
        stream.avail_in = static_cast<uInt>(take);
        do {
            stream.next_out = output;
            stream.avail_out = kChunkSize;
            status = inflate(&stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) std::abort();
            size_t produced = kChunkSize - stream.avail_out;
            std::memcpy(out.data() + written, output, produced);
            written += produced;
        } while (stream.avail_out == 0 && status != Z_STREAM_END);
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) std::abort();
}

void BM_InflateZStream(benchmark::State& state) {
    const Sample& sample = GetSample();
    std::vector<uint8_t> out(kPlainSize);
    for (auto _ : state)
        InflateWithZStream(sample, out);
    if (out != sample.plain) state.SkipWithError("wrong output");
    state.SetBytesProcessed(int64_t{state.iterations()} * kPlainSize);
}
BENCHMARK(BM_InflateZStream)->Unit(benchmark::kMillisecond);

void BM_InflateZlib(benchmark::State& state) {
    const Sample& sample = GetSample();
    std::vector<uint8_t> out(kPlainSize);
    for (auto _ : state)
        InflateWithZlib(sample, out);
    if (out != sample.plain) state.SkipWithError("wrong output");
    state.SetBytesProcessed(int64_t{state.iterations()} * kPlainSize);
}
BENCHMARK(BM_InflateZlib)->Unit(benchmark::kMillisecond);

// Both in turn in every iteration, so that both see the same machine load.
void BM_InflateRatioZStreamOverZlib(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const Sample& sample = GetSample();
    std::vector<uint8_t> out(kPlainSize);
    Clock::duration ours{}, theirs{};
    for (auto _ : state) {
        auto start = Clock::now();
        InflateWithZlib(sample, out);
        auto middle = Clock::now();
        InflateWithZStream(sample, out);
        auto end = Clock::now();
        theirs += middle - start;
        ours += end - middle;
    }
    state.counters["ratio"] =
        std::chrono::duration<double>(ours).count() / std::chrono::duration<double>(theirs).count();
    state.SetBytesProcessed(int64_t{state.iterations()} * 2 * kPlainSize);
}
BENCHMARK(BM_InflateRatioZStreamOverZlib)->Unit(benchmark::kMillisecond);

} // namespace
