#include "platform/gdi/gdi_objects.h"

#include <algorithm>
#include <array>
#include <mutex>

#include "platform/kernel/errors.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/gdi/region.h"

namespace {

class GdiObject : public platform::KernelObject {
public:
    bool ClosableByCloseHandle() const override { return false; }
    bool permanent = false;
};

class Brush : public GdiObject {
public:
    explicit Brush(COLORREF c, bool hollow = false) : color(c & 0x00FFFFFFu), isNull(hollow) {}
    COLORREF color;
    bool isNull;
};

class RegionObject : public GdiObject {
public:
    std::mutex lock;
    platform::Region region;
};

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

HGDIOBJ Permanent(std::shared_ptr<GdiObject> object) {
    object->permanent = true;
    return platform::RegisterObject(std::move(object));
}

struct StockObjects {
    std::array<HGDIOBJ, 6> stock{};
    std::array<HBRUSH, kSysColorCount> sysBrushes{};
};

const StockObjects& Stock() {
    static const StockObjects* objects = [] {
        auto* made = new StockObjects;
        const COLORREF grays[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                  RGB(64, 64, 64), RGB(0, 0, 0)};
        for (int i = 0; i < 5; ++i)
            made->stock[i] = Permanent(std::make_shared<Brush>(grays[i]));
        made->stock[NULL_BRUSH] = Permanent(std::make_shared<Brush>(0, true));
        for (int i = 0; i < kSysColorCount; ++i)
            made->sysBrushes[i] = Permanent(std::make_shared<Brush>(kSysColors[i]));
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

HGDIOBJ GetStockObject(int index) {
    if (index < 0 || index > NULL_BRUSH) return 0;
    return Stock().stock[index];
}

BOOL DeleteObject(HGDIOBJ object) {
    auto found = platform::LookupObjectAs<GdiObject>(object);
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

namespace platform {

bool BrushColor(HBRUSH brush, COLORREF& color) {
    if (brush >= 1 && brush <= static_cast<HBRUSH>(kSysColorCount)) {
        color = kSysColors[brush - 1];
        return true;
    }
    auto found = LookupObjectAs<Brush>(brush);
    if (!found || found->isNull) return false;
    color = found->color;
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
