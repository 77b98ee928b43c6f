#include "audio/sources/wave_format.h"

bool IsPlayablePcm(const WaveFormat& format) {
    if (format.formatTag != kWaveFormatPcm) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.channels != 1 && format.channels != 2) return false;
    if (format.samplesPerSec < 100 || format.samplesPerSec > 200000) return false;
    uint32_t align = format.channels * format.bitsPerSample / 8u;
    return format.blockAlign == align &&
           format.avgBytesPerSec == uint64_t(format.samplesPerSec) * align;
}

WaveFormat MakePcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
    WaveFormat format;
    format.formatTag = kWaveFormatPcm;
    format.channels = channels;
    format.samplesPerSec = rate;
    format.bitsPerSample = bits;
    // Wide enough for any header's counts; IsPlayablePcm refuses what does not fit.
    uint32_t align = uint32_t(channels) * bits / 8;
    format.blockAlign = static_cast<uint16_t>(align);
    format.avgBytesPerSec = static_cast<uint32_t>(uint64_t(rate) * align);
    return format;
}

uint64_t StreamBufferSize(const WaveFormat& format) {
    uint64_t size =
        uint64_t(format.bitsPerSample / 8) * format.channels * format.samplesPerSec * 120 / 100;
    if (format.blockAlign != 0) size -= size % format.blockAlign;
    return size;
}
