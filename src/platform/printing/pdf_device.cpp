#include "platform/printing/pdf_device.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <tuple>

#include "platform/gdi/bitmaps/pixel_format.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/text/font_instance.h"
#include "platform/kernel/errors.h"
#include "platform/libraries/lazy_library.h"
#include "platform/printing/printing.h"

namespace platform {
namespace {

constexpr uint8_t ROP_BLACKNESS = 0x00;
constexpr uint8_t ROP_PATCOPY = 0xF0;
constexpr uint8_t ROP_SRCCOPY = 0xCC;
constexpr uint8_t ROP_WHITENESS = 0xFF;

void SetColor(cairo_t* cairo, COLORREF color) {
    cairo_set_source_rgb(cairo, (color & 0xFF) / 255.0, (color >> 8 & 0xFF) / 255.0,
                         (color >> 16 & 0xFF) / 255.0);
}

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// The faces text is drawn in, opened once from the files the GDI fonts use: cairo sets
// the size of a face it draws with, so the GDI's own faces are not lent to it.
class PrinterFaces {
public:
    cairo_font_face_t* Face(const FontInstance::FaceSource& source) {
        std::lock_guard guard(lock_);
        auto key = std::tuple(source.path, source.index, source.bold, source.italic);
        auto found = faces_.find(key);
        if (found != faces_.end()) return found->second;
        cairo_font_face_t* made = nullptr;
        if (library_ == nullptr && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
        FT_Face face = nullptr;
        if (library_ != nullptr &&
            FT_New_Face(library_, source.path.c_str(), source.index, &face) == 0) {
            made = cairo_ft_font_face_create_for_ft_face(face, 0);
            static cairo_user_data_key_t owner;
            cairo_font_face_set_user_data(
                made, &owner, face, [](void* done) { FT_Done_Face(static_cast<FT_Face>(done)); });
            unsigned synthesize = (source.bold ? CAIRO_FT_SYNTHESIZE_BOLD : 0) |
                                  (source.italic ? CAIRO_FT_SYNTHESIZE_OBLIQUE : 0);
            if (synthesize != 0) cairo_ft_font_face_set_synthesize(made, synthesize);
        }
        faces_[key] = made;
        return made;
    }

private:
    std::mutex lock_;
    FT_Library library_ = nullptr;
    std::map<std::tuple<std::string, int, bool, bool>, cairo_font_face_t*> faces_;
};

PrinterFaces& Faces() {
    static auto* faces = new PrinterFaces;
    return *faces;
}

// A glyph mask as an 8-bit alpha picture.
cairo_surface_t* MaskOf(const GlyphMask& glyph) {
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, glyph.width, glyph.height);
    if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) return mask;
    cairo_surface_flush(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    int stride = cairo_image_surface_get_stride(mask);
    for (int y = 0; y < glyph.height; ++y) {
        const uint8_t* row = glyph.bits + y * glyph.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            data[y * stride + x] =
                glyph.bitsPerPixel == 1 ? ((row[x / 8] >> (7 - x % 8) & 1) ? 255 : 0) : row[x];
        }
    }
    cairo_surface_mark_dirty(mask);
    return mask;
}

} // namespace

PdfDevice::~PdfDevice() {
    std::lock_guard guard(lock_);
    Close();
}

void PdfDevice::Close() {
    if (cairo_ != nullptr) cairo_destroy(cairo_);
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
    cairo_ = nullptr;
    surface_ = nullptr;
    pageOpen_ = false;
    pageDrawn_ = false;
    pagesEnded_ = 0;
}

bool PdfDevice::BeginDocument() {
    std::lock_guard guard(lock_);
    if (surface_ != nullptr || !Require({LazyLibrary::Cairo, LazyLibrary::Freetype})) return false;
    bytes_.clear();
    double points = 72.0 / PRINTER_DPI;
    surface_ = cairo_pdf_surface_create_for_stream(&Append, &bytes_, page_.widthPoints,
                                                   page_.heightPoints);
    cairo_ = cairo_create(surface_);
    if (cairo_status(cairo_) != CAIRO_STATUS_SUCCESS) {
        Close();
        return false;
    }
    cairo_scale(cairo_, points, points);
    cairo_translate(cairo_, page_.offsetX, page_.offsetY);
    return true;
}

bool PdfDevice::BeginPage() {
    std::lock_guard guard(lock_);
    if (surface_ == nullptr || pageOpen_) return false;
    pageOpen_ = true;
    return true;
}

bool PdfDevice::FinishPage() {
    std::lock_guard guard(lock_);
    if (!pageOpen_) return false;
    cairo_show_page(cairo_);
    pageOpen_ = false;
    ++pagesEnded_;
    return cairo_status(cairo_) == CAIRO_STATUS_SUCCESS;
}

bool PdfDevice::FinishDocument(std::vector<uint8_t>& pdf) {
    std::lock_guard guard(lock_);
    if (surface_ == nullptr) return false;
    if (pageOpen_) {
        cairo_show_page(cairo_);
        ++pagesEnded_;
    }
    cairo_surface_finish(surface_);
    bool written = cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS;
    Close();
    if (written) pdf.swap(bytes_);
    bytes_.clear();
    return written;
}

void PdfDevice::Discard() {
    std::lock_guard guard(lock_);
    Close();
    bytes_.clear();
}

bool PdfDevice::DocumentOpen() const {
    std::lock_guard guard(lock_);
    return surface_ != nullptr;
}

bool PdfDevice::PageOpen() const {
    std::lock_guard guard(lock_);
    return pageOpen_;
}

bool PdfDevice::Limit(Region& limit) {
    limit = Region(RECT{0, 0, page_.PrintableWidth(), page_.PrintableHeight()});
    return true;
}

template <typename Draw> bool PdfDevice::OnPage(ClipRegion clip, Draw draw) {
    std::lock_guard guard(lock_);
    if (!pageOpen_) return true;
    cairo_save(cairo_);
    cairo_rectangle(cairo_, 0, 0, page_.PrintableWidth(), page_.PrintableHeight());
    cairo_clip(cairo_);
    if (clip != nullptr) {
        for (const RECT& r : clip->Rects())
            cairo_rectangle(cairo_, r.left, r.top, r.right - r.left, r.bottom - r.top);
        cairo_clip(cairo_);
    }
    draw();
    cairo_restore(cairo_);
    return true;
}

void PdfDevice::FillRect(const RECT& r, COLORREF color) {
    SetColor(cairo_, color);
    cairo_rectangle(cairo_, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cairo_);
}

bool PdfDevice::FillSpans(std::span<const Span> spans, COLORREF color, int rop2, ClipRegion clip) {
    if (rop2 == R2_NOP) return true;
    if (rop2 == R2_BLACK) color = 0;
    if (rop2 == R2_WHITE) color = 0xFFFFFF;
    if (rop2 != R2_COPYPEN && rop2 != R2_BLACK && rop2 != R2_WHITE) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    return OnPage(clip, [&] {
        SetColor(cairo_, color);
        // Runs of spans one above the other with the same ends are one rectangle.
        size_t i = 0;
        while (i < spans.size()) {
            size_t j = i + 1;
            while (j < spans.size() && spans[j].x0 == spans[i].x0 && spans[j].x1 == spans[i].x1 &&
                   spans[j].y == spans[j - 1].y + 1)
                ++j;
            if (spans[i].x1 > spans[i].x0)
                cairo_rectangle(cairo_, spans[i].x0, spans[i].y, spans[i].x1 - spans[i].x0,
                                static_cast<double>(j - i));
            i = j;
        }
        cairo_fill(cairo_);
    });
}

bool PdfDevice::DrawGlyphs(std::span<const GlyphMask> glyphs, COLORREF color, ClipRegion clip) {
    return OnPage(clip, [&] {
        SetColor(cairo_, color);
        for (const GlyphMask& glyph : glyphs) {
            FontInstance::FaceSource source;
            cairo_font_face_t* face = glyph.font != nullptr && glyph.font->Source(source)
                                          ? Faces().Face(source)
                                          : nullptr;
            if (face != nullptr) {
                cairo_set_font_face(cairo_, face);
                cairo_matrix_t size;
                cairo_matrix_init_scale(&size, source.emX, source.emY);
                cairo_set_font_matrix(cairo_, &size);
                cairo_glyph_t run{glyph.font->GlyphIndex(glyph.character), double(glyph.penX),
                                  double(glyph.penY)};
                cairo_show_glyphs(cairo_, &run, 1);
                continue;
            }
            cairo_surface_t* mask = MaskOf(glyph);
            cairo_mask_surface(cairo_, mask, glyph.x, glyph.y);
            cairo_surface_destroy(mask);
        }
    });
}

bool PdfDevice::Blit(const RECT& area, const Image* source, POINT at, uint8_t rop3, COLORREF brush,
                     const BlitColors&, ClipRegion clip) {
    if (rop3 == ROP_PATCOPY || rop3 == ROP_BLACKNESS || rop3 == ROP_WHITENESS) {
        COLORREF color = rop3 == ROP_PATCOPY ? brush : rop3 == ROP_BLACKNESS ? 0 : 0xFFFFFF;
        return OnPage(clip, [&] { FillRect(area, color); });
    }
    if (rop3 != ROP_SRCCOPY || source == nullptr) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return true;
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(picture);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    cairo_surface_flush(picture);
    unsigned char* data = cairo_image_surface_get_data(picture);
    int stride = cairo_image_surface_get_stride(picture);
    const Surface& from = source->surface;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        int sy = area.top + y - at.y;
        for (int x = 0; x < width; ++x) {
            int sx = area.left + x - at.x;
            COLORREF color = sx >= 0 && sy >= 0 && sx < from.width && sy < from.height
                                 ? PixelToColor(from, ReadPixel(from, sx, sy))
                                 : 0xFFFFFF;
            row[x] = SwapRedBlue(color);
        }
    }
    cairo_surface_mark_dirty(picture);
    bool drawn = OnPage(clip, [&] {
        cairo_set_source_surface(cairo_, picture, area.left, area.top);
        cairo_pattern_set_filter(cairo_get_source(cairo_), CAIRO_FILTER_NEAREST);
        cairo_rectangle(cairo_, area.left, area.top, width, height);
        cairo_fill(cairo_);
    });
    cairo_surface_destroy(picture);
    return drawn;
}

bool PdfDevice::Read(const RECT&, Image&) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
}

COLORREF PdfDevice::GetPixel(int, int, ClipRegion) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return CLR_INVALID;
}

COLORREF PdfDevice::SetPixel(int x, int y, COLORREF color, ClipRegion clip) {
    if (x < 0 || y < 0 || x >= page_.PrintableWidth() || y >= page_.PrintableHeight() ||
        (clip != nullptr && !clip->Contains(x, y)))
        return CLR_INVALID;
    OnPage(clip, [&] { FillRect(RECT{x, y, x + 1, y + 1}, color); });
    return color;
}

bool PdfDevice::Capability(int index, int& value) const {
    switch (index) {
    case TECHNOLOGY:
        value = DT_RASPRINTER;
        return true;
    case HORZSIZE:
        value = page_.PrintableWidth() * 254 / (PRINTER_DPI * 10);
        return true;
    case VERTSIZE:
        value = page_.PrintableHeight() * 254 / (PRINTER_DPI * 10);
        return true;
    case HORZRES:
        value = page_.PrintableWidth();
        return true;
    case VERTRES:
        value = page_.PrintableHeight();
        return true;
    case LOGPIXELSX:
    case LOGPIXELSY:
        value = PRINTER_DPI;
        return true;
    case PHYSICALWIDTH:
        value = page_.width;
        return true;
    case PHYSICALHEIGHT:
        value = page_.height;
        return true;
    case PHYSICALOFFSETX:
        value = page_.offsetX;
        return true;
    case PHYSICALOFFSETY:
        value = page_.offsetY;
        return true;
    case BITSPIXEL:
        value = 24;
        return true;
    case NUMCOLORS:
        value = -1;
        return true;
    case RASTERCAPS:
        value =
            RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
        return true;
    case COLORRES:
        value = 24;
        return true;
    default:
        return false;
    }
}

} // namespace platform
