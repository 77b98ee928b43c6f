#include "audio/mpeg/layer3_decoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "audio/mpeg/huffman_tables.h"
#include "audio/mpeg/layer3_bands.h"

namespace {

constexpr int kMaxValue = 8206;
// Global gains reach down by 8 × 7 for the subblock gains.
constexpr int kGainOffset = 56;
// Scale factors up to 15, pretab up to 3, doubled by scalefac_scale, and the MPEG-2
// intensity channel's wider factors; larger indexes are clamped.
constexpr int kHalfPowers = 128;

constexpr int kPretab[22] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 3, 3, 2, 0};
constexpr int kSlen[2][16] = {{0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4},
                              {0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3}};
// Scale factors per partition for MPEG-2: [compress class][long, short, mixed][partition].
constexpr int kPartitions[6][3][4] = {
    {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},
    {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
    {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}},
    {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
    {{6, 6, 6, 3}, {12, 9, 9, 6}, {6, 12, 9, 6}},
    {{8, 8, 5, 0}, {15, 12, 9, 0}, {6, 18, 9, 0}},
};

struct Tables {
    float power43[kMaxValue + 1];
    float gain[256 + kGainOffset];
    float halfPower[kHalfPowers];
    // MPEG-1 intensity factors for positions 0..6: left, right.
    float intensity1[7][2];
    // MPEG-2 factors per intensity scale and position.
    float intensity2[2][32][2];

    Tables() {
        for (int i = 0; i <= kMaxValue; ++i)
            power43[i] = static_cast<float>(std::pow(double(i), 4.0 / 3.0));
        for (int g = 0; g < 256 + kGainOffset; ++g)
            gain[g] = static_cast<float>(std::pow(2.0, (g - kGainOffset - 210) / 4.0));
        for (int k = 0; k < kHalfPowers; ++k)
            halfPower[k] = static_cast<float>(std::pow(2.0, -k / 2.0));
        for (int p = 0; p < 7; ++p) {
            double s = std::sin(p * M_PI / 12.0);
            double c = std::cos(p * M_PI / 12.0);
            intensity1[p][0] = static_cast<float>(s / (s + c));
            intensity1[p][1] = static_cast<float>(c / (s + c));
        }
        for (int scale = 0; scale < 2; ++scale) {
            double base = scale == 0 ? std::pow(2.0, -0.25) : std::pow(2.0, -0.5);
            for (int p = 0; p < 32; ++p) {
                bool odd = (p & 1) != 0;
                intensity2[scale][p][0] =
                    odd ? static_cast<float>(std::pow(base, (p + 1) / 2)) : 1.0f;
                intensity2[scale][p][1] = odd ? 1.0f : static_cast<float>(std::pow(base, p / 2));
            }
        }
    }
};

const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

// `magnitude` negated when `sign` is 1; a zero stays +0.
float Signed(float magnitude, uint64_t sign) {
    return std::bit_cast<float>(
        std::bit_cast<uint32_t>(magnitude) |
        (static_cast<uint32_t>(sign) << 31 & (magnitude != 0.0f ? 0x80000000u : 0u)));
}

// Lines of the long part of a mixed block, and the long bands it holds.
int MixedLongLines(const LayerThreeBands& bands) {
    return bands.shortStart[3] * 3;
}

int MixedLongBands(bool mpeg1) {
    return mpeg1 ? 8 : 6;
}

} // namespace

LayerThreeDecoder::LayerThreeDecoder() {
    GetTables();
    Reset();
}

void LayerThreeDecoder::Reset() {
    std::memset(scales_, 0, sizeof scales_);
    std::memset(lines_, 0, sizeof lines_);
    lineCount_[0] = lineCount_[1] = 0;
    hybrid_.Reset();
}

void LayerThreeDecoder::SetLineGains(const float* longGains, const float* shortGains) {
    std::memcpy(longGains_, longGains, sizeof longGains_);
    std::memcpy(shortGains_, shortGains, sizeof shortGains_);
    equaliserOn_ = true;
}

void LayerThreeDecoder::ReadScalesMpeg1(BitReader& reader, const GranuleChannel& g,
                                        const int* scfsi, int gr, ChannelScales& scales) {
    const int slen1 = kSlen[0][g.scalefacCompress & 15];
    const int slen2 = kSlen[1][g.scalefacCompress & 15];
    if (g.blockType == 2) {
        int band = 0;
        if (g.mixed) {
            for (; band < 8; ++band)
                scales.longFactors[band] = static_cast<int>(reader.Read(slen1));
            band = 3;
        }
        for (; band < 12; ++band) {
            int width = band < 6 ? slen1 : slen2;
            for (int w = 0; w < 3; ++w)
                scales.shortFactors[band][w] = static_cast<int>(reader.Read(width));
        }
        for (int w = 0; w < 3; ++w)
            scales.shortFactors[12][w] = 0;
        return;
    }
    static constexpr int kGroupStart[5] = {0, 6, 11, 16, 21};
    for (int group = 0; group < 4; ++group) {
        if (gr == 1 && scfsi[group] != 0) continue;
        int width = group < 2 ? slen1 : slen2;
        for (int band = kGroupStart[group]; band < kGroupStart[group + 1]; ++band)
            scales.longFactors[band] = static_cast<int>(reader.Read(width));
    }
    scales.longFactors[21] = 0;
}

void LayerThreeDecoder::ReadScalesMpeg2(BitReader& reader, const GranuleChannel& g,
                                        bool intensityChannel, ChannelScales& scales) {
    int slen[4] = {};
    int kind = 0;
    int sfc = g.scalefacCompress;
    if (!intensityChannel) {
        if (sfc < 400) {
            slen[0] = (sfc >> 4) / 5;
            slen[1] = (sfc >> 4) % 5;
            slen[2] = (sfc & 15) >> 2;
            slen[3] = sfc & 3;
        } else if (sfc < 500) {
            sfc -= 400;
            slen[0] = (sfc >> 2) / 5;
            slen[1] = (sfc >> 2) % 5;
            slen[2] = sfc & 3;
            kind = 1;
        } else {
            sfc -= 500;
            slen[0] = sfc / 3;
            slen[1] = sfc % 3;
            kind = 2;
        }
    } else if (sfc < 180) {
        slen[0] = sfc / 36;
        slen[1] = (sfc % 36) / 6;
        slen[2] = sfc % 6;
        kind = 3;
    } else if (sfc < 244) {
        sfc -= 180;
        slen[0] = (sfc & 63) >> 4;
        slen[1] = (sfc & 15) >> 2;
        slen[2] = sfc & 3;
        kind = 4;
    } else {
        sfc -= 244;
        slen[0] = sfc / 3;
        slen[1] = sfc % 3;
        kind = 5;
    }
    const int shape = g.blockType == 2 ? (g.mixed ? 2 : 1) : 0;
    int values[39] = {};
    int maxima[39] = {};
    int count = 0;
    for (int part = 0; part < 4; ++part)
        for (int i = 0; i < kPartitions[kind][shape][part] && count < 39; ++i) {
            values[count] = static_cast<int>(reader.Read(slen[part]));
            maxima[count] = (1 << slen[part]) - 1;
            ++count;
        }
    std::memset(&scales, 0, sizeof scales);
    int index = 0;
    if (shape == 0) {
        for (int band = 0; band < 21; ++band, ++index) {
            scales.longFactors[band] = values[index];
            scales.longMax[band] = maxima[index];
        }
        return;
    }
    int band = 0;
    if (shape == 2) {
        for (; band < 6; ++band, ++index) {
            scales.longFactors[band] = values[index];
            scales.longMax[band] = maxima[index];
        }
        band = 3;
    }
    for (; band < 12; ++band)
        for (int w = 0; w < 3; ++w, ++index) {
            scales.shortFactors[band][w] = values[index];
            scales.shortMax[band][w] = maxima[index];
        }
}

int LayerThreeDecoder::ReadValues(BitReader& reader, const GranuleChannel& g, float* lines) {
    const Tables& tables = GetTables();
    const float* power = tables.power43;
    int i = 0;
    for (int region = 0; region < 3; ++region) {
        int end = region == 0 ? g.region1Start : region == 1 ? g.region2Start : g.bigValues;
        if (end < i) end = i;
        const LayerThreeTable& table = GetLayerThreeTable(g.tableSelect[region]);
        if (table.lookup == nullptr) {
            for (; i < end; ++i)
                lines[i] = 0.0f;
            continue;
        }
        const int linbits = table.linbits;
        const HuffmanLookup& lookup = *table.lookup;
        // A pair takes at most 19 + 2 × (13 + 1) bits: one word of 57 holds it.
        for (; i < end; i += 2) {
            const uint64_t word = reader.PeekWord();
            int used = 0;
            uint32_t pair = lookup.DecodeWord(word, used);
            int x = static_cast<int>(pair >> 4);
            int y = static_cast<int>(pair & 15);
            // Signs without branches: a value's sign bit follows it only when it is not 0.
            if (x == 15 && linbits != 0) {
                x += static_cast<int>((word << used) >> (64 - linbits));
                used += linbits;
            }
            lines[i] = Signed(power[x], (word << used) >> 63);
            used += x != 0;
            if (y == 15 && linbits != 0) {
                y += static_cast<int>((word << used) >> (64 - linbits));
                used += linbits;
            }
            lines[i + 1] = Signed(power[y], (word << used) >> 63);
            used += y != 0;
            reader.Skip(used);
        }
    }
    const HuffmanLookup& quads = GetQuadTable(g.count1Table);
    // A part said to reach past the reservoir ends with it.
    const int64_t partEnd = std::min(g.endBit, reader.Limit());
    while (i + 4 <= 576 && reader.Position() < partEnd) {
        const uint64_t word = reader.PeekWord();
        int used = 0;
        const uint32_t quad = quads.DecodeWord(word, used);
        // Without branches: the quad's bits and signs are as random as the music.
        for (int bit = 3; bit >= 0; --bit) {
            const int present = static_cast<int>((quad >> bit) & 1);
            const int negative = static_cast<int>((word << used) >> 63);
            lines[i++] = static_cast<float>(present * (1 - 2 * negative));
            used += present;
        }
        reader.Skip(used);
    }
    // A quad that ran past the part's end was never coded.
    if (reader.Position() > partEnd && i > g.bigValues) i -= 4;
    std::fill(lines + i, lines + 576, 0.0f);
    return i;
}

void LayerThreeDecoder::Requantise(const GranuleChannel& g, const ChannelScales& scales, bool mpeg1,
                                   float* lines) {
    const Tables& tables = GetTables();
    const LayerThreeBands& bands = *bands_;
    const int shift = g.scalefacScale;
    const bool shortBlock = g.blockType == 2;
    const int longBands = !shortBlock ? 22 : g.mixed ? MixedLongBands(mpeg1) : 0;
    const int shortFrom = !shortBlock ? 13 : g.mixed ? 3 : 0;
    const int gainIndex = g.globalGain + kGainOffset;
    for (int band = 0; band < longBands; ++band) {
        const int boost = g.preflag ? kPretab[band] : 0;
        const int k = (scales.longFactors[band] + boost) << shift;
        const float f = tables.gain[gainIndex] * tables.halfPower[std::min(k, kHalfPowers - 1)];
        const int end = bands.longStart[band + 1];
        for (int i = bands.longStart[band]; i < end; ++i)
            lines[i] *= f;
    }
    for (int band = shortFrom; band < 13; ++band) {
        int width = bands.shortStart[band + 1] - bands.shortStart[band];
        float* start = lines + 3 * bands.shortStart[band];
        for (int w = 0; w < 3; ++w) {
            int k = scales.shortFactors[band][w] << shift;
            const float f = tables.gain[gainIndex - 8 * g.subblockGain[w]] *
                            tables.halfPower[std::min(k, kHalfPowers - 1)];
            for (int i = 0; i < width; ++i)
                start[w * width + i] *= f;
        }
    }
}

void LayerThreeDecoder::Stereo(const MpegHeader& header, const GranuleChannel& right,
                               int rightCount) {
    const bool middleSide = (header.modeExtension & 2) != 0;
    const bool intensity = (header.modeExtension & 1) != 0;
    const bool mpeg1 = header.version == kMpeg1;
    const Tables& tables = GetTables();
    float* left = lines_[0];
    float* rightLines = lines_[1];
    const ChannelScales& scales = scales_[1];
    // Per line: -1 keeps the line (middle/side when on), else the intensity position.
    int position[576];
    std::fill(position, position + 576, -1);
    auto valid = [&](int value, int largest) {
        if (mpeg1) return value < 7;
        return value != largest;
    };
    if (intensity) {
        const LayerThreeBands& bands = *bands_;
        auto longPart = [&](int endBand, int endLine) {
            int last = std::min(rightCount, endLine) - 1;
            while (last >= 0 && rightLines[last] == 0.0f)
                --last;
            int band = 0;
            while (band < endBand && bands.longStart[band] <= last)
                ++band;
            for (; band < endBand; ++band) {
                int source = band == 21 ? 20 : band;
                int value = scales.longFactors[source];
                if (!valid(value, scales.longMax[source])) continue;
                for (int i = bands.longStart[band]; i < bands.longStart[band + 1]; ++i)
                    position[i] = value;
            }
        };
        if (right.blockType != 2) {
            longPart(22, 576);
        } else {
            const int firstShort = right.mixed ? 3 : 0;
            int highest = firstShort;
            for (int w = 0; w < 3; ++w) {
                int start = firstShort;
                for (int band = 12; band >= firstShort; --band) {
                    int width = bands.shortStart[band + 1] - bands.shortStart[band];
                    const float* p = rightLines + 3 * bands.shortStart[band] + w * width;
                    bool nonZero = false;
                    for (int i = 0; i < width; ++i)
                        nonZero = nonZero || p[i] != 0.0f;
                    if (nonZero) {
                        start = band + 1;
                        break;
                    }
                }
                highest = std::max(highest, start);
                for (int band = start; band < 13; ++band) {
                    int source = band == 12 ? 11 : band;
                    int value = scales.shortFactors[source][w];
                    if (!valid(value, scales.shortMax[source][w])) continue;
                    int width = bands.shortStart[band + 1] - bands.shortStart[band];
                    int first = 3 * bands.shortStart[band] + w * width;
                    for (int i = first; i < first + width; ++i)
                        position[i] = value;
                }
            }
            if (right.mixed && highest <= 3) longPart(MixedLongBands(mpeg1), MixedLongLines(bands));
        }
    }
    const float root = static_cast<float>(M_SQRT1_2);
    const float(*ratios)[2] =
        mpeg1 ? tables.intensity1 : tables.intensity2[right.intensityScale & 1];
    for (int i = 0; i < 576; ++i) {
        int p = position[i];
        if (p >= 0) {
            float value = left[i];
            left[i] = value * ratios[p][0];
            rightLines[i] = value * ratios[p][1];
        } else if (middleSide) {
            float m = left[i];
            float s = rightLines[i];
            left[i] = (m + s) * root;
            rightLines[i] = (m - s) * root;
        }
    }
}

void LayerThreeDecoder::Reorder(const GranuleChannel& g, float* lines) {
    if (g.blockType != 2) return;
    const LayerThreeBands& bands = *bands_;
    float copy[576];
    std::memcpy(copy, lines, sizeof copy);
    for (int band = g.mixed ? 3 : 0; band < 13; ++band) {
        int start = 3 * bands.shortStart[band];
        int width = bands.shortStart[band + 1] - bands.shortStart[band];
        for (int w = 0; w < 3; ++w)
            for (int i = 0; i < width; ++i)
                lines[start + 3 * i + w] = copy[start + w * width + i];
    }
}

void LayerThreeDecoder::DecodeGranule(const uint8_t* mainData, int64_t mainBits,
                                      const MpegHeader& header, const LayerThreeSideInfo& info,
                                      int gr, int subbands, float* const out[2]) {
    bands_ = &GetLayerThreeBands(header.version, header.sampleRateIndex);
    const bool mpeg1 = header.version == kMpeg1;
    const int channels = header.Channels();
    const bool joint = header.mode == kModeJoint && channels == 2;
    for (int ch = 0; ch < channels; ++ch) {
        const GranuleChannel& g = info.gr[gr][ch];
        BitReader reader(mainData, mainBits, g.startBit);
        if (mpeg1) {
            ReadScalesMpeg1(reader, g, info.scfsi[ch], gr, scales_[ch]);
        } else {
            bool intensityChannel = joint && ch == 1 && (header.modeExtension & 1) != 0;
            ReadScalesMpeg2(reader, g, intensityChannel, scales_[ch]);
        }
        GranuleChannel coded = g;
        if (!mpeg1 && !(joint && ch == 1 && (header.modeExtension & 1) != 0) &&
            g.scalefacCompress >= 500)
            coded.preflag = true;
        lineCount_[ch] = ReadValues(reader, coded, lines_[ch]);
        Requantise(coded, scales_[ch], mpeg1, lines_[ch]);
    }
    if (joint && header.modeExtension != 0) {
        Stereo(header, info.gr[gr][1], lineCount_[1]);
        int count = std::max(lineCount_[0], lineCount_[1]);
        lineCount_[0] = lineCount_[1] = count;
        if ((header.modeExtension & 1) != 0) lineCount_[0] = lineCount_[1] = 576;
    }
    const int longSubbands = std::max(1, MixedLongLines(*bands_) / 18);
    for (int ch = 0; ch < channels; ++ch) {
        const GranuleChannel& g = info.gr[gr][ch];
        Reorder(g, lines_[ch]);
        if (equaliserOn_) {
            float* lines = lines_[ch];
            if (g.blockType != 2) {
                for (int i = 0; i < 576; ++i)
                    lines[i] *= longGains_[i];
            } else {
                int from = g.mixed ? MixedLongLines(*bands_) : 0;
                for (int i = 0; i < from; ++i)
                    lines[i] *= longGains_[i];
                for (int i = from; i < 576; ++i)
                    lines[i] *= shortGains_[i / 3];
            }
        }
        int active = g.blockType == 2 ? 576 : lineCount_[ch];
        hybrid_.Run(ch, lines_[ch], g.blockType, g.mixed, longSubbands, active, subbands, out[ch]);
    }
}

void LayerThreeDecoder::FlushGranule(int channels, int subbands, float* const out[2]) {
    for (int ch = 0; ch < channels; ++ch)
        hybrid_.Flush(ch, subbands, out[ch]);
}
