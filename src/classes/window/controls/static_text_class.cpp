#include <new>

#include "classes/window/controls/button_classes.h"
#include "platform/controls/static_text.h"

namespace {

enum : uint16_t { kOnClick = 0x26, kOnDblClick };

// The frame, rectangle, etched, simple and sunken types carry one more flag bit in the
// name table than the alignment ones; nothing reads it.
constexpr uint32_t kShapeRow = kRowConstant | 1;
constexpr uint32_t kFirst = CIStaticText::kMethodCount + 11;

const MethodNameRow kNameTable[] = {
    {CIStaticText::kClassId, "StaticText", 0, 0},
    ZORV_CHAINED_SHARED_ROWS,
    {kOnClick, "OnClick", 0, 0},
    {kOnDblClick, "OnDblClick", 0, 0},
    ZORV_CHAINED_CONSTANT_ROWS(CIStaticText::kMethodCount + 1),
    {kFirst, "BLACKFRAME", 0, kShapeRow},
    {kFirst + 1, "BLACKRECT", 0, kShapeRow},
    {kFirst + 2, "CENTER", 0, kRowConstant},
    {kFirst + 3, "ETCHEDFRAME", 0, kShapeRow},
    {kFirst + 4, "ETCHEDHORZ", 0, kShapeRow},
    {kFirst + 5, "ETCHEDVERT", 0, kShapeRow},
    {kFirst + 6, "GRAYFRAME", 0, kShapeRow},
    {kFirst + 7, "GRAYRECT", 0, kShapeRow},
    {kFirst + 8, "ALIGN_LEFT", 0, kRowConstant},
    {kFirst + 9, "LEFTNOWORDWRAP", 0, kRowConstant},
    {kFirst + 10, "NOPREFIX", 0, kRowConstant},
    {kFirst + 11, "ALIGN_RIGHT", 0, kRowConstant},
    {kFirst + 12, "SIMPLE", 0, kShapeRow},
    {kFirst + 13, "SUNKEN", 0, kShapeRow},
    {kFirst + 14, "WHITEFRAME", 0, kShapeRow},
    {kFirst + 15, "WHITERECT", 0, kShapeRow},
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {
    ZORV_CHAINED_SHARED_CONSTANTS, &ChainedConstant<0xAAD00000u>, &ChainedConstant<0xAAD00001u>,
    &ChainedConstant<0xAAD00002u>, &ChainedConstant<0xAAD00003u>, &ChainedConstant<0xAAD00004u>,
    &ChainedConstant<0xAAD00005u>, &ChainedConstant<0xAAD00006u>, &ChainedConstant<0xAAD00007u>,
    &ChainedConstant<0xAAD00008u>, &ChainedConstant<0xAAD00009u>, &ChainedConstant<0xAAD0000Au>,
    &ChainedConstant<0xAAD0000Bu>, &ChainedConstant<0xAAD0000Cu>, &ChainedConstant<0xAAD0000Du>,
    &ChainedConstant<0xAAD0000Eu>, &ChainedConstant<0xAAD0000Fu>,
};

// The SS_ value of each constant, in index order.
const uint32_t kStaticAttributeTable[] = {
    SS_BLACKFRAME, SS_BLACKRECT, SS_CENTER,     SS_ETCHEDFRAME,    SS_ETCHEDHORZ, SS_ETCHEDVERT,
    SS_GRAYFRAME,  SS_GRAYRECT,  SS_LEFT,       SS_LEFTNOWORDWRAP, SS_NOPREFIX,   SS_RIGHT,
    SS_SIMPLE,     SS_SUNKEN,    SS_WHITEFRAME, SS_WHITERECT,      0xFFFFFFFFu,
};

CIBaseClassImpl* NewStaticText(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIStaticText(&interpreter, record);
}

} // namespace

const ScriptMethod<CIStaticText> CIStaticText::kMethods[kMethodCount] = {
    nullptr,
    ZORV_CHAINED_SHARED_METHODS(CIStaticText),
    &CIStaticText::OnClick,
    &CIStaticText::OnDblClick,
};

CIStaticText::CIStaticText(CInterpretor* interpreter, const CClassRecord* record)
    : CIChainedControl(interpreter, record, &Handler) {
    SetCreateParams(kNotGiven, kNotGiven, kNotGiven, kNotGiven,
                    WS_CHILD | WS_CLIPSIBLINGS | SS_NOTIFY, 0);
    AddAttributeTable(kStaticAttributeTable, kOwnTableBase);
}

void CIStaticText::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIStaticText::Create() {
    ParseCreateArgs(0x400005AF, nullptr, 0, uint32_t(interpreter->GetArgCount()));
    SizeFromCaption(10, 0, 0);
    CreateAndRegister("STATIC", 0, kCreateChild | kCreateProperty);
}

LRESULT CIStaticText::Handler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    CIStaticText* text = nullptr;
    switch (message) {
    case WM_CTLCOLORSTATIC:
        text = ChainedControlOf<CIStaticText>(HWND(lParam));
        if (text == nullptr) return 0;
        handled = TRUE;
        return ChainedControlColors(*text, wParam);
    case WM_COMMAND:
        text = ChainedControlOf<CIStaticText>(HWND(lParam));
        if (text == nullptr) return 0;
        switch (HIWORD(static_cast<DWORD_PTR>(wParam))) {
        case STN_CLICKED:
            PostChainedEvent(*text, text->onClick);
            break;
        case STN_DBLCLK:
            PostChainedEvent(*text, text->onDblClick);
            break;
        default:
            return 0;
        }
        handled = TRUE;
        return 0;
    default:
        return 0;
    }
}

void CIStaticText::RedrawAll(CInterpretor& interpreter) {
    RedrawVisibleControls(interpreter, kClassId);
}

void CIStaticText::OnClick() {
    ReadHandler(onClick);
}

void CIStaticText::OnDblClick() {
    ReadHandler(onDblClick);
}

const ScriptClassInfo* GetStaticTextClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewStaticText,
                                      CIStaticText::kMethodCount,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
