// The Surface's drawing methods: lines, shapes, pixels, fills and the whole-picture
// operations. Each marks what it changes before it draws (MarkChanged), so that sprites
// over it are lifted first.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "classes/surface/point_array_class.h"
#include "classes/surface/surface_class.h"
#include "graphics2d/drawing/fill_painter.h"
#include "graphics2d/drawing/surface_handle.h"
#include "script/interpreter/interpretor.h"

namespace {

int32_t ArgOr(CInterpretor& interpreter, uint32_t i, int32_t missing) {
    return interpreter.IsArgDefault(i) ? missing : interpreter.GetArgInt(i);
}

// A coordinate of a point array, kept within what the drawing can take.
int32_t ClampToInt(float value) {
    constexpr float kLimit = 1073741824.0f;
    if (!(value > -kLimit)) return -(1 << 30);
    if (value > kLimit) return 1 << 30;
    return int32_t(value);
}

bool TryResize(std::vector<POINT>& points, size_t count) {
    try {
        points.resize(count);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

SurfaceHandle::CopyArguments CISurface::PainterCopy() const {
    return SurfaceHandle::CopyArguments{int32_t(antiAlias), 0, drawMode, uint32_t(drawLevel)};
}

CFillBase* CISurface::PenPainterOrSolid(std::unique_ptr<CFillBase>& made) {
    if (penPainter != nullptr) return penPainter;
    made.reset(new (std::nothrow) CFillSolid(penColor));
    if (made == nullptr) interpreter->RaiseError(15);
    return made.get();
}

void CISurface::DrawLineTo(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int64_t grow = std::max(penSize, 1);
    MarkChangedWide(std::min(x1, x2) - grow, std::min(y1, y2) - grow, std::max(x1, x2) + grow + 1,
                    std::max(y1, y2) + grow + 1);
    if (mainSurface != nullptr && penSize >= 1) {
        if (simplePen != 0) {
            mainSurface->DrawLine(x1, y1, x2, y2, penSize, penColor);
        } else {
            std::unique_ptr<CFillBase> made;
            mainSurface->DrawLinePainted(x1, y1, x2, y2, penSize, PenPainterOrSolid(made),
                                         PainterCopy());
        }
    }
    penX = x2;
    penY = y2;
}

void CISurface::Line() {
    int32_t x1 = ArgOr(*interpreter, 0, penX);
    int32_t y1 = ArgOr(*interpreter, 1, penY);
    DrawLineTo(x1, y1, ArgOr(*interpreter, 2, 0), ArgOr(*interpreter, 3, 0));
}

void CISurface::LineTo() {
    DrawLineTo(penX, penY, ArgOr(*interpreter, 0, 0), ArgOr(*interpreter, 1, 0));
}

void CISurface::DrawShape(bool ellipse) {
    int32_t x1 = ArgOr(*interpreter, 0, penX);
    int32_t y1 = ArgOr(*interpreter, 1, penY);
    int32_t x2 = ArgOr(*interpreter, 2, 0);
    int32_t y2 = ArgOr(*interpreter, 3, 0);
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    MarkChangedWide(x1, y1, int64_t(x2) + 1, int64_t(y2) + 1);
    if (mainSurface != nullptr) {
        if (simplePen != 0) {
            if (fillMode != 0) {
                if (ellipse)
                    mainSurface->DrawEllipse(x1, y1, x2, y2, fillColor, penSize, penColor, 1);
                else
                    mainSurface->DrawRectangle(x1, y1, x2, y2, fillColor, penSize, penColor, 1);
            } else if (penSize >= 1) {
                if (ellipse)
                    mainSurface->StrokeEllipse(x1, y1, x2, y2, penSize, penColor);
                else
                    mainSurface->StrokeRectangle(x1, y1, x2, y2, penSize, penColor);
            }
        } else {
            std::unique_ptr<CFillBase> made;
            CFillBase* pen = penSize >= 1 ? PenPainterOrSolid(made) : nullptr;
            int32_t filled = fillPainter != nullptr ? 1 : 0;
            if (ellipse)
                mainSurface->DrawEllipsePainted(x1, y1, x2, y2, fillPainter, penSize, pen,
                                                PainterCopy(), filled);
            else
                mainSurface->DrawRectanglePainted(x1, y1, x2, y2, fillPainter, penSize, pen,
                                                  PainterCopy(), filled);
        }
    }
    penX = x2;
    penY = y2;
}

void CISurface::Ellipse() {
    DrawShape(true);
}

void CISurface::Rectangle() {
    DrawShape(false);
}

void CISurface::Fill() {
    int32_t x = ArgOr(*interpreter, 0, penX);
    int32_t y = ArgOr(*interpreter, 1, penY);
    int32_t tolerance = ArgOr(*interpreter, 2, 0);
    MarkChanged(0, 0, width, height);
    if (mainSurface != nullptr)
        mainSurface->Fill(x, y, fillColor, int32_t(antiAlias), tolerance, drawMode,
                          uint32_t(drawLevel));
}

void CISurface::SetPixel() {
    int32_t count = interpreter->GetArgCount();
    int32_t x = penX;
    int32_t y = penY;
    COLORREF colour = penColor;
    if (count == 1) {
        colour = SwapRedBlue(uint32_t(interpreter->GetArgInt(0)));
    } else if (count >= 2) {
        x = interpreter->GetArgInt(0);
        y = interpreter->GetArgInt(1);
        if (count >= 3) colour = SwapRedBlue(uint32_t(interpreter->GetArgInt(2)));
    }
    if (penSize > 1) {
        const int64_t left = int64_t(x) - penSize / 2;
        const int64_t top = int64_t(y) - penSize / 2;
        MarkChangedWide(left, top, left + penSize, top + penSize);
        // A dot whose square reaches past the integers lies far off every Surface.
        if (mainSurface == nullptr || left < INT32_MIN || top < INT32_MIN ||
            left + penSize - 1 > INT32_MAX || top + penSize - 1 > INT32_MAX)
            return;
        CFillSolid solid(colour);
        CFillBase* pen = penPainter != nullptr ? penPainter : &solid;
        mainSurface->DrawEllipsePainted(int32_t(left), int32_t(top), int32_t(left + penSize - 1),
                                        int32_t(top + penSize - 1), pen, 0, nullptr, PainterCopy(),
                                        1);
        return;
    }
    MarkChangedWide(x, y, int64_t(x) + 1, int64_t(y) + 1);
    if (mainSurface == nullptr) return;
    if (depth == 8)
        mainSurface->GetImpl()->SetPixelIndex(x, y, mainSurface->ColorToIndex(colour));
    else
        mainSurface->GetImpl()->SetPixel(x, y, colour);
}

void CISurface::GetPixel() {
    int32_t x = ArgOr(*interpreter, 0, penX);
    int32_t y = ArgOr(*interpreter, 1, penY);
    uint32_t colour = 0;
    if (mainSurface != nullptr) {
        if (autoBack != 0) LiftSprites(x, y, x + 1, y + 1);
        mainSurface->GetPixel(x, y, &colour);
    }
    interpreter->GetResultSlot()->SetInt(int32_t(SwapRedBlue(colour & 0xFFFFFF)));
}

void CISurface::GetPixelIndex() {
    if (depth != 8) interpreter->RaiseError(28);
    int32_t x = ArgOr(*interpreter, 0, penX);
    int32_t y = ArgOr(*interpreter, 1, penY);
    uint32_t index = 0;
    if (mainSurface != nullptr) {
        if (autoBack != 0) LiftSprites(x, y, x + 1, y + 1);
        mainSurface->GetPixelIndex(x, y, &index);
    }
    interpreter->GetResultSlot()->SetInt(int32_t(index));
}

void CISurface::Scroll() {
    int32_t x = ArgOr(*interpreter, 0, 0);
    int32_t y = ArgOr(*interpreter, 1, 0);
    int32_t w = ArgOr(*interpreter, 2, width);
    int32_t h = ArgOr(*interpreter, 3, height);
    int32_t dx = ArgOr(*interpreter, 4, 0);
    int32_t dy = ArgOr(*interpreter, 5, 0);
    if (mainSurface == nullptr) return;
    // A negative size flips the rectangle to the other side of its corner.
    int64_t left = w < 0 ? int64_t(x) + w : x;
    int64_t top = h < 0 ? int64_t(y) + h : y;
    int64_t right = left + std::abs(int64_t(w));
    int64_t bottom = top + std::abs(int64_t(h));
    // Source and destination both inside the surface.
    int64_t sl = std::max<int64_t>({left, 0, -int64_t(dx)});
    int64_t st = std::max<int64_t>({top, 0, -int64_t(dy)});
    int64_t sr = std::min<int64_t>({right, width, int64_t(width) - dx});
    int64_t sb = std::min<int64_t>({bottom, height, int64_t(height) - dy});
    if (sr <= sl || sb <= st) return;
    MarkChanged(int32_t(std::min<int64_t>(sl, sl + dx)), int32_t(std::min<int64_t>(st, st + dy)),
                int32_t(std::max<int64_t>(sr, sr + dx)), int32_t(std::max<int64_t>(sb, sb + dy)));
    mainSurface->MoveRect(int32_t(sl + dx), int32_t(st + dy), int32_t(sl), int32_t(st),
                          int32_t(sr - sl), int32_t(sb - st));
}

void CISurface::Reverse(bool horizontal) {
    if (mainSurface == nullptr) return;
    if (interpreter->GetArgCount() == 0) {
        MarkChanged(0, 0, width, height);
        if (horizontal)
            mainSurface->MirrorX();
        else
            mainSurface->MirrorY();
        return;
    }
    int32_t x1 = ArgOr(*interpreter, 0, penX);
    int32_t y1 = ArgOr(*interpreter, 1, penY);
    int32_t x2 = ArgOr(*interpreter, 2, width);
    int32_t y2 = ArgOr(*interpreter, 3, height);
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    MarkChanged(x1, y1, x2, y2);
    if (horizontal)
        mainSurface->MirrorXRect(x1, y1, x2 - x1, y2 - y1);
    else
        mainSurface->MirrorYRect(x1, y1, x2 - x1, y2 - y1);
}

void CISurface::ReverseX() {
    Reverse(true);
}

void CISurface::ReverseY() {
    Reverse(false);
}

void CISurface::ReplaceColor() {
    uint32_t from = SwapRedBlue(uint32_t(interpreter->GetArgInt(0)));
    uint32_t to = SwapRedBlue(uint32_t(interpreter->GetArgInt(1)));
    MarkChanged(0, 0, width, height);
    if (mainSurface != nullptr) mainSurface->ReplaceColor(from, to);
}

void CISurface::Clear() {
    uint32_t background = uint32_t(ArgOr(*interpreter, 0, 0xFFFFFF));
    uint32_t pen = uint32_t(ArgOr(*interpreter, 1, 0));
    ResetDrawingState();
    DetachAllSprites(0);
    backgroundColor = SwapRedBlue(background);
    penColor = SwapRedBlue(pen);
    if (mainSurface == nullptr) return;
    InvalidateRect(0, 0, width, height);
    mainSurface->FillRectAll(backgroundColor);
}

void CISurface::EraseRectMethod() {
    int32_t x = ArgOr(*interpreter, 0, 0);
    int32_t y = ArgOr(*interpreter, 1, 0);
    int32_t w = ArgOr(*interpreter, 2, width);
    int32_t h = ArgOr(*interpreter, 3, height);
    // Clipped to the surface: a negative corner shortens the size.
    if (x < 0) {
        w = int32_t(std::max<int64_t>(int64_t(w) + x, 0));
        x = 0;
    }
    if (y < 0) {
        h = int32_t(std::max<int64_t>(int64_t(h) + y, 0));
        y = 0;
    }
    w = int32_t(std::min<int64_t>(w, int64_t(width) - x));
    h = int32_t(std::min<int64_t>(h, int64_t(height) - y));
    EraseRect(x, y, w, h, 1);
}

void CISurface::Rotate() {
    if (interpreter->IsArgDefault(0) || mainSurface == nullptr) return;
    double radians = interpreter->GetArgDouble(0);
    int32_t quality = ArgOr(*interpreter, 1, 0);
    SurfaceHandle turned;
    if (!mainSurface->Rotate(&turned, radians, quality, backgroundColor) || !turned.IsValid())
        return;
    int32_t dx = (width - turned.GetWidth()) / 2;
    int32_t dy = (height - turned.GetHeight()) / 2;
    int32_t left = std::max(dx, 0);
    int32_t top = std::max(dy, 0);
    int32_t right = std::min(dx + turned.GetWidth(), width);
    int32_t bottom = std::min(dy + turned.GetHeight(), height);
    MarkChanged(left, top, right, bottom);
    mainSurface->FillRectAll(backgroundColor);
    turned.Blit(mainSurface, dx, dy, 0, 0, turned.GetWidth(), turned.GetHeight(), 0, 0, 0, 0);
}

void CISurface::DrawPolygon() {
    CIBaseClassImpl* object =
        interpreter->GetArgCount() > 0 && interpreter->GetArg(0)->GetType() == kValueObject
            ? interpreter->GetArg(0)->GetObject()
            : nullptr;
    if (object == nullptr || object->classIndex != CIPointArray::kClassId)
        interpreter->RaiseError(57);
    auto* array = static_cast<CIPointArray*>(object);
    if (array->Dimension() < 2 || array->Count() == 0 || mainSurface == nullptr) return;
    std::vector<POINT> points;
    if (!TryResize(points, size_t(array->Count()))) interpreter->RaiseError(15);
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (int32_t i = 0; i < array->Count(); ++i) {
        points[size_t(i)] = POINT{ClampToInt(array->Value(i, 0)), ClampToInt(array->Value(i, 1))};
        left = std::min(left, points[size_t(i)].x);
        top = std::min(top, points[size_t(i)].y);
        right = std::max(right, points[size_t(i)].x);
        bottom = std::max(bottom, points[size_t(i)].y);
    }
    const int64_t grow = std::max(penSize, 1);
    MarkChangedWide(left - grow, top - grow, right + grow + 1, bottom + grow + 1);
    auto count = int32_t(points.size());
    if (simplePen != 0) {
        if (fillMode != 0)
            mainSurface->DrawPolygon(points.data(), count, fillColor, penSize, penColor, 1);
        else if (penSize >= 1)
            mainSurface->StrokePolygon(points.data(), count, penSize, penColor);
        return;
    }
    std::unique_ptr<CFillBase> made;
    CFillBase* pen = penSize >= 1 ? PenPainterOrSolid(made) : nullptr;
    mainSurface->DrawPolygonPainted(points.data(), count, fillPainter, penSize, pen, PainterCopy(),
                                    fillPainter != nullptr ? 1 : 0);
}
