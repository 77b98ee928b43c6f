#include <cstring>
#include <memory>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"
#include "foundation/streams/file_in_stream.h"
#include "foundation/streams/zstream.h"
#include "graphics2d/blitter/blitter.h"
#include "graphics2d/palette/palette.h"
#include "script/interpreter/interpretor.h"
#include "script/project/element.h"
#include "script/project/image_bank.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/runtime/load_image_to_surface.h"

namespace {

constexpr uint32_t kNoPalette = 0xFFFFFFFF;
constexpr uint32_t kFlagMask = 1;
// Deflate turns a byte into at most 1032; with room for the stream's header and checksum.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr uint64_t kInflateSlack = 1024;

struct ImageRecord {
    uint16_t x;
    uint16_t y;
    uint32_t paletteIndex;
    uint16_t kind;
    uint16_t width;
    uint16_t height;
    uint16_t depth;
    uint32_t flags;
};

uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t Le32(const uint8_t* p) {
    return p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

ResultCode ReadRecord(HANDLE file, uint32_t bankVersion, ImageRecord& record) {
    uint8_t bytes[20];
    const uint32_t size = bankVersion >= project_format::kBankVersion2 ? 20 : 16;
    if (ResultCode result = FileRead(file, bytes, size)) return result;
    record.x = Le16(bytes);
    record.y = Le16(bytes + 2);
    record.paletteIndex = Le32(bytes + 4);
    record.kind = Le16(bytes + 8);
    record.width = Le16(bytes + 10);
    record.height = Le16(bytes + 12);
    record.depth = Le16(bytes + 14);
    record.flags = size == 20 ? Le32(bytes + 16) : 0;
    return kResultOk;
}

bool IsStoredDepth(uint32_t depth) {
    return depth == 1 || depth == 4 || depth == 8 || depth == 15 || depth == 16 || depth == 24 ||
           depth == 32;
}

// `bytes` bytes of the file at its position, raw or inflated, into `destination`. The
// sizes are checked against what the file holds before anything is read.
ResultCode ReadBlock(HANDLE file, uint8_t* destination, uint64_t bytes) {
    uint8_t word[4];
    if (ResultCode result = FileRead(file, word, sizeof word)) return result;
    const uint32_t packed = Le32(word);
    const uint64_t position = FileTell(file);
    const uint64_t fileSize = FileGetSize(file);
    const uint64_t left = fileSize > position ? fileSize - position : 0;
    if ((packed == 0 ? bytes : packed) > left) return kResultEndOfData;
    if (packed == 0) return bytes == 0 ? kResultOk : FileRead(file, destination, uint32_t(bytes));
    ResultCode result =
        ZStream_DecompressBuffer(destination, uint32_t(bytes), file, packed, uint32_t(bytes));
    return result == kResultBufferFull ? kResultCompressionError : result;
}

// Whether the pixel block at the handle's position can hold `bytes`: raw bytes that lie
// in the file, or packed bytes that lie in it and could inflate to that many. Asked before
// any surface is made for the block; the position is left where it was.
ResultCode CheckBlock(HANDLE file, uint64_t bytes) {
    const uint32_t position = FileTell(file);
    uint8_t word[4];
    ResultCode result = FileRead(file, word, sizeof word);
    FileSeek(file, position);
    if (result != kResultOk) return result;
    const uint32_t packed = Le32(word);
    const uint64_t fileSize = FileGetSize(file);
    const uint64_t start = uint64_t(position) + sizeof word;
    const uint64_t left = fileSize > start ? fileSize - start : 0;
    if ((packed == 0 ? bytes : packed) > left) return kResultEndOfData;
    if (packed != 0 && bytes > uint64_t(packed) * kMaxInflateRatio + kInflateSlack)
        return kResultCompressionError;
    return kResultOk;
}

// Rows of 1- or 4-bit indices (most significant bits first) as one byte per pixel.
void ExpandIndices(const SurfaceBits* target, const uint8_t* rows, int64_t pitch, int depth) {
    for (int32_t y = 0; y < target->height; ++y) {
        const uint8_t* in = rows + y * pitch;
        uint8_t* out = target->pixels + int64_t(y) * target->signedPitch;
        for (int32_t x = 0; x < target->width; ++x) {
            if (depth == 1)
                out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
            else
                out[x] = (x & 1) != 0 ? in[x >> 1] & 0x0F : in[x >> 1] >> 4;
        }
    }
}

void AttachRemapped(cImageSurface* surface, PaletteRecord* own, PaletteRecord* converted) {
    if (converted == nullptr) return;
    uint8_t map[256];
    if (converted != own && Palette_BuildMap(map, converted, own, 1) && surface->Lock()) {
        const SurfaceBits* bits = surface->GetBits();
        Surface_RemapIndices(bits, 0, 0, bits->width, bits->height, map);
        surface->Unlock();
    }
    surface->AttachPalette(converted);
}

} // namespace

cSurface* CImageElement::GetSurface() const {
    return surface_;
}

CImageElement::~CImageElement() {
    delete surface_;
    MemFree(&mask_);
}

void CImageElement::FreeData() {
    delete surface_;
    surface_ = nullptr;
    MemFree(&mask_);
}

CInStream* CImageElement::OpenStream(int) {
    SetLastBankCode(kResultReadError);
    return nullptr;
}

int CImageElement::LoadData(HANDLE file, int) {
    FreeData();
    auto* imageBank =
        bank != nullptr && bank->IsImageBank() ? static_cast<CImageBank*>(bank) : nullptr;
    ResultCode result = imageBank != nullptr ? Load(*imageBank, file) : kResultReadError;
    if (result != kResultOk) {
        FreeData();
        SetLastBankCode(result);
        return 0;
    }
    return 1;
}

ResultCode CImageElement::Load(CImageBank& imageBank, HANDLE file) {
    ImageRecord record;
    if (ResultCode result = ReadRecord(file, imageBank.GetVersion(), record)) return result;
    referenceX = record.x;
    referenceY = record.y;

    // Sizes come from the file: they are checked before memory is taken for them.
    const int32_t screenDepth = imageBank.GetScreenDepth();
    const uint64_t surfaceBytes = uint64_t(SurfacePitch(record.width, screenDepth)) * record.height;
    if (surfaceBytes > project_format::kMaxUnpackedSize) return kResultOutOfMemory;
    const bool imageFile = record.kind == project_format::kImageFileKind;
    const int storedDepth = record.depth;
    int64_t pitch = 0;
    uint64_t bytes = 0;
    if (!imageFile) {
        if (!IsStoredDepth(record.depth)) return kResultCompressionError;
        pitch = SurfacePitch(record.width, storedDepth);
        bytes = uint64_t(pitch) * record.height;
        if (bytes > project_format::kMaxUnpackedSize) return kResultOutOfMemory;
        if (ResultCode result = CheckBlock(file, bytes)) return result;
    }
    cImageSurface* surface = cImageSurface::Create(record.width, record.height, screenDepth);
    if (surface == nullptr) return kResultOutOfMemory;
    surface_ = surface;
    if (cImageSurface* screen = imageBank.GetScreenSurface())
        surface->AttachPalette(screen->GetPalette());

    if (imageFile) {
        CInterpretor* interpreter =
            bank->GetProjectFile() != nullptr ? bank->GetProjectFile()->GetInterpreter() : nullptr;
        CFileInStream stream;
        if (stream.AttachHandle(file) != kResultOk) return kResultReadError;
        if (!LoadImageToSurface(interpreter != nullptr ? interpreter->imageFileManager : nullptr,
                                stream, surface, kLoadKeepDepth | kLoadMatchPalette, &mask_))
            return kResultCompressionError;
        return kResultOk;
    }

    // Pixels of another depth are read into a surface of their own and converted; 1- and
    // 4-bit indices are widened to bytes on the way.
    const bool straight = storedDepth == screenDepth;
    std::unique_ptr<cImageSurface> temporary;
    if (!straight) {
        temporary.reset(
            cImageSurface::Create(record.width, record.height, storedDepth < 8 ? 8 : storedDepth));
        if (!temporary) return kResultOutOfMemory;
    }
    cImageSurface* filled = straight ? surface : temporary.get();
    const bool hasPalette = record.paletteIndex != kNoPalette;
    if (hasPalette && filled->GetBits()->formatIndex == kFormat8) {
        PaletteRecord* own = imageBank.GetTablePalette(int32_t(record.paletteIndex));
        if (own == nullptr) return GetLastBankCode();
        filled->AttachPalette(own);
    }

    if (!filled->Lock()) return kBankSurfaceLockFailed;
    ResultCode result;
    if (storedDepth < 8) {
        uint8_t* rows = nullptr;
        if (!MemAlloc(size_t(bytes) + 1, &rows)) {
            filled->Unlock();
            return kResultOutOfMemory;
        }
        result = ReadBlock(file, rows, bytes);
        if (result == kResultOk) ExpandIndices(filled->GetBits(), rows, pitch, storedDepth);
        MemFree(&rows);
    } else {
        result = ReadBlock(file, filled->GetBits()->pixels, bytes);
    }
    filled->Unlock();
    if (result != kResultOk) return result;

    const bool withMask = (record.flags & kFlagMask) != 0;
    if (!withMask && screenDepth == 8) {
        PaletteRecord* bankPalette = imageBank.GetPalette();
        const bool useBank = bankPalette != nullptr && imageBank.GetPaletteFlag() != 0;
        if (straight) {
            if (useBank)
                surface->AttachPalette(bankPalette);
            else if (hasPalette)
                AttachRemapped(surface, imageBank.GetTablePalette(int32_t(record.paletteIndex)),
                               imageBank.GetConvertedPalette(int32_t(record.paletteIndex)));
        } else if (bankPalette != nullptr && (useBank || storedDepth > 8)) {
            surface->AttachPalette(bankPalette);
        } else if (hasPalette) {
            surface->AttachPalette(imageBank.GetConvertedPalette(int32_t(record.paletteIndex)));
        }
    }
    if (!straight) {
        if (!surface->Lock() || !temporary->Lock()) return kBankSurfaceLockFailed;
        const SurfaceBits* source = temporary->GetBits();
        source->formatOps->ConvertCopy(surface->GetBits(), 0, 0, source, 0, 0, source->width,
                                       source->height);
        temporary->Unlock();
        surface->Unlock();
    }

    if (withMask) {
        const uint64_t maskBytes = uint64_t(record.width) * record.height;
        if (maskBytes > project_format::kMaxUnpackedSize ||
            !MemAlloc(size_t(maskBytes) + 1, &mask_))
            return kResultOutOfMemory;
        std::memset(mask_, 0xFF, size_t(maskBytes));
        if (ResultCode maskResult = ReadBlock(file, mask_, maskBytes)) return maskResult;
    }
    return kResultOk;
}
