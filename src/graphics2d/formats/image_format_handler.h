// The base of every image file format. One object per format is registered with the image
// file manager as a prototype; opening a file makes a fresh instance of the matching format.
// The base keeps the decoded image's geometry, palette and animation state and turns decoded
// rows into the pixel format the caller asked for (the output format).
//
// Every handler reads untrusted bytes: reads and writes stay inside the picture, the
// caller's rows and the buffers the handler allocated, whatever the file says.
#pragma once

#include <cstdint>
#include <cstring>

#include "foundation/streams/in_stream.h"
#include "foundation/streams/out_stream.h"
#include "graphics2d/palette/palette.h"
#include "platform/kernel/win_types.h"
#include "platform/user/window_geometry.h"

// Result codes of the image file layer, apart from the foundation's 0x4000000x codes.
using ImageResult = uint32_t;
inline constexpr ImageResult kImageOk = 0;
inline constexpr ImageResult kImageNoMemory = 1;
inline constexpr ImageResult kImageFileNotOpened = 2;
inline constexpr ImageResult kImageFileNotCreated = 3;
inline constexpr ImageResult kImageWriteError = 4;
// No handler accepts the data, or the header is short or refused.
inline constexpr ImageResult kImageBadHeader = 5;
// A variant of the format (or a size) that the handler does not support.
inline constexpr ImageResult kImageUnsupportedVariant = 6;
inline constexpr ImageResult kImageNoSource = 7;
inline constexpr ImageResult kImageNotSupported = 8;
// No handler or no stream for a read.
inline constexpr ImageResult kImageNotOpen = 9;
inline constexpr ImageResult kImageBadWriteDepth = 10;
// Pixel data short, or a library error while decoding or writing.
inline constexpr ImageResult kImageDataError = 11;
inline constexpr ImageResult kImageBelow8Bits = 12;
inline constexpr ImageResult kImageSizeMismatch = 13;
inline constexpr ImageResult kImageBadArgument = 14;
// No handler, or nothing open, for the operation.
inline constexpr ImageResult kImageNoHandler = 15;
inline constexpr ImageResult kImagePaletteMissing = 16;
inline constexpr ImageResult kImageAlreadyOpen = 17;
inline constexpr ImageResult kImageNoMoreFrames = 18;

// Bits of the write-depth mask (GetWriteDepths) and of SaveSurface's depth check.
inline constexpr uint32_t kWriteDepth8 = 0x04;
inline constexpr uint32_t kWriteDepth15 = 0x08;
inline constexpr uint32_t kWriteDepth16 = 0x10;
inline constexpr uint32_t kWriteDepth24 = 0x20;
inline constexpr uint32_t kWriteDepth32 = 0x40;
inline constexpr uint32_t kWriteDepthsAll = 0x7C;

// The bytes of one decoded picture (row bytes at the stored depth times the height) may
// not exceed this; larger pictures are refused as an unsupported variant.
inline constexpr uint64_t kMaxImageBytes = 0x7FFFFFFF;

// An image's colours and a caller's target palette: the logical-palette layout of the
// palette records, so a surface's record can be passed where one is asked for.
using ImagePalette = RawPalette;

// Four-character format ids read as a little-endian u32 ("BMP " and so on).
constexpr uint32_t MakeFormatId(char a, char b, char c, char d) {
    return static_cast<uint8_t>(a) | static_cast<uint8_t>(b) << 8 | static_cast<uint8_t>(c) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

class CImageFormatHandler {
public:
    CImageFormatHandler() = default;
    CImageFormatHandler(const CImageFormatHandler&) = delete;
    CImageFormatHandler& operator=(const CImageFormatHandler&) = delete;

    virtual ~CImageFormatHandler();
    // Deletes the object (callers check for null first).
    virtual void Release();
    // A new, empty object of the same format; null when memory fails.
    virtual CImageFormatHandler* NewInstance() = 0;
    virtual uint32_t GetFormatId() = 0;
    // The texts of the string table; 0 without a buffer or without an id, else the bytes
    // copied (LoadStringA).
    virtual int GetName(HINSTANCE module, char* buffer, int size);
    virtual int GetDescription(HINSTANCE module, char* buffer, int size);
    virtual int GetExtension(HINSTANCE module, char* buffer, int size);
    virtual uint32_t GetWriteDepths();
    // Compression setting of writers that have one, 0 ... 100; negative means the default.
    virtual void SetQuality(int quality);
    // Whether the stream holds this format; magic is its first four bytes, little-endian.
    // May move the stream (the manager puts it back).
    virtual int CanRead(CInStream& stream, uint32_t magic) = 0;
    virtual int IsStillFormat();
    virtual int IsAnimationFormat();
    virtual int CanWriteImage();
    virtual int CanWriteAnimation();
    // Reads the header from the stream's current position: geometry, depth, palette,
    // frame count.
    virtual ImageResult Open(CInStream& stream) = 0;
    // Decodes the next image or frame into dest (rows pitch bytes apart; the pitch may be
    // negative) in the output format. mask, when not null, receives the alpha plane of
    // images that have one: a byte per pixel, rows width bytes apart, row r of the mask
    // belonging to row r of dest.
    virtual ImageResult ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch,
                                  uint8_t* mask) = 0;
    // Writes one still image; answers 8 in the base.
    virtual ImageResult WriteImage(COutStream& stream, const uint8_t* pixels, int32_t width,
                                   int32_t height, int depth, int32_t pitch,
                                   const ImagePalette* palette, uint32_t flags);
    virtual void EndRead(CInStream& stream);
    virtual void EndWrite(COutStream& stream);
    virtual int32_t GetWidth();
    virtual int32_t GetHeight();
    virtual int32_t GetPitch();
    virtual int GetDepth();
    // Pitch times height.
    virtual uint64_t GetImageSize();
    virtual ImagePalette* GetPalette();
    virtual int HasAlpha();
    // Chooses the output format of ReadFrame: depth 8, 15, 16, 24 or 32; for depth 8 the
    // palette the output indexes (at most 256 entries). 0, 1 (no memory) or 14.
    virtual ImageResult SetOutputFormat(int depth, const ImagePalette* palette);
    virtual int CanSeekFrames();
    virtual int GetFrameCount();
    // Index of the frame last read; -1 before the first in animated formats.
    virtual int GetCurrentFrame();
    virtual void GetFrameRect(RECT* rect);
    virtual const void* GetUserData();
    virtual uint32_t GetUserDataSize();
    virtual uint32_t GetTotalTime();
    virtual uint32_t GetFrameDelay(int frame);
    virtual uint32_t GetAnimOption1();
    virtual uint32_t GetAnimOption2();
    // Back before the first frame.
    virtual void RewindFrames();
    // Animation writing; the base answers 8.
    virtual ImageResult BeginWrite(COutStream& stream, int32_t width, int32_t height, int depth,
                                   int frameCount, uint32_t defaultDelay, uint32_t option1,
                                   uint32_t option2, const void* userData, uint32_t userDataSize);
    // depth is the caller's; writers that fixed a depth in BeginWrite may ignore it.
    virtual ImageResult WriteFrame(COutStream& stream, const uint8_t* previous,
                                   const uint8_t* image, int32_t width, int32_t height,
                                   int32_t pitch, int depth, const ImagePalette* palette,
                                   uint32_t delay, uint32_t flags);
    virtual void EndWriteFrames(COutStream& stream, uint32_t delay);

protected:
    // Takes a stream's bytes through a block buffer, for decoders that consume a few bytes
    // at a time. The stream ends up past the bytes buffered, not past those taken.
    class ByteReader {
    public:
        explicit ByteReader(CInStream& stream) : stream_(stream) {}
        ByteReader(const ByteReader&) = delete;
        ByteReader& operator=(const ByteReader&) = delete;

        // 1, or 0 (nothing stored) when the data ends first.
        int Byte(uint8_t* value) {
            if (cursor_ == end_ && !Fill()) return 0;
            *value = *cursor_++;
            return 1;
        }
        // All count bytes, or 0 when the data ends first (dest then partly written).
        int Bytes(void* dest, uint32_t count) {
            if (static_cast<uint32_t>(end_ - cursor_) < count) return BytesAcrossFills(dest, count);
            std::memcpy(dest, cursor_, count);
            cursor_ += count;
            return 1;
        }

    private:
        int Fill();
        int BytesAcrossFills(void* dest, uint32_t count);

        CInStream& stream_;
        uint8_t* cursor_ = nullptr;
        uint8_t* end_ = nullptr;
        uint8_t buffer_[4096];
    };

    // Bytes per pixel and row bytes (unpadded, at the stored depth) from width and depth.
    // 0, leaving them unchanged, when width or height is not positive or the picture would
    // exceed kMaxImageBytes; 1 otherwise.
    int ComputeRowBytes();
    // Makes the image palette on first use (zero-filled, version 0x300) or clears its
    // entries, and sets the entry count (at most 256). 1, or 0 when memory fails.
    int AllocPalette(int count);
    // Converts count pixels of one decoded row (stored depth) into dest (output depth)
    // with the state SetOutputFormat prepared. 24- and 32-bit pixels lie as blue, green,
    // red (and a fourth byte, which is left as it was when the output is 32 bits and the
    // image is not).
    void ConvertRow(uint8_t* dest, const uint8_t* src, int count);
    // Index of the palette entry nearest to the colour.
    static int FindNearestEntry(const ImagePalette* palette, int red, int green, int blue);

    int NeedsConversion() const { return conversionNeeded_; }
    int GetOutputDepth() const { return outputDepth_; }
    int GetOutputBytesPerPixel() const { return outputBytesPerPixel_; }

    UINT nameId_ = 0;
    UINT extensionId_ = 0;
    UINT descriptionId_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    // Bits per pixel of the stored image: 1, 4, 8, 15, 16, 24 or 32.
    int depth_ = 0;
    int32_t rowBytes_ = 0;
    // Bytes of one stored row including the format's padding.
    int32_t pitch_ = 0;
    int bytesPerPixel_ = 0;
    int hasAlpha_ = 0;
    int frameCount_ = 1;
    int currentFrame_ = 0;
    uint32_t frameDelay_ = 0;
    uint32_t totalTime_ = 0;
    ImagePalette* palette_ = nullptr;

private:
    ImageResult PrepareTables();
    ImageResult PrepareIndexMap();
    // The target index of a 5-6-5 key, looked up with the colour given on first use.
    uint8_t ColorTableLookup(uint32_t key, uint32_t red, uint32_t green, uint32_t blue);
    void FreeConversionTables();

    int conversionNeeded_ = 0;
    int targetChanged_ = 0;
    int outputDepth_ = 0;
    int outputBytesPerPixel_ = 0;
    ImagePalette* target_ = nullptr;
    ImagePalette* sourceCopy_ = nullptr;
    uint8_t* indexMap_ = nullptr;
    uint8_t* colorTable_ = nullptr;
};
