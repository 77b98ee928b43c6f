#include "graphics2d/blitter/pixel_format.h"

#include "graphics2d/blitter/pixel_routines.h"
#include "graphics2d/blitter/pixel_traits.h"

namespace {

template <class F> constexpr PixelFormatOps MakeFormatOps() {
    return PixelFormatOps{
        PutPixelOf<F>,     GetPixelOf<F>,         FillRectOf<F>,     CopyKeyedOf<F>,
        CopyKeyedOpOf<F>,  CopyPlainRows,         CopyOpOf<F>,       CopyCallbackKeyedOf<F>,
        CopyCallbackOf<F>, MirrorHorizontalOf<F>, ReplaceColorOf<F>, ConvertCopyOf<F>,
    };
}

constexpr PixelFormatOps kFormatOps[kFormatCount] = {
    MakeFormatOps<Pixel8>(),  MakeFormatOps<Pixel15>(), MakeFormatOps<Pixel16>(),
    MakeFormatOps<Pixel24>(), MakeFormatOps<Pixel32>(),
};

} // namespace

int32_t DepthToFormatIndex(int32_t depth) {
    if (depth < 1 || depth > 32) return -1;
    if (depth <= 8) return kFormat8;
    if (depth <= 15) return kFormat15;
    if (depth == 16) return kFormat16;
    if (depth <= 24) return kFormat24;
    return kFormat32;
}

int64_t SurfacePitch(int32_t width, int32_t depth) {
    if (width < 0) return -1;
    const int64_t bits = depth == 15 ? 16 : depth;
    return (bits * width + 31) / 32 * 4;
}

const PixelFormatOps* GetPixelFormatOps(int32_t formatIndex) {
    if (formatIndex < 0 || formatIndex >= kFormatCount) return nullptr;
    return &kFormatOps[formatIndex];
}
