#include "audio/mpeg/layer3_side_info.h"

#include <algorithm>

#include "audio/mpeg/layer3_bands.h"

void ReadLayerThreeSideInfo(BitReader& reader, const MpegHeader& header, LayerThreeSideInfo& info) {
    const bool mpeg1 = header.version == kMpeg1;
    const int channels = header.Channels();
    const LayerThreeBands& bands = GetLayerThreeBands(header.version, header.sampleRateIndex);
    info.mainDataBegin = static_cast<int>(reader.Read(mpeg1 ? 9 : 8));
    reader.Skip(mpeg1 ? (channels == 1 ? 5 : 3) : (channels == 1 ? 1 : 2));
    info.granules = mpeg1 ? 2 : 1;
    for (int ch = 0; ch < 2; ++ch)
        for (int band = 0; band < 4; ++band)
            info.scfsi[ch][band] = 0;
    if (mpeg1)
        for (int ch = 0; ch < channels; ++ch)
            for (int band = 0; band < 4; ++band)
                info.scfsi[ch][band] = static_cast<int>(reader.ReadBit());
    int64_t bit = 0;
    for (int gr = 0; gr < info.granules; ++gr)
        for (int ch = 0; ch < channels; ++ch) {
            GranuleChannel& g = info.gr[gr][ch];
            g = GranuleChannel{};
            int length = static_cast<int>(reader.Read(12));
            g.startBit = bit;
            bit += length;
            g.endBit = bit;
            // More than 288 pairs would run past the 576 lines.
            g.bigValues = std::min(static_cast<int>(reader.Read(9)), 288) * 2;
            g.globalGain = static_cast<int>(reader.Read(8));
            bool intensityChannel =
                !mpeg1 && ch == 1 && header.mode == kModeJoint && (header.modeExtension & 1) != 0;
            if (mpeg1) {
                g.scalefacCompress = static_cast<int>(reader.Read(4));
            } else if (intensityChannel) {
                g.scalefacCompress = static_cast<int>(reader.Read(8));
                g.intensityScale = static_cast<int>(reader.ReadBit());
            } else {
                g.scalefacCompress = static_cast<int>(reader.Read(9));
            }
            int region1Band = 0;
            int region2Line = 576;
            if (reader.ReadBit() != 0) {
                g.blockType = static_cast<int>(reader.Read(2));
                g.mixed = reader.ReadBit() != 0;
                g.tableSelect[0] = static_cast<int>(reader.Read(5));
                g.tableSelect[1] = static_cast<int>(reader.Read(5));
                for (int w = 0; w < 3; ++w)
                    g.subblockGain[w] = static_cast<int>(reader.Read(3));
                if (g.blockType == 2)
                    g.region1Start = bands.shortStart[3] * 3;
                else
                    g.region1Start = bands.longStart[8];
            } else {
                for (int i = 0; i < 3; ++i)
                    g.tableSelect[i] = static_cast<int>(reader.Read(5));
                int region0Count = static_cast<int>(reader.Read(4));
                int region1Count = static_cast<int>(reader.Read(3));
                region1Band = std::min(region0Count + 1, 22);
                g.region1Start = bands.longStart[region1Band];
                region2Line = bands.longStart[std::min(region0Count + region1Count + 2, 22)];
            }
            g.region2Start = region2Line;
            g.region1Start = std::min(g.region1Start, g.bigValues);
            g.region2Start = std::min(g.region2Start, g.bigValues);
            if (mpeg1) g.preflag = reader.ReadBit() != 0;
            g.scalefacScale = static_cast<int>(reader.ReadBit());
            g.count1Table = static_cast<int>(reader.ReadBit());
        }
}
