// The Surface's text: plain text in a rectangle, string measures, and the styled text of
// Write and WriteLn.
#include <algorithm>
#include <cstring>
#include <string>

#include "classes/surface/surface_class.h"
#include "classes/window/font_class.h"
#include "graphics2d/drawing/surface_handle.h"
#include "platform/gdi/text/draw_text_layout.h"
#include "script/interpreter/interpretor.h"

namespace {

constexpr uint32_t kSingleLineFormat = 0x8E0;
constexpr uint32_t kWrappedFormat = 0x28D0;
constexpr uint32_t kCalcRect = 0x400;

int32_t ArgOr(CInterpretor& interpreter, uint32_t i, int32_t missing) {
    return interpreter.IsArgDefault(i) ? missing : interpreter.GetArgInt(i);
}

} // namespace

HFONT CISurface::CurrentFont() const {
    return font != nullptr ? font->hFont : 0;
}

void CISurface::DrawText() {
    const char* text = interpreter->IsArgDefault(0) ? "" : interpreter->GetArgString(0);
    int32_t x = ArgOr(*interpreter, 1, penX);
    int32_t y = ArgOr(*interpreter, 2, penY);
    int32_t w = ArgOr(*interpreter, 3, width);
    int32_t h = ArgOr(*interpreter, 4, height);
    int32_t wrap = ArgOr(*interpreter, 5, 0);
    int32_t tabLength = ArgOr(*interpreter, 6, 8);
    if (mainSurface == nullptr) return;
    uint32_t format = wrap != 0 ? kWrappedFormat : kSingleLineFormat;
    auto length = int32_t(std::strlen(text));
    RECT rect{x, y, int32_t(int64_t(x) + w), int32_t(int64_t(y) + h)};
    if (mainSurface->DrawText(text, length, &rect, format | kCalcRect, penColor, CurrentFont(), 1,
                              0, 0, 0, tabLength, 0, 0) == 0)
        return;
    MarkChanged(rect.left, rect.top, rect.right, rect.bottom);
    int32_t direct = drawMode == 0 && antiAlias == 0 ? 1 : 0;
    mainSurface->DrawText(text, length, &rect, format, penColor, CurrentFont(), direct, drawMode,
                          uint32_t(drawLevel), int32_t(antiAlias), tabLength, 0, 0);
    penX = rect.right >= 0 && rect.right <= width ? rect.right : 0;
    penY = rect.bottom >= 0 && rect.bottom <= height ? rect.bottom : 0;
}

void CISurface::MeasureString(bool wantWidth) {
    const CValue* argument = interpreter->GetArg(0);
    if (argument->GetType() != kValueString) interpreter->RaiseError(14);
    SIZE size{};
    if (mainSurface != nullptr) {
        HDC dc = mainSurface->GetImpl()->GetDC();
        MeasureText(dc, argument->GetString(), size);
        if (dc != 0) mainSurface->GetImpl()->ReleaseDC(dc);
    }
    interpreter->GetResultSlot()->SetInt(wantWidth ? size.cx : size.cy);
}

void CISurface::GetStringWidth() {
    MeasureString(true);
}

void CISurface::GetStringHeight() {
    MeasureString(false);
}

StyledTextTarget CISurface::TextTarget() {
    StyledTextTarget target;
    target.picture = mainSurface;
    target.font = CurrentFont();
    target.penX = penX;
    target.penY = penY;
    target.penColour = penColor;
    target.background = backgroundColor;
    target.wrapping = wrapping != 0;
    target.drawMode = drawMode;
    target.drawLevel = uint32_t(drawLevel);
    target.antiAlias = int32_t(antiAlias);
    target.marks = locked != 0 ? nullptr : this;
    return target;
}

void CISurface::MarkStyledRect(const RECT& rect) {
    InvalidateRect(rect.left, rect.top, rect.right, rect.bottom);
}

void CISurface::MarkStyledScroll() {
    InvalidateRect(0, 0, width, height);
}

void CISurface::WriteStyled(const char* text, int32_t* outWidth, int32_t* outHeight) {
    int32_t startX = penX;
    int32_t startY = penY;
    StyledTextTarget target = TextTarget();
    RECT drawn{};
    WriteStyledText(target, text != nullptr ? text : "", &drawn);
    penX = target.penX;
    penY = target.penY;
    bool empty = drawn.right <= drawn.left || drawn.bottom <= drawn.top;
    if (outWidth != nullptr) *outWidth = empty ? 0 : std::max(drawn.right - startX, 0);
    if (outHeight != nullptr) *outHeight = empty ? 0 : std::max(drawn.bottom - startY, 0);
}

void CISurface::MeasureStyled(const char* text, int32_t* outWidth, int32_t* outHeight) {
    StyledTextTarget target = TextTarget();
    RECT extent{};
    MeasureStyledLine(target, text != nullptr ? text : "", &extent);
    penX = target.penX;
    penY = target.penY;
    if (outWidth != nullptr) *outWidth = extent.right - extent.left;
    if (outHeight != nullptr) *outHeight = extent.bottom - extent.top;
}

void CISurface::Write() {
    std::string text;
    for (int32_t i = 0; i < interpreter->GetArgCount(); ++i) {
        if (!interpreter->IsArgDefault(uint32_t(i))) text += interpreter->GetArgString(uint32_t(i));
    }
    StyledTextTarget target = TextTarget();
    WriteStyledText(target, text);
    penX = target.penX;
    penY = target.penY;
}

void CISurface::WriteLn() {
    int32_t count = std::max(interpreter->GetArgCount(), 1);
    for (int32_t i = 0; i < count; ++i) {
        auto index = uint32_t(i);
        std::string text = interpreter->GetArgCount() == 0 || interpreter->IsArgDefault(index)
                               ? std::string()
                               : std::string(interpreter->GetArgString(index));
        StyledTextTarget target = TextTarget();
        WriteStyledLine(target, text);
        penX = target.penX;
        penY = target.penY;
    }
}
