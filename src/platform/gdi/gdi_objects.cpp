#include "platform/gdi/gdi_objects.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

#include "platform/gdi/gdi_object.h"
#include "platform/gdi/palette_object.h"
#include "platform/gdi/region.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/kernel_objects.h"

namespace {

using platform::Brush;
using platform::RegionObject;

constexpr int kSysColorCount = 31;

// The classic default scheme.
constexpr std::array<COLORREF, kSysColorCount> kSysColors = {
    RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128),
    RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 0, 128),     RGB(166, 202, 240),
    RGB(192, 192, 192), RGB(49, 106, 197),  RGB(236, 233, 216),
};

LOGFONTA StockFont(const char* face, LONG height, LONG weight, BYTE pitch) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfPitchAndFamily = pitch;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

using platform::RegisterPermanent;

struct StockObjects {
    std::array<HGDIOBJ, DEFAULT_GUI_FONT + 1> stock{};
    std::array<HBRUSH, kSysColorCount> sysBrushes{};
};

const StockObjects& Stock() {
    static const StockObjects* objects = [] {
        auto* made = new StockObjects;
        const COLORREF grays[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                  RGB(64, 64, 64), RGB(0, 0, 0)};
        for (int i = 0; i < 5; ++i)
            made->stock[i] = RegisterPermanent(std::make_shared<Brush>(grays[i]));
        made->stock[NULL_BRUSH] = RegisterPermanent(std::make_shared<Brush>(0, true));
        made->stock[WHITE_PEN] =
            RegisterPermanent(std::make_shared<platform::Pen>(PS_SOLID, 1, RGB(255, 255, 255)));
        made->stock[BLACK_PEN] =
            RegisterPermanent(std::make_shared<platform::Pen>(PS_SOLID, 1, RGB(0, 0, 0)));
        made->stock[NULL_PEN] = RegisterPermanent(std::make_shared<platform::Pen>(PS_NULL, 1, 0));
        const struct {
            int index;
            LOGFONTA font;
        } fonts[] = {
            {OEM_FIXED_FONT, StockFont("Terminal", 12, 400, 1)},
            {ANSI_FIXED_FONT, StockFont("Courier", 12, 400, 1)},
            {ANSI_VAR_FONT, StockFont("MS Sans Serif", 12, 400, 2)},
            {SYSTEM_FONT, StockFont("System", 16, 700, 2)},
            {DEVICE_DEFAULT_FONT, StockFont("System", 16, 700, 2)},
            {SYSTEM_FIXED_FONT, StockFont("Fixedsys", 15, 400, 1)},
            {DEFAULT_GUI_FONT, StockFont("MS Shell Dlg", -11, 400, 0)},
        };
        for (const auto& f : fonts)
            made->stock[f.index] = RegisterPermanent(std::make_shared<platform::Font>(f.font));
        made->stock[DEFAULT_PALETTE] = RegisterPermanent(platform::MakeDefaultPalette());
        for (int i = 0; i < kSysColorCount; ++i)
            made->sysBrushes[i] = RegisterPermanent(std::make_shared<Brush>(kSysColors[i]));
        return made;
    }();
    return *objects;
}

std::shared_ptr<RegionObject> LookupRegion(HRGN region) {
    return platform::LookupObjectAs<RegionObject>(region);
}

int Kind(const platform::Region& region) {
    if (region.Empty()) return NULLREGION;
    return region.IsRectangle() ? SIMPLEREGION : COMPLEXREGION;
}

} // namespace

HBRUSH CreateSolidBrush(COLORREF color) {
    return platform::RegisterObject(std::make_shared<Brush>(color));
}

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_NULL && style != PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return platform::RegisterObject(
        std::make_shared<platform::Pen>(style, std::max(width, 1), color));
}

HGDIOBJ GetStockObject(int index) {
    if (index < 0 || index > DEFAULT_GUI_FONT) return 0;
    return Stock().stock[index];
}

BOOL DeleteObject(HGDIOBJ object) {
    auto found = platform::LookupObjectAs<platform::GdiObject>(object);
    if (!found) return FALSE;
    if (found->permanent) return TRUE;
    return platform::UnregisterObject(object) ? TRUE : FALSE;
}

DWORD GetSysColor(int index) {
    if (index < 0 || index >= kSysColorCount) return 0;
    return kSysColors[index];
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= kSysColorCount) return 0;
    return Stock().sysBrushes[index];
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    auto region = std::make_shared<RegionObject>();
    region->region.Add(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                            std::max(top, bottom)});
    return platform::RegisterObject(std::move(region));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode) {
    auto target = LookupRegion(destination);
    platform::Region first, second;
    if (!target || !platform::RegionOf(source1, first)) return ERROR;
    if (mode != RGN_COPY && !platform::RegionOf(source2, second)) return ERROR;
    switch (mode) {
    case RGN_AND:
        first.Intersect(second);
        break;
    case RGN_OR:
        first.Add(second);
        break;
    case RGN_XOR: {
        platform::Region both = first;
        both.Intersect(second);
        first.Add(second);
        first.Subtract(both);
        break;
    }
    case RGN_DIFF:
        first.Subtract(second);
        break;
    case RGN_COPY:
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    std::lock_guard guard(target->lock);
    target->region = first;
    return Kind(first);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    auto target = LookupRegion(region);
    if (!target) return FALSE;
    std::lock_guard guard(target->lock);
    target->region = platform::Region(RECT{std::min(left, right), std::min(top, bottom),
                                           std::max(left, right), std::max(top, bottom)});
    return TRUE;
}

int OffsetRgn(HRGN region, int dx, int dy) {
    auto target = LookupRegion(region);
    if (!target) return ERROR;
    std::lock_guard guard(target->lock);
    target->region.Offset(dx, dy);
    return Kind(target->region);
}

int GetRgnBox(HRGN region, RECT* rect) {
    platform::Region copy;
    if (!rect || !platform::RegionOf(region, copy)) return ERROR;
    *rect = copy.Bounds();
    return Kind(copy);
}

BOOL PtInRegion(HRGN region, int x, int y) {
    platform::Region copy;
    return platform::RegionOf(region, copy) && copy.Contains(x, y) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
    platform::Region first, second;
    if (!platform::RegionOf(a, first) || !platform::RegionOf(b, second)) return ERROR;
    return first == second ? TRUE : FALSE;
}

HRGN ExtCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data) {
    constexpr DWORD kHeader = sizeof(RGNDATAHEADER);
    if (transform || !data || size < kHeader || data->rdh.dwSize != kHeader ||
        data->rdh.iType != RDH_RECTANGLES ||
        uint64_t{data->rdh.nCount} * sizeof(RECT) > uint64_t{size} - kHeader) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto region = std::make_shared<RegionObject>();
    const char* rects = data->Buffer;
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        RECT r;
        std::memcpy(&r, rects + static_cast<size_t>(i) * sizeof(RECT), sizeof r);
        region->region.Add(r);
    }
    return platform::RegisterObject(std::move(region));
}

namespace platform {

std::atomic<long>& LiveCounted::Count() {
    static std::atomic<long> count{0};
    return count;
}

HGDIOBJ RegisterPermanent(std::shared_ptr<GdiObject> object) {
    object->permanent = true;
    LiveCounted::Count().fetch_sub(1);
    return RegisterObject(std::move(object));
}

bool BrushColor(HBRUSH brush, COLORREF& color) {
    if (brush >= 1 && brush <= static_cast<HBRUSH>(kSysColorCount)) {
        color = kSysColors[brush - 1];
        return true;
    }
    auto found = LookupObjectAs<Brush>(brush);
    if (!found || found->isNull) return false;
    color = found->color & 0x00FFFFFFu;
    return true;
}

bool RegionOf(HRGN region, Region& out) {
    auto found = LookupRegion(region);
    if (!found) return false;
    std::lock_guard guard(found->lock);
    out = found->region;
    return true;
}

} // namespace platform

namespace platform::test {

long LiveGdiObjects() {
    return LiveCounted::Count().load();
}

} // namespace platform::test
