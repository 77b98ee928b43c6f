#include "audio/sources/pcm_converters.h"

#include <cstring>

namespace {

struct Frame {
    int32_t left;
    int32_t right;
};

// Samples are kept in their own bit depth while channels change, as the rules ask: the
// average of 8-bit samples is taken on unsigned bytes, of 16-bit ones on signed values.
template <int Bits, int Channels> Frame Load(const uint8_t* p) {
    Frame f{};
    if constexpr (Bits == 8) {
        f.left = p[0];
        f.right = Channels == 2 ? p[1] : p[0];
    } else {
        f.left = static_cast<int16_t>(uint16_t(p[0] | (p[1] << 8)));
        f.right = Channels == 2 ? static_cast<int16_t>(uint16_t(p[2] | (p[3] << 8))) : f.left;
    }
    return f;
}

template <int From, int To> int32_t Depth(int32_t sample) {
    if constexpr (From == To) return sample;
    if constexpr (From == 8) return static_cast<int16_t>(uint16_t((sample ^ 0x80) << 8));
    return ((static_cast<uint16_t>(sample) >> 8) + 128) & 0xFF;
}

template <int Bits> void PutSample(uint8_t* p, int32_t sample) {
    if constexpr (Bits == 8) {
        p[0] = static_cast<uint8_t>(sample);
    } else {
        p[0] = static_cast<uint8_t>(sample & 0xFF);
        p[1] = static_cast<uint8_t>((sample >> 8) & 0xFF);
    }
}

template <int SB, int SC, int DB, int DC> void Store(uint8_t* p, Frame f) {
    if constexpr (DC == 1) {
        int32_t mono = SC == 2 ? (f.left + f.right) / 2 : f.left;
        PutSample<DB>(p, Depth<SB, DB>(mono));
    } else {
        PutSample<DB>(p, Depth<SB, DB>(f.left));
        PutSample<DB>(p + DB / 8, Depth<SB, DB>(f.right));
    }
}

template <int SB, int SC, int DB, int DC>
uint32_t Convert(const uint8_t* source, uint8_t* destination, uint32_t frames, uint32_t down,
                 uint32_t up) {
    constexpr uint32_t in = SB / 8 * SC;
    constexpr uint32_t out = DB / 8 * DC;
    if (down == 0) down = 1;
    uint32_t written = 0;
    for (uint32_t i = 0; i < frames; i += down) {
        uint8_t converted[4];
        Store<SB, SC, DB, DC>(converted, Load<SB, SC>(source + uint64_t(i) * in));
        for (uint32_t k = 0; k < up; ++k) {
            std::memcpy(destination + uint64_t(written) * out, converted, out);
            ++written;
        }
    }
    return written;
}

template <int SB, int SC, int DB, int DC>
uint32_t Copy(const uint8_t* source, uint8_t* destination, uint32_t frames) {
    return Convert<SB, SC, DB, DC>(source, destination, frames, 1, 1);
}

#define ZORV_PCM_ROW(SB, SC, D1B, D1C, D2B, D2C, D3B, D3C)                                         \
    Convert<SB, SC, D1B, D1C>, Convert<SB, SC, D2B, D2C>, Convert<SB, SC, D3B, D3C>
#define ZORV_PCM_COPY_ROW(SB, SC, D1B, D1C, D2B, D2C, D3B, D3C)                                    \
    Copy<SB, SC, D1B, D1C>, Copy<SB, SC, D2B, D2C>, Copy<SB, SC, D3B, D3C>

const PcmConverter kConverters[16] = {
    ZORV_PCM_ROW(8, 1, 8, 2, 16, 1, 16, 2),
    ZORV_PCM_ROW(8, 2, 8, 1, 16, 1, 16, 2),
    ZORV_PCM_ROW(16, 1, 16, 2, 8, 1, 8, 2),
    ZORV_PCM_ROW(16, 2, 16, 1, 8, 1, 8, 2),
    Convert<8, 1, 8, 1>,
    Convert<8, 2, 8, 2>,
    Convert<16, 1, 16, 1>,
    Convert<16, 2, 16, 2>,
};

const PcmCopier kCopiers[16] = {
    ZORV_PCM_COPY_ROW(8, 1, 8, 2, 16, 1, 16, 2),
    ZORV_PCM_COPY_ROW(8, 2, 8, 1, 16, 1, 16, 2),
    ZORV_PCM_COPY_ROW(16, 1, 16, 2, 8, 1, 8, 2),
    ZORV_PCM_COPY_ROW(16, 2, 16, 1, 8, 1, 8, 2),
    Copy<8, 1, 8, 1>,
    Copy<8, 2, 8, 2>,
    Copy<16, 1, 16, 1>,
    Copy<16, 2, 16, 2>,
};

#undef ZORV_PCM_ROW
#undef ZORV_PCM_COPY_ROW

} // namespace

int PcmKind(uint16_t bits, uint16_t channels) {
    return (bits == 16 ? 2 : 0) + (channels == 2 ? 1 : 0);
}

int PcmConverterIndex(int sourceKind, int targetKind) {
    if (sourceKind < 0 || sourceKind > 3 || targetKind < 0 || targetKind > 3) return -1;
    bool sameBits = (sourceKind >> 1) == (targetKind >> 1);
    if (sourceKind == targetKind) return 12 + sourceKind;
    if (sameBits) return 3 * sourceKind;
    return 3 * sourceKind + ((targetKind & 1) != 0 ? 2 : 1);
}

PcmConverter GetPcmConverter(int index) {
    return index >= 0 && index < 16 ? kConverters[index] : nullptr;
}

PcmCopier GetPcmCopier(int index) {
    return index >= 0 && index < 16 ? kCopiers[index] : nullptr;
}
