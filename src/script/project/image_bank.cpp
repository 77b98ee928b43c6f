#include "script/project/image_bank.h"

#include <new>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"
#include "graphics2d/palette/palette.h"
#include "script/project/element.h"
#include "script/runtime/load_image_to_surface.h"
#include "script/runtime/screen_depth.h"

namespace {

constexpr uint32_t kPaletteBytes = 1024;
constexpr int32_t kScreenSurfaceSize = 4;

} // namespace

CImageBank::CImageBank() {
    screen_ = cImageSurface::Create(kScreenSurfaceSize, kScreenSurfaceSize, ::GetScreenDepth());
}

CImageBank::~CImageBank() {
    // The elements go first: their surfaces may hold uses of the bank's palettes.
    DeleteElements();
    ReleasePalettes();
    Palette_Release(palette_);
    delete screen_;
}

CElement* CImageBank::CreateElement() {
    return new (std::nothrow) CImageElement;
}

void CImageBank::ReleasePalettes() {
    for (uint32_t i = 0; i < paletteCount_; ++i) {
        if (palettes_ != nullptr) Palette_Release(palettes_[i]);
        if (converted_ != nullptr) Palette_Release(converted_[i]);
    }
    MemFree(&palettes_);
    MemFree(&converted_);
    paletteCount_ = 0;
    tablePosition_ = 0;
}

int CImageBank::ReadTypeHeader(HANDLE file) {
    ReleasePalettes();
    const uint32_t field = FileTell(file);
    uint8_t bytes[4];
    if (FileRead(file, bytes, sizeof bytes) != kResultOk) return 0;
    const uint32_t offset =
        bytes[0] | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    if (offset == 0) return 1;

    const uint64_t fileSize = FileGetSize(file);
    const uint64_t table = uint64_t(field) + offset;
    if (table + 4 > fileSize) return 0;
    FileSeek(file, uint32_t(table));
    if (FileRead(file, bytes, sizeof bytes) != kResultOk) return 0;
    const uint32_t count =
        bytes[0] | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    // Every palette of the table must lie in the file.
    if (uint64_t(count) * kPaletteBytes > fileSize - (table + 4)) return 0;
    if (count > 0 && (!MemCalloc(size_t(count) * sizeof(PaletteRecord*), &palettes_) ||
                      !MemCalloc(size_t(count) * sizeof(PaletteRecord*), &converted_))) {
        MemFree(&palettes_);
        SetLastBankCode(kResultOutOfMemory);
        return 0;
    }
    paletteCount_ = count;
    tablePosition_ = uint32_t(table + 4);
    FileSeek(file, field + 4);
    return 1;
}

int CImageBank::LoadPalette(int32_t index) {
    if (index < 0 || uint32_t(index) >= paletteCount_) {
        SetLastBankCode(kBankHeaderRefused);
        return 0;
    }
    if (palettes_[index] != nullptr) return 1;
    uint8_t table[kPaletteBytes];
    const uint32_t saved = FileTell(file_);
    FileSeek(file_, tablePosition_ + uint32_t(index) * kPaletteBytes);
    ResultCode result = FileRead(file_, table, sizeof table);
    FileSeek(file_, saved);
    if (result != kResultOk) {
        SetLastBankCode(result);
        return 0;
    }
    RawPalette raw{};
    raw.version = kPaletteVersion;
    raw.count = kPaletteEntryCount;
    Palette_FromColorTable(raw.entries, table, kPaletteEntryCount);
    palettes_[index] = Palette_AddRef(&raw);
    if (palettes_[index] == nullptr) {
        SetLastBankCode(kResultOutOfMemory);
        return 0;
    }
    return 1;
}

PaletteRecord* CImageBank::GetTablePalette(int32_t index) {
    return LoadPalette(index) ? palettes_[index] : nullptr;
}

PaletteRecord* CImageBank::GetConvertedPalette(int32_t index) {
    if (!LoadPalette(index)) return nullptr;
    if (converted_[index] == nullptr)
        converted_[index] = Palette_FromEntries(palettes_[index], nullptr);
    return converted_[index];
}

int32_t CImageBank::GetScreenDepth() const {
    return screen_ != nullptr ? screen_->GetDepth() : 0;
}

void CImageBank::AttachScreenPalette() {
    if (screen_ != nullptr && screen_->GetDepth() == 8 && paletteFlag_ != 0 && palette_ != nullptr)
        screen_->AttachPalette(palette_);
}

void CImageBank::PrepareForDepth(int32_t depth) {
    cImageSurface* screen = cImageSurface::Create(kScreenSurfaceSize, kScreenSurfaceSize, depth);
    if (screen == nullptr) return;
    delete screen_;
    screen_ = screen;
    AttachScreenPalette();
}

void CImageBank::SetPalette(PaletteRecord* palette, uint32_t flag) {
    Palette_AddUse(palette);
    Palette_Release(palette_);
    palette_ = palette;
    paletteFlag_ = flag;
    AttachScreenPalette();
}
