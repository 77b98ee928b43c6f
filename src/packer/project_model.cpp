#include "packer/project_model.h"

#include "graphics2d/palette/palette_context.h"
#include "script/project/project_format.h"

PackPalette DefaultPackPalette() {
    PackPalette stored{};
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& entry = kDefaultPaletteTable.entries[i];
        stored[i * 4] = entry.blue;
        stored[i * 4 + 1] = entry.green;
        stored[i * 4 + 2] = entry.red;
    }
    return stored;
}

PackBank& BankOfType(PackEntry& entry, uint32_t type) {
    for (PackBank& bank : entry.banks) {
        if (bank.type == type) return bank;
    }
    PackBank& bank = entry.banks.emplace_back();
    bank.type = type;
    bank.name = DefaultBankName(type);
    return bank;
}

const char* DefaultBankName(uint32_t type) {
    using namespace project_format;
    switch (type) {
    case kSourceBank:
        return "Source";
    case kImageBank:
        return "Images";
    case kAnimationBank:
        return "Animations";
    case kSoundBank:
        return "Sounds";
    case kMusicBank:
        return "Musics";
    case kStringBank:
        return "Strings";
    case k3DBank:
        return "3D";
    default:
        return "Binary";
    }
}

uint32_t SurfacePitch(uint32_t width, uint32_t depth) {
    const uint64_t bits = depth == 15 ? 16 : depth;
    return static_cast<uint32_t>((bits * width + 31) / 32 * 4);
}

bool IsImageDepth(uint32_t depth) {
    switch (depth) {
    case 1:
    case 4:
    case 8:
    case 15:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}
