// Effects with any arguments: every effect, any values (NaN, infinities and huge ones
// included), any picture size up to 24 x 24 and any movie time filter the picture without
// reading or writing outside it, and every value lands inside its range.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/media/movie/effects.h"

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
    using namespace platform::movie;
    Input in{data, size};
    auto kind = static_cast<EffectKind>(in.Take<uint8_t>() % kEffectKindCount);
    int width = 1 + in.Take<uint8_t>() % 24;
    int height = 1 + in.Take<uint8_t>() % 24;
    int64_t time = in.Take<int64_t>();
    std::vector<double> values;
    size_t count = in.Take<uint8_t>() % 10;
    for (size_t i = 0; i < count; ++i)
        values.push_back(in.Take<uint8_t>() & 1 ? double(in.Take<int32_t>()) : in.Take<double>());
    Effect effect = MakeEffect(kind, values);
    for (size_t i = 0; i < effect.values.size(); ++i) {
        EffectRange range = EffectParameterRange(kind, int(i));
        if (!(effect.values[i] >= range.low && effect.values[i] <= range.high)) std::abort();
    }
    Picture picture{width, height, std::vector<uint32_t>(size_t(width) * height)};
    for (uint32_t& pixel : picture.pixels)
        pixel = in.Take<uint32_t>() & 0xFFFFFF;
    ApplyEffect(effect, time, picture);
    for (uint32_t pixel : picture.pixels)
        if (pixel > 0xFFFFFF) std::abort();
    return 0;
}
