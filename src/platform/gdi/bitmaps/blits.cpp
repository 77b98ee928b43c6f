#include "platform/gdi/bitmaps/blits.h"

#include <cstring>
#include <span>
#include <vector>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/dib_info.h"
#include "platform/gdi/bitmaps/extent_box.h"
#include "platform/gdi/bitmaps/raster_op.h"
#include "platform/gdi/dc.h"
#include "platform/kernel/errors.h"

namespace {

using platform::DrawContext;
using platform::Image;

uint8_t Rop3(DWORD rop) {
    return static_cast<uint8_t>(rop >> 16);
}

// The pattern; false when the operation needs one and the brush is null.
bool Pattern(const DrawContext& dc, uint8_t rop3, COLORREF& brush) {
    brush = 0;
    bool usesPattern = ((rop3 >> 4 ^ rop3) & 0x0F) != 0;
    return dc.BrushColor(brush) || !usesPattern;
}

platform::BlitColors Colors(const DrawContext& target, const DrawContext* source) {
    platform::BlitColors colors;
    colors.text = target.Resolve(target.state.textColor);
    colors.background = target.Resolve(target.state.bkColor);
    if (source) colors.sourceBackground = source->Resolve(source->state.bkColor);
    return colors;
}

// Where drawing on the DC can land, device coordinates.
bool Visible(const DrawContext& dc, RECT& bounds) {
    platform::Region limit;
    if (!dc.device->Limit(limit)) return false;
    if (dc.Clip()) limit.Intersect(*dc.Clip());
    bounds = limit.Bounds();
    return true;
}

// The source index under destination index `i` of `count`, from `sourceCount`.
int64_t Sample(int64_t i, int64_t count, int64_t sourceCount, bool mirror) {
    int64_t j = (2 * i + 1) * sourceCount / (2 * count);
    return mirror ? sourceCount - 1 - j : j;
}

// `source`'s part (sx, sy, sw, sh) stretched over (x, y, w, h) of the DC, device
// coordinates; extents may be negative.
bool Stretch(const DrawContext& dc, int64_t x, int64_t y, int64_t w, int64_t h,
             const platform::Surface& source, int64_t sx, int64_t sy, int64_t sw, int64_t sh,
             uint8_t rop3, const platform::BlitColors& colors) {
    COLORREF brush;
    if (!Pattern(dc, rop3, brush)) return true;
    RECT dest = platform::ExtentBox(x, y, w, h);
    RECT from = platform::ExtentBox(sx, sy, sw, sh);
    RECT visible;
    if (!Visible(dc, visible)) return false;
    RECT part = platform::IntersectRects(dest, visible);
    if (platform::IsEmptyRect(part) || platform::IsEmptyRect(from)) return true;
    int64_t dw = int64_t{dest.right} - dest.left, dh = int64_t{dest.bottom} - dest.top;
    int64_t fw = int64_t{from.right} - from.left, fh = int64_t{from.bottom} - from.top;
    bool mirrorX = (w < 0) != (sw < 0), mirrorY = (h < 0) != (sh < 0);
    auto column = [&](int64_t px) { return from.left + Sample(px - dest.left, dw, fw, mirrorX); };
    auto row = [&](int64_t py) { return from.top + Sample(py - dest.top, dh, fh, mirrorY); };
    // Destination pixels whose source lies outside the image are left alone.
    auto inX = [&](int64_t px) { return column(px) >= 0 && column(px) < source.width; };
    auto inY = [&](int64_t py) { return row(py) >= 0 && row(py) < source.height; };
    while (part.left < part.right && !inX(part.left))
        ++part.left;
    while (part.right > part.left && !inX(part.right - 1))
        --part.right;
    while (part.top < part.bottom && !inY(part.top))
        ++part.top;
    while (part.bottom > part.top && !inY(part.bottom - 1))
        --part.bottom;
    if (platform::IsEmptyRect(part)) return true;
    Image sampled;
    if (!sampled.Allocate(part.right - part.left, part.bottom - part.top, source.format,
                          std::span(source.table, source.tableSize))) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    std::vector<int> columns;
    for (LONG px = part.left; px < part.right; ++px)
        columns.push_back(static_cast<int>(column(px)));
    const platform::Surface& out = sampled.surface;
    int previous = -1;
    for (LONG py = part.top; py < part.bottom; ++py) {
        int sourceRow = static_cast<int>(row(py)), y = py - part.top;
        // An enlarged row repeats the one above it.
        if (sourceRow == previous) {
            std::memcpy(out.Row(y), out.Row(y - 1), static_cast<size_t>(out.pitch));
            continue;
        }
        previous = sourceRow;
        int bits = platform::BitsPerPixel(source.format);
        if (bits >= 8) {
            platform::SampleRow(out.Row(y), source.Row(sourceRow), columns.data(),
                                static_cast<int>(columns.size()), bits / 8);
            continue;
        }
        for (size_t i = 0; i < columns.size(); ++i)
            platform::WritePixel(out, static_cast<int>(i), y,
                                 platform::ReadPixel(source, columns[i], sourceRow));
    }
    return dc.device->Blit(part, &sampled, POINT{part.left, part.top}, rop3, brush, colors,
                           dc.Clip());
}

// StretchBlt sampling the source DC's pixels where they lie, without copying them first;
// false when the devices cannot (the caller then takes the general way, which answers).
bool StretchDirect(const DrawContext& dc, const DrawContext& source, POINT at, int64_t w, int64_t h,
                   POINT sourceAt, int64_t sw, int64_t sh, uint8_t rop3) {
    COLORREF brush;
    if (!Pattern(dc, rop3, brush)) return false;
    RECT dest = platform::ExtentBox(at.x, at.y, w, h);
    RECT from = platform::ExtentBox(sourceAt.x, sourceAt.y, sw, sh);
    RECT visible;
    if (!Visible(dc, visible)) return false;
    RECT part = platform::IntersectRects(dest, visible);
    if (platform::IsEmptyRect(part) || platform::IsEmptyRect(from)) return false;
    int64_t dw = int64_t{dest.right} - dest.left, dh = int64_t{dest.bottom} - dest.top;
    int64_t fw = int64_t{from.right} - from.left, fh = int64_t{from.bottom} - from.top;
    bool mirrorX = (w < 0) != (sw < 0), mirrorY = (h < 0) != (sh < 0);
    std::vector<int> columns, rows;
    columns.reserve(static_cast<size_t>(part.right - part.left));
    rows.reserve(static_cast<size_t>(part.bottom - part.top));
    for (LONG px = part.left; px < part.right; ++px)
        columns.push_back(static_cast<int>(from.left + Sample(px - dest.left, dw, fw, mirrorX)));
    for (LONG py = part.top; py < part.bottom; ++py)
        rows.push_back(static_cast<int>(from.top + Sample(py - dest.top, dh, fh, mirrorY)));
    return dc.device->StretchFrom(part, *source.device, columns, rows, rop3, brush, dc.Clip());
}

} // namespace

BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop) {
    DrawContext target, from;
    uint8_t rop3 = Rop3(rop);
    if (!platform::GetDrawContext(dc, target)) return FALSE;
    if (!platform::RopUsesSource(rop3)) return PatBlt(dc, x, y, width, height, rop);
    if (!platform::GetDrawContext(source, from)) return FALSE;
    if (width < 0 || height < 0)
        return StretchBlt(dc, x, y, width, height, source, sourceX, sourceY, width, height, rop);
    COLORREF brush;
    if (!Pattern(target, rop3, brush)) return TRUE;
    POINT at = target.ToDevice(x, y);
    POINT sourceAt = from.ToDevice(sourceX, sourceY);
    RECT visible;
    if (!Visible(target, visible)) return FALSE;
    RECT area = platform::IntersectRects(platform::ExtentBox(at.x, at.y, width, height), visible);
    if (platform::IsEmptyRect(area)) return TRUE;
    // Only the source under the visible part is read.
    RECT read = platform::ExtentBox(int64_t{sourceAt.x} + (area.left - at.x),
                                    int64_t{sourceAt.y} + (area.top - at.y), area.right - area.left,
                                    area.bottom - area.top);
    if (target.device->BlitFrom(area, *from.device, sourceAt, at, rop3, brush, target.Clip()))
        return TRUE;
    Image image;
    if (!from.device->Read(read, image)) return FALSE;
    return target.device->Blit(area, &image, POINT{area.left, area.top}, rop3, brush,
                               Colors(target, &from), target.Clip())
               ? TRUE
               : FALSE;
}

BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop) {
    DrawContext target, from;
    uint8_t rop3 = Rop3(rop);
    if (!platform::GetDrawContext(dc, target)) return FALSE;
    if (!platform::RopUsesSource(rop3)) return PatBlt(dc, x, y, width, height, rop);
    if (!platform::GetDrawContext(source, from)) return FALSE;
    if (width == sourceWidth && height == sourceHeight && width >= 0 && height >= 0)
        return BitBlt(dc, x, y, width, height, source, sourceX, sourceY, rop);
    POINT at = target.ToDevice(x, y);
    POINT sourceAt = from.ToDevice(sourceX, sourceY);
    if (StretchDirect(target, from, at, width, height, sourceAt, sourceWidth, sourceHeight, rop3))
        return TRUE;
    RECT read = platform::ExtentBox(sourceAt.x, sourceAt.y, sourceWidth, sourceHeight);
    Image image;
    if (!from.device->Read(read, image)) return FALSE;
    // The copy starts at the source rectangle's corner, so the sample offsets shift.
    int64_t sx = int64_t{sourceAt.x} - read.left, sy = int64_t{sourceAt.y} - read.top;
    return Stretch(target, at.x, at.y, width, height, image.surface, sx, sy, sourceWidth,
                   sourceHeight, rop3, Colors(target, &from))
               ? TRUE
               : FALSE;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    DrawContext target;
    uint8_t rop3 = Rop3(rop);
    if (!platform::GetDrawContext(dc, target) || platform::RopUsesSource(rop3)) return FALSE;
    COLORREF brush;
    if (!Pattern(target, rop3, brush)) return TRUE;
    POINT at = target.ToDevice(x, y);
    RECT area = platform::ExtentBox(at.x, at.y, width, height);
    return target.device->Blit(area, nullptr, POINT{0, 0}, rop3, brush, Colors(target, nullptr),
                               target.Clip())
               ? TRUE
               : FALSE;
}

int StretchDIBits(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY,
                  int sourceWidth, int sourceHeight, const void* bits, const BITMAPINFO* info,
                  UINT usage, DWORD rop) {
    DrawContext target;
    platform::DibLayout layout;
    uint8_t rop3 = Rop3(rop);
    if (!platform::GetDrawContext(dc, target) ||
        !platform::ReadDibInfo(info, usage, target.palette, layout) ||
        (!bits && platform::RopUsesSource(rop3))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // The answer is the image's height as its header gives it, negative for a top-down one,
    // except that a plain source copy answers it positive whatever the rows' order.
    int rows = layout.bottomUp || rop3 == Rop3(SRCCOPY) ? layout.height : -layout.height;
    if (!platform::RopUsesSource(rop3)) return PatBlt(dc, x, y, width, height, rop) ? rows : 0;
    platform::Surface source = platform::DibSurface(layout, bits);
    // The source's y counts from the image's bottom row, whichever way its rows are stored.
    int64_t top = int64_t{layout.height} - sourceY - sourceHeight;
    POINT at = target.ToDevice(x, y);
    platform::BlitColors colors = Colors(target, nullptr);
    if (layout.format == platform::PixelFormat::Mono) {
        colors.text = platform::SwapRedBlue(layout.table[0]);
        colors.background = platform::SwapRedBlue(layout.table[1]);
    }
    if (!Stretch(target, at.x, at.y, width, height, source, sourceX, top, sourceWidth, sourceHeight,
                 rop3, colors))
        return 0;
    return rows;
}
