// The Surface's methods of drawing state: pen, fill, modes, flags and the plain getters.
#include <algorithm>
#include <new>

#include "classes/surface/surface_class.h"
#include "classes/window/child_window.h"
#include "classes/window/font_class.h"
#include "engine3d/scene/render/renderer.h"
#include "graphics2d/drawing/fill_painter.h"
#include "graphics2d/drawing/surface_handle.h"
#include "script/interpreter/interpretor.h"

namespace {

// `next` (of `nextKind`) replacing `painter`; null leaves none.
void ReplacePainter(CFillBase*& painter, int32_t& kind, CFillBase* next, int32_t nextKind) {
    delete painter;
    painter = next;
    kind = next != nullptr ? nextKind : CISurface::kPainterNone;
}

} // namespace

void CISurface::MoveTo() {
    if (!interpreter->IsArgDefault(0)) penX = interpreter->GetArgInt(0);
    if (!interpreter->IsArgDefault(1)) penY = interpreter->GetArgInt(1);
}

void CISurface::SetPenColor() {
    auto colour = static_cast<COLORREF>(SwapRedBlue(uint32_t(interpreter->GetArgInt(0))));
    // A shown Surface takes its pen colour from its Window, which passes it back here.
    if (hostWindow != nullptr) {
        hostWindow->SetColor(colour);
        return;
    }
    SetPenColorValue(colour);
}

void CISurface::SetFillColor() {
    if (interpreter->GetArgCount() == 0 || interpreter->IsArgDefault(0)) {
        ReplacePainter(fillPainter, fillPainterKind, nullptr, kPainterNone);
    } else {
        fillColor = SwapRedBlue(uint32_t(interpreter->GetArgInt(0)));
        ReplacePainter(fillPainter, fillPainterKind, new (std::nothrow) CFillSolid(fillColor),
                       kPainterSolid);
        if (fillPainter == nullptr) interpreter->RaiseError(15);
    }
    UpdateDerivedFlags();
}

void CISurface::SetFillGradientColor() {
    fillGradient[0] = SwapRedBlue(uint32_t(interpreter->GetArgInt(0)));
    fillGradient[1] = SwapRedBlue(uint32_t(interpreter->GetArgInt(1)));
    ReplacePainter(fillPainter, fillPainterKind,
                   new (std::nothrow)
                       CFillGradient(fillGradient[0], fillGradient[1], fillGradient[2], 0, 0),
                   kPainterGradient);
    if (fillPainter == nullptr) interpreter->RaiseError(15);
    UpdateDerivedFlags();
}

void CISurface::SetPenGradientColor() {
    penGradient[0] = SwapRedBlue(uint32_t(interpreter->GetArgInt(0)));
    penGradient[1] = SwapRedBlue(uint32_t(interpreter->GetArgInt(1)));
    ReplacePainter(penPainter, penPainterKind,
                   new (std::nothrow)
                       CFillGradient(penGradient[0], penGradient[1], penGradient[2], 0, 0),
                   kPainterGradient);
    if (penPainter == nullptr) interpreter->RaiseError(15);
    UpdateDerivedFlags();
}

// The painters fix their direction when made: a gradient is made again with its colours.
void CISurface::SetFillGradientDir() {
    int32_t direction = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    fillGradient[2] = direction;
    if (fillPainterKind != kPainterGradient) return;
    auto* next =
        new (std::nothrow) CFillGradient(fillGradient[0], fillGradient[1], direction, 0, 0);
    if (next == nullptr) interpreter->RaiseError(15);
    ReplacePainter(fillPainter, fillPainterKind, next, kPainterGradient);
}

void CISurface::SetPenGradientDir() {
    int32_t direction = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    penGradient[2] = direction;
    if (penPainterKind != kPainterGradient) return;
    auto* next = new (std::nothrow) CFillGradient(penGradient[0], penGradient[1], direction, 0, 0);
    if (next == nullptr) interpreter->RaiseError(15);
    ReplacePainter(penPainter, penPainterKind, next, kPainterGradient);
}

void CISurface::SetPenSize() {
    penSize = std::max(interpreter->GetArgInt(0), 0);
}

void CISurface::SetFontMethod() {
    CIBaseClassImpl* object = interpreter->GetArgObjectOfClass(0, CIFont::kClassId);
    SetFont(static_cast<CIFont*>(object));
}

void CISurface::SetAntiAlias() {
    antiAlias = interpreter->GetArgInt(0) != 0 ? 1 : 0;
    UpdateDerivedFlags();
    if (view3D != nullptr) {
        if (antiAlias != 0)
            view3D->SetStateBits(2);
        else
            view3D->ClearStateBits(2);
    }
}

void CISurface::SetDrawMode() {
    int32_t mode = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    if (mode < 0 || mode > kLastDrawMode) interpreter->RaiseError(24);
    int32_t level = interpreter->IsArgDefault(1) ? 0 : interpreter->GetArgInt(1);
    if (mode == kBlending) {
        if (level < 0 || level > 255) level = 255;
        level = (level + 1) / 2;
    }
    drawMode = mode;
    drawLevel = level;
    UpdateDerivedFlags();
}

void CISurface::SetTransparentMode() {
    transparentMode = interpreter->GetArgInt(0) != 0 ? 1 : 0;
}

void CISurface::GetDepth() {
    interpreter->GetResultSlot()->SetInt(depth);
}

void CISurface::GetPixelWidth() {
    interpreter->GetResultSlot()->SetInt(width);
}

void CISurface::GetPixelHeight() {
    interpreter->GetResultSlot()->SetInt(height);
}

void CISurface::GetXPos() {
    interpreter->GetResultSlot()->SetInt(penX);
}

void CISurface::GetYPos() {
    interpreter->GetResultSlot()->SetInt(penY);
}

void CISurface::SetAutoBack() {
    autoBack = interpreter->GetArgInt(0) != 0 ? 1 : 0;
}

void CISurface::SetAutoRefresh() {
    autoRefresh = interpreter->GetArgInt(0) != 0 ? 1 : 0;
}

void CISurface::IsAutoBack() {
    interpreter->GetResultSlot()->SetInt(int32_t(autoBack));
}

void CISurface::IsAutoRefresh() {
    interpreter->GetResultSlot()->SetInt(int32_t(autoRefresh));
}

void CISurface::RefreshMethod() {
    if (autoRefresh != 0) interpreter->RaiseError(37);
    if (refreshRequested != 0) Refresh();
}

void CISurface::SetBackgroundColor() {
    uint32_t colour =
        interpreter->IsArgDefault(0) ? 0xFFFFFFu : uint32_t(interpreter->GetArgInt(0));
    COLORREF value = SwapRedBlue(colour);
    // A shown Surface takes its background from its Window, which passes it back here.
    if (hostWindow != nullptr) {
        hostWindow->SetBackColor(value);
        return;
    }
    backgroundColor = value;
}

void CISurface::GetBackgroundColor() {
    interpreter->GetResultSlot()->SetInt(int32_t(SwapRedBlue(backgroundColor)));
}

void CISurface::SetWrapping() {
    wrapping = interpreter->GetArgInt(0) != 0 ? 1 : 0;
}

void CISurface::IsWrapping() {
    interpreter->GetResultSlot()->SetInt(int32_t(wrapping));
}

void CISurface::GetFont() {
    interpreter->GetResultSlot()->SetObject(font, 1);
}

void CISurface::Lock() {
    if (autoRefresh != 0) interpreter->RaiseError(37);
    int32_t x = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    int32_t y = interpreter->IsArgDefault(1) ? 0 : interpreter->GetArgInt(1);
    int32_t w = interpreter->IsArgDefault(2) ? width : interpreter->GetArgInt(2);
    int32_t h = interpreter->IsArgDefault(3) ? height : interpreter->GetArgInt(3);
    int32_t left = std::max(x, 0);
    int32_t top = std::max(y, 0);
    int32_t right = std::min(int32_t(int64_t(x) + w > width ? width : x + w), width);
    int32_t bottom = std::min(int32_t(int64_t(y) + h > height ? height : y + h), height);
    if (right <= left || bottom <= top) return;
    InvalidateRect(left, top, right, bottom);
    locked = 1;
}

void CISurface::Unlock() {
    locked = 0;
    SetDirty();
}
