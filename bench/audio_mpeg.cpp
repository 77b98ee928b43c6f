// Decoding speed of our MPEG audio decoder beside libmpg123's, on files lame and twolame
// encode when the benchmark starts, in memory: counters in times real time. The peer runs
// twice: its default decoder (the fastest its build picks for the machine) and its portable
// "generic" one. Also the factory's probe of a large file without a 0xFF byte, and a seek to a
// late block.
#include <benchmark/benchmark.h>
#include <mpg123.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/mpeg/mpeg_audio_stream.h"
#include "audio/sources/source_factory.h"
#include "audio/streams/stream_reader.h"
#include "foundation/streams/mem_in_stream.h"
#include "side_by_side.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr double kSeconds = 10.0;

void Put(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Tones, noise and clicks, as a WAV file.
Bytes Signal(int rate, int channels) {
    const auto frames = static_cast<uint32_t>(rate * kSeconds);
    Bytes out = {'R', 'I', 'F', 'F'};
    Put(out, 36 + frames * channels * 2, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, channels, 2);
    Put(out, rate, 4);
    Put(out, rate * channels * 2, 4);
    Put(out, channels * 2, 2);
    Put(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put(out, frames * channels * 2, 4);
    uint32_t noise = 1;
    for (uint32_t i = 0; i < frames; ++i)
        for (int ch = 0; ch < channels; ++ch) {
            double t = double(i) / rate;
            noise = noise * 1664525u + 1013904223u;
            double v = 0.3 * std::sin(2 * M_PI * (220.0 + 110 * ch) * t) +
                       0.2 * std::sin(2 * M_PI * (800.0 + 300 * t) * t) +
                       0.1 * ((noise >> 8) / double(1 << 24) - 0.5);
            Put(out, static_cast<uint16_t>(static_cast<int16_t>(v * 30000)), 2);
        }
    return out;
}

Bytes Encode(const std::string& command, int rate, int channels) {
    char folder[] = "/tmp/zorv-mpeg-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) return {};
    std::string wav = std::string(folder) + "/in.wav", mp = std::string(folder) + "/out.mp";
    Bytes signal = Signal(rate, channels);
    std::ofstream(wav, std::ios::binary)
        .write(reinterpret_cast<const char*>(signal.data()),
               static_cast<std::streamsize>(signal.size()));
    Bytes out;
    if (std::system((command + " " + wav + " " + mp + " >/dev/null 2>&1").c_str()) == 0) {
        std::ifstream in(mp, std::ios::binary);
        out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove_all(folder);
    return out;
}

struct File {
    const char* name;
    const char* command;
    int rate;
    int channels;
};

constexpr File kFiles[] = {
    {"L3_128k_stereo", "lame -t --quiet -b 128 -m s", 44100, 2},
    {"L3_320k_joint", "lame -t --quiet -b 320 -m j", 48000, 2},
    {"L3_V2", "lame -t --quiet -V 2", 44100, 2},
    {"L3_32k_mono", "lame -t --quiet -b 32 -m m --resample 32", 32000, 1},
    {"L3_mpeg2_64k", "lame -t --quiet -b 64 -m j", 22050, 2},
    {"L3_mpeg25_16k", "lame -t --quiet -b 16 -m m", 8000, 1},
    {"L2_192k_stereo", "twolame --quiet -b 192 -m s", 44100, 2},
    {"L2_mpeg2_64k", "twolame --quiet -b 64 -m j", 22050, 2},
};

const Bytes& Encoded(int index) {
    static std::vector<Bytes> files(std::size(kFiles));
    if (files[index].empty())
        files[index] = Encode(kFiles[index].command, kFiles[index].rate, kFiles[index].channels);
    return files[index];
}

size_t OurDecode(const Bytes& file, bool sixteen, int reduction) {
    static auto stream = std::make_unique<MpegAudioStream>();
    static std::vector<uint8_t> out(1 << 16);
    CMemInStream memory;
    memory.Attach(file.data(), static_cast<uint32_t>(file.size()));
    StreamReader reader;
    reader.Open(&memory);
    int rate = 0;
    bool stereo = false;
    if (stream->Open(&reader, &rate, &stereo, sixteen, reduction, 0) != 0) return 0;
    size_t total = 0;
    for (int32_t got; (got = stream->Read(out.data(), static_cast<int32_t>(out.size()))) > 0;)
        total += static_cast<size_t>(got);
    stream->Close();
    return total;
}

size_t PeerDecode(mpg123_handle* handle, const Bytes& file, bool sixteen, int reduction) {
    static std::vector<unsigned char> out(1 << 16);
    mpg123_param(handle, MPG123_DOWN_SAMPLE, reduction, 0.0);
    mpg123_format_none(handle);
    for (long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L, 2000L,
                      2756L, 3000L, 4000L, 5512L, 6000L})
        mpg123_format(handle, rate, MPG123_MONO | MPG123_STEREO,
                      sixteen ? MPG123_ENC_SIGNED_16 : MPG123_ENC_FLOAT_32);
    mpg123_open_feed(handle);
    mpg123_feed(handle, file.data(), file.size());
    size_t total = 0;
    for (;;) {
        size_t done = 0;
        int result = mpg123_read(handle, out.data(), out.size(), &done);
        total += done;
        if (result == MPG123_NEW_FORMAT) continue;
        if (result != MPG123_OK) break;
    }
    mpg123_close(handle);
    return total;
}

void Decode(benchmark::State& state, int index, bool sixteen, int reduction, const char* decoder) {
    const Bytes& file = Encoded(index);
    if (file.empty()) {
        state.SkipWithError("lame or twolame is missing (tools/deps bench)");
        return;
    }
    mpg123_init();
    mpg123_handle* handle = mpg123_new(decoder, nullptr);
    mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    // Its reduced rates are only those of its own list (8 kHz and up).
    if (PeerDecode(handle, file, sixteen, reduction) == 0) {
        mpg123_delete(handle);
        state.SkipWithError("libmpg123 gives no output at this rate");
        return;
    }
    // Counted in microseconds of audio, so that the counters read in times real time.
    bench::SideBySide(
        state, static_cast<int64_t>(kSeconds * 1e6), decoder == nullptr ? "mpg123" : "generic",
        [&] { benchmark::DoNotOptimize(OurDecode(file, sixteen, reduction)); },
        [&] { benchmark::DoNotOptimize(PeerDecode(handle, file, sixteen, reduction)); });
    mpg123_delete(handle);
}

void RegisterDecoding() {
    for (int index = 0; index < static_cast<int>(std::size(kFiles)); ++index)
        for (const char* decoder : {static_cast<const char*>(nullptr), "generic"})
            for (bool sixteen : {true, false})
                for (int reduction : {0, 1, 2}) {
                    std::string name = std::string("MpegDecode/") + kFiles[index].name +
                                       (sixteen ? "/s16" : "/f32") +
                                       (reduction == 0   ? "/full"
                                        : reduction == 1 ? "/half"
                                                         : "/quarter") +
                                       (decoder == nullptr ? "/default" : "/generic");
                    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
                        Decode(state, index, sixteen, reduction, decoder);
                    })->Unit(benchmark::kMillisecond);
                }
}

const int kRegistered = (RegisterDecoding(), 0);

// The factory on 50 MB without a 0xFF byte: every source kind says no.
void BM_MpegProbeWithoutSync(benchmark::State& state) {
    Bytes file(50u << 20, 0x42);
    for (auto _ : state) {
        CMemInStream memory;
        memory.Attach(file.data(), static_cast<uint32_t>(file.size()));
        SoundSourceRef source;
        benchmark::DoNotOptimize(CreateSoundSource(&memory, source));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_MpegProbeWithoutSync)->Unit(benchmark::kMillisecond);

// A seek to a late block and the read of one block there.
void BM_MpegSeekLate(benchmark::State& state) {
    const Bytes& file = Encoded(0);
    if (file.empty()) {
        state.SkipWithError("lame is missing (tools/deps bench)");
        return;
    }
    CMemInStream memory;
    memory.Attach(file.data(), static_cast<uint32_t>(file.size()));
    StreamReader reader;
    reader.Open(&memory);
    auto stream = std::make_unique<MpegAudioStream>();
    int rate = 0;
    bool stereo = false;
    stream->Open(&reader, &rate, &stereo, true, 0, 0);
    const int64_t length = stream->Control(4, 0, 0);
    std::vector<uint8_t> out(static_cast<size_t>(stream->BlockBytes()));
    int64_t at = 0;
    for (auto _ : state) {
        at = at == length * 3 / 4 ? length * 4 / 5 : length * 3 / 4;
        stream->Seek(at);
        benchmark::DoNotOptimize(stream->Read(out.data(), static_cast<int32_t>(out.size())));
    }
    stream->Close();
}
BENCHMARK(BM_MpegSeekLate)->Unit(benchmark::kMicrosecond);

} // namespace
