// The objects behind GDI handles, internal to the GDI. Every one is counted while it
// lives (a deleted object selected into a DC lives on until deselected), so tests can
// tell that a group of calls gave back all it made.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/gdi/text/font_types.h"
#include "platform/kernel/kernel_objects.h"

namespace platform {

// GetObjectType's kinds.
enum class GdiKind { Pen = 1, Brush = 2, Dc = 3, Palette = 5, Font = 6, Bitmap = 7, Region = 8 };

class LiveCounted {
public:
    LiveCounted() { Count().fetch_add(1); }
    LiveCounted(const LiveCounted&) = delete;
    LiveCounted& operator=(const LiveCounted&) = delete;
    virtual ~LiveCounted() { Count().fetch_sub(1); }
    static std::atomic<long>& Count();
};

class GdiObject : public KernelObject, public LiveCounted {
public:
    bool ClosableByCloseHandle() const override { return false; }
    virtual GdiKind Kind() const = 0;
    // Stock objects and system-colour brushes: never deleted, never counted.
    bool permanent = false;
};

class Brush : public GdiObject {
public:
    explicit Brush(COLORREF c, bool hollow = false) : color(c), isNull(hollow) {}
    GdiKind Kind() const override { return GdiKind::Brush; }
    COLORREF color; // as given: PALETTEINDEX and PALETTERGB are resolved when drawing
    bool isNull;
};

class Pen : public GdiObject {
public:
    Pen(int s, int w, COLORREF c) : style(s), width(w), color(c) {}
    GdiKind Kind() const override { return GdiKind::Pen; }
    int style;
    int width;
    COLORREF color;
};

class FontInstance;

// A logical font, kept as given. Its instance (the face at its size) is made at the first
// text call that needs it, and again after the font set changes.
class Font : public GdiObject {
public:
    explicit Font(const LOGFONTA& f) : logFont(f) {}
    GdiKind Kind() const override { return GdiKind::Font; }
    std::shared_ptr<const FontInstance> Instance() const; // font_object.cpp
    const LOGFONTA logFont;

private:
    mutable std::mutex lock_;
    mutable unsigned generation_ = 0;
    mutable std::shared_ptr<const FontInstance> instance_;
};

class RegionObject : public GdiObject {
public:
    GdiKind Kind() const override { return GdiKind::Region; }
    std::mutex lock;
    Region region;
};

// Registers a stock object: it lives for the process and is left out of the count.
HGDIOBJ RegisterPermanent(std::shared_ptr<GdiObject> object);

} // namespace platform
