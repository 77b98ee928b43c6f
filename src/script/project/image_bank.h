// Image banks: besides the directory, the table of 256-colour palettes that 8-bit images
// use, and a small surface in the screen's format that the elements are made like.
#pragma once

#include <cstdint>

#include "script/project/bank.h"

class cImageSurface;
struct PaletteRecord;

class CImageBank : public CBank {
public:
    // Builds the screen surface for GetScreenDepth().
    CImageBank();
    // Releases the bank palette and every palette of the table.
    ~CImageBank() override;

    CElement* CreateElement() override;
    // Reads the palette-table offset; with a table, checks that its count of palettes lies
    // in the file and remembers where they start. The handle is left where the directory
    // continues.
    int ReadTypeHeader(HANDLE file) override;
    int IsImageBank() override { return 1; }

    // Rebuilds the screen surface in the format of that depth.
    void PrepareForDepth(int32_t depth);
    // The palette of the bank's entry and whether it serves 8-bit screens.
    void SetPalette(PaletteRecord* palette, uint32_t flag);
    // Reads palette `index` of the table (once). 1, or 0 with the last bank code set
    // (10000 for an index outside the table).
    int LoadPalette(int32_t index);

    // The depth new elements are made in.
    int32_t GetScreenDepth() const;
    cImageSurface* GetScreenSurface() const { return screen_; }
    PaletteRecord* GetPalette() const { return palette_; }
    uint32_t GetPaletteFlag() const { return paletteFlag_; }
    uint32_t GetPaletteCount() const { return paletteCount_; }
    // Palette `index` of the table, read on first use; null when it cannot be had.
    PaletteRecord* GetTablePalette(int32_t index);
    // The same palette with the screen's static colours in place, for 8-bit screens; null
    // when it cannot be had.
    PaletteRecord* GetConvertedPalette(int32_t index);

private:
    void ReleasePalettes();
    void AttachScreenPalette();

    cImageSurface* screen_ = nullptr;
    PaletteRecord* palette_ = nullptr;
    uint32_t paletteFlag_ = 0;
    // File position of the first palette of the table.
    uint32_t tablePosition_ = 0;
    uint32_t paletteCount_ = 0;
    PaletteRecord** palettes_ = nullptr;
    PaletteRecord** converted_ = nullptr;
};
