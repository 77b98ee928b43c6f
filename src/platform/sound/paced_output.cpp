#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <thread>
#include <utility>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/sound/media_voice.h"
#include "platform/sound/output_backend.h"
#include "platform/sound/sound_test_hooks.h"

namespace platform::sound {
namespace {

constexpr size_t CHUNK_FRAMES = 1024;
constexpr DWORD WAV_HEADER_BYTES = 44;
// The RIFF size field must hold the data and the 36 bytes after it.
constexpr uint64_t MAX_WAV_DATA = 0xFFFFFFFFu - 36u - 3u;
// Time bases move on by whole minutes so the frame arithmetic never overflows on long runs;
// a minute is a whole number of frames.
constexpr DWORD REBASE_MS = 60000;
constexpr uint64_t REBASE_FRAMES = uint64_t{REBASE_MS} * OUTPUT_RATE / 1000;

std::mutex recordLock;
bool recording = false;
std::vector<float> recorded;

void Record(const float* frames, size_t count) {
    std::lock_guard lock(recordLock);
    if (recording) recorded.insert(recorded.end(), frames, frames + count * 2);
}

void PutU16(uint8_t* at, unsigned value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool WriteAll(int file, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        ssize_t written = write(file, bytes, count);
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

class PacedOutput : public OutputBackend {
public:
    PacedOutput(Mixer& mixer, int file) : mixer_(mixer), file_(file) {
        Rebase(timeGetTime());
        thread_ = std::thread([this] { Pace(); });
    }

    ~PacedOutput() override {
        {
            std::lock_guard lock(stopLock_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
        if (file_ >= 0) close(file_);
    }

    void FollowClock(DWORD from, DWORD now) override { PlayUntil(now, from, true); }

private:
    void Pace() {
        std::unique_lock lock(stopLock_);
        while (!wake_.wait_for(lock, std::chrono::milliseconds(10), [this] { return stop_; })) {
            lock.unlock();
            DWORD now = timeGetTime();
            PlayUntil(now, now, false);
            lock.lock();
        }
    }

    void Rebase(DWORD now) {
        base_ = now;
        played_ = 0;
        frozenBase_ = IsClockFrozen();
    }

    // `now` is a time of the real clock or of the test clock, whichever the caller saw;
    // when the clock has since changed kind the call is stale. Times of the two do not
    // compare: when the kind differs from the last call's, counting starts again at `rebase`.
    void PlayUntil(DWORD now, DWORD rebase, bool frozen) {
        std::lock_guard lock(playLock_);
        if (frozen != IsClockFrozen()) return;
        if (frozenBase_ != frozen) Rebase(rebase);
        auto elapsed = static_cast<int32_t>(now - base_);
        if (elapsed < 0) return;
        uint64_t target = uint64_t(static_cast<uint32_t>(elapsed)) * OUTPUT_RATE / 1000;
        while (played_ < target) {
            size_t frames = static_cast<size_t>(std::min<uint64_t>(CHUNK_FRAMES, target - played_));
            mixer_.Render(chunk_, frames);
            Record(chunk_, frames);
            if (file_ >= 0) Append(frames);
            played_ += frames;
        }
        while (static_cast<int32_t>(now - base_) >= static_cast<int32_t>(REBASE_MS) &&
               played_ >= REBASE_FRAMES) {
            base_ += REBASE_MS;
            played_ -= REBASE_FRAMES;
        }
    }

    void Append(size_t frames) {
        uint8_t bytes[CHUNK_FRAMES * 4];
        for (size_t i = 0; i < frames * 2; ++i) {
            float scaled = std::clamp(chunk_[i] * 32768.0f, -32768.0f, 32767.0f);
            PutU16(bytes + 2 * i, static_cast<uint16_t>(static_cast<int16_t>(std::lrint(scaled))));
        }
        size_t count = frames * 4;
        if (dataBytes_ + count > MAX_WAV_DATA) return;
        if (!WriteAll(file_, bytes, count)) return;
        dataBytes_ += count;
        uint8_t size[4];
        PutU32(size, static_cast<uint32_t>(dataBytes_ + 36));
        (void)!pwrite(file_, size, 4, 4);
        PutU32(size, static_cast<uint32_t>(dataBytes_));
        (void)!pwrite(file_, size, 4, 40);
    }

    Mixer& mixer_;
    const int file_;
    std::mutex playLock_;
    DWORD base_ = 0;
    uint64_t played_ = 0;
    bool frozenBase_ = false;
    uint64_t dataBytes_ = 0;
    float chunk_[CHUNK_FRAMES * 2];
    std::mutex stopLock_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

int CreateWav(const std::string& path) {
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) return -1;
    uint8_t header[WAV_HEADER_BYTES];
    std::copy_n("RIFF", 4, header);
    PutU32(header + 4, 36);
    std::copy_n("WAVEfmt ", 8, header + 8);
    PutU32(header + 16, 16);
    PutU16(header + 20, 1);
    PutU16(header + 22, 2);
    PutU32(header + 24, OUTPUT_RATE);
    PutU32(header + 28, OUTPUT_RATE * 4);
    PutU16(header + 32, 4);
    PutU16(header + 34, 16);
    std::copy_n("data", 4, header + 36);
    PutU32(header + 40, 0);
    if (!WriteAll(file, header, sizeof header)) {
        close(file);
        return -1;
    }
    return file;
}

} // namespace

std::unique_ptr<OutputBackend> OpenPacedOutput(Mixer& mixer, const std::string& wavPath) {
    int file = -1;
    if (!wavPath.empty()) {
        file = CreateWav(wavPath);
        if (file < 0) return nullptr;
    }
    return std::make_unique<PacedOutput>(mixer, file);
}

} // namespace platform::sound

namespace platform::test {

void RecordSoundOutput(bool on) {
    std::lock_guard lock(platform::sound::recordLock);
    platform::sound::recording = on;
    if (!on) platform::sound::recorded.clear();
}

std::vector<float> TakeSoundOutput() {
    std::lock_guard lock(platform::sound::recordLock);
    return std::exchange(platform::sound::recorded, {});
}

} // namespace platform::test
