// The pace of videos played into Surfaces: any rate, length and run of plays, stops,
// pauses, reverses, seeks and polls at any times keeps the frame inside the video and the
// times inside their range, without a division by zero or an overflow on the way.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "classes/media/video_pump.h"

namespace {

struct Input {
    const uint8_t* data;
    size_t size;

    template <class T> T Take() {
        T value{};
        size_t n = size < sizeof value ? size : sizeof value;
        std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    VideoPump pump(in.Take<int64_t>(), in.Take<int64_t>(), in.Take<int64_t>());
    uint32_t now = in.Take<uint32_t>();
    bool reverse = false;
    while (in.size > 0) {
        uint8_t step = in.Take<uint8_t>();
        switch (step % 9) {
        case 0:
            pump.Play(now);
            reverse = false;
            break;
        case 1:
            pump.Stop();
            break;
        case 2:
            pump.Pause();
            break;
        case 3:
            pump.Reverse(now);
            reverse = true;
            break;
        case 4:
            pump.Resume(now, reverse);
            break;
        case 5:
            pump.SeekTime(in.Take<int32_t>());
            break;
        case 6:
            pump.SeekFrame(in.Take<int32_t>());
            break;
        case 7:
            pump.Rewind();
            break;
        default:
            now += in.Take<uint32_t>() >> (step >> 4);
            if (pump.Poll(now)) pump.MarkShown();
            break;
        }
        if (pump.GetFrame() < 0 || pump.GetFrame() >= pump.GetFrameCount() || pump.GetTime() < 0 ||
            pump.GetTime() > 0x7FFFFFFF || pump.GetDuration() < 0 ||
            pump.GetDuration() > 0x7FFFFFFF || pump.GetState() > VideoPump::kPaused)
            std::abort();
    }
    return 0;
}
