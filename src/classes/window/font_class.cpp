#include "classes/window/font_class.h"

#include <cstring>
#include <new>

#include "classes/window/font_container.h"
#include "platform/gdi/text/text_out.h"
#include "platform/system/system_info.h"
#include "script/interpreter/interpretor.h"

namespace {

constexpr uint32_t kFirstClassLevelId = 7;

const MethodNameRow kNameTable[] = {
    {CIFont::kClassId, "Font", 0, 0},
    {CIFont::kGetFaceName, "GetFaceName", 0, 0},
    {CIFont::kGetHeight, "GetHeight", 0, 0},
    {CIFont::kGetWeight, "GetWeight", 0, 0},
    {CIFont::kIsItalic, "IsItalic", 0, 0},
    {CIFont::kIsUnderline, "IsUnderline", 0, 0},
    {CIFont::kIsStrikeOut, "IsStrikeOut", 0, 0},
    {8, "THIN", 0, kRowConstant},
    {9, "EXTRALIGHT", 0, kRowConstant},
    {10, "LIGHT", 0, kRowConstant},
    {11, "NORMAL", 0, kRowConstant},
    {12, "MEDIUM", 0, kRowConstant},
    {13, "SEMIBOLD", 0, kRowConstant},
    {14, "BOLD", 0, kRowConstant},
    {15, "EXTRABOLD", 0, kRowConstant},
    {16, "HEAVY", 0, kRowConstant},
    {17, "ITALIC", 0, kRowConstant},
    {18, "UNDERLINE", 0, kRowConstant},
    {19, "STRIKEOUT", 0, kRowConstant},
    {20, "FIXEDPITCH", 0, kRowConstant},
    {21, "VARIABLEPITCH", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <uint32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(static_cast<int32_t>(Value));
}

const ClassLevelHandler kConstants[] = {
    &Constant<CIFont::kWeightTag | 100>,
    &Constant<CIFont::kWeightTag | 200>,
    &Constant<CIFont::kWeightTag | 300>,
    &Constant<CIFont::kWeightTag | 400>,
    &Constant<CIFont::kWeightTag | 500>,
    &Constant<CIFont::kWeightTag | 600>,
    &Constant<CIFont::kWeightTag | 700>,
    &Constant<CIFont::kWeightTag | 800>,
    &Constant<CIFont::kWeightTag | 900>,
    &Constant<CIFont::kFlagTag | CIFont::kItalic>,
    &Constant<CIFont::kFlagTag | CIFont::kUnderline>,
    &Constant<CIFont::kFlagTag | CIFont::kStrikeOut>,
    &Constant<CIFont::kFlagTag | CIFont::kFixedPitch>,
    &Constant<CIFont::kFlagTag | CIFont::kVariablePitch>,
};

CIBaseClassImpl* NewFont(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIFont(&interpreter, record);
}

// The first Windows 95 release drew non-antialiased fonts badly: it got the default.
BYTE DefaultQuality() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
        version.dwMinorVersion == 0)
        return DEFAULT_QUALITY;
    return NONANTIALIASED_QUALITY;
}

} // namespace

const ScriptMethod<CIFont> CIFont::kMethods[kMethodCount] = {
    nullptr,           &CIFont::GetFaceName, &CIFont::GetHeight,   &CIFont::GetWeight,
    &CIFont::IsItalic, &CIFont::IsUnderline, &CIFont::IsStrikeOut,
};

CIFont::CIFont(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {
    logFont.lfHeight = -16;
    logFont.lfWeight = 400;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = DefaultQuality();
    logFont.lfPitchAndFamily = VARIABLE_PITCH;
    SetFace("Arial");
}

void CIFont::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIFont::Destroy(int) {
    ReleaseFontFromContainers(this);
    if (ownsFont != 0 && hFont != 0) DeleteObject(hFont);
    hFont = 0;
    delete this;
}

void CIFont::Create() {
    uint32_t first = 0;
    if (interpreter->GetArgCount() > 0 && interpreter->GetArg(0)->IsObjectOfClass(kClassId)) {
        logFont = static_cast<CIFont*>(interpreter->GetArg(0)->GetObject())->logFont;
        first = 1;
    }
    for (uint32_t i = first; i < uint32_t(interpreter->GetArgCount()); ++i) {
        const CValue* argument = interpreter->GetArg(i);
        if (argument->IsDefault()) continue;
        if (argument->GetType() == kValueString) {
            SetFace(argument->GetString());
            continue;
        }
        uint32_t value = static_cast<uint32_t>(argument->GetInt());
        switch (value >> 30) {
        case 0:
            logFont.lfHeight = -static_cast<LONG>(value);
            break;
        case 3:
            if ((value & kItalic) != 0) logFont.lfItalic = 1;
            if ((value & kUnderline) != 0) logFont.lfUnderline = 1;
            if ((value & kStrikeOut) != 0) logFont.lfStrikeOut = 1;
            if ((value & kFixedPitch) != 0)
                logFont.lfPitchAndFamily = BYTE((logFont.lfPitchAndFamily & ~2u) | 1u);
            if ((value & kVariablePitch) != 0)
                logFont.lfPitchAndFamily = BYTE((logFont.lfPitchAndFamily & ~1u) | 2u);
            if ((value & kAntialiased) != 0) logFont.lfQuality = ANTIALIASED_QUALITY;
            break;
        default:
            logFont.lfWeight = static_cast<LONG>(value & 0x3FFFFFFFu);
            break;
        }
    }
    Register();
}

void CIFont::Register() {
    if (ownsFont != 0 && hFont != 0) DeleteObject(hFont);
    hFont = CreateFontIndirectA(&logFont);
    ownsFont = 1;
    CIBaseClassImpl::Register();
}

void CIFont::SetFace(const char* face) {
    std::memset(logFont.lfFaceName, 0, sizeof logFont.lfFaceName);
    std::strncpy(logFont.lfFaceName, face, kMaxFaceLength);
}

void CIFont::SetFaceAndSize(const char* face, int32_t size) {
    SetFace(face);
    logFont.lfHeight = -size;
    Register();
}

void CIFont::SetLogFont(const LOGFONTA& source) {
    logFont = source;
    logFont.lfFaceName[kMaxFaceLength] = 0;
    Register();
}

void CIFont::WrapStockFont(HFONT stock) {
    GetObjectA(stock, sizeof logFont, &logFont);
    hFont = stock;
    ownsFont = 0;
    CIBaseClassImpl::Register();
}

void CIFont::GetFaceName() {
    interpreter->GetResultSlot()->SetString(logFont.lfFaceName, 0);
}

void CIFont::GetHeight() {
    interpreter->GetResultSlot()->SetInt(-logFont.lfHeight);
}

void CIFont::GetWeight() {
    interpreter->GetResultSlot()->SetInt(
        static_cast<int32_t>(kWeightTag | uint32_t(logFont.lfWeight)));
}

void CIFont::IsItalic() {
    interpreter->GetResultSlot()->SetInt(logFont.lfItalic != 0 ? 1 : 0);
}

void CIFont::IsUnderline() {
    interpreter->GetResultSlot()->SetInt(logFont.lfUnderline != 0 ? 1 : 0);
}

void CIFont::IsStrikeOut() {
    interpreter->GetResultSlot()->SetInt(logFont.lfStrikeOut != 0 ? 1 : 0);
}

CIFont* ReadFontArgument(CInterpretor& interpreter, uint32_t first) {
    const CValue* argument = interpreter.GetArg(first);
    if (argument->IsObjectOfClass(CIFont::kClassId))
        return static_cast<CIFont*>(argument->GetObject());
    const char* face = "Arial";
    int32_t size = 16;
    for (uint32_t i = first; i < first + 2; ++i) {
        const CValue* value = interpreter.GetArg(i);
        switch (value->GetType()) {
        case kValueDefault:
            break;
        case kValueString:
            face = value->GetString();
            break;
        case kValueInt:
        case kValueDouble:
            size = value->GetInt();
            break;
        default:
            interpreter.RaiseError(14);
        }
    }
    auto* font =
        new (std::nothrow) CIFont(&interpreter, interpreter.GetClassRecord(CIFont::kClassId));
    if (font == nullptr) interpreter.RaiseError(15);
    font->SetFaceAndSize(face, size);
    return font;
}

const ScriptClassInfo* GetFontClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewFont,
                                      kFirstClassLevelId,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
