// A tracker module (MOD, S3M, XM, IT and the other formats libopenmpt reads) rendered into
// float stereo frames at the output rate. Positions are in milliseconds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform::media {

class TrackerModule {
public:
    // Null when the bytes are no module.
    static std::unique_ptr<TrackerModule> Load(const std::vector<uint8_t>& bytes);
    ~TrackerModule();
    TrackerModule(const TrackerModule&) = delete;
    TrackerModule& operator=(const TrackerModule&) = delete;

    // Frames rendered into `out` (interleaved stereo); fewer than asked at the end.
    size_t Render(float* out, size_t frames);
    // The song's length.
    uint32_t LengthMs() const;
    // Where rendering stands.
    uint32_t PositionMs() const;
    void Seek(uint32_t ms);

private:
    struct Module;
    explicit TrackerModule(Module* module) : module_(module) {}
    Module* module_;
};

// 1 when the module library answers.
int TrackerLibraryAvailable();

} // namespace platform::media
