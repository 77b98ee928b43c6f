// What the packer writes: a project as plain values, built by the manifest reader (or by a
// test) and turned into project data by WriteProjectData.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// 256 entries of {blue, green, red, reserved}, the order of stored palettes.
using PackPalette = std::array<uint8_t, 1024>;

// The thread default palette of the 2D library in stored order: the palette an entry gets
// when its manifest names none.
PackPalette DefaultPackPalette();

struct PackElement {
    enum class Kind {
        Data,      // binary, source, sound, music, 3D, string and animation elements
        ImageFile, // image element whose pixels are an image file, stored as it is
        RawImage,  // image element with pixel rows in the surface layout of its depth
    };

    Kind kind = Kind::Data;
    std::string name;
    std::string folder;
    // The element's data, an image file's bytes or the pixel rows (pitch × height bytes).
    std::vector<uint8_t> data;
    // Deflate the data (ignored for image files, which are stored as they are).
    bool packed = false;

    // Animation elements: the two 16-bit header fields.
    uint16_t field1 = 0;
    uint16_t field2 = 0;

    // Image elements.
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t depth = 0;
    // Index into the bank's palette table, or none.
    std::optional<uint32_t> paletteIndex;
    // width × height bytes, one per pixel; empty means no mask.
    std::vector<uint8_t> mask;
};

struct PackBank {
    uint32_t type = 0;
    std::string name;
    std::vector<PackElement> elements;
    // Image banks: the palette table that image elements refer to by index.
    std::vector<PackPalette> palettes;
};

struct PackGameInput {
    uint16_t flag = 0;
    // The GameInput starts by itself at the first activation, with this game type.
    uint16_t autoStart = 0;
    uint32_t defaultSetting = 0;
    std::string settings;
};

struct PackEntry {
    std::string name;
    // Bit 0: use the entry palette on 8-bit screens.
    uint32_t flags = 0;
    PackPalette palette = DefaultPackPalette();
    uint16_t cpuShare = 100;
    uint32_t colour = 0xFFFFFF;
    std::optional<std::string> initialSource;
    std::optional<PackGameInput> gameInput;
    // At most one bank of each type; they are written in type order.
    std::vector<PackBank> banks;
};

struct PackProject {
    std::vector<std::string> classes;
    std::vector<PackEntry> entries;
};

// The bank of `type` in the entry, made (empty, with the type's usual name) when missing.
PackBank& BankOfType(PackEntry& entry, uint32_t type);
// The usual name of a bank of that type ("Source", "Images", ...).
const char* DefaultBankName(uint32_t type);

// Bytes per pixel row in the surface layout: rows padded to 4 bytes, depth 15 counted as 16.
uint32_t SurfacePitch(uint32_t width, uint32_t depth);
// Whether the depth is one an image element may have: 1, 4, 8, 15, 16, 24 or 32.
bool IsImageDepth(uint32_t depth);
