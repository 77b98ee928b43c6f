#include "audio/mpeg/frame_writer.h"

#include <algorithm>
#include <iterator>

#include "audio/mpeg/huffman_tables.h"
#include "audio/mpeg/layer3_bands.h"

namespace mpeg_test {

namespace {

constexpr int kSlen[2][16] = {{0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4},
                              {0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3}};
// MPEG-2 scale factors per partition: [compress class][long, short, mixed][partition].
constexpr int kPartitions[6][3][4] = {
    {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},
    {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
    {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}},
    {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
    {{6, 6, 6, 3}, {12, 9, 9, 6}, {6, 12, 9, 6}},
    {{8, 8, 5, 0}, {15, 12, 9, 0}, {6, 18, 9, 0}},
};
// Every big-value table there is (4 and 14 are not).
constexpr int kTables[] = {0,  1,  2,  3,  5,  6,  7,  8,  9,  10, 11, 12, 13, 15, 16,
                           17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31};

struct Part {
    BitWriter bits;
    int bigPairs = 0;
    int globalGain = 0;
    int scalefacCompress = 0;
    int intensityScale = 0;
    bool switching = false;
    int blockType = 0;
    bool mixed = false;
    int tableSelect[3] = {};
    int subblockGain[3] = {};
    int region0Count = 0;
    int region1Count = 0;
    int preflag = 0;
    int scalefacScale = 0;
    int count1Table = 0;
};

class Writer {
public:
    Writer(const LayerThreeOptions& options, std::mt19937& random)
        : options_(options), random_(random), bands_(GetLayerThreeBands(options.mpeg1 ? 0 : 1, 1)) {
    }

    std::vector<uint8_t> Frame();

private:
    int Uniform(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }
    uint32_t Bits(int count) { return count == 0 ? 0 : random_() & ((1u << count) - 1); }
    int NextTable() { return kTables[turn_++ % std::size(kTables)]; }

    void ChooseCoding(Part& part, bool intensityChannel);
    void WriteScalesMpeg1(Part& part, int gr, const int* scfsi, bool intensityChannel);
    void WriteScalesMpeg2(Part& part, bool intensityChannel);
    // Huffman values within `budget` bits of the part; few of them on an intensity channel.
    void WriteValues(Part& part, int budget, bool sparse);
    int Value(int width, int linbits, int* escape);

    const LayerThreeOptions& options_;
    std::mt19937& random_;
    const LayerThreeBands& bands_;
    size_t turn_ = 0;
};

void Writer::ChooseCoding(Part& part, bool intensityChannel) {
    part.globalGain = 110 + Uniform(50);
    part.scalefacScale = Uniform(2);
    part.count1Table = Uniform(2);
    part.preflag = options_.mpeg1 ? Uniform(2) : 0;
    if (options_.mpeg1) {
        part.scalefacCompress = Uniform(16);
    } else if (intensityChannel) {
        // The first class, with no partition of width 0 (see WriteScalesMpeg2).
        part.scalefacCompress = 36 * (1 + Uniform(4)) + 6 * (1 + Uniform(5)) + 1 + Uniform(5);
        part.intensityScale = Uniform(2);
    } else {
        part.scalefacCompress = Uniform(512);
    }
    const int kind = options_.switching ? Uniform(4) : 0;
    part.switching = kind != 0;
    if (part.switching) {
        part.blockType = kind;
        part.mixed = kind == 2 && options_.mixed && Uniform(2) != 0;
        part.tableSelect[0] = NextTable();
        part.tableSelect[1] = NextTable();
        for (int& gain : part.subblockGain)
            gain = Uniform(8);
    } else {
        for (int& table : part.tableSelect)
            table = NextTable();
        part.region0Count = Uniform(16);
        part.region1Count = Uniform(8);
    }
}

void Writer::WriteScalesMpeg1(Part& part, int gr, const int* scfsi, bool intensityChannel) {
    const int slen1 = kSlen[0][part.scalefacCompress];
    const int slen2 = kSlen[1][part.scalefacCompress];
    // Intensity positions go up to 7, which is no position; 8 to 15 are not in the standard.
    auto value = [&](int width) { return Bits(width) & (intensityChannel ? 7u : 15u); };
    if (part.blockType == 2) {
        int band = 0;
        if (part.mixed) {
            for (; band < 8; ++band)
                part.bits.Put(value(slen1), slen1);
            band = 3;
        }
        for (; band < 12; ++band)
            for (int w = 0; w < 3; ++w) {
                const int width = band < 6 ? slen1 : slen2;
                part.bits.Put(value(width), width);
            }
        return;
    }
    static constexpr int kGroupStart[5] = {0, 6, 11, 16, 21};
    for (int group = 0; group < 4; ++group) {
        if (gr == 1 && scfsi[group] != 0) continue;
        const int width = group < 2 ? slen1 : slen2;
        for (int band = kGroupStart[group]; band < kGroupStart[group + 1]; ++band)
            part.bits.Put(value(width), width);
    }
}

void Writer::WriteScalesMpeg2(Part& part, bool intensityChannel) {
    int slen[4] = {};
    int kind = 0;
    int sfc = part.scalefacCompress;
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
    const int shape = part.blockType == 2 ? (part.mixed ? 2 : 1) : 0;
    for (int p = 0; p < 4; ++p)
        for (int i = 0; i < kPartitions[kind][shape][p]; ++i) {
            // An intensity position is illegal at the partition's largest value, and
            // libmpg123 takes 7 for it as in MPEG-1: positions below both, so that the two
            // readings agree.
            const uint32_t value =
                intensityChannel ? static_cast<uint32_t>(Uniform(std::min(7, (1 << slen[p]) - 1)))
                                 : Bits(slen[p]);
            part.bits.Put(value, slen[p]);
        }
}

int Writer::Value(int width, int linbits, int* escape) {
    *escape = 0;
    int value = Uniform(5) < 2 ? 0 : Uniform(width);
    if (value == 15 && linbits != 0) *escape = static_cast<int>(Bits(linbits));
    return value;
}

void Writer::WriteValues(Part& part, int budget, bool sparse) {
    int region1 = 0;
    int region2 = 576;
    if (part.switching) {
        region1 = part.blockType == 2 ? bands_.shortStart[3] * 3 : bands_.longStart[8];
    } else {
        region1 = bands_.longStart[std::min(part.region0Count + 1, 22)];
        region2 = bands_.longStart[std::min(part.region0Count + part.region1Count + 2, 22)];
    }
    const int wanted = sparse ? Uniform(30) : Uniform(289);
    int line = 0;
    for (; line / 2 < wanted; line += 2) {
        const int table = part.tableSelect[line < region1 ? 0 : line < region2 ? 1 : 2];
        if (table == 0) continue;
        const LayerThreeTable& coding = GetLayerThreeTable(table);
        BitWriter pair;
        int escapes[2];
        const int x = Value(coding.width, coding.linbits, &escapes[0]);
        const int y = Value(coding.width, coding.linbits, &escapes[1]);
        uint32_t code = 0;
        int length = 0;
        GetLayerThreeCode(table, x * coding.width + y, &code, &length);
        pair.Put(code, length);
        for (int v = 0; v < 2; ++v) {
            const int value = v == 0 ? x : y;
            if (value == 15 && coding.linbits != 0)
                pair.Put(static_cast<uint32_t>(escapes[v]), coding.linbits);
            if (value != 0) pair.Put(Bits(1), 1);
        }
        if (part.bits.Bits() + pair.Bits() > budget) break;
        part.bits.Append(pair);
    }
    part.bigPairs = line / 2;
    const int quads = std::min(sparse ? Uniform(8) : Uniform(60), (576 - line) / 4);
    for (int q = 0; q < quads; ++q) {
        BitWriter quad;
        const int index = Uniform(16);
        uint32_t code = 0;
        int length = 0;
        GetLayerThreeCode(32 + part.count1Table, index, &code, &length);
        quad.Put(code, length);
        for (int bit = 3; bit >= 0; --bit)
            if (((index >> bit) & 1) != 0) quad.Put(Bits(1), 1);
        if (part.bits.Bits() + quad.Bits() > budget) break;
        part.bits.Append(quad);
    }
}

std::vector<uint8_t> Writer::Frame() {
    const bool mpeg1 = options_.mpeg1;
    const int channels = options_.mode == 3 ? 1 : 2;
    const int granules = mpeg1 ? 2 : 1;
    const int frameBytes = mpeg1 ? 960 : 480;
    const int sideBytes = mpeg1 ? (channels == 1 ? 17 : 32) : (channels == 1 ? 9 : 17);
    const bool intensity = options_.mode == 1 && (options_.modeExtension & 1) != 0;
    const int budget = (frameBytes - 4 - sideBytes) * 8 / (granules * channels);
    Part parts[2][2];
    for (int gr = 0; gr < granules; ++gr)
        for (int ch = 0; ch < channels; ++ch) {
            Part& part = parts[gr][ch];
            ChooseCoding(part, !mpeg1 && intensity && ch == 1);
            // Joint stereo codes both channels of a granule with the same blocks.
            if (ch == 1 && options_.mode == 1) {
                const Part& left = parts[gr][0];
                part.switching = left.switching;
                part.blockType = left.blockType;
                part.mixed = left.mixed;
                if (!part.switching) part.tableSelect[2] = NextTable();
            }
        }
    // Scale factors are shared between granules only where both have long blocks.
    int scfsi[2][4] = {};
    if (mpeg1)
        for (int ch = 0; ch < channels; ++ch)
            if (parts[0][ch].blockType != 2 && parts[1][ch].blockType != 2)
                for (int& shared : scfsi[ch])
                    shared = Uniform(2);
    for (int gr = 0; gr < granules; ++gr)
        for (int ch = 0; ch < channels; ++ch) {
            Part& part = parts[gr][ch];
            if (mpeg1)
                WriteScalesMpeg1(part, gr, scfsi[ch], intensity && ch == 1);
            else
                WriteScalesMpeg2(part, intensity && ch == 1);
            WriteValues(part, budget, intensity && ch == 1);
        }

    BitWriter frame;
    frame.Put(0xFFF, 12);
    frame.Put(mpeg1 ? 1 : 0, 1);
    frame.Put(1, 2); // Layer III
    frame.Put(1, 1); // no CRC
    frame.Put(14, 4);
    frame.Put(1, 2); // 48 or 24 kHz
    frame.Put(0, 2); // no padding, private
    frame.Put(static_cast<uint32_t>(options_.mode), 2);
    frame.Put(static_cast<uint32_t>(options_.modeExtension), 2);
    frame.Put(0, 4);
    frame.Put(0, mpeg1 ? 9 : 8);
    frame.Put(0, mpeg1 ? (channels == 1 ? 5 : 3) : (channels == 1 ? 1 : 2));
    if (mpeg1)
        for (int ch = 0; ch < channels; ++ch)
            for (int shared : scfsi[ch])
                frame.Put(static_cast<uint32_t>(shared), 1);
    for (int gr = 0; gr < granules; ++gr)
        for (int ch = 0; ch < channels; ++ch) {
            Part& part = parts[gr][ch];
            frame.Put(static_cast<uint32_t>(part.bits.Bits()), 12);
            frame.Put(static_cast<uint32_t>(part.bigPairs), 9);
            frame.Put(static_cast<uint32_t>(part.globalGain), 8);
            if (mpeg1) {
                frame.Put(static_cast<uint32_t>(part.scalefacCompress), 4);
            } else if (intensity && ch == 1) {
                frame.Put(static_cast<uint32_t>(part.scalefacCompress), 8);
                frame.Put(static_cast<uint32_t>(part.intensityScale), 1);
            } else {
                frame.Put(static_cast<uint32_t>(part.scalefacCompress), 9);
            }
            frame.Put(part.switching ? 1 : 0, 1);
            if (part.switching) {
                frame.Put(static_cast<uint32_t>(part.blockType), 2);
                frame.Put(part.mixed ? 1 : 0, 1);
                frame.Put(static_cast<uint32_t>(part.tableSelect[0]), 5);
                frame.Put(static_cast<uint32_t>(part.tableSelect[1]), 5);
                for (int gain : part.subblockGain)
                    frame.Put(static_cast<uint32_t>(gain), 3);
            } else {
                for (int table : part.tableSelect)
                    frame.Put(static_cast<uint32_t>(table), 5);
                frame.Put(static_cast<uint32_t>(part.region0Count), 4);
                frame.Put(static_cast<uint32_t>(part.region1Count), 3);
            }
            if (mpeg1) frame.Put(static_cast<uint32_t>(part.preflag), 1);
            frame.Put(static_cast<uint32_t>(part.scalefacScale), 1);
            frame.Put(static_cast<uint32_t>(part.count1Table), 1);
        }
    for (int gr = 0; gr < granules; ++gr)
        for (int ch = 0; ch < channels; ++ch)
            frame.Append(parts[gr][ch].bits);
    std::vector<uint8_t> bytes = frame.bytes();
    bytes.resize(static_cast<size_t>(frameBytes), 0);
    return bytes;
}

} // namespace

std::vector<uint8_t> LayerThreeFrames(int frames, const LayerThreeOptions& options,
                                      std::mt19937& random) {
    Writer writer(options, random);
    std::vector<uint8_t> out;
    for (int f = 0; f < frames; ++f) {
        std::vector<uint8_t> frame = writer.Frame();
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

} // namespace mpeg_test
