// The image file manager owns one prototype of each image format handler and finds the
// handler for a stream by its first bytes. An ImageFile is one open image: a stream, a
// handler instance and the caller's wishes for the output format; it reads the image or
// its frames into caller memory and saves caller pixels in a chosen format.
#pragma once

#include <cstdint>

#include "foundation/streams/in_stream.h"
#include "graphics2d/formats/image_format_handler.h"

class ImageFileManager {
public:
    ImageFileManager() = default;
    ImageFileManager(const ImageFileManager&) = delete;
    ImageFileManager& operator=(const ImageFileManager&) = delete;
    ~ImageFileManager();

    // Creates the handlers in the order they are asked: BMP, JPEG, PNG, TGA, ANMZ,
    // FLI/FLC, PCX. 1 when the table cannot be allocated, else 0.
    int Init(uintptr_t owner);
    // A new instance of the first handler that accepts the stream, or null. The stream's
    // position is left where it was.
    CImageFormatHandler* FindHandler(CInStream& stream);
    // The prototype with this format id, or null.
    CImageFormatHandler* FindPrototype(uint32_t formatId) const;

    uintptr_t GetOwner() const { return owner_; }
    int GetHandlerCount() const { return count_; }

private:
    static constexpr int kTableSlots = 9;

    uintptr_t owner_ = 0;
    CImageFormatHandler** handlers_ = nullptr;
    int count_ = 0;
};

class ImageFile {
public:
    explicit ImageFile(ImageFileManager* manager) : manager_(manager) {}
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;
    ~ImageFile();

    // Replaces the current handler by a new instance of the format; 1 on success, 0 when
    // no prototype has the id or memory fails. Opening then tries that format first.
    int SelectFormat(uint32_t formatId);
    // Opens the named file with a buffered reader of its own and reads the header.
    ImageResult OpenFile(const char* name);
    // Reads the header from the caller's stream, which stays the caller's.
    ImageResult OpenStream(CInStream* stream);
    // Sets the output format: width and height must be the image's; depth 0 means the
    // image's own; for depth 8 a null palette means the image's own.
    ImageResult Prepare(int32_t width, int32_t height, int depth, const ImagePalette* palette);
    // Decodes the next image or frame, preparing the output format first when needed.
    ImageResult ReadFrame(uint8_t* dest, int32_t width, int32_t height, int32_t pitch, int depth,
                          const ImagePalette* palette, uint8_t* mask);
    // Brings an animation to the frame of the given index (clamped to the last frame),
    // reading forward or rewinding as needed. Needs a prepared output format.
    ImageResult ReadNextFrame(uint8_t* dest, int32_t pitch, int index);
    // Rewinds an animation to before its first frame.
    void SeekFrame();

    // Each 0 without a handler.
    int32_t GetWidth();
    int32_t GetHeight();
    int GetDepth();
    ImagePalette* GetPalette();
    int HasAlpha();
    uint32_t GetSupportedDepths();
    int CanWriteImage();
    int GetFrameCount();
    uint32_t GetFrameDelay(int frame);
    uint32_t GetAnimOption1();
    uint32_t GetAnimOption2();
    int GetCurrentFrame();

    // Writes the pixels (rows pitch bytes apart) to the named file in the selected format.
    ImageResult SaveSurface(const char* name, const uint8_t* pixels, int32_t width, int32_t height,
                            int depth, int32_t pitch, const ImagePalette* palette, uint32_t flags);
    // Ends reading, deletes the stream when it owns it and detaches it.
    void Close();

    CImageFormatHandler* GetHandler() const { return handler_; }

private:
    ImageResult ReadHeader();
    void ReleaseHandler();
    void DropReadStream();

    ImageFileManager* manager_;
    CInStream* readStream_ = nullptr;
    bool ownsReadStream_ = false;
    bool prepared_ = false;
    CImageFormatHandler* handler_ = nullptr;
};
