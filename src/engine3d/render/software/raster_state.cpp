#include "engine3d/render/software/raster_state.h"

namespace {
SoftwareRasterState* current = nullptr;
}

SoftwareRasterState* CurrentSoftwareRaster() {
    return current;
}

void SetCurrentSoftwareRaster(SoftwareRasterState* raster) {
    current = raster;
}
