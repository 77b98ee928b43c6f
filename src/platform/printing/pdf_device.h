// The device behind a printer DC: one PDF document drawn page by page with cairo, at 300
// dots an inch, kept in memory until it is written.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/device.h"

using cairo_surface_t = struct _cairo_surface;
using cairo_t = struct _cairo;

namespace platform {

inline constexpr int PRINTER_DPI = 300;

// The paper in dots and where the printable area starts on it (the same margin opposite).
struct PageGeometry {
    double widthPoints = 0; // the paper as the document states it, in points
    double heightPoints = 0;
    int width = 0;
    int height = 0;
    int offsetX = 0;
    int offsetY = 0;

    int PrintableWidth() const { return width - 2 * offsetX; }
    int PrintableHeight() const { return height - 2 * offsetY; }
};

class PdfDevice : public Device {
public:
    explicit PdfDevice(PageGeometry page) : page_(page) {}
    ~PdfDevice() override;

    const PageGeometry& Page() const { return page_; }

    // The document in memory; false when one is open already or cairo fails.
    bool BeginDocument();
    bool BeginPage();
    bool FinishPage();
    // The finished PDF; false without an open document (a page still open is ended).
    bool FinishDocument(std::vector<uint8_t>& pdf);
    void Discard();
    bool DocumentOpen() const;
    bool PageOpen() const;

    PixelFormat Format() const override { return PixelFormat::Bgrx32; }
    std::vector<uint32_t> ColorTable() const override { return {}; }
    bool Limit(Region& limit) override;
    bool FillSpans(std::span<const Span> spans, COLORREF color, int rop2, ClipRegion clip) override;
    bool DrawGlyphs(std::span<const GlyphMask> glyphs, COLORREF color, ClipRegion clip) override;
    bool Blit(const RECT& area, const Image* source, POINT at, uint8_t rop3, COLORREF brush,
              const BlitColors& colors, ClipRegion clip) override;
    bool Read(const RECT& area, Image& out) override;
    COLORREF GetPixel(int x, int y, ClipRegion clip) override;
    COLORREF SetPixel(int x, int y, COLORREF color, ClipRegion clip) override;
    bool Capability(int index, int& value) const override;

private:
    // Runs `draw` on the open page inside the clip; false (nothing drawn) without a page.
    template <typename Draw> bool OnPage(ClipRegion clip, Draw draw);
    void FillRect(const RECT& r, COLORREF color);
    void Close();

    const PageGeometry page_;
    mutable std::mutex lock_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cairo_ = nullptr;
    std::vector<uint8_t> bytes_;
    bool pageOpen_ = false;
    bool pageDrawn_ = false;
    int pagesEnded_ = 0;
};

} // namespace platform
