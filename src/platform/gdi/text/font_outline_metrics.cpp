#include "platform/gdi/text/font_outline_metrics.h"

#include <string>

namespace platform {
namespace {

class Writer {
public:
    explicit Writer(std::vector<uint8_t>& out) : out_(out) {}
    void U8(uint8_t value) { out_.push_back(value); }
    void U32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            out_.push_back(static_cast<uint8_t>(value >> shift));
    }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void Pad(size_t to) { out_.resize(to, 0); }
    size_t Size() const { return out_.size(); }

private:
    std::vector<uint8_t>& out_;
};

void WriteTextMetrics(Writer& w, const TEXTMETRICA& tm) {
    for (LONG value : {tm.tmHeight, tm.tmAscent, tm.tmDescent, tm.tmInternalLeading,
                       tm.tmExternalLeading, tm.tmAveCharWidth, tm.tmMaxCharWidth, tm.tmWeight,
                       tm.tmOverhang, tm.tmDigitizedAspectX, tm.tmDigitizedAspectY})
        w.I32(value);
    for (BYTE value : {tm.tmFirstChar, tm.tmLastChar, tm.tmDefaultChar, tm.tmBreakChar, tm.tmItalic,
                       tm.tmUnderlined, tm.tmStruckOut, tm.tmPitchAndFamily, tm.tmCharSet})
        w.U8(value);
}

void WritePoint(Writer& w, const POINT& point) {
    w.I32(point.x);
    w.I32(point.y);
}

} // namespace

void PlaceOutlineNames(OUTLINETEXTMETRICA& metrics, const FontNames& names) {
    UINT offset = OUTLINE_TEXT_METRICS_SIZE;
    auto place = [&](UINT_PTR& field, const std::string& name) {
        field = offset;
        offset += static_cast<UINT>(name.size() + 1);
    };
    place(metrics.otmpFamilyName, names.family);
    place(metrics.otmpFaceName, names.face);
    place(metrics.otmpStyleName, names.style);
    place(metrics.otmpFullName, names.full);
    metrics.otmSize = offset;
}

std::vector<uint8_t> OutlineTextMetricsRecord(const OUTLINETEXTMETRICA& m, const FontNames& names) {
    std::vector<uint8_t> out;
    out.reserve(m.otmSize);
    Writer w(out);
    w.U32(m.otmSize);
    WriteTextMetrics(w, m.otmTextMetrics);
    w.Pad(60); // TEXTMETRICA ends on a 4-byte boundary
    w.U8(m.otmFiller);
    const PANOSE& p = m.otmPanoseNumber;
    for (BYTE value : {p.bFamilyType, p.bSerifStyle, p.bWeight, p.bProportion, p.bContrast,
                       p.bStrokeVariation, p.bArmStyle, p.bLetterform, p.bMidline, p.bXHeight})
        w.U8(value);
    w.Pad(72);
    w.U32(m.otmfsSelection);
    w.U32(m.otmfsType);
    w.I32(m.otmsCharSlopeRise);
    w.I32(m.otmsCharSlopeRun);
    w.I32(m.otmItalicAngle);
    w.U32(m.otmEMSquare);
    w.I32(m.otmAscent);
    w.I32(m.otmDescent);
    w.U32(m.otmLineGap);
    w.U32(m.otmsCapEmHeight);
    w.U32(m.otmsXHeight);
    for (LONG value :
         {m.otmrcFontBox.left, m.otmrcFontBox.top, m.otmrcFontBox.right, m.otmrcFontBox.bottom})
        w.I32(value);
    w.I32(m.otmMacAscent);
    w.I32(m.otmMacDescent);
    w.U32(m.otmMacLineGap);
    w.U32(m.otmusMinimumPPEM);
    WritePoint(w, m.otmptSubscriptSize);
    WritePoint(w, m.otmptSubscriptOffset);
    WritePoint(w, m.otmptSuperscriptSize);
    WritePoint(w, m.otmptSuperscriptOffset);
    w.U32(m.otmsStrikeoutSize);
    w.I32(m.otmsStrikeoutPosition);
    w.I32(m.otmsUnderscoreSize);
    w.I32(m.otmsUnderscorePosition);
    for (UINT_PTR offset : {m.otmpFamilyName, m.otmpFaceName, m.otmpStyleName, m.otmpFullName})
        w.U32(static_cast<uint32_t>(offset));
    for (const std::string* name : {&names.family, &names.face, &names.style, &names.full}) {
        for (char c : *name)
            w.U8(static_cast<uint8_t>(c));
        w.U8(0);
    }
    return out;
}

} // namespace platform
