// The Font class: a logical font with its GDI font handle, made from a face, a size,
// a weight and style flags, or copied from another Font.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text/font_types.h"
#include "script/classes/base_class.h"

class CIFont : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 7;

    enum : uint16_t {
        kGetFaceName = 1,
        kGetHeight,
        kGetWeight,
        kIsItalic,
        kIsUnderline,
        kIsStrikeOut,
        kMethodCount,
    };

    // Weight constants are 0x80000000 | the weight, flag constants 0xC0000000 | bits.
    static constexpr uint32_t kWeightTag = 0x80000000u;
    static constexpr uint32_t kFlagTag = 0xC0000000u;
    static constexpr uint32_t kItalic = 0x1;
    static constexpr uint32_t kUnderline = 0x2;
    static constexpr uint32_t kStrikeOut = 0x4;
    static constexpr uint32_t kFixedPitch = 0x8;
    static constexpr uint32_t kVariablePitch = 0x10;
    static constexpr uint32_t kAntialiased = 0x20;
    // Face names keep at most this many characters.
    static constexpr uint32_t kMaxFaceLength = LF_FACESIZE - 1;

    // The defaults: Arial, height -16, weight 400, default charset, non-antialiased,
    // variable pitch.
    CIFont(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    // Containers holding it take the default Font; an owned handle is deleted.
    void Destroy(int flag) override;
    // new Font([font], [face], [size], [weight], [flags...]).
    void Create() override;
    // Makes the GDI font from the LOGFONT, then the base registration.
    void Register() override;

    // The face (copied, cut to 31 characters) and the size (height = -size), then the
    // registration.
    void SetFaceAndSize(const char* face, int32_t size);
    // A copy of `logFont`, then the registration.
    void SetLogFont(const LOGFONTA& logFont);
    // Wraps a stock font: its LOGFONT read back, its handle not owned.
    void WrapStockFont(HFONT stock);

    LOGFONTA logFont{};
    HFONT hFont = 0;
    uint32_t ownsFont = 0;

private:
    void GetFaceName();
    void GetHeight();
    void GetWeight();
    void IsItalic();
    void IsUnderline();
    void IsStrikeOut();
    void SetFace(const char* face);

    static const ScriptMethod<CIFont> kMethods[kMethodCount];
};

const ScriptClassInfo* GetFontClassInfo();

// The Font of the font argument rule: argument `first` a Font is that Font; otherwise a
// new registered Font from up to two arguments, a face text and a size integer in either
// order (Arial and 16 when not given). Error 14 for another kind, 15 without memory.
CIFont* ReadFontArgument(CInterpretor& interpreter, uint32_t first);
