// MPEG-1, 2 and 2.5 audio of Layers I, II and III read from another stream and delivered as
// interleaved PCM, one block of 1152 samples per channel (at full rate) at a time. The
// stream finds and checks the frames, keeps the Layer III bit reservoir, and knows its
// length and seeks from the mean bit rate of the first frames.
#pragma once

#include <cstdint>

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
    // A whole block into `out` (null: filter state only); false when no block is left.
    bool DecodeBlock(uint8_t* out);
    bool DecodeLayerThreeFrame(int firstSlot, bool decode);
    // Reads the side information and appends the frame's main data to the reservoir.
    bool FeedReservoir();
    void SetLineGains(const float* gains);
    void SetupLayer(int64_t bitRate);
    void RebuildReservoir(int64_t shortfall);
    void ResetInput();

    BufferedStream* input_ = nullptr;
    bool randomAccess_ = false;
    alignas(16) uint8_t inputBuffer_[kInputSize + kBitReaderPadding] = {};
    int held_ = 0;
    int64_t bitPosition_ = 0;
    bool inputEnded_ = false;

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
    int probeSampleRate_ = 0;

    int slotSize_ = 1;
    int64_t wholeSlots_ = 0;
    int64_t remainder_ = 0;
    int64_t divisor_ = 1;
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
