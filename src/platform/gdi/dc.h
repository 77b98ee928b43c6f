// The object behind every DC handle: a device and the state drawing calls read.
// Internal to the GDI.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/gdi/device.h"
#include "platform/gdi/gdi_object.h"

namespace platform {

class Bitmap;
class Palette;

// Surface: a DirectDraw surface's DC (directx/), which selects no bitmap; Printer: a
// printer's (printing/).
enum class DcKind { Window, Screen, Memory, Surface, Printer };

// A selected object: its handle (which may have died since) and the object itself.
struct Selected {
    HGDIOBJ handle = 0;
    std::shared_ptr<GdiObject> object;
};

struct DcState {
    Selected bitmap; // memory DCs only
    Selected brush;
    Selected pen;
    Selected font;
    Selected palette;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = 2;
    int rop2 = 13;
    UINT textAlign = 0;
    int polyFillMode = 1;
    int stretchMode = 1;
    POINT position{};
    POINT windowOrg{};
    std::optional<Region> clip; // device coordinates; none: everything
};

class DeviceContext : public KernelObject, public LiveCounted {
public:
    DeviceContext(DcKind k, std::shared_ptr<Device> d) : kind(k), device(std::move(d)) {}
    bool ClosableByCloseHandle() const override { return false; }

    const DcKind kind;
    const std::shared_ptr<Device> device;
    std::mutex lock; // over `state` and `saved`
    DcState state;
    std::vector<DcState> saved;
};

// A new DC with the default objects selected; 0 when the handle table is full.
HDC RegisterDC(DcKind kind, std::shared_ptr<Device> device);
std::shared_ptr<DeviceContext> LookupDC(HDC dc);

// What one drawing call needs of a DC, copied out so drawing holds no DC lock.
struct DrawContext {
    std::shared_ptr<Device> device;
    DcState state;
    // Colours of PALETTEINDEX and PALETTERGB values, 0x00RRGGBB.
    std::vector<uint32_t> palette;
    // No palette was selected: PALETTERGB takes the nearest entry of the device's own colour
    // table, not of the 20 default colours (an 8-bit DIB's stand-in for black must not turn
    // into its entry 0).
    bool defaultPalette = true;

    ClipRegion Clip() const { return state.clip ? &*state.clip : nullptr; }
    // A COLORREF as the device should draw it: PALETTEINDEX takes the selected
    // palette's entry, PALETTERGB its nearest entry on a device with a colour table;
    // other high bytes are dropped.
    COLORREF Resolve(COLORREF color) const;
    // Logical to device coordinates.
    RECT ToDevice(const RECT& r) const;
    POINT ToDevice(int x, int y) const;
    // The colour of the selected brush; false for the null brush.
    bool BrushColor(COLORREF& color) const;
};

bool GetDrawContext(HDC dc, DrawContext& context);

// The palette entries of a palette object, 0x00RRGGBB.
std::vector<uint32_t> PaletteColors(const GdiObject& palette);

// The display's pixel format and the colour table of its 8-bit format.
PixelFormat DisplayFormat();
std::vector<uint32_t> DisplayColorTable();

} // namespace platform
