// Decoding speed of the sound sources: PCM read through the source, Microsoft ADPCM blocks
// decoded, AIFF byte swapping and the PCM converters, in bytes of output per second; the
// PCM and ADPCM files are also decoded beside libsndfile reading the same bytes from memory.
#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sources/ms_adpcm.h"
#include "audio/sources/pcm_converters.h"
#include "audio/sources/source_factory.h"
#include "foundation/streams/mem_in_stream.h"
#include "side_by_side.h"

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
    // Codes as an encoder makes them: mostly small steps, some larger, so that the step size
    // wanders without growing. Uniformly random codes would blow it up within a few dozen
    // samples, into values no encoder writes and past where decoders agree.
    static const uint8_t kCodes[16] = {0, 1, 2, 3, 13, 14, 15, 0, 1, 2, 3, 13, 14, 4, 12, 5};
    std::vector<uint8_t> data = Noise(kRate * kSeconds);
    data.resize(data.size() / align * align);
    for (size_t block = 0; block < data.size(); block += align) {
        // Every predictor in turn, plausible deltas.
        data[block] = data[block + 1] = static_cast<uint8_t>(block / align % 7);
        data[block + 2] = data[block + 4] = 16;
        data[block + 3] = data[block + 5] = 0;
        for (size_t i = block + 14; i < block + align; ++i)
            data[i] = static_cast<uint8_t>(kCodes[data[i] >> 4] << 4 | kCodes[data[i] & 15]);
    }
    return Wav(format, data);
}

// Reads the whole file through our source; returns the bytes of output.
uint64_t DecodeOurs(const std::vector<uint8_t>& file, std::vector<uint8_t>& buffer) {
    CMemInStream stream;
    stream.Attach(file.data(), static_cast<uint32_t>(file.size()));
    SoundSourceRef source;
    if (CreateSoundSource(&stream, source) != 0) return 0;
    uint64_t total = 0;
    uint32_t got = 0;
    do {
        source.Read(buffer.data(), static_cast<uint32_t>(buffer.size()), &got);
        total += got;
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    } while (got == buffer.size());
    return total;
}

// libsndfile's view of a file in memory.
struct MemoryFile {
    const std::vector<uint8_t>* bytes;
    sf_count_t at = 0;

    static sf_count_t Length(void* self) {
        return sf_count_t(static_cast<MemoryFile*>(self)->bytes->size());
    }
    static sf_count_t Seek(sf_count_t offset, int whence, void* self) {
        auto& file = *static_cast<MemoryFile*>(self);
        const sf_count_t size = sf_count_t(file.bytes->size());
        const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? file.at : size;
        file.at = std::clamp<sf_count_t>(base + offset, 0, size);
        return file.at;
    }
    static sf_count_t Read(void* to, sf_count_t count, void* self) {
        auto& file = *static_cast<MemoryFile*>(self);
        count = std::min(count, sf_count_t(file.bytes->size()) - file.at);
        std::memcpy(to, file.bytes->data() + file.at, size_t(count));
        file.at += count;
        return count;
    }
    static sf_count_t Write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t Tell(void* self) { return static_cast<MemoryFile*>(self)->at; }
};

// Reads the whole file as 16-bit samples with libsndfile; returns the bytes of output.
uint64_t DecodeSndfile(const std::vector<uint8_t>& file, std::vector<uint8_t>& buffer) {
    SF_VIRTUAL_IO io{MemoryFile::Length, MemoryFile::Seek, MemoryFile::Read, MemoryFile::Write,
                     MemoryFile::Tell};
    MemoryFile memory{&file};
    SF_INFO info{};
    SNDFILE* sound = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!sound) return 0;
    const sf_count_t frameBytes = 2 * sf_count_t(info.channels);
    const sf_count_t frames = sf_count_t(buffer.size()) / frameBytes;
    uint64_t total = 0;
    sf_count_t got = 0;
    do {
        got = sf_readf_short(sound, reinterpret_cast<short*>(buffer.data()), frames);
        total += uint64_t(got * frameBytes);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    } while (got == frames);
    sf_close(sound);
    return total;
}

void ReadAll(benchmark::State& state, const std::vector<uint8_t>& file) {
    std::vector<uint8_t> buffer(65536);
    uint64_t total = 0;
    for (auto _ : state) {
        const uint64_t got = DecodeOurs(file, buffer);
        if (got == 0) {
            state.SkipWithError("no source");
            return;
        }
        total += got;
    }
    state.SetBytesProcessed(static_cast<int64_t>(total));
}

// Counters in megabytes of 16-bit output a second.
void DecodeBesideSndfile(benchmark::State& state, const std::vector<uint8_t>& file) {
    std::vector<uint8_t> ours(65536), theirs(65536);
    const uint64_t size = DecodeOurs(file, ours);
    if (size == 0 || DecodeSndfile(file, theirs) != size) {
        state.SkipWithError("the two decoders disagree on the file's length");
        return;
    }
    bench::SideBySide(
        state, int64_t(size), "sndfile", [&] { DecodeOurs(file, ours); },
        [&] { DecodeSndfile(file, theirs); });
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

void BM_PcmSourceReadSndfile(benchmark::State& state) {
    static const std::vector<uint8_t> file = PcmFile();
    DecodeBesideSndfile(state, file);
}
BENCHMARK(BM_PcmSourceReadSndfile)->Unit(benchmark::kMillisecond);

void BM_MsAdpcmSourceDecodeSndfile(benchmark::State& state) {
    static const std::vector<uint8_t> file = AdpcmFile();
    DecodeBesideSndfile(state, file);
}
BENCHMARK(BM_MsAdpcmSourceDecodeSndfile)->Unit(benchmark::kMillisecond);

// The layout a converter writes: its target kind.
int TargetKind(int index) {
    for (int target = 0; target < 4; ++target)
        if (PcmConverterIndex(index / 3, target) == index) return target;
    return -1;
}

const char* KindName(int kind) {
    static const char* const kNames[] = {"8-bit mono", "8-bit stereo", "16-bit mono",
                                         "16-bit stereo"};
    return kNames[kind];
}

// Each converter over one second of its source kind; the range is the table index. The
// source and target stay in the cache, so this is the converters' own speed: the ones that
// drop a channel or narrow 16 bits to 8 turn into a few vector instructions for 16 frames,
// hence their tens of gigaframes a second. Items are frames, bytes those written.
void BM_PcmConverter(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    const int target = TargetKind(index);
    const std::vector<uint8_t> source = Noise(kRate * 4);
    std::vector<uint8_t> output(kRate * 4 * 2);
    PcmCopier copier = GetPcmCopier(index);
    uint64_t frames = 0;
    for (auto _ : state) {
        uint32_t written = copier(source.data(), output.data(), kRate);
        benchmark::DoNotOptimize(written);
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
        frames += written;
    }
    const int frameBytes = (target & 2 ? 2 : 1) * (target & 1 ? 2 : 1);
    state.SetItemsProcessed(static_cast<int64_t>(frames));
    state.SetBytesProcessed(static_cast<int64_t>(frames) * frameBytes);
    state.SetLabel(std::string(KindName(index / 3)) + " to " + KindName(target));
}
BENCHMARK(BM_PcmConverter)->DenseRange(0, 11)->Unit(benchmark::kMicrosecond);

} // namespace
