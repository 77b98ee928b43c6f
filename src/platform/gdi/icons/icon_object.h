// The object behind an icon or image cursor handle. Internal to the GDI.
#pragma once

#include <memory>
#include <string_view>

#include "platform/gdi/icons/icons.h"
#include "platform/kernel/kernel_objects.h"

namespace platform {

class IconObject : public KernelObject {
public:
    IconObject(bool isIcon, int width, int height, POINT hotspot);
    bool ClosableByCloseHandle() const override { return false; }

    // Per pixel, rows top first: the AND mask (1 keeps the destination), the XOR colour
    // (0x00RRGGBB) and the alpha of a 32-bit colour bitmap.
    const bool isIcon;
    const int width;
    const int height;
    const POINT hotspot;
    const uint64_t serial;
    std::vector<uint8_t> mask;
    std::vector<uint32_t> color;
    std::vector<uint8_t> alpha;
    bool hasAlpha = false;
    bool monochrome = false;
    bool builtIn = false; // never destroyed

    // As a display shows it: opaque where the mask is 0 (or by alpha), clear where the
    // mask keeps the destination unchanged.
    IconImage Image() const;
};

std::shared_ptr<IconObject> LookupIcon(HICON icon);

// An image from rows of 'X' (black), '.' (white) and ' ' (clear).
std::shared_ptr<IconObject> IconFromArt(bool isIcon, POINT hotspot,
                                        std::initializer_list<std::string_view> rows);

} // namespace platform
