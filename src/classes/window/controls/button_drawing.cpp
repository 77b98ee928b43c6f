// How a Button with images draws itself: the push-button frame, then the image scaled to
// the frame's inside, the pushed image (or the normal one a pixel lower right) while held,
// the disabled image (or an embossed normal one) while disabled.
#include <vector>

#include "classes/window/controls/button_classes.h"
#include "classes/window/window_surface.h"
#include "graphics2d/surfaces/gdi_surface.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/controls/button.h"
#include "platform/gdi/controls/frame_control.h"
#include "platform/gdi/palettes.h"

namespace {

SurfaceHandle* PictureOf(CIBaseClassImpl* image) {
    CWindowSurface* surface = AsWindowSurface(image);
    SurfaceHandle* picture = surface != nullptr ? surface->GetSurfaceHandle() : nullptr;
    return picture != nullptr && picture->IsValid() && picture->GetWidth() > 0 &&
                   picture->GetHeight() > 0
               ? picture
               : nullptr;
}

// A pixel that belongs to the drawing rather than to its light background.
bool IsInk(uint32_t colour) {
    return (colour & 0xFF) + ((colour >> 8) & 0xFF) + ((colour >> 16) & 0xFF) < 384;
}

} // namespace

SurfaceHandle* CIButton::Embossed(CIBaseClassImpl* image) {
    SurfaceHandle* picture = PictureOf(image);
    if (picture == nullptr) return nullptr;
    int32_t imageWidth = picture->GetWidth();
    int32_t imageHeight = picture->GetHeight();
    if (embossedFrom_ == image && embossedWidth_ == imageWidth && embossedHeight_ == imageHeight &&
        embossed_.IsValid())
        return &embossed_;
    embossedFrom_ = nullptr;
    SurfaceHandle* prototype = GetPrototypeForDepth(32);
    if (prototype == nullptr) return nullptr;
    embossed_.Create(imageWidth + 1, imageHeight + 1, prototype);
    if (!embossed_.IsValid()) return nullptr;
    cSurface* work = embossed_.GetImpl();
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    work->FillRect(0, 0, imageWidth + 1, imageHeight + 1, face);
    std::vector<uint8_t> ink(size_t(imageWidth) * size_t(imageHeight));
    for (int32_t y = 0; y < imageHeight; ++y) {
        for (int32_t x = 0; x < imageWidth; ++x) {
            uint32_t colour = 0;
            if (picture->GetPixel(x, y, &colour) && IsInk(colour)) {
                ink[size_t(y) * size_t(imageWidth) + size_t(x)] = 1;
                work->SetPixel(x + 1, y + 1, highlight);
            }
        }
    }
    for (int32_t y = 0; y < imageHeight; ++y) {
        for (int32_t x = 0; x < imageWidth; ++x) {
            if (ink[size_t(y) * size_t(imageWidth) + size_t(x)] != 0) work->SetPixel(x, y, shadow);
        }
    }
    embossedFrom_ = image;
    embossedWidth_ = imageWidth;
    embossedHeight_ = imageHeight;
    return &embossed_;
}

void CIButton::DrawItem(const DRAWITEMSTRUCT& item) {
    if ((item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) == 0) return;
    HDC dc = item.hDC;
    RECT inner = item.rcItem;
    bool pushed = (item.itemState & ODS_SELECTED) != 0;
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    UINT frame = pushed ? DFCS_BUTTONPUSH | DFCS_PUSHED : DFCS_BUTTONPUSH;
    if (disabled) frame |= DFCS_INACTIVE;
    DrawFrameControl(dc, &inner, DFC_BUTTON, frame | DFCS_ADJUSTRECT);
    SurfaceHandle* normal = PictureOf(images[0]);
    if (normal == nullptr) return;

    CIBaseClassImpl* chosen = images[0];
    if (pushed && PictureOf(images[1]) != nullptr) chosen = images[1];
    SurfaceHandle* picture = PictureOf(chosen);
    if (disabled)
        picture = PictureOf(images[2]) != nullptr ? PictureOf(images[2]) : Embossed(images[0]);
    if (picture == nullptr) return;

    // Scaled to the inside's height, keeping the image's proportions, and centred.
    int32_t innerWidth = inner.right - inner.left;
    int32_t innerHeight = inner.bottom - inner.top;
    if (innerWidth <= 0 || innerHeight <= 0) return;
    int32_t sourceWidth = picture->GetWidth();
    int32_t sourceHeight = picture->GetHeight();
    int32_t drawHeight = innerHeight;
    int32_t drawWidth = int32_t(int64_t(sourceWidth) * drawHeight / sourceHeight);
    if (drawWidth < 1) drawWidth = 1;
    int32_t left = inner.left + (innerWidth - drawWidth) / 2;
    int32_t top = inner.top;
    if (pushed && chosen == images[0] && !disabled) {
        ++left;
        ++top;
    }

    HPALETTE palette = 0;
    if (CWindowSurface* surface = AsWindowSurface(chosen)) palette = surface->GetHPALETTE();
    HPALETTE old = 0;
    if (palette != 0) {
        old = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    SurfaceHandle onDC;
    onDC.Attach(cGDISurface::MakeOnDC(dc));
    // The item's DC is reached through GDI only.
    picture->GetImpl()->StretchBlitViaDC(onDC.GetImpl(), left, top, drawWidth, drawHeight, 0, 0,
                                         sourceWidth, sourceHeight, 0, 0, 0, 0);
    if (old != 0) SelectPalette(dc, old, FALSE);
}
