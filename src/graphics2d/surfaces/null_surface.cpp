#include "graphics2d/surfaces/null_surface.h"

cNullSurface* cNullSurface::Get() {
    // Built on first use and never destroyed, so handles released during static
    // destruction still find it.
    static cNullSurface* const shared = new cNullSurface;
    return shared;
}
