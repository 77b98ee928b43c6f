// The sound manager's timer tick with N streaming channels on the null output under the
// frozen clock: each iteration is 50 ms of output mixed and the tick that refills every
// channel's buffer from its source, a 16-bit 44.1 kHz WAV or a 128 kbit/s MP3 read from
// memory. The tick runs on the timer's thread, so the times are real times. Counter: ticks
// a second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/manager/sound_channel.h"
#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "foundation/streams/mem_in_stream.h"
#include "platform/kernel/test_hooks.h"
#include "platform/sound/sound_test_hooks.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Thirty seconds of a stereo tone, long enough that no channel ends while it is timed.
Bytes Wav() {
    constexpr uint32_t kFrames = 44100 * 30;
    Bytes out = {'R', 'I', 'F', 'F'};
    Put(out, 36 + kFrames * 4, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, 2, 2);
    Put(out, 44100, 4);
    Put(out, 44100 * 4, 4);
    Put(out, 4, 2);
    Put(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put(out, kFrames * 4, 4);
    for (uint32_t i = 0; i < kFrames; ++i) {
        const auto v = static_cast<int16_t>(12000 * std::sin(0.03 * double(i)));
        Put(out, static_cast<uint16_t>(v), 2);
        Put(out, static_cast<uint16_t>(-v), 2);
    }
    return out;
}

Bytes Mp3(const Bytes& wav) {
    char folder[] = "/tmp/zorv-refill-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) return {};
    const std::string in = std::string(folder) + "/in.wav", out = std::string(folder) + "/out.mp3";
    std::ofstream(in, std::ios::binary)
        .write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
    Bytes mp3;
    if (std::system(("lame -t --quiet -b 128 " + in + " " + out + " >/dev/null 2>&1").c_str()) ==
        0) {
        std::ifstream file(out, std::ios::binary);
        mp3.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove_all(folder);
    return mp3;
}

void Tick(benchmark::State& state, bool mp3) {
    static const Bytes wav = Wav();
    static const Bytes encoded = Mp3(wav);
    const Bytes& file = mp3 ? encoded : wav;
    if (file.empty()) {
        state.SkipWithError("lame is missing (tools/deps bench)");
        return;
    }
    setenv("ZORV_AUDIO", "null", 1);
    platform::test::FreezeClock(1000);
    platform::test::ResetSoundOutput();
    SoundDevice* device = SoundMgr_Instance().CreateDevice(0, 0);
    device->Start(0);
    const auto count = static_cast<size_t>(state.range(0));
    std::vector<std::unique_ptr<CMemInStream>> streams;
    std::vector<SoundChannel*> channels;
    for (size_t i = 0; i < count; ++i) {
        streams.push_back(std::make_unique<CMemInStream>());
        streams.back()->Attach(file.data(), static_cast<uint32_t>(file.size()));
        channels.push_back(device->CreateChannel(streams.back().get(), 0));
        channels.back()->SetLoop(1, 0);
        channels.back()->Play();
    }
    for (auto _ : state)
        platform::test::AdvanceClock(SoundMgr::kTimerPeriod);
    state.counters["ticks"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    SoundMgr_Instance().DestroyDevice(device);
    platform::test::UnfreezeClock();
    platform::test::ResetSoundOutput();
    unsetenv("ZORV_AUDIO");
}

void BM_RefillTickWav(benchmark::State& state) {
    Tick(state, false);
}
BENCHMARK(BM_RefillTickWav)->Arg(1)->Arg(16)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_RefillTickMp3(benchmark::State& state) {
    Tick(state, true);
}
BENCHMARK(BM_RefillTickMp3)->Arg(1)->Arg(16)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
