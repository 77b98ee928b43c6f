#include "classes/surface/styled_text_runs.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "classes/surface/styled_text_entities.h"
#include "classes/surface/styled_text_tags.h"
#include "platform/gdi/text/text_out.h"

namespace {

// Where GetOutlineTextMetricsA's record keeps the heights and offsets of subscripts and
// superscripts (the y of each POINT).
constexpr size_t kSubscriptSizeY = 152;
constexpr size_t kSubscriptOffsetY = 160;
constexpr size_t kSuperscriptSizeY = 168;
constexpr size_t kSuperscriptOffsetY = 176;
constexpr UINT kOutlineRecordSize = 212;

int32_t ReadInt32(const uint8_t* bytes) {
    return static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 |
                                uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24);
}

int32_t HoldHeight(int64_t height) {
    return static_cast<int32_t>(std::clamp<int64_t>(height, -kStyledMaxHeight, kStyledMaxHeight));
}

bool SameLogFont(const LOGFONTA& a, const LOGFONTA& b) {
    return std::memcmp(&a, &b, offsetof(LOGFONTA, lfFaceName)) == 0 &&
           std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

// At most LF_FACESIZE - 1 characters, the rest of the field zero.
void CopyFace(char (&to)[LF_FACESIZE], const char* from) {
    const size_t length = strnlen(from, LF_FACESIZE - 1);
    std::memcpy(to, from, length);
    std::memset(to + length, 0, LF_FACESIZE - length);
}

} // namespace

StyledRuns::StyledRuns(HDC dc, HFONT font, uint32_t colour, std::string_view text)
    : dc_(dc), font_(font), colour_(colour) {
    if (!font || GetObjectA(font, sizeof(LOGFONTA), &logFont_) == 0) logFont_ = LOGFONTA{};
    logFont_.lfFaceName[LF_FACESIZE - 1] = 0;
    fonts_.push_back({false, font, logFont_});
    size_t cursor = 0;
    while (cursor < text.size()) {
        StyledToken token = ParseTextTags(text, cursor, logFont_.lfHeight);
        if (token.kind == kStyledText)
            AddRun(ReplaceEntities(token.text));
        else
            Apply(token.kind, token.text, token.colour, token.height);
    }
    endHeight_ = FontHeight();
}

StyledRuns::~StyledRuns() {
    if (selected_) SelectObject(dc_, previousFont_);
    for (const CachedFont& cached : fonts_)
        if (cached.owned) DeleteObject(cached.font);
}

void StyledRuns::Apply(uint32_t kind, const std::string& face, uint32_t colour, int32_t height) {
    const uint32_t base = kind & kStyledKindMask;
    switch (base) {
    case kStyledBold:
        logFont_.lfWeight = FW_BOLD;
        break;
    case kStyledBold | kStyledClose:
        logFont_.lfWeight = FW_NORMAL;
        break;
    case kStyledItalic:
        logFont_.lfItalic = 1;
        break;
    case kStyledItalic | kStyledClose:
        logFont_.lfItalic = 0;
        break;
    case kStyledUnderline:
        logFont_.lfUnderline = 1;
        break;
    case kStyledUnderline | kStyledClose:
        logFont_.lfUnderline = 0;
        break;
    case kStyledStrike:
        logFont_.lfStrikeOut = 1;
        break;
    case kStyledStrike | kStyledClose:
        logFont_.lfStrikeOut = 0;
        break;
    case kStyledFont:
    case kStyledTypewriter:
    case kStyledSmall:
    case kStyledBig:
    case kStyledSuperscript:
    case kStyledSubscript: {
        Saved saved{base, colour_, {}, logFont_.lfHeight, offset_};
        CopyFace(saved.face, logFont_.lfFaceName);
        stack_.push_back(saved);
        if (base == kStyledFont) {
            if (kind & kStyledFaceGiven) CopyFace(logFont_.lfFaceName, face.c_str());
            if (kind & kStyledColourGiven) colour_ = colour;
            if (kind & kStyledSizeGiven) logFont_.lfHeight = height;
        } else if (base == kStyledTypewriter) {
            CopyFace(logFont_.lfFaceName, "Courier New");
        } else if (base == kStyledSmall) {
            Scale(0.5714285714285714);
        } else if (base == kStyledBig) {
            Scale(1.75);
        } else {
            Shift(base == kStyledSuperscript);
        }
        break;
    }
    default:
        if (base > kStyledClose) Close(base - kStyledClose);
        return;
    }
    SelectCurrent();
}

void StyledRuns::Close(uint32_t kind) {
    auto found = std::find_if(stack_.rbegin(), stack_.rend(),
                              [kind](const Saved& saved) { return saved.kind == kind; });
    if (found == stack_.rend()) return;
    const Saved saved = *found;
    stack_.erase(std::next(found).base());
    logFont_.lfHeight = saved.height;
    if (kind == kStyledSuperscript || kind == kStyledSubscript) {
        offset_ = saved.offset;
    } else {
        colour_ = saved.colour;
        CopyFace(logFont_.lfFaceName, saved.face);
    }
    SelectCurrent();
}

void StyledRuns::Scale(double factor) {
    logFont_.lfHeight = HoldHeight(static_cast<int64_t>(std::trunc(logFont_.lfHeight * factor)));
}

void StyledRuns::Shift(bool superscript) {
    if (!dc_) return;
    UseCurrent();
    uint8_t record[kOutlineRecordSize]{};
    if (GetOutlineTextMetricsA(dc_, kOutlineRecordSize, record) < kOutlineRecordSize) return;
    if (superscript) {
        logFont_.lfHeight = HoldHeight(-int64_t{ReadInt32(record + kSuperscriptSizeY)});
        offset_ = HoldHeight(-int64_t{ReadInt32(record + kSuperscriptOffsetY)});
    } else {
        logFont_.lfHeight = HoldHeight(-int64_t{ReadInt32(record + kSubscriptSizeY)});
        offset_ = HoldHeight(ReadInt32(record + kSubscriptOffsetY));
    }
}

void StyledRuns::SelectCurrent() {
    for (const CachedFont& cached : fonts_) {
        if (SameLogFont(cached.logFont, logFont_)) {
            font_ = cached.font;
            return;
        }
    }
    const HFONT made = CreateFontIndirectA(&logFont_);
    if (!made) return;
    fonts_.push_back({true, made, logFont_});
    font_ = made;
}

void StyledRuns::UseCurrent() {
    if (!font_ && !selected_) return;
    const HGDIOBJ previous = SelectObject(dc_, font_ ? font_ : previousFont_);
    if (!selected_) previousFont_ = previous;
    selected_ = true;
}

int32_t StyledRuns::FontHeight() {
    if (!dc_) return 0;
    UseCurrent();
    SIZE size{};
    if (!GetTextExtentPoint32A(dc_, "", 0, &size)) return 0;
    return size.cy;
}

void StyledRuns::AddRun(std::string text) {
    StyledRun run;
    run.font = font_;
    run.colour = colour_;
    run.offset = offset_;
    run.height = FontHeight();
    run.ends.assign(text.size(), 0);
    if (dc_ && !text.empty()) {
        SIZE size{};
        if (!GetTextExtentExPointA(dc_, text.data(), static_cast<int>(text.size()), 0, nullptr,
                                   run.ends.data(), &size))
            std::fill(run.ends.begin(), run.ends.end(), 0);
    }
    run.text = std::move(text);
    runs_.push_back(std::move(run));
}
