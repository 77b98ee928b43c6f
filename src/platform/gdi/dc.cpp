#include "platform/gdi/dc.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "platform/gdi/dc_state.h"
#include "platform/gdi/memory_device.h"
#include "platform/gdi/palette_object.h"
#include "platform/kernel/errors.h"

namespace platform {
namespace {

// Guards which memory DC each bitmap is selected into.
std::mutex& SelectionLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

Selected Stock(int index) {
    HGDIOBJ handle = GetStockObject(index);
    return Selected{handle, LookupObjectAs<GdiObject>(handle)};
}

constexpr RECT kEverything{std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::min(),
                           std::numeric_limits<LONG>::max(), std::numeric_limits<LONG>::max()};

LONG Clamp(int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
}

int RegionKind(const Region& region) {
    if (region.Empty()) return NULLREGION;
    return region.IsRectangle() ? SIMPLEREGION : COMPLEXREGION;
}

// Makes `state`'s bitmap the one the memory device draws on.
void ApplyBitmap(DeviceContext& dc, HDC handle, const DcState& previous, const DcState& next) {
    if (dc.kind != DcKind::Memory) return;
    auto device = std::static_pointer_cast<MemoryDevice>(dc.device);
    auto before = std::static_pointer_cast<Bitmap>(previous.bitmap.object);
    auto after = std::static_pointer_cast<Bitmap>(next.bitmap.object);
    std::lock_guard guard(SelectionLock());
    if (before && before != after && before->selectedInto == handle) before->selectedInto = 0;
    if (after && !after->permanent) after->selectedInto = handle;
    device->Select(after);
}

template <class F> auto WithState(HDC handle, F f, decltype(f(std::declval<DcState&>())) failed) {
    std::shared_ptr<DeviceContext> dc = LookupDC(handle);
    if (!dc) return failed;
    std::lock_guard guard(dc->lock);
    return f(dc->state);
}

// The clip after `change`, and its kind inside the device.
int ChangeClip(HDC handle, const std::function<void(DcState&, Region&)>& change) {
    std::shared_ptr<DeviceContext> dc = LookupDC(handle);
    if (!dc) return ERROR;
    Region clip;
    {
        std::lock_guard guard(dc->lock);
        Region current = dc->state.clip ? *dc->state.clip : Region(kEverything);
        change(dc->state, current);
        dc->state.clip = current;
        clip = current;
    }
    Region limit;
    if (!dc->device->Limit(limit)) return ERROR;
    clip.Intersect(limit);
    return RegionKind(clip);
}

RECT Normalised(const DcState& state, int left, int top, int right, int bottom) {
    auto dx = [&](int v) { return Clamp(int64_t{v} - state.windowOrg.x); };
    auto dy = [&](int v) { return Clamp(int64_t{v} - state.windowOrg.y); };
    return RECT{dx(std::min(left, right)), dy(std::min(top, bottom)), dx(std::max(left, right)),
                dy(std::max(top, bottom))};
}

} // namespace

HDC RegisterDC(DcKind kind, std::shared_ptr<Device> device) {
    auto dc = std::make_shared<DeviceContext>(kind, std::move(device));
    dc->state.brush = Stock(WHITE_BRUSH);
    dc->state.pen = Stock(BLACK_PEN);
    dc->state.font = Stock(SYSTEM_FONT);
    dc->state.palette = Stock(DEFAULT_PALETTE);
    if (kind == DcKind::Memory) {
        HBITMAP bitmap = DefaultBitmap();
        dc->state.bitmap = Selected{bitmap, LookupObjectAs<GdiObject>(bitmap)};
    }
    return RegisterObject(dc);
}

std::shared_ptr<DeviceContext> LookupDC(HDC dc) {
    return LookupObjectAs<DeviceContext>(dc);
}

COLORREF DrawContext::Resolve(COLORREF color) const {
    auto entry = [&](size_t index) {
        return index < palette.size() ? SwapRedBlue(palette[index]) : SwapRedBlue(palette[0]);
    };
    switch (color >> 24) {
    case 0x01:
        return palette.empty() ? 0 : entry(color & 0xFFFF);
    case 0x02: {
        PixelFormat format = device->Format();
        if (palette.empty() || defaultPalette ||
            (format != PixelFormat::Indexed8 && format != PixelFormat::Mono))
            return color & 0x00FFFFFFu;
        return entry(static_cast<size_t>(NearestEntry(
            palette.data(), static_cast<int>(palette.size()), SwapRedBlue(color & 0x00FFFFFFu))));
    }
    default:
        return color & 0x00FFFFFFu;
    }
}

RECT DrawContext::ToDevice(const RECT& r) const {
    return RECT{
        Clamp(int64_t{r.left} - state.windowOrg.x), Clamp(int64_t{r.top} - state.windowOrg.y),
        Clamp(int64_t{r.right} - state.windowOrg.x), Clamp(int64_t{r.bottom} - state.windowOrg.y)};
}

POINT DrawContext::ToDevice(int x, int y) const {
    return POINT{Clamp(int64_t{x} - state.windowOrg.x), Clamp(int64_t{y} - state.windowOrg.y)};
}

bool DrawContext::BrushColor(COLORREF& color) const {
    auto brush = std::dynamic_pointer_cast<Brush>(state.brush.object);
    if (!brush || brush->isNull) return false;
    color = Resolve(brush->color);
    return true;
}

bool GetDrawContext(HDC handle, DrawContext& context) {
    std::shared_ptr<DeviceContext> dc = LookupDC(handle);
    if (!dc) return false;
    std::shared_ptr<GdiObject> palette;
    {
        std::lock_guard guard(dc->lock);
        context.state = dc->state;
        palette = dc->state.palette.object;
        context.defaultPalette = dc->state.palette.handle == GetStockObject(DEFAULT_PALETTE);
    }
    context.device = dc->device;
    context.palette = palette ? PaletteColors(*palette) : std::vector<uint32_t>{};
    return true;
}

std::vector<uint32_t> PaletteColors(const GdiObject& object) {
    auto& palette = const_cast<Palette&>(static_cast<const Palette&>(object));
    std::lock_guard guard(palette.lock);
    std::vector<uint32_t> colors;
    colors.reserve(palette.entries.size());
    for (const PALETTEENTRY& e : palette.entries)
        colors.push_back(uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue);
    return colors;
}

} // namespace platform

using platform::DcState;
using platform::DeviceContext;
using platform::Region;

HDC CreateCompatibleDC(HDC dc) {
    if (dc != 0 && !platform::LookupDC(dc)) return 0;
    auto bitmap = platform::LookupBitmap(platform::DefaultBitmap());
    return platform::RegisterDC(platform::DcKind::Memory,
                                std::make_shared<platform::MemoryDevice>(bitmap));
}

BOOL DeleteDC(HDC handle) {
    std::shared_ptr<DeviceContext> dc = platform::LookupDC(handle);
    if (!dc || (dc->kind != platform::DcKind::Memory && dc->kind != platform::DcKind::Printer))
        return FALSE;
    DcState none;
    {
        std::lock_guard guard(dc->lock);
        platform::ApplyBitmap(*dc, handle, dc->state, none);
        dc->state = none;
        dc->saved.clear();
    }
    return platform::UnregisterObject(handle) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    std::shared_ptr<DeviceContext> dc = platform::LookupDC(handle);
    auto found = platform::LookupObjectAs<platform::GdiObject>(object);
    if (!dc || !found) return 0;
    if (found->Kind() == platform::GdiKind::Region) {
        int kind = SelectClipRgn(handle, object);
        return kind == ERROR ? 0 : static_cast<HGDIOBJ>(kind);
    }
    std::lock_guard guard(dc->lock);
    DcState next = dc->state;
    platform::Selected* slot = nullptr;
    switch (found->Kind()) {
    case platform::GdiKind::Brush:
        slot = &next.brush;
        break;
    case platform::GdiKind::Pen:
        slot = &next.pen;
        break;
    case platform::GdiKind::Font:
        slot = &next.font;
        break;
    case platform::GdiKind::Bitmap: {
        if (dc->kind != platform::DcKind::Memory) return 0;
        auto bitmap = std::static_pointer_cast<platform::Bitmap>(found);
        {
            std::lock_guard selection(platform::SelectionLock());
            if (bitmap->selectedInto != 0 && bitmap->selectedInto != handle) return 0;
        }
        slot = &next.bitmap;
        break;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    HGDIOBJ previous = slot->handle;
    *slot = platform::Selected{object, found};
    platform::ApplyBitmap(*dc, handle, dc->state, next);
    dc->state = std::move(next);
    return previous;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT kind) {
    return platform::WithState(
        dc,
        [&](DcState& s) -> HGDIOBJ {
            switch (static_cast<platform::GdiKind>(kind)) {
            case platform::GdiKind::Pen:
                return s.pen.handle;
            case platform::GdiKind::Brush:
                return s.brush.handle;
            case platform::GdiKind::Palette:
                return s.palette.handle;
            case platform::GdiKind::Font:
                return s.font.handle;
            case platform::GdiKind::Bitmap:
                return s.bitmap.handle;
            default:
                return 0;
            }
        },
        HGDIOBJ{0});
}

int SaveDC(HDC handle) {
    std::shared_ptr<DeviceContext> dc = platform::LookupDC(handle);
    if (!dc) return 0;
    std::lock_guard guard(dc->lock);
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int level) {
    std::shared_ptr<DeviceContext> dc = platform::LookupDC(handle);
    if (!dc) return FALSE;
    std::lock_guard guard(dc->lock);
    auto count = static_cast<int64_t>(dc->saved.size());
    int64_t index = level < 0 ? count + level : int64_t{level} - 1;
    if (level == 0 || index < 0 || index >= count) return FALSE;
    DcState next = std::move(dc->saved[static_cast<size_t>(index)]);
    dc->saved.resize(static_cast<size_t>(index));
    platform::ApplyBitmap(*dc, handle, dc->state, next);
    dc->state = std::move(next);
    return TRUE;
}

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous) {
    return platform::WithState(
        dc,
        [&](DcState& s) {
            if (previous) *previous = s.windowOrg;
            s.windowOrg = POINT{x, y};
            return TRUE;
        },
        FALSE);
}

BOOL GetWindowOrgEx(HDC dc, POINT* origin) {
    if (!origin) return FALSE;
    return platform::WithState(
        dc,
        [&](DcState& s) {
            *origin = s.windowOrg;
            return TRUE;
        },
        FALSE);
}

int SetMapMode(HDC dc, int mode) {
    if (mode != MM_TEXT) return 0;
    return platform::WithState(
        dc, [](DcState&) { return MM_TEXT; }, 0);
}

int GetMapMode(HDC dc) {
    return platform::WithState(
        dc, [](DcState&) { return MM_TEXT; }, 0);
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    return platform::ChangeClip(dc, [&](DcState& s, Region& clip) {
        clip.Intersect(platform::Normalised(s, left, top, right, bottom));
    });
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    return platform::ChangeClip(dc, [&](DcState& s, Region& clip) {
        clip.Subtract(platform::Normalised(s, left, top, right, bottom));
    });
}

int SelectClipRgn(HDC handle, HRGN region) {
    Region copy;
    if (region != 0 && !platform::RegionOf(region, copy)) return ERROR;
    if (region == 0) {
        std::shared_ptr<DeviceContext> dc = platform::LookupDC(handle);
        if (!dc) return ERROR;
        std::lock_guard guard(dc->lock);
        dc->state.clip.reset();
        return SIMPLEREGION;
    }
    return platform::ChangeClip(handle, [&](DcState&, Region& clip) { clip = copy; });
}

namespace {

// Sets a DC field, answering the old value, or `failed` for a dead DC or a value
// outside [low, high].
template <class T> T Exchange(HDC dc, T DcState::*field, T value, T failed, T low, T high) {
    if (value < low || value > high) return failed;
    return platform::WithState(
        dc,
        [&](DcState& s) {
            T old = s.*field;
            s.*field = value;
            return old;
        },
        failed);
}

template <class T> T Read(HDC dc, T DcState::*field, T failed) {
    return platform::WithState(
        dc, [&](DcState& s) { return s.*field; }, failed);
}

} // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) {
    return Exchange(dc, &DcState::textColor, color, CLR_INVALID, COLORREF{0}, CLR_INVALID - 1);
}
COLORREF GetTextColor(HDC dc) {
    return Read(dc, &DcState::textColor, CLR_INVALID);
}
COLORREF SetBkColor(HDC dc, COLORREF color) {
    return Exchange(dc, &DcState::bkColor, color, CLR_INVALID, COLORREF{0}, CLR_INVALID - 1);
}
COLORREF GetBkColor(HDC dc) {
    return Read(dc, &DcState::bkColor, CLR_INVALID);
}
int SetBkMode(HDC dc, int mode) {
    return Exchange(dc, &DcState::bkMode, mode, 0, TRANSPARENT, OPAQUE);
}
int GetBkMode(HDC dc) {
    return Read(dc, &DcState::bkMode, 0);
}
int SetROP2(HDC dc, int rop2) {
    return Exchange(dc, &DcState::rop2, rop2, 0, R2_BLACK, R2_WHITE);
}
int GetROP2(HDC dc) {
    return Read(dc, &DcState::rop2, 0);
}
UINT SetTextAlign(HDC dc, UINT align) {
    return Exchange(dc, &DcState::textAlign, align, GDI_ERROR, UINT{0}, UINT{0xFF});
}
UINT GetTextAlign(HDC dc) {
    return Read(dc, &DcState::textAlign, GDI_ERROR);
}
int SetPolyFillMode(HDC dc, int mode) {
    return Exchange(dc, &DcState::polyFillMode, mode, 0, ALTERNATE, WINDING);
}
int GetPolyFillMode(HDC dc) {
    return Read(dc, &DcState::polyFillMode, 0);
}
int SetStretchBltMode(HDC dc, int mode) {
    return Exchange(dc, &DcState::stretchMode, mode, 0, BLACKONWHITE, HALFTONE);
}
int GetStretchBltMode(HDC dc) {
    return Read(dc, &DcState::stretchMode, 0);
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    return platform::WithState(
        dc,
        [&](DcState& s) {
            if (previous) *previous = s.position;
            s.position = POINT{x, y};
            return TRUE;
        },
        FALSE);
}

BOOL GetCurrentPositionEx(HDC dc, POINT* position) {
    if (!position) return FALSE;
    return platform::WithState(
        dc,
        [&](DcState& s) {
            *position = s.position;
            return TRUE;
        },
        FALSE);
}
