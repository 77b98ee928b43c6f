#include "graphics2d/drawing/surface_handle.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "graphics2d/palette/palette.h"
#include "graphics2d/palette/palette_context.h"
#include "graphics2d/surfaces/null_surface.h"
#include "graphics2d/surfaces/packed_dib_surface.h"

namespace {

constexpr int32_t kWholeSurface = 0x3FFFFFFF;
constexpr size_t kInfoHeaderSize = 40;

uint32_t ReadU32(const uint8_t* p) {
    return p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void WriteU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++)
        p[i] = uint8_t(v >> (8 * i));
}

void WriteU16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

bool Paletted(const cSurface& s) {
    return s.GetDepth() >= 1 && s.GetDepth() <= 8;
}

// A 1- or 4-bit packed bitmap widened to 8 bits: a full colour table (the surface's palette
// at 8 bits, else the default colours) with the bitmap's own colours from entry 10, and
// every pixel moved up by 10. Empty when the bitmap does not fit its buffers.
std::vector<uint8_t> WidenToEightBits(const uint8_t* header, size_t headerSize,
                                      const uint8_t* pixels, size_t pixelsSize,
                                      const PaletteRecord* surfacePalette) {
    const int32_t width = int32_t(ReadU32(header + 4));
    const int32_t height = int32_t(ReadU32(header + 8));
    const uint32_t bits = header[14];
    const uint32_t full = 1u << bits;
    const uint32_t used = ReadU32(header + 32);
    const uint32_t colours = used == 0 || used > full ? full : used;
    const int64_t rows = height < 0 ? -int64_t(height) : height;
    const int64_t tableEnd = int64_t(kInfoHeaderSize) + int64_t(colours) * 4;
    const int64_t sourceStride = GetDIBStride(width, int32_t(bits));
    if (int64_t(headerSize) < tableEnd) return {};
    if (!pixels) {
        pixels = header + tableEnd;
        pixelsSize = headerSize - size_t(tableEnd);
    }
    if (sourceStride * rows > int64_t(pixelsSize)) return {};
    // The header and the table of 256 colours are written whatever the rows hold.
    const int64_t size = GetPackedDIBSize(width, int32_t(rows), 8);
    if (size < GetDIBInfoSize(8) || size > kMaxSurfaceBytes) return {};
    std::vector<uint8_t> widened(size_t(size), 0);
    uint8_t* out = widened.data();
    std::memcpy(out, header, kInfoHeaderSize);
    WriteU32(out, uint32_t(kInfoHeaderSize));
    WriteU16(out + 14, 8);
    WriteU32(out + 16, 0);
    WriteU32(out + 32, 0);
    WriteU32(out + 36, 0);
    const RawPalette& table = surfacePalette ? *surfacePalette : kDefaultPaletteTable;
    Palette_ToColorTable(out + kInfoHeaderSize, table.entries, 256);
    std::memcpy(out + kInfoHeaderSize + 40, header + kInfoHeaderSize, size_t(colours) * 4);
    const int64_t stride = GetDIBStride(width, 8);
    uint8_t* rowsOut = out + GetDIBInfoSize(8);
    for (int64_t row = 0; row < rows; row++) {
        const uint8_t* in = pixels + row * sourceStride;
        uint8_t* target = rowsOut + row * stride;
        for (int32_t x = 0; x < width; x++) {
            const uint32_t v =
                bits == 1 ? in[x >> 3] >> (7 - (x & 7)) & 1 : in[x >> 1] >> (x & 1 ? 0 : 4) & 0xF;
            target[x] = uint8_t(v + 10);
        }
    }
    return widened;
}

} // namespace

int64_t GetDIBInfoSize(int32_t depth) {
    if (depth >= 1 && depth <= 8) return int64_t(kInfoHeaderSize) + 4 * (int64_t(1) << depth);
    return depth == 16 ? 52 : int64_t(kInfoHeaderSize);
}

int64_t GetDIBStride(int32_t width, int32_t depth) {
    const int64_t bits = depth == 15 ? 16 : depth;
    return (bits * width + 31) / 32 * 4;
}

int64_t GetPackedDIBSize(int32_t width, int32_t height, int32_t depth) {
    return GetDIBInfoSize(depth) + GetDIBStride(width, depth) * height;
}

SurfaceHandle* SurfaceHandle::New() {
    return new (std::nothrow) SurfaceHandle;
}

SurfaceHandle::SurfaceHandle() : impl_(cNullSurface::Get()) {}

SurfaceHandle::~SurfaceHandle() {
    Release();
}

void SurfaceHandle::Replace(cSurface* next) {
    if (impl_ != cNullSurface::Get()) delete impl_;
    impl_ = next ? next : cNullSurface::Get();
}

cSurface* SurfaceHandle::Create(int32_t width, int32_t height, SurfaceHandle* prototype) {
    Replace(nullptr);
    lastError_ = 0;
    cSurface* made = prototype
                         ? prototype->impl_->MakeInstance(std::max(width, 1), std::max(height, 1))
                         : nullptr;
    if (!made) lastError_ = kSurfaceErrorNoMemory;
    Replace(made);
    return made;
}

void SurfaceHandle::Assign(SurfaceHandle* source, int32_t width, int32_t height) {
    if (!source || !source->IsValid()) {
        Release();
        return;
    }
    cSurface* from = source->impl_;
    cSurface* made;
    if (width == -1) {
        made = from->MakeInstance(from->GetWidth(), from->GetHeight());
        if (made) from->BlitTo(made, 0, 0, 0, 0, made->GetWidth(), made->GetHeight(), 0, 0, 0, 0);
    } else {
        made = from->MakeInstance(width, height);
        if (made)
            from->StretchBlitTo(made, 0, 0, made->GetWidth(), made->GetHeight(), 0, 0,
                                from->GetWidth(), from->GetHeight(), 0, 0, 0, 0);
    }
    if (!made) lastError_ = kSurfaceErrorNoMemory;
    Replace(made);
}

void SurfaceHandle::Release() {
    Replace(nullptr);
}

void SurfaceHandle::Attach(cSurface* implementation) {
    if (implementation == impl_) return;
    Release();
    if (implementation) impl_ = implementation;
}

int SurfaceHandle::IsValid() const {
    return impl_ != cNullSurface::Get();
}

int32_t SurfaceHandle::GetKindClass() const {
    switch (impl_->GetKind()) {
    case kSurfaceKindDIB:
    case kSurfaceKindDirectDraw:
        return 1;
    case kSurfaceKindDIBDC:
        return 2;
    default:
        return 0;
    }
}

int32_t SurfaceHandle::IsDirectDraw() const {
    return impl_->GetKind() == kSurfaceKindDirectDraw ? 2 : 0;
}

void SurfaceHandle::SetOrigin(int32_t x, int32_t y) {
    if (impl_->HasOrigin()) impl_->SetOrigin(x, y);
    originX_ = x;
    originY_ = y;
}

void SurfaceHandle::GetOrigin(POINT* origin) const {
    origin->x = originX_;
    origin->y = originY_;
}

int SurfaceHandle::GetOpSupport(int32_t index) {
    return impl_->GetOpSupport(index);
}

uint8_t* SurfaceHandle::Lock() {
    return impl_->Lock() ? impl_->GetBits()->pixels : nullptr;
}

void SurfaceHandle::Unlock() {
    impl_->Unlock();
}

void SurfaceHandle::GetClipRect(int32_t* x, int32_t* y, int32_t* width, int32_t* height) {
    impl_->GetClipRect(x, y, width, height);
    *x += originX_;
    *y += originY_;
}

void SurfaceHandle::SetClipRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    impl_->SetClipRect(x - originX_, y - originY_, width, height);
}

int SurfaceHandle::GetPixel(int32_t x, int32_t y, uint32_t* colour) {
    return impl_->GetPixel(x - originX_, y - originY_, colour);
}

int SurfaceHandle::GetPixelIndex(int32_t x, int32_t y, uint32_t* value) {
    return impl_->GetPixelRaw(x - originX_, y - originY_, value);
}

int SurfaceHandle::AttachWindow(HWND window) {
    return impl_->AttachWindow(window);
}

int SurfaceHandle::Blit(SurfaceHandle* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                        int32_t width, int32_t height, int32_t transparent, int32_t mode,
                        uint32_t param, int32_t smooth) {
    if (!destination) return 0;
    return impl_->BlitTo(destination->impl_, dx - destination->originX_, dy - destination->originY_,
                         sx - originX_, sy - originY_, width, height, transparent, mode, param,
                         smooth);
}

int SurfaceHandle::BlitWhole(SurfaceHandle* destination, int32_t dx, int32_t dy,
                             int32_t transparent, int32_t mode, uint32_t param, int32_t smooth) {
    if (!destination) return 0;
    return impl_->BlitTo(destination->impl_, dx - destination->originX_, dy - destination->originY_,
                         0, 0, GetWidth(), GetHeight(), transparent, mode, param, smooth);
}

int SurfaceHandle::CopyTo(SurfaceHandle* destination) {
    if (!destination) return 0;
    return impl_->BlitTo(destination->impl_, 0, 0, 0, 0, GetWidth(), GetHeight(), 0, 0, 0, 0);
}

int SurfaceHandle::MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width,
                            int32_t height) {
    return impl_->MoveRect(dx, dy, sx, sy, width, height);
}

int SurfaceHandle::StretchBlit(SurfaceHandle* destination, int32_t dx, int32_t dy, int32_t dw,
                               int32_t dh, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                               int32_t transparent, int32_t mode, uint32_t param, int32_t smooth) {
    if (!destination) return 0;
    return impl_->StretchBlitTo(destination->impl_, dx - destination->originX_,
                                dy - destination->originY_, dw, dh, sx - originX_, sy - originY_,
                                sw, sh, transparent, mode, param, smooth);
}

int SurfaceHandle::StretchTo(SurfaceHandle* destination, int32_t dx, int32_t dy, int32_t dw,
                             int32_t dh, int32_t transparent, int32_t mode, uint32_t param,
                             int32_t smooth) {
    return StretchBlit(destination, dx, dy, dw, dh, originX_, originY_, GetWidth(), GetHeight(),
                       transparent, mode, param, smooth);
}

int SurfaceHandle::StretchOver(SurfaceHandle* destination, int32_t smooth) {
    if (!destination) return 0;
    return impl_->StretchBlitTo(destination->impl_, 0, 0, destination->GetWidth(),
                                destination->GetHeight(), 0, 0, GetWidth(), GetHeight(), 0, 0, 0,
                                smooth);
}

int SurfaceHandle::PixelsOverlap(SurfaceHandle* other, int32_t ox, int32_t oy, int32_t x, int32_t y,
                                 int32_t width, int32_t height) {
    if (!other) return 0;
    return impl_->PixelsOverlap(other->impl_, ox, oy, x, y, width, height);
}

int SurfaceHandle::MirrorXRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    return impl_->MirrorX(x - originX_, y - originY_, width, height);
}

int SurfaceHandle::MirrorYRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    return impl_->MirrorY(x - originX_, y - originY_, width, height);
}

int SurfaceHandle::MirrorX() {
    return MirrorXRect(originX_, originY_, GetWidth(), GetHeight());
}

int SurfaceHandle::MirrorY() {
    return MirrorYRect(originX_, originY_, GetWidth(), GetHeight());
}

int SurfaceHandle::FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour) {
    return impl_->FillRect(x - originX_, y - originY_, width, height, colour);
}

int SurfaceHandle::FillRectAll(uint32_t colour) {
    return FillRect(originX_, originY_, GetWidth(), GetHeight(), colour);
}

int SurfaceHandle::ReplaceColor(uint32_t from, uint32_t to) {
    return impl_->ReplaceColor(from, to);
}

int SurfaceHandle::IsPaletted() const {
    return Paletted(*impl_) ? 1 : 0;
}

int SurfaceHandle::SetPalette(PaletteRecord* palette, int32_t remap) {
    if (IsPaletted() && impl_->SetPalette(palette, remap)) return 1;
    lastError_ = kSurfaceErrorFailed;
    return 0;
}

int SurfaceHandle::SetPaletteData(const RawPalette* palette, int32_t remap) {
    if (IsPaletted() && impl_->SetPaletteData(palette, remap)) return 1;
    lastError_ = kSurfaceErrorFailed;
    return 0;
}

PaletteRecord* SurfaceHandle::GetPalette() {
    return impl_->GetPalette();
}

int SurfaceHandle::GetPaletteEntries(PaletteEntry* entries, int32_t first, int32_t count) {
    return impl_->GetPaletteEntries(entries, first, count);
}

uint32_t SurfaceHandle::ColorToIndex(uint32_t colour) {
    return impl_->NearestIndex(colour);
}

uint32_t SurfaceHandle::IndexToColor(uint32_t index) {
    return impl_->IndexToColor(index);
}

void SurfaceHandle::RemapToPaletteOf(SurfaceHandle* other) {
    if (!other || !IsPaletted() || !other->IsPaletted()) return;
    PaletteRecord* own = impl_->GetPalette();
    PaletteRecord* theirs = other->impl_->GetPalette();
    if (!own || !theirs) return;
    uint8_t map[256];
    if (Palette_BuildMap(map, theirs, own, 1)) impl_->RemapToPaletteOf(map);
}

int SurfaceHandle::EnterFullScreen(HWND window, int32_t width, int32_t height, int32_t depth) {
    return impl_->EnterFullScreen(window, width, height, depth);
}

void SurfaceHandle::LeaveFullScreen(HWND window) {
    impl_->LeaveFullScreen(window);
}

int SurfaceHandle::WaitVSync() {
    return impl_->WaitVSync();
}

void SurfaceHandle::CopyDisplayState(SurfaceHandle* other) {
    if (!other || other->GetKindClass() != GetKindClass() ||
        other->IsDirectDraw() != IsDirectDraw())
        return;
    impl_->CopyDisplayState(other->impl_);
}

int64_t SurfaceHandle::GetPackedDIBSize() const {
    return ::GetPackedDIBSize(GetWidth(), GetHeight(), GetDepth());
}

int SurfaceHandle::ExportDIB(void* header, size_t headerSize, void* pixels, size_t pixelsSize,
                             uint32_t flags) {
    if (!header) {
        lastError_ = kSurfaceErrorBadArgument;
        return 0;
    }
    if (impl_->IsDeviceOnly() || !IsValid()) {
        lastError_ = kSurfaceErrorFailed;
        return 0;
    }
    const int32_t width = GetWidth(), height = GetHeight(), depth = GetDepth();
    const int32_t bitCount = depth == 15 ? 16 : depth;
    const int64_t infoSize = GetDIBInfoSize(depth);
    const int64_t imageSize = GetDIBStride(width, bitCount) * height;
    const bool headerOnly = flags & kExportHeaderOnly;
    const int64_t needed = infoSize + (headerOnly || pixels ? 0 : imageSize);
    if (int64_t(headerSize) < needed ||
        (!headerOnly && pixels && int64_t(pixelsSize) < imageSize)) {
        lastError_ = kSurfaceErrorBadArgument;
        return 0;
    }
    uint8_t* out = static_cast<uint8_t*>(header);
    std::memset(out, 0, kInfoHeaderSize);
    WriteU32(out, uint32_t(kInfoHeaderSize));
    WriteU32(out + 4, uint32_t(width));
    WriteU32(out + 8, uint32_t(height));
    WriteU16(out + 12, 1);
    WriteU16(out + 14, uint16_t(bitCount));
    WriteU32(out + 20, uint32_t(imageSize));
    if (depth == 16) {
        WriteU32(out + 16, 3);
        WriteU32(out + 40, 0xF800);
        WriteU32(out + 44, 0x07E0);
        WriteU32(out + 48, 0x001F);
    } else if (depth <= 8) {
        const int32_t count = 1 << depth;
        PaletteEntry entries[256] = {};
        impl_->GetPaletteEntries(entries, 0, count);
        Palette_ToColorTable(out + kInfoHeaderSize, entries, uint32_t(count));
    }
    if (headerOnly) return 1;
    cPackedDIBSurface view(header, size_t(needed), pixels, pixels ? pixelsSize : 0, 0);
    impl_->BlitTo(&view, 0, 0, 0, 0, kWholeSurface, kWholeSurface, 0, 0, 0, 0);
    return 1;
}

int SurfaceHandle::CreateFromDIB(const void* header, size_t headerSize, const void* pixels,
                                 size_t pixelsSize, uint32_t flags) {
    const auto fail = [this](uint32_t code) {
        lastError_ = code;
        return 0;
    };
    if (impl_->IsDeviceOnly()) return fail(kSurfaceErrorFailed);
    if (!header || headerSize < kInfoHeaderSize) return fail(kSurfaceErrorBadArgument);
    const uint8_t* in = static_cast<const uint8_t*>(header);
    const int32_t width = int32_t(ReadU32(in + 4));
    const int32_t height = int32_t(ReadU32(in + 8));
    const uint32_t bits = uint32_t(in[14] | in[15] << 8);
    const uint32_t compression = ReadU32(in + 16);
    if (compression != 0 && compression != 3) return fail(kSurfaceErrorFailed);
    if (bits < 8 && bits != 1 && bits != 4) return fail(kSurfaceErrorFailed);
    if (width <= 0 || height == 0 || height == INT32_MIN) return fail(kSurfaceErrorBadArgument);

    std::vector<uint8_t> widened;
    const void* dib = header;
    size_t dibSize = headerSize;
    if (bits < 8) {
        try {
            widened = WidenToEightBits(in, headerSize, static_cast<const uint8_t*>(pixels),
                                       pixelsSize, GetDepth() == 8 ? impl_->GetPalette() : nullptr);
        } catch (const std::bad_alloc&) {
            return fail(kSurfaceErrorNoMemory);
        }
        if (widened.empty()) return fail(kSurfaceErrorBadArgument);
        dib = widened.data();
        dibSize = widened.size();
        pixels = nullptr;
        pixelsSize = 0;
    }
    // The view only reads the bitmap.
    cPackedDIBSurface view(const_cast<void*>(dib), dibSize, const_cast<void*>(pixels), pixelsSize,
                           1);
    if (view.GetDepth() == 0) return fail(kSurfaceErrorBadArgument);

    PaletteRecord* bitmapPalette = view.GetPalette();
    if (!(flags & kImportKeepPalette) && IsPaletted() && Paletted(view) && bitmapPalette) {
        if (flags & kImportAdoptPalette) {
            impl_->SetPalette(bitmapPalette, 0);
        } else {
            PaletteRecord* placed = Palette_FromEntries(bitmapPalette, nullptr);
            impl_->SetPalette(placed, 0);
            if (placed != bitmapPalette) flags |= kImportKeepPalette;
            Palette_Release(placed);
        }
    }
    cSurface* target = impl_;
    std::unique_ptr<cSurface> made;
    if (view.GetWidth() != GetWidth() || view.GetHeight() != GetHeight()) {
        made.reset(impl_->MakeInstance(view.GetWidth(), view.GetHeight()));
        if (!made) return fail(kSurfaceErrorNoMemory);
        target = made.get();
    }
    view.BlitTo(target, 0, 0, 0, 0, kWholeSurface, kWholeSurface, 0, 0, 0, 0);
    if (Paletted(*target) && Paletted(view) && (flags & kImportKeepPalette) && bitmapPalette)
        target->RemapToPalette(bitmapPalette);
    if (made) Replace(made.release());
    return 1;
}

int SurfaceHandle::TextOut(const char* text, int32_t length, int32_t x, int32_t y,
                           uint32_t alignment, const RECT* clip, uint32_t colour, HFONT font,
                           int32_t direct, int32_t op, uint32_t param, int32_t smooth) {
    return impl_->TextOut(text, length, x, y, alignment, clip, colour, font, direct, op, param,
                          smooth);
}

int SurfaceHandle::DrawText(const char* text, int32_t length, RECT* rect, uint32_t format,
                            uint32_t colour, HFONT font, int32_t direct, int32_t op, uint32_t param,
                            int32_t smooth, int32_t tabLength, int32_t leftMargin,
                            int32_t rightMargin) {
    return impl_->DrawText(text, length, rect, format, colour, font, direct, op, param, smooth,
                           tabLength, leftMargin, rightMargin);
}
