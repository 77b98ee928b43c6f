#include "classes/system/tray_icon_class.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "classes/surface/surface_class.h"
#include "classes/window/window_class.h"
#include "classes/window/window_pictures.h"
#include "platform/gdi/icons/icons.h"
#include "platform/system/system_info.h"
#include "platform/user/input/input.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/process_lock.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CITrayIcon::kClassId, "TrayIcon", 0, 0},
    {CITrayIcon::kOnMouseMove, "OnMouseMove", 0, 0},
    {CITrayIcon::kOnMouseDown, "OnMouseDown", 0, 0},
    {CITrayIcon::kOnMouseUp, "OnMouseUp", 0, 0},
    {CITrayIcon::kOnMouseDblClick, "OnMouseDblClick", 0, 0},
    {CITrayIcon::kSetIcon, "SetIcon", 0, 0},
    {CITrayIcon::kSetTip, "SetTip", 0, 0},
    {8, "LEFTBUTTON", 0, kRowConstant},
    {9, "MIDDLEBUTTON", 0, kRowConstant},
    {10, "RIGHTBUTTON", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Button> void ButtonConstant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Button);
}

const ClassLevelHandler kConstants[] = {
    &ButtonConstant<CITrayIcon::kLeftButton>,
    &ButtonConstant<CITrayIcon::kMiddleButton>,
    &ButtonConstant<CITrayIcon::kRightButton>,
};

constexpr int32_t kIconSide = 16;

// Every live TrayIcon of the process, in creation order. Adding and looking up run on the
// script thread; removal takes the process-wide lock.
std::vector<CITrayIcon*>& TrayIconList() {
    static auto* list = new std::vector<CITrayIcon*>;
    return *list;
}

// Ids are never reused within a process.
UINT nextTrayId = 1;

CIBaseClassImpl* NewTrayIcon(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CITrayIcon(&interpreter, record);
}

void CopyTip(NOTIFYICONDATAA& data, const char* tip) {
    const size_t length = strnlen(tip, sizeof data.szTip - 1);
    std::memcpy(data.szTip, tip, length);
    data.szTip[length] = 0;
}

} // namespace

const ScriptMethod<CITrayIcon> CITrayIcon::kMethods[kMethodCount] = {
    nullptr,
    &CITrayIcon::OnMouseMove,
    &CITrayIcon::OnMouseDown,
    &CITrayIcon::OnMouseUp,
    &CITrayIcon::OnMouseDblClick,
    &CITrayIcon::SetIcon,
    &CITrayIcon::SetTip,
};

CITrayIcon::CITrayIcon(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {
    notifyData_.cbSize = sizeof notifyData_;
}

CITrayIcon::~CITrayIcon() {
    if (added_) Shell_NotifyIconA(NIM_DELETE, &notifyData_);
    if (icon_ != 0) DestroyIcon(icon_);
    if (listed_) {
        ProcessLockGuard guard;
        std::vector<CITrayIcon*>& list = TrayIconList();
        list.erase(std::find(list.begin(), list.end(), this));
    }
    if (handlerAdded_) {
        if (CIWindow* owner = LiveOwner()) owner->RemoveControlHandler(&TrayHandler);
    }
}

void CITrayIcon::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CITrayIcon::Destroy(int) {
    delete this;
}

int CITrayIcon::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (owner_ == nullptr || object != static_cast<CIBaseClassImpl*>(owner_)) return 0;
    // The Window goes first: its chain goes with it.
    if (handlerAdded_) owner_->RemoveControlHandler(&TrayHandler);
    handlerAdded_ = false;
    owner_ = nullptr;
    return 1;
}

CIWindow* CITrayIcon::LiveOwner() const {
    if (owner_ == nullptr) return nullptr;
    uint32_t position = interpreter->GetFirstObjectPos(CIWindow::kClassId);
    while (position != 0) {
        if (interpreter->GetNextObject(CIWindow::kClassId, position) == owner_) return owner_;
    }
    return nullptr;
}

HICON CITrayIcon::IconFromArg(uint32_t i) {
    CInterpretor& in = *interpreter;
    const CValue& value = *in.GetArg(i);
    if (value.IsObjectOfClass(CISurface::kClassId)) {
        SurfaceHandle* picture = static_cast<CISurface*>(value.GetObject())->mainSurface;
        if (picture == nullptr || !picture->IsValid()) return 0;
        return MakeIconFromSurface(picture, kIconSide, kIconSide, 0, nullptr);
    }
    SurfaceHandle holder;
    SurfaceHandle* picture = PictureFromValue(in, value, holder, 32);
    if (picture == nullptr) in.RaiseError(9);
    return MakeIconFromSurface(picture, kIconSide, kIconSide, 0, nullptr);
}

void CITrayIcon::Create() {
    CInterpretor& in = *interpreter;
    supported_ = (GetVersion() & 0xFF) > 3 ? 1 : 0;
    bool haveTip = false;
    bool haveIcon = false;
    const int32_t count = in.GetArgCount();
    for (int32_t i = 0; i < count; ++i) {
        const CValue* value = in.GetArg(uint32_t(i));
        const int type = value->GetType();
        if (value->IsObjectOfClass(CISurface::kClassId)) {
            if (haveIcon) in.RaiseError(14);
            haveIcon = true;
            icon_ = IconFromArg(uint32_t(i));
        } else if (value->IsObjectOfClass(CIWindow::kClassId)) {
            if (owner_ != nullptr) in.RaiseError(14);
            owner_ = static_cast<CIWindow*>(value->GetObject());
        } else if (type == kValueString && !haveTip) {
            haveTip = true;
            CopyTip(notifyData_, value->GetString());
        } else if (type == kValueDefault) {
            if (haveIcon) in.RaiseError(14);
        } else {
            if (haveIcon || (type != kValueString && type != kValueInt && type != kValueDouble))
                in.RaiseError(14);
            haveIcon = true;
            icon_ = IconFromArg(uint32_t(i));
        }
    }
    if (owner_ == nullptr) owner_ = dynamic_cast<CIWindow*>(in.currentWindow);
    if (owner_ == nullptr) in.RaiseError(14);
    notifyData_.hWnd = owner_->hwnd;
    notifyData_.uID = nextTrayId++;
    notifyData_.uFlags = NIF_MESSAGE;
    notifyData_.uCallbackMessage = kCallbackMessage;
    if (haveTip) notifyData_.uFlags |= NIF_TIP;
    if (icon_ != 0) {
        notifyData_.uFlags |= NIF_ICON;
        notifyData_.hIcon = icon_;
    }
    if (supported_) {
        added_ = Shell_NotifyIconA(NIM_ADD, &notifyData_) != 0;
        if (!owner_->AddControlHandler(&TrayHandler)) in.RaiseError(15);
        handlerAdded_ = true;
    }
    TrayIconList().push_back(this);
    listed_ = true;
    Register();
}

void CITrayIcon::OnMouseMove() {
    onMouseMove_ = interpreter->ReadHandlerAssignment();
}

void CITrayIcon::OnMouseDown() {
    onMouseDown_ = interpreter->ReadHandlerAssignment();
}

void CITrayIcon::OnMouseUp() {
    onMouseUp_ = interpreter->ReadHandlerAssignment();
}

void CITrayIcon::OnMouseDblClick() {
    onMouseDblClick_ = interpreter->ReadHandlerAssignment();
}

void CITrayIcon::SetIcon() {
    CInterpretor& in = *interpreter;
    if (in.IsArgDefault(0) || !in.GetArg(0)->IsObjectOfClass(CISurface::kClassId) || !supported_)
        return;
    HICON icon = IconFromArg(0);
    if (icon == 0) return;
    notifyData_.uFlags |= NIF_ICON;
    notifyData_.hIcon = icon;
    Shell_NotifyIconA(NIM_MODIFY, &notifyData_);
    if (icon_ != 0) DestroyIcon(icon_);
    icon_ = icon;
}

void CITrayIcon::SetTip() {
    CInterpretor& in = *interpreter;
    // Without an argument the tip is cleared, rather than set to the placeholder text a
    // missing argument reads as.
    const char* tip = "";
    if (!in.IsArgDefault(0)) {
        if (in.GetArg(0)->GetType() != kValueString) in.RaiseError(14);
        tip = in.GetArg(0)->GetString();
    }
    notifyData_.uFlags |= NIF_TIP;
    CopyTip(notifyData_, tip);
    Shell_NotifyIconA(NIM_MODIFY, &notifyData_);
}

LRESULT CITrayIcon::TrayHandler(BOOL& handled, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kCallbackMessage) return 0;
    for (CITrayIcon* icon : TrayIconList()) {
        if (icon->notifyData_.uID != UINT(wParam)) continue;
        handled = TRUE;
        icon->PostMouseEvent(UINT(lParam));
        return 0;
    }
    return 0;
}

void CITrayIcon::PostMouseEvent(UINT mouseMessage) {
    const BlockRecord* handler = nullptr;
    int32_t button = 0;
    switch (mouseMessage) {
    case WM_MOUSEMOVE:
        handler = onMouseMove_;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        handler = onMouseDown_;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        handler = onMouseUp_;
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        handler = onMouseDblClick_;
        break;
    default:
        return;
    }
    if (handler == nullptr) return;
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        button = kLeftButton;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        button = kRightButton;
        break;
    default:
        button = kMiddleButton;
        break;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    CInterpretor& in = *interpreter;
    CValue self(this);
    CValue x(&in, int32_t(cursor.x));
    CValue y(&in, int32_t(cursor.y));
    CValue which(&in, button);
    // The message pump is no place for an error to unwind through.
    try {
        if (mouseMessage == WM_MOUSEMOVE)
            in.PostEventCoalesced(handler, this, &self, &x, &y);
        else
            in.PostEvent(handler, &self, &x, &y, &which);
    } catch (CIError* error) {
        in.KeepPendingError(error);
    }
}

const ScriptClassInfo* GetTrayIconClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewTrayIcon, CITrayIcon::kFirstClassLevelId, kConstants, 3, nullptr, nullptr,
    };
    return &info;
}
