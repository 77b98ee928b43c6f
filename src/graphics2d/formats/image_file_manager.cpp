#include "graphics2d/formats/image_file_manager.h"

#include <algorithm>
#include <new>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"
#include "foundation/streams/file_in_stream.h"
#include "foundation/streams/file_out_stream.h"
#include "graphics2d/formats/anmz_handler.h"
#include "graphics2d/formats/bmp_handler.h"
#include "graphics2d/formats/fli_handler.h"
#include "graphics2d/formats/jpeg_handler.h"
#include "graphics2d/formats/pcx_handler.h"
#include "graphics2d/formats/png_handler.h"
#include "graphics2d/formats/tga_handler.h"

namespace {

constexpr uint32_t kWriteBufferSize = 4096;

uint32_t WriteDepthBit(int depth) {
    switch (depth) {
    case 8:
        return kWriteDepth8;
    case 15:
        return kWriteDepth15;
    case 16:
        return kWriteDepth16;
    case 24:
        return kWriteDepth24;
    case 32:
        return kWriteDepth32;
    default:
        return 0;
    }
}

void SeekBack(CInStream& stream, uint32_t position) {
    if (stream.Tell() != position) stream.Seek(static_cast<int32_t>(position), 0);
}

} // namespace

ImageFileManager::~ImageFileManager() {
    for (int i = 0; i < count_; i++)
        handlers_[i]->Release();
    MemFree(&handlers_);
    count_ = 0;
}

int ImageFileManager::Init(uintptr_t owner) {
    owner_ = owner;
    if (handlers_ == nullptr &&
        !MemCalloc(kTableSlots * sizeof(CImageFormatHandler*), &handlers_)) {
        return 1;
    }
    for (int i = 0; i < count_; i++)
        handlers_[i]->Release();
    count_ = 0;
    // The order is the order of asking: BMP before TGA and PCX, whose signatures are weak.
    CImageFormatHandler* made[] = {
        new (std::nothrow) CBMPHandler,  new (std::nothrow) CJPEGHandler,
        new (std::nothrow) CPNGHandler,  new (std::nothrow) CTGAHandler,
        new (std::nothrow) CANMZHandler, new (std::nothrow) CFLIHandler,
        new (std::nothrow) CPCXHandler,
    };
    for (CImageFormatHandler* handler : made) {
        if (handler != nullptr) handlers_[count_++] = handler;
    }
    return 0;
}

CImageFormatHandler* ImageFileManager::FindHandler(CInStream& stream) {
    uint32_t start = stream.Tell();
    uint32_t magic = 0;
    CImageFormatHandler* found = nullptr;
    if (stream.ReadLong(&magic) == kResultOk) {
        for (int i = 0; i < count_; i++) {
            SeekBack(stream, start);
            if (handlers_[i]->CanRead(stream, magic)) {
                found = handlers_[i]->NewInstance();
                break;
            }
        }
    }
    SeekBack(stream, start);
    return found;
}

CImageFormatHandler* ImageFileManager::FindPrototype(uint32_t formatId) const {
    for (int i = 0; i < count_; i++) {
        if (handlers_[i]->GetFormatId() == formatId) return handlers_[i];
    }
    return nullptr;
}

ImageFile::~ImageFile() {
    ReleaseHandler();
    DropReadStream();
}

void ImageFile::ReleaseHandler() {
    if (handler_ != nullptr) handler_->Release();
    handler_ = nullptr;
}

void ImageFile::DropReadStream() {
    if (ownsReadStream_) delete readStream_;
    readStream_ = nullptr;
    ownsReadStream_ = false;
}

int ImageFile::SelectFormat(uint32_t formatId) {
    CImageFormatHandler* prototype =
        manager_ != nullptr ? manager_->FindPrototype(formatId) : nullptr;
    CImageFormatHandler* instance = prototype != nullptr ? prototype->NewInstance() : nullptr;
    if (instance == nullptr) return 0;
    ReleaseHandler();
    handler_ = instance;
    prepared_ = false;
    return 1;
}

ImageResult ImageFile::OpenFile(const char* name) {
    if (readStream_ != nullptr) return kImageAlreadyOpen;
    if (name == nullptr) return kImageNoSource;
    auto* reader = new (std::nothrow) CFileInStream;
    if (reader == nullptr) return kImageNoMemory;
    if (reader->OpenFile(name) != kResultOk) {
        delete reader;
        return kImageFileNotOpened;
    }
    readStream_ = reader;
    ownsReadStream_ = true;
    return ReadHeader();
}

ImageResult ImageFile::OpenStream(CInStream* stream) {
    if (readStream_ != nullptr) return kImageAlreadyOpen;
    if (stream == nullptr) return kImageNoSource;
    readStream_ = stream;
    ownsReadStream_ = false;
    return ReadHeader();
}

ImageResult ImageFile::ReadHeader() {
    prepared_ = false;
    CInStream& stream = *readStream_;
    uint32_t start = stream.Tell();
    if (handler_ != nullptr) {
        uint32_t magic = 0;
        bool read = stream.ReadLong(&magic) == kResultOk;
        SeekBack(stream, start);
        if (!read || !handler_->CanRead(stream, magic)) ReleaseHandler();
        SeekBack(stream, start);
    }
    if (handler_ == nullptr && manager_ != nullptr) handler_ = manager_->FindHandler(stream);
    ImageResult result = kImageBadHeader;
    if (handler_ != nullptr) {
        result = handler_->Open(stream);
        if (result == kImageOk && handler_->GetDepth() < 8) result = kImageBelow8Bits;
        if (result != kImageOk) ReleaseHandler();
    }
    if (result != kImageOk) DropReadStream();
    return result;
}

ImageResult ImageFile::Prepare(int32_t width, int32_t height, int depth,
                               const ImagePalette* palette) {
    if (handler_ == nullptr || readStream_ == nullptr) return kImageNotOpen;
    if (width != handler_->GetWidth() || height != handler_->GetHeight()) return kImageSizeMismatch;
    if (depth == 0) depth = handler_->GetDepth();
    if (depth == 8 && palette == nullptr) palette = handler_->GetPalette();
    ImageResult result = handler_->SetOutputFormat(depth, palette);
    if (result == kImageOk) prepared_ = true;
    return result;
}

ImageResult ImageFile::ReadFrame(uint8_t* dest, int32_t width, int32_t height, int32_t pitch,
                                 int depth, const ImagePalette* palette, uint8_t* mask) {
    if (handler_ == nullptr || readStream_ == nullptr) return kImageNotOpen;
    if (dest == nullptr) return kImageBadArgument;
    if (!prepared_) {
        if (ImageResult result = Prepare(width, height, depth, palette)) return result;
    }
    return handler_->ReadFrame(*readStream_, dest, pitch, mask);
}

ImageResult ImageFile::ReadNextFrame(uint8_t* dest, int32_t pitch, int index) {
    if (!prepared_ || handler_ == nullptr || readStream_ == nullptr) return kImageNoHandler;
    if (!handler_->CanSeekFrames()) return kImageNotSupported;
    if (dest == nullptr) return kImageBadArgument;
    index = std::min(index, handler_->GetFrameCount() - 1);
    int current = handler_->GetCurrentFrame();
    int reads = index - current;
    if (current > index) {
        handler_->RewindFrames();
        reads = index + 1;
    }
    for (int i = 0; i < reads; i++) {
        if (ImageResult result = handler_->ReadFrame(*readStream_, dest, pitch, nullptr))
            return result;
    }
    return kImageOk;
}

void ImageFile::SeekFrame() {
    if (handler_ != nullptr && handler_->CanSeekFrames()) handler_->RewindFrames();
}

int32_t ImageFile::GetWidth() {
    return handler_ != nullptr ? handler_->GetWidth() : 0;
}
int32_t ImageFile::GetHeight() {
    return handler_ != nullptr ? handler_->GetHeight() : 0;
}
int ImageFile::GetDepth() {
    return handler_ != nullptr ? handler_->GetDepth() : 0;
}
ImagePalette* ImageFile::GetPalette() {
    return handler_ != nullptr ? handler_->GetPalette() : nullptr;
}
int ImageFile::HasAlpha() {
    return handler_ != nullptr ? handler_->HasAlpha() : 0;
}
uint32_t ImageFile::GetSupportedDepths() {
    return handler_ != nullptr ? handler_->GetWriteDepths() : 0;
}
int ImageFile::CanWriteImage() {
    return handler_ != nullptr ? handler_->CanWriteImage() : 0;
}
int ImageFile::GetFrameCount() {
    return handler_ != nullptr ? handler_->GetFrameCount() : 0;
}

uint32_t ImageFile::GetFrameDelay(int frame) {
    return handler_ != nullptr ? handler_->GetFrameDelay(frame) : 0;
}

uint32_t ImageFile::GetAnimOption1() {
    return handler_ != nullptr ? handler_->GetAnimOption1() : 0;
}
uint32_t ImageFile::GetAnimOption2() {
    return handler_ != nullptr ? handler_->GetAnimOption2() : 0;
}
int ImageFile::GetCurrentFrame() {
    return handler_ != nullptr ? handler_->GetCurrentFrame() : 0;
}

ImageResult ImageFile::SaveSurface(const char* name, const uint8_t* pixels, int32_t width,
                                   int32_t height, int depth, int32_t pitch,
                                   const ImagePalette* palette, uint32_t flags) {
    if (handler_ == nullptr) return kImageNoHandler;
    if (name == nullptr || pixels == nullptr || width <= 0 || height <= 0) return kImageBadArgument;
    uint32_t bit = WriteDepthBit(depth);
    if (bit == 0 || (handler_->GetWriteDepths() & bit) == 0) return kImageBadWriteDepth;
    auto* writer = new (std::nothrow) CFileOutStream;
    if (writer == nullptr) return kImageNoMemory;
    HANDLE file = FileCreate(name);
    if (file == INVALID_HANDLE_VALUE) {
        delete writer;
        return kImageFileNotCreated;
    }
    writer->AttachHandle(file, kWriteBufferSize);
    ImageResult result =
        handler_->WriteImage(*writer, pixels, width, height, depth, pitch, palette, flags);
    if (result == kImageOk && writer->Flush() != kResultOk) result = kImageWriteError;
    // The writer goes first: whatever it still holds belongs in the file.
    delete writer;
    FileClose(file);
    return result;
}

void ImageFile::Close() {
    prepared_ = false;
    if (handler_ != nullptr && readStream_ != nullptr) handler_->EndRead(*readStream_);
    DropReadStream();
}
