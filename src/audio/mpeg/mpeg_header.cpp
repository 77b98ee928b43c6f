#include "audio/mpeg/mpeg_header.h"

namespace {

constexpr int kBaseRates[4] = {44100, 48000, 32000, 0};

constexpr int kBitRates[6][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};

} // namespace

int MpegBaseSampleRate(int index) {
    return index >= 0 && index < 4 ? kBaseRates[index] : 0;
}

int MpegBitRateKbps(int version, int layer, int index) {
    if (layer < 0 || layer > 2 || index < 0 || index > 15) return 0;
    return kBitRates[(version != kMpeg1 ? 3 : 0) + layer][index];
}

int MpegHeader::SampleRate() const {
    return MpegBaseSampleRate(sampleRateIndex) >> version;
}

int MpegHeader::BitRate() const {
    return MpegBitRateKbps(version, layer, bitRateIndex) * 1000;
}

int MpegHeader::FrameBytes() const {
    int rate = SampleRate();
    if (rate == 0) return 0;
    int64_t bits = BitRate();
    if (layer == kLayer1) return static_cast<int>(12 * bits / rate + padding) * 4;
    int64_t perFrame = (layer == kLayer3 && version != kMpeg1) ? 72 : 144;
    return static_cast<int>(perFrame * bits / rate + padding);
}

int MpegHeader::SideInfoBytes() const {
    if (version == kMpeg1) return mode == kModeMono ? 17 : 32;
    return mode == kModeMono ? 9 : 17;
}

bool ParseMpegHeader(const uint8_t* bytes, MpegHeader& header) {
    if (bytes[0] != 0xFF || bytes[1] < 0xE0) return false;
    static constexpr int kVersionMap[4] = {kMpeg25, 3, kMpeg2, kMpeg1};
    int version = kVersionMap[(bytes[1] >> 3) & 3];
    int layer = 3 - ((bytes[1] >> 1) & 3);
    if (version == 3 || layer == 3) return false;
    if (version == kMpeg25 && layer != kLayer3) return false;
    int rateIndex = (bytes[2] >> 2) & 3;
    if (rateIndex == 3) return false;
    header.version = version;
    header.layer = layer;
    header.crc = (bytes[1] & 1) == 0;
    header.bitRateIndex = bytes[2] >> 4;
    header.sampleRateIndex = rateIndex;
    header.padding = (bytes[2] >> 1) & 1;
    header.mode = bytes[3] >> 6;
    header.modeExtension = (bytes[3] >> 4) & 3;
    return true;
}
