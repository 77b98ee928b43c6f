#include <new>

#include "classes/window/controls/button_classes.h"
#include "platform/controls/button.h"
#include "platform/user/paint/update_region.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIGroupBox::kClassId, "GroupBox", 0, 0},
    ZORV_CHAINED_SHARED_ROWS,
    ZORV_CHAINED_CONSTANT_ROWS(CIGroupBox::kMethodCount + 1),
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {ZORV_CHAINED_SHARED_CONSTANTS};

CIBaseClassImpl* NewGroupBox(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIGroupBox(&interpreter, record);
}

constexpr UINT kRedrawFlags = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

} // namespace

const ScriptMethod<CIGroupBox> CIGroupBox::kMethods[kMethodCount] = {
    nullptr,
    ZORV_CHAINED_SHARED_METHODS(CIGroupBox),
};

CIGroupBox::CIGroupBox(CInterpretor* interpreter, const CClassRecord* record)
    : CIChainedControl(interpreter, record, &Handler) {
    SetCreateParams(10, 10, 100, 30, WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP | BS_GROUPBOX,
                    WS_EX_TRANSPARENT);
}

void CIGroupBox::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIGroupBox::Create() {
    ParseCreateArgs(0x400005AF, nullptr, 0, uint32_t(interpreter->GetArgCount()));
    flagsA |= kNoBorder;
    CreateAndRegister("BUTTON", 0, kCreateChild | kCreateProperty);
}

LRESULT CIGroupBox::Handler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_CTLCOLORSTATIC) return 0;
    CIGroupBox* box = ChainedControlOf<CIGroupBox>(HWND(lParam));
    if (box == nullptr) return 0;
    handled = TRUE;
    return ChainedControlColors(*box, wParam);
}

void CIGroupBox::RedrawAll(CInterpretor& interpreter) {
    RedrawVisibleControls(interpreter, kClassId);
}

void RedrawVisibleControls(CInterpretor& interpreter, uint32_t classId) {
    for (uint32_t position = interpreter.GetFirstObjectPos(classId); position != 0;) {
        auto* control = static_cast<CIChildWindow*>(interpreter.GetNextObject(classId, position));
        if (control != nullptr && control->hwnd != 0 && IsWindowVisible(control->hwnd))
            RedrawWindow(control->hwnd, nullptr, 0, kRedrawFlags);
    }
}

void RedrawTransparentChildren(CIWindow& window) {
    for (uint32_t classId : {CIGroupBox::kClassId, CIStaticText::kClassId}) {
        for (uint32_t node = window.children.GetHead(); node != 0;) {
            auto* child = reinterpret_cast<CIChildWindow*>(window.children.GetNext(&node));
            if (child->classIndex == classId && child->hwnd != 0 && IsWindowVisible(child->hwnd))
                RedrawWindow(child->hwnd, nullptr, 0, kRedrawFlags);
        }
    }
}

const ScriptClassInfo* GetGroupBoxClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewGroupBox,
                                      CIGroupBox::kMethodCount,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
