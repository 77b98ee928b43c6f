#include <new>

#include "classes/window/controls/button_classes.h"
#include "classes/window/window_pictures.h"
#include "classes/window/window_surface.h"
#include "platform/controls/button.h"
#include "platform/user/paint/update_region.h"

namespace {

enum : uint16_t { kOnClick = 0x26, kOnDblClick, kOnSetFocus, kOnKillFocus };

const MethodNameRow kNameTable[] = {
    {CIButton::kClassId, "Button", 0, 0},
    ZORV_CHAINED_SHARED_ROWS,
    {kOnClick, "OnClick", 0, 0},
    {kOnDblClick, "OnDblClick", 0, 0},
    {kOnSetFocus, "OnSetFocus", 0, 0},
    {kOnKillFocus, "OnKillFocus", 0, 0},
    ZORV_CHAINED_CONSTANT_ROWS(CIButton::kMethodCount + 1),
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {ZORV_CHAINED_SHARED_CONSTANTS};

CIBaseClassImpl* NewButton(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIButton(&interpreter, record);
}

} // namespace

const ScriptMethod<CIButton> CIButton::kMethods[kMethodCount] = {
    nullptr,
    ZORV_CHAINED_SHARED_METHODS(CIButton),
    &CIButton::OnClick,
    &CIButton::OnDblClick,
    &CIButton::OnSetFocus,
    &CIButton::OnKillFocus,
};

CIButton::CIButton(CInterpretor* interpreter, const CClassRecord* record)
    : CIChainedControl(interpreter, record, &Handler) {
    SetCreateParams(kNotGiven, kNotGiven, kNotGiven, kNotGiven,
                    WS_CHILD | WS_CLIPSIBLINGS | BS_NOTIFY, 0);
}

void CIButton::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIButton::Create() {
    const CValue* extra[kExtraArgSlots] = {};
    ParseCreateArgs(0x400005AF, extra, 0, uint32_t(interpreter->GetArgCount()));
    uint32_t count = 0;
    while (count < kMaxExtraArgs && extra[count] != nullptr)
        ++count;
    // Checked before any image is taken, so that a refusal leaves nothing held.
    if (count > 3) interpreter->RaiseError(14);
    for (uint32_t i = 0; i < count; ++i)
        images[i] = TakeImage(*extra[i]);
    if (count > 0) style |= BS_OWNERDRAW;
    SizeFromCaption(20, 5, 20);
    CreateAndRegister("BUTTON", 0, kCreateChild | kCreateProperty);
}

CIBaseClassImpl* CIButton::TakeImage(const CValue& value) {
    uint32_t type = value.GetType();
    if (type == kValueObject) {
        CIBaseClassImpl* object = value.GetObject();
        if (AsWindowSurface(object) == nullptr) interpreter->RaiseError(14);
        ++object->useCount;
        return object;
    }
    if (type != kValueString && type != kValueInt) interpreter->RaiseError(14);
    SurfaceHandle holder;
    SurfaceHandle* picture = PictureFromValue(*interpreter, value, holder, 0);
    if (picture == nullptr) interpreter->RaiseError(9);
    CWindowSurface* copy =
        MakeWindowSurface(*interpreter, picture->GetWidth(), picture->GetHeight(), 0, 0);
    if (copy == nullptr) interpreter->RaiseError(15);
    picture->BlitWhole(copy->GetSurfaceHandle(), 0, 0, 0, 0, 0, 0);
    CIBaseClassImpl* object = copy->GetSurfaceObject();
    ++object->useCount;
    return object;
}

void CIButton::Destroy(int flag) {
    // A reset destroys the Surfaces first: they are gone by then.
    for (CIBaseClassImpl*& image : images) {
        if (image != nullptr && interpreter->resetting == 0) --image->useCount;
        image = nullptr;
    }
    embossedFrom_ = nullptr;
    CIChainedControl::Destroy(flag);
}

int CIButton::ReleaseReferencesTo(CIBaseClassImpl* object) {
    bool dropped = false;
    for (CIBaseClassImpl*& image : images) {
        if (object == nullptr || image != object) continue;
        --image->useCount;
        image = nullptr;
        dropped = true;
    }
    if (!dropped) return CIChildWindow::ReleaseReferencesTo(object);
    if (embossedFrom_ == object) embossedFrom_ = nullptr;
    if (hwnd != 0) InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

LRESULT CIButton::Handler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        if (CIButton* button = ChainedControlOf<CIButton>(HWND(lParam))) {
            handled = TRUE;
            return ChainedControlColors(*button, wParam);
        }
        return 0;
    case WM_COMMAND: {
        CIButton* button = ChainedControlOf<CIButton>(HWND(lParam));
        if (button == nullptr) return 0;
        switch (HIWORD(static_cast<DWORD_PTR>(wParam))) {
        case BN_CLICKED:
            PostChainedEvent(*button, button->onClick);
            break;
        case BN_DBLCLK:
            PostChainedEvent(*button, button->onDblClick);
            break;
        case BN_SETFOCUS:
            PostChainedEvent(*button, button->onSetFocus);
            break;
        case BN_KILLFOCUS:
            PostChainedEvent(*button, button->onKillFocus);
            break;
        default:
            return 0;
        }
        handled = TRUE;
        return 0;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        CIButton* button = item != nullptr ? ChainedControlOf<CIButton>(item->hwndItem) : nullptr;
        if (button == nullptr) return 0;
        button->DrawItem(*item);
        handled = TRUE;
        return 0;
    }
    default:
        return 0;
    }
}

void CIButton::OnClick() {
    ReadHandler(onClick);
}

void CIButton::OnDblClick() {
    ReadHandler(onDblClick);
}

void CIButton::OnSetFocus() {
    ReadHandler(onSetFocus);
}

void CIButton::OnKillFocus() {
    ReadHandler(onKillFocus);
}

const ScriptClassInfo* GetButtonClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewButton,
                                      CIButton::kMethodCount,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
