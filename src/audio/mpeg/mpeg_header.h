// The four-byte header that starts every MPEG audio frame, and what follows from it.
#pragma once

#include <cstdint>

enum MpegVersion : int { kMpeg1 = 0, kMpeg2 = 1, kMpeg25 = 2 };
enum MpegLayer : int { kLayer1 = 0, kLayer2 = 1, kLayer3 = 2 };
enum MpegMode : int { kModeStereo = 0, kModeJoint = 1, kModeDual = 2, kModeMono = 3 };

struct MpegHeader {
    int version = 0;
    int layer = 0;
    bool crc = false;
    int bitRateIndex = 0;
    int sampleRateIndex = 0;
    int padding = 0;
    int mode = 0;
    int modeExtension = 0;

    int Channels() const { return mode == kModeMono ? 1 : 2; }
    // Joint stereo counts as stereo: a file never switches between one and two channels.
    int ChannelClass() const { return mode == kModeMono ? 1 : 0; }
    // In Hz; the frame's own rate, already lowered for MPEG-2 and 2.5.
    int SampleRate() const;
    // In bit/s; 0 for free format and the forbidden index.
    int BitRate() const;
    // Whole frame in bytes, header included; 0 without a bit rate.
    int FrameBytes() const;
    // Layer III side information in bytes.
    int SideInfoBytes() const;
};

// Sampling frequency of an index at MPEG-1 (44100, 48000, 32000, 0).
int MpegBaseSampleRate(int index);
// kbit/s; rows MPEG-1 Layer I to III then MPEG-2 Layer I to III, index 0 and 15 give 0.
int MpegBitRateKbps(int version, int layer, int index);

// Reads the header's fields from four bytes; false when they are no valid header (no sync,
// a reserved version or layer, MPEG-2.5 other than Layer III, rate index 3).
bool ParseMpegHeader(const uint8_t* bytes, MpegHeader& header);
