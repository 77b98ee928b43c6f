// MPEG-1, 2 and 2.5 audio of Layers I, II and III read from another stream and delivered as
// interleaved PCM, one block of 1152 samples per channel (at full rate) at a time. The
// stream finds and checks the frames, keeps the Layer III bit reservoir, and knows its
// length from an Info, Xing or VBRI frame (which does not play), else from the mean bit
// rate of the first frames. Seeks walk the frame headers, so they land on the frame that
// holds the time asked whatever the bit rate. lame's encoder delay and padding are trimmed.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/mpeg/layer12_decoder.h"
#include "audio/mpeg/layer3_decoder.h"
#include "audio/mpeg/layer3_side_info.h"
#include "audio/mpeg/mpeg_header.h"
#include "audio/mpeg/output_stage.h"
#include "audio/streams/buffered_stream.h"

class MpegAudioStream final : public BufferedStream {
public:
    // The Control codes of the output options, beside the codes of every stream.
    enum : int {
        kControlAtEnd = 49,
        kControlGain = 4096,
        kControlMatrix = 4097,
        kControlBandGains = 4098,
        kControlLineGains = 4099,
        kControlSetFastSeek = 4100,
        kControlFastSeek = 4101,
    };

    MpegAudioStream();
    ~MpegAudioStream() override;

    // 0, or -1 when the input holds no MPEG audio. `reduction` 0..2 halves the rate once or
    // twice; `channels` 0 keeps the source's, 1 and 2 convert, -2 gives two from any source.
    int Open(BufferedStream* input, int* sampleRate, bool* stereo, bool sixteenBits, int reduction,
             int channels);
    void Close() override;
    int32_t RawRead(void* buffer, int32_t count) override;
    int32_t RawPeek(void* buffer, int32_t count) override;
    int64_t RawSeek(int64_t position) override;
    // `pointer` is the address of the code's data for 4096 to 4099.
    int64_t Control(int code, int64_t pointer, int64_t value) override;

    int Layer() const { return firstLayer_; }
    int Version() const { return firstVersion_; }
    int64_t TotalBlocks() const { return totalBlocks_; }
    int BlockBytes() const { return blockBytes_; }

private:
    static constexpr int kInputSize = 16384;
    static constexpr int kReservoirSize = 4096;

    bool Probe();
    void FillBuffer();
    bool FindSync();
    bool ReadHeader(bool first);
    // Whether the header at `at` in the buffer is followed, at its frame's length, by another
    // of the same version, layer and sampling frequency (or by the end of the data).
    bool Confirmed(int at, const MpegHeader& header);
    // An Info, Xing or VBRI frame just read gives the length and goes; false for audio.
    bool SkipTagFrame();
    // Walks the headers until the start of `block` is known; false when the data ends first.
    bool IndexTo(int64_t block);
    // Positions the input on the start of a known block.
    void GoToBlock(int64_t block);
    int FramesPerBlock() const;
    // A whole block into `out` (null: filter state only); false when no block is left.
    bool DecodeBlock(uint8_t* out);
    bool DecodeLayerThreeFrame(int firstSlot, bool decode);
    // Reads the side information and appends the frame's main data to the reservoir.
    bool FeedReservoir();
    void SetLineGains(const float* gains);
    void SetupLayer(int64_t bitRate);
    void RebuildReservoir(int64_t shortfall);
    void ResetInput(int64_t at);

    BufferedStream* input_ = nullptr;
    bool randomAccess_ = false;
    alignas(16) uint8_t inputBuffer_[kInputSize + kBitReaderPadding] = {};
    int held_ = 0;
    int64_t bitPosition_ = 0;
    bool inputEnded_ = false;
    // The input offset of inputBuffer_[0].
    int64_t bufferStart_ = 0;
    // Where the next header must start to be in sync (-1: sync lost, headers need a second).
    int64_t expectedHeader_ = -1;
    // The buffer's bit position just past the frame whose header was read last.
    int64_t frameEndBit_ = 0;
    // Audio frames read since the first, and the input offset of each block's first frame.
    int64_t frameNumber_ = 0;
    std::vector<int64_t> blockStarts_;

    MpegHeader header_;
    int firstVersion_ = 0;
    int firstLayer_ = 0;
    int firstRateIndex_ = 0;
    int firstChannelClass_ = 0;
    bool firstBlock_ = false;
    // Close seeks the base to where it stands: nothing to decode then.
    bool closing_ = false;
    int64_t firstFrameOffset_ = 0;
    int64_t probeBitRate_ = 0;
    // The size of every frame of a stream that never pads; 0 otherwise.
    int probeFrameBytes_ = 0;
    int probeSampleRate_ = 0;

    int64_t preroll_ = 0;
    bool fastSeek_ = false;

    alignas(16) uint8_t block_[2 * 4 * 1152] = {};
    int blockBytes_ = 0;
    int readOffset_ = 0;
    // Whether block_ holds the last block decoded (a whole block may go straight out).
    bool blockInBuffer_ = false;
    int64_t blocksDecoded_ = 0;
    int64_t totalBlocks_ = 0;
    bool ended_ = false;
    // Output bytes in decoding order: the next to deliver, those trimmed at the start
    // (encoder delay), and the end (-1: the data's end, padding not known).
    int64_t produced_ = 0;
    int64_t leadBytes_ = 0;
    int64_t endBytes_ = -1;
    // From an Info, Xing or VBRI frame: audio frames (0: none), lame's delay and padding.
    int64_t tagFrames_ = 0;
    int tagDelay_ = -1;
    int tagPadding_ = 0;

    alignas(16) uint8_t reservoir_[kReservoirSize + kBitReaderPadding] = {};
    int reservoirBytes_ = 0;

    int sourceChannels_ = 2;
    int requestedChannels_ = 0;
    int reduction_ = 0;
    int bytesPerSample_ = 2;
    LayerThreeSideInfo sideInfo_;
    LayerThreeDecoder layerThree_;
    LayerOneTwoDecoder layerOneTwo_;
    OutputStage output_;
    alignas(32) float subbands_[2][1152] = {};
};
