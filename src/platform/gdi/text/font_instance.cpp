#include "platform/gdi/text/font_instance.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/gdi/text/font_lookup.h"
#include "platform/gdi/text/font_outline_metrics.h"
#include "platform/kernel/cp1252.h"
#include "platform/libraries/lazy_library.h"

namespace platform {
namespace {

// Instances no one holds any more stay this many, for the next text call to find.
constexpr size_t KEPT_INSTANCES = 64;
// The slant of a synthesised italic, as a 16.16 shear (about 12 degrees).
constexpr FT_Fixed ITALIC_SHEAR = 0x0366A;

// Rounds a / b to the nearest integer, halves away from zero; b > 0.
int64_t RoundDiv(int64_t a, int64_t b) {
    return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b);
}

LONG ToLong(int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// FreeType's library, and the lock every use of it and of its faces takes.
struct FreeType {
    std::mutex lock;
    FT_Library library = nullptr;
    bool tried = false;

    FT_Library LibraryLocked() {
        if (!tried && (!Require(LazyLibrary::Freetype) || FT_Init_FreeType(&library) != 0))
            library = nullptr;
        tried = true;
        return library;
    }
};

// Never destroyed, like the instances that may outlive static destruction.
FreeType& Library() {
    static auto* freeType = new FreeType;
    return *freeType;
}

// Font units to pixels: units * num / den.
struct Scale {
    int64_t num = 1;
    int64_t den = 1;
    int64_t operator()(int64_t units) const { return RoundDiv(units * num, den); }
    // The em, limited to 1 .. MAX_EM pixels.
    void Limit(int64_t unitsPerEm) {
        if (unitsPerEm * num > MAX_EM * den) {
            num = MAX_EM;
            den = unitsPerEm;
        } else if (unitsPerEm * num < den) {
            num = 1;
            den = unitsPerEm;
        }
    }
    FT_F26Dot6 Em26Dot6(int64_t unitsPerEm) const {
        return static_cast<FT_F26Dot6>(std::max<int64_t>(64, RoundDiv(unitsPerEm * num * 64, den)));
    }
};

// The average character width in font units. The Windows faces carry xAvgCharWidth as
// OS/2 tables before version 3 defined it, weighted by the frequency of English lower-case
// letters and the space; later tables (the free faces') average every glyph, which would
// make tabs and margins a quarter wider than the faces they stand in for. So the old
// definition is computed from the advances when the face has those letters.
int64_t AverageWidthUnits(FT_Face face, const TT_OS2& os2, int64_t unitsPerEm) {
    static constexpr std::array<int, 27> WEIGHTS{64, 14, 27, 35, 100, 20, 14, 42, 63,
                                                 3,  6,  35, 20, 56,  56, 17, 4,  49,
                                                 56, 71, 31, 10, 18,  3,  18, 2,  166};
    int64_t fallback = os2.xAvgCharWidth > 0 ? os2.xAvgCharWidth : unitsPerEm / 2;
    if (os2.version < 3) return fallback;
    int64_t sum = 0;
    for (size_t i = 0; i < WEIGHTS.size(); ++i) {
        FT_UInt index = FT_Get_Char_Index(face, i < 26 ? 'a' + i : ' ');
        FT_Fixed advance = 0;
        if (index == 0 || FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance) != 0)
            return fallback;
        sum += advance * WEIGHTS[i];
    }
    return sum / 1000 > 0 ? sum / 1000 : fallback;
}

std::string KeyOf(const LOGFONTA& font) {
    std::string key;
    for (LONG value :
         {font.lfHeight, font.lfWidth, font.lfEscapement, font.lfOrientation, font.lfWeight})
        key.append(reinterpret_cast<const char*>(&value), sizeof value);
    for (BYTE value :
         {font.lfItalic, font.lfUnderline, font.lfStrikeOut, font.lfCharSet, font.lfOutPrecision,
          font.lfClipPrecision, font.lfQuality, font.lfPitchAndFamily})
        key.push_back(static_cast<char>(value));
    key.append(FaceNameOf(font));
    return key;
}

struct InstanceCache {
    std::mutex lock;
    unsigned generation = 0;
    std::map<std::string, std::shared_ptr<const FontInstance>> instances;
};

InstanceCache& Instances() {
    static auto* cache = new InstanceCache;
    return *cache;
}

std::string FromFreeTypeName(const char* name) {
    std::string converted;
    if (name != nullptr) Utf8ToCp1252(name, converted);
    return converted;
}

} // namespace

struct FontInstance::FaceRecord {
    FT_Face face = nullptr;
    Scale x;
    Scale y;
    std::string path;
    int index = 0;
    int64_t unitsPerEm = 1;
};

std::shared_ptr<const FontInstance> FontInstance::ForLogFont(const LOGFONTA& logFont) {
    unsigned generation = FontSetGeneration();
    std::string key = KeyOf(logFont);
    InstanceCache& cache = Instances();
    {
        std::lock_guard guard(cache.lock);
        if (cache.generation != generation) {
            cache.instances.clear();
            cache.generation = generation;
        }
        auto found = cache.instances.find(key);
        if (found != cache.instances.end()) return found->second;
    }
    FontFile file = FindFontFile(logFont);
    std::shared_ptr<const FontInstance> made(new FontInstance(
        logFont, file.path, file.index, file.synthesizeBold, file.synthesizeItalic));
    std::lock_guard guard(cache.lock);
    if (cache.instances.size() >= KEPT_INSTANCES) {
        std::erase_if(cache.instances,
                      [](const auto& entry) { return entry.second.use_count() == 1; });
    }
    auto [entry, added] = cache.instances.emplace(std::move(key), made);
    return entry->second;
}

std::shared_ptr<const FontInstance> FontInstance::FromFile(const std::string& path,
                                                           const LOGFONTA& logFont) {
    return std::shared_ptr<const FontInstance>(new FontInstance(logFont, path, 0, false, false));
}

FontInstance::FontInstance(const LOGFONTA& logFont, const std::string& path, int index,
                           bool synthesizeBold, bool synthesizeItalic)
    : logFont_(logFont), synthesizeBold_(synthesizeBold), synthesizeItalic_(synthesizeItalic) {
    if (!path.empty()) LoadFace(path, index);
    if (face_ == nullptr) UseFallback();
}

FontInstance::~FontInstance() {
    if (face_ == nullptr) return;
    FreeType& freeType = Library();
    std::lock_guard guard(freeType.lock);
    FT_Done_Face(face_->face);
    delete face_;
}

void FontInstance::LoadFace(const std::string& path, int index) {
    FreeType& freeType = Library();
    std::lock_guard guard(freeType.lock);
    FT_Library library = freeType.LibraryLocked();
    FT_Face face = nullptr;
    if (library == nullptr || FT_New_Face(library, path.c_str(), index, &face) != 0) return;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const TT_HoriHeader* hhea =
        static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    const TT_Postscript* post =
        static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    const TT_Header* head = static_cast<const TT_Header*>(FT_Get_Sfnt_Table(face, FT_SFNT_HEAD));
    int64_t upem = face->units_per_EM;
    if (!FT_IS_SCALABLE(face) || upem <= 0 || os2 == nullptr || os2->version == 0xFFFF ||
        hhea == nullptr || post == nullptr || head == nullptr) {
        FT_Done_Face(face);
        return;
    }
    int64_t winAscent = os2->usWinAscent;
    int64_t winDescent = os2->usWinDescent;
    int64_t cellUnits = winAscent + winDescent > 0 ? winAscent + winDescent : upem;
    int64_t averageUnits = AverageWidthUnits(face, *os2, upem);

    Scale y;
    int64_t height = logFont_.lfHeight;
    if (height < 0) {
        y = Scale{-height, upem};
    } else {
        y = Scale{height > 0 ? height : DEFAULT_CELL_HEIGHT, cellUnits};
    }
    y.Limit(upem);
    Scale x = y;
    if (logFont_.lfWidth != 0) {
        x = Scale{std::abs(int64_t{logFont_.lfWidth}), averageUnits};
        x.Limit(upem);
    }
    if (FT_Set_Char_Size(face, x.Em26Dot6(upem), y.Em26Dot6(upem), 72, 72) != 0) {
        FT_Done_Face(face);
        return;
    }
    face_ = new FaceRecord{face, x, y, path, index, upem};

    TEXTMETRICA& tm = metrics_;
    tm.tmAscent = ToLong(y(winAscent));
    tm.tmDescent = ToLong(y(winDescent));
    // A cell height given is the cell height got, whatever the rounding of its parts.
    if (height > 0 && y.num == height) tm.tmDescent = ToLong(height - tm.tmAscent);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max<LONG>(0, ToLong(tm.tmHeight - y(upem)));
    int64_t hheaLine = int64_t{hhea->Ascender} - hhea->Descender + hhea->Line_Gap;
    tm.tmExternalLeading = ToLong(std::max<int64_t>(0, y(hheaLine - cellUnits)));
    tm.tmAveCharWidth = ToLong(std::max<int64_t>(1, x(averageUnits)));
    tm.tmMaxCharWidth = ToLong(x(hhea->advance_Width_Max));
    tm.tmWeight = synthesizeBold_ ? FW_BOLD : (os2->usWeightClass ? os2->usWeightClass : FW_NORMAL);
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x1E;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = logFont_.lfItalic ? 255 : 0;
    tm.tmUnderlined = logFont_.lfUnderline ? 255 : 0;
    tm.tmStruckOut = logFont_.lfStrikeOut ? 255 : 0;
    BYTE family = FF_SWISS;
    if (FT_IS_FIXED_WIDTH(face))
        family = FF_MODERN;
    else if (os2->panose[1] >= 2 && os2->panose[1] <= 10)
        family = FF_ROMAN;
    tm.tmPitchAndFamily = static_cast<BYTE>((FT_IS_FIXED_WIDTH(face) ? 0 : TMPF_FIXED_PITCH) |
                                            TMPF_VECTOR | TMPF_TRUETYPE | family);
    tm.tmCharSet = ANSI_CHARSET;

    OUTLINETEXTMETRICA& otm = outline_;
    otm.otmTextMetrics = tm;
    const FT_Byte* panose = os2->panose;
    otm.otmPanoseNumber = PANOSE{panose[0], panose[1], panose[2], panose[3], panose[4],
                                 panose[5], panose[6], panose[7], panose[8], panose[9]};
    otm.otmfsSelection = os2->fsSelection;
    if (logFont_.lfItalic) otm.otmfsSelection |= 0x01;
    if (logFont_.lfUnderline) otm.otmfsSelection |= 0x02;
    if (logFont_.lfStrikeOut) otm.otmfsSelection |= 0x10;
    if (synthesizeBold_) otm.otmfsSelection |= 0x20;
    otm.otmfsType = os2->fsType;
    otm.otmsCharSlopeRise = hhea->caret_Slope_Rise;
    otm.otmsCharSlopeRun = hhea->caret_Slope_Run;
    otm.otmItalicAngle = static_cast<int>(RoundDiv(int64_t{post->italicAngle} * 10, 0x10000));
    otm.otmEMSquare = static_cast<UINT>(upem);
    otm.otmAscent = ToLong(y(os2->sTypoAscender));
    otm.otmDescent = ToLong(y(os2->sTypoDescender));
    otm.otmLineGap = static_cast<UINT>(std::max<int64_t>(0, y(os2->sTypoLineGap)));
    if (os2->version >= 2) {
        otm.otmsCapEmHeight = static_cast<UINT>(std::max<int64_t>(0, y(os2->sCapHeight)));
        otm.otmsXHeight = static_cast<UINT>(std::max<int64_t>(0, y(os2->sxHeight)));
    }
    otm.otmrcFontBox = RECT{ToLong(x(head->xMin)), ToLong(y(head->yMax)), ToLong(x(head->xMax)),
                            ToLong(y(head->yMin))};
    otm.otmMacAscent = ToLong(y(hhea->Ascender));
    otm.otmMacDescent = ToLong(y(hhea->Descender));
    otm.otmMacLineGap = static_cast<UINT>(std::max<int64_t>(0, y(hhea->Line_Gap)));
    otm.otmusMinimumPPEM = head->Lowest_Rec_PPEM;
    otm.otmptSubscriptSize =
        POINT{ToLong(x(os2->ySubscriptXSize)), ToLong(y(os2->ySubscriptYSize))};
    otm.otmptSubscriptOffset =
        POINT{ToLong(x(os2->ySubscriptXOffset)), ToLong(y(os2->ySubscriptYOffset))};
    otm.otmptSuperscriptSize =
        POINT{ToLong(x(os2->ySuperscriptXSize)), ToLong(y(os2->ySuperscriptYSize))};
    otm.otmptSuperscriptOffset =
        POINT{ToLong(x(os2->ySuperscriptXOffset)), ToLong(y(os2->ySuperscriptYOffset))};
    otm.otmsStrikeoutSize = static_cast<UINT>(std::max<int64_t>(1, y(os2->yStrikeoutSize)));
    otm.otmsStrikeoutPosition = ToLong(y(os2->yStrikeoutPosition));
    otm.otmsUnderscoreSize = ToLong(std::max<int64_t>(1, y(post->underlineThickness)));
    otm.otmsUnderscorePosition = ToLong(y(post->underlinePosition));

    // Both lines keep inside the cell.
    auto bar = [&](int64_t top, int64_t size) {
        int64_t high = std::min<int64_t>(size, tm.tmHeight);
        top = std::clamp<int64_t>(top, -tm.tmAscent, tm.tmDescent - high);
        return FontBar{static_cast<int>(top), static_cast<int>(high)};
    };
    underline_ = bar(-otm.otmsUnderscorePosition, otm.otmsUnderscoreSize);
    strikeOut_ = bar(-otm.otmsStrikeoutPosition, otm.otmsStrikeoutSize);

    names_.family = FromFreeTypeName(face->family_name);
    names_.style = FromFreeTypeName(face->style_name);
    names_.full = names_.family;
    if (!names_.style.empty() && names_.style != "Regular") names_.full += " " + names_.style;
    names_.face = names_.full;
    PlaceOutlineNames(otm, names_);

    for (int byte = 0; byte < 256; ++byte) {
        FT_UInt index =
            FT_Get_Char_Index(face, Cp1252ToCodePoint(static_cast<unsigned char>(byte)));
        glyphIndexes_[byte] = index;
        FT_Fixed units = 0;
        FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &units);
        advances_[byte] = static_cast<int>(x(units) + (synthesizeBold_ ? 1 : 0));
    }
}

void FontInstance::UseFallback() {
    int64_t height = logFont_.lfHeight;
    int64_t cell = height == 0 ? DEFAULT_CELL_HEIGHT : std::min<int64_t>(std::abs(height), MAX_EM);
    int64_t width = logFont_.lfWidth != 0
                        ? std::min<int64_t>(std::abs(int64_t{logFont_.lfWidth}), MAX_EM)
                        : std::max<int64_t>(1, cell / 2);
    TEXTMETRICA& tm = metrics_;
    tm.tmHeight = static_cast<LONG>(cell);
    tm.tmAscent = static_cast<LONG>((cell * 4 + 4) / 5);
    tm.tmDescent = tm.tmHeight - tm.tmAscent;
    tm.tmAveCharWidth = static_cast<LONG>(width);
    tm.tmMaxCharWidth = static_cast<LONG>(width);
    tm.tmWeight = logFont_.lfWeight ? logFont_.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x1E;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmPitchAndFamily = FF_SWISS;
    underline_ = FontBar{std::min(1, static_cast<int>(tm.tmDescent) - 1), 1};
    strikeOut_ = FontBar{-static_cast<int>(tm.tmAscent) / 3, 1};
    advances_.fill(static_cast<int>(width));
}

bool FontInstance::OutlineMetrics(OUTLINETEXTMETRICA& metrics, FontNames& names) const {
    if (face_ == nullptr) return false;
    metrics = outline_;
    names = names_;
    return true;
}

GlyphKind FontInstance::DefaultGlyphKind() const {
    return logFont_.lfQuality == NONANTIALIASED_QUALITY ? GlyphKind::Mono : GlyphKind::Grey;
}

int64_t FontInstance::Extent(std::string_view text) const {
    int64_t extent = 0;
    for (char c : text)
        extent += advances_[static_cast<unsigned char>(c)];
    return extent;
}

size_t FontInstance::Fit(std::string_view text, int64_t maxExtent,
                         std::vector<int64_t>* partial) const {
    int64_t extent = 0;
    size_t fit = 0;
    bool fitting = true;
    if (partial != nullptr) partial->clear();
    for (char c : text) {
        extent += advances_[static_cast<unsigned char>(c)];
        if (partial != nullptr) partial->push_back(extent);
        fitting = fitting && extent <= maxExtent;
        if (fitting) ++fit;
    }
    return fit;
}

const GlyphBitmap& FontInstance::Glyph(unsigned char byte, GlyphKind kind) const {
    std::atomic<const GlyphBitmap*>& slot = glyphs_[(kind == GlyphKind::Mono ? 256 : 0) + byte];
    if (const GlyphBitmap* known = slot.load(std::memory_order_acquire)) return *known;
    FreeType& freeType = Library();
    std::lock_guard guard(freeType.lock);
    if (const GlyphBitmap* known = slot.load(std::memory_order_acquire)) return *known;
    rendered_.push_back(Render(byte, kind));
    slot.store(rendered_.back().get(), std::memory_order_release);
    return *rendered_.back();
}

bool FontInstance::Source(FaceSource& source) const {
    if (face_ == nullptr) return false;
    source.path = face_->path;
    source.index = face_->index;
    source.emX = static_cast<double>(face_->unitsPerEm * face_->x.num) / face_->x.den;
    source.emY = static_cast<double>(face_->unitsPerEm * face_->y.num) / face_->y.den;
    source.bold = synthesizeBold_;
    source.italic = synthesizeItalic_;
    return true;
}

std::unique_ptr<GlyphBitmap> FontInstance::Render(unsigned char byte, GlyphKind kind) const {
    auto mask = std::make_unique<GlyphBitmap>();
    mask->kind = kind;
    if (face_ == nullptr) return mask;
    FT_Face face = face_->face;
    bool mono = kind == GlyphKind::Mono;
    FT_Int32 flags = FT_LOAD_NO_BITMAP | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Glyph(face, glyphIndexes_[byte], flags) != 0) return mask;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (synthesizeBold_) FT_Outline_EmboldenXY(&slot->outline, 64, 0);
        if (synthesizeItalic_) {
            FT_Matrix shear{0x10000, ITALIC_SHEAR, 0, 0x10000};
            FT_Outline_Transform(&slot->outline, &shear);
        }
    }
    if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return mask;
    const FT_Bitmap& bitmap = slot->bitmap;
    bool gotMono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (gotMono != mono || (!gotMono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)) return mask;
    mask->left = slot->bitmap_left;
    mask->top = slot->bitmap_top;
    mask->width = static_cast<int>(bitmap.width);
    mask->height = static_cast<int>(bitmap.rows);
    mask->pitch = mono ? (mask->width + 7) / 8 : mask->width;
    mask->bits.resize(static_cast<size_t>(mask->pitch) * mask->height);
    int grays = std::max(bitmap.num_grays - 1, 1);
    for (int row = 0; row < mask->height; ++row) {
        // A negative pitch stores the rows bottom first; buffer points at the top one.
        const unsigned char* from = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        uint8_t* to = mask->bits.data() + static_cast<size_t>(row) * mask->pitch;
        if (mono || grays == 255) {
            std::memcpy(to, from, static_cast<size_t>(mask->pitch));
        } else {
            for (int column = 0; column < mask->width; ++column)
                to[column] = static_cast<uint8_t>(from[column] * 255 / grays);
        }
    }
    // FreeType gives blank glyphs (the space) a pixel; nothing is drawn for them.
    if (std::all_of(mask->bits.begin(), mask->bits.end(), [](uint8_t bits) { return bits == 0; })) {
        mask->width = mask->height = mask->pitch = 0;
        mask->bits.clear();
    }
    return mask;
}

} // namespace platform
