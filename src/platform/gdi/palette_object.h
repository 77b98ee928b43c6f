// The object behind a palette handle.
#pragma once

#include <vector>

#include "platform/gdi/gdi_object.h"
#include "platform/gdi/palettes.h"

namespace platform {

class Palette : public GdiObject {
public:
    GdiKind Kind() const override { return GdiKind::Palette; }
    std::mutex lock;
    std::vector<PALETTEENTRY> entries;
};

} // namespace platform

namespace platform {

// DEFAULT_PALETTE: the 20 static colours.
std::shared_ptr<Palette> MakeDefaultPalette();

} // namespace platform
