// Decoding speed of the sound sources: PCM read through the source, Microsoft ADPCM blocks
// decoded, AIFF byte swapping and the PCM converters, in bytes of output per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "audio/sources/ms_adpcm.h"
#include "audio/sources/pcm_converters.h"
#include "audio/sources/source_factory.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kSeconds = 10;

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::vector<uint8_t> Noise(size_t size) {
    std::vector<uint8_t> bytes(size);
    uint32_t state = 1;
    for (uint8_t& byte : bytes)
        byte = static_cast<uint8_t>((state = state * 1664525 + 1013904223) >> 24);
    return bytes;
}

// A RIFF WAVE file around a "fmt " body and data.
std::vector<uint8_t> Wav(const std::vector<uint8_t>& format, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
    Put32(file, static_cast<uint32_t>(4 + 8 + format.size() + 8 + data.size()));
    file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(file, static_cast<uint32_t>(format.size()));
    file.insert(file.end(), format.begin(), format.end());
    file.insert(file.end(), {'d', 'a', 't', 'a'});
    Put32(file, static_cast<uint32_t>(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

std::vector<uint8_t> PcmFile() {
    std::vector<uint8_t> format;
    Put16(format, 1);
    Put16(format, 2);
    Put32(format, kRate);
    Put32(format, kRate * 4);
    Put16(format, 4);
    Put16(format, 16);
    return Wav(format, Noise(kRate * 4 * kSeconds));
}

std::vector<uint8_t> AdpcmFile() {
    static const int16_t kPairs[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                         {240, 0}, {460, -208}, {392, -232}};
    const uint16_t align = 2048;
    std::vector<uint8_t> format;
    Put16(format, 2);
    Put16(format, 2);
    Put32(format, kRate);
    Put32(format, kRate);
    Put16(format, align);
    Put16(format, 4);
    Put16(format, 32);
    Put16(format, MsAdpcmSamplesPerBlock(align, 2));
    Put16(format, 7);
    for (const auto& pair : kPairs) {
        Put16(format, static_cast<uint16_t>(pair[0]));
        Put16(format, static_cast<uint16_t>(pair[1]));
    }
    std::vector<uint8_t> data = Noise(kRate * kSeconds);
    data.resize(data.size() / align * align);
    // Predictor indexes inside the table, plausible deltas.
    for (size_t block = 0; block < data.size(); block += align) {
        data[block] = data[block + 1] = 0;
        data[block + 2] = data[block + 4] = 16;
        data[block + 3] = data[block + 5] = 0;
    }
    return Wav(format, data);
}

void ReadAll(benchmark::State& state, const std::vector<uint8_t>& file) {
    std::vector<uint8_t> buffer(65536);
    uint64_t total = 0;
    for (auto _ : state) {
        CMemInStream stream;
        stream.Attach(file.data(), static_cast<uint32_t>(file.size()));
        SoundSourceRef source;
        if (CreateSoundSource(&stream, source) != 0) state.SkipWithError("no source");
        uint32_t got = 0;
        do {
            source.Read(buffer.data(), static_cast<uint32_t>(buffer.size()), &got);
            total += got;
        } while (got == buffer.size());
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(total));
}

void BM_PcmSourceRead(benchmark::State& state) {
    static const std::vector<uint8_t> file = PcmFile();
    ReadAll(state, file);
}
BENCHMARK(BM_PcmSourceRead)->Unit(benchmark::kMillisecond);

void BM_MsAdpcmSourceDecode(benchmark::State& state) {
    static const std::vector<uint8_t> file = AdpcmFile();
    ReadAll(state, file);
}
BENCHMARK(BM_MsAdpcmSourceDecode)->Unit(benchmark::kMillisecond);

// Each converter over one second of its source kind; the range is the table index.
void BM_PcmConverter(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    const std::vector<uint8_t> source = Noise(kRate * 4);
    std::vector<uint8_t> target(kRate * 4 * 2);
    PcmCopier copier = GetPcmCopier(index);
    uint64_t frames = 0;
    for (auto _ : state) {
        frames += copier(source.data(), target.data(), kRate);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(frames));
}
BENCHMARK(BM_PcmConverter)->DenseRange(0, 11)->Unit(benchmark::kMicrosecond);

} // namespace
