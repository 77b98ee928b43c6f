#include "classes/system/display_class.h"

#include <iterator>
#include <new>

#include "platform/user/input/cursor.h"
#include "platform/user/input/input.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/display_list.h"

namespace {

using D = CIDisplay;

const MethodNameRow kNameTable[] = {
    {D::kClassId, "Display", 0, 0},
    {D::kGetScreenXMouse, "GetScreenXMouse", 0, 0},
    {D::kGetScreenYMouse, "GetScreenYMouse", 0, 0},
    {D::kShowMouseCursor, "ShowMouseCursor", 0, 0},
    {D::kHideMouseCursor, "HideMouseCursor", 0, 0},
    {D::kBeginPolygonChange, "BeginPolygonChange", 0, 0},
    {D::kEndPolygonChange, "EndPolygonChange", 0, 0},
    {D::kSetScreenMousePos, "SetScreenMousePos", 0, 0},
    {D::kGetDisplayInterface, "GetDisplayInterface", 0, 0},
    {D::kSetDisplayInterface, "SetDisplayInterface", 0, 0},
    {D::kIsDisplayInterfaceAvailable, "IsDisplayInterfaceAvailable", 0, 0},
    {D::kGetDisplayInterfaceName, "GetDisplayInterfaceName", 0, 0},
    {D::kGetDisplayDeviceCount, "GetDisplayDeviceCount", 0, 0},
    {D::kGetDisplayDeviceName, "GetDisplayDeviceName", 0, 0},
    {D::kGetDisplayDriverCount, "GetDisplayDriverCount", 0, 0},
    {D::kGetDisplayDriverName, "GetDisplayDriverName", 0, 0},
    {D::kIsWindowedModeSupported, "IsWindowedModeSupported", 0, 0},
    {D::kGetScreenModeCount, "GetScreenModeCount", 0, 0},
    {D::kGetScreenModeWidth, "GetScreenModeWidth", 0, 0},
    {D::kGetScreenModeHeight, "GetScreenModeHeight", 0, 0},
    {D::kGetScreenModeDepth, "GetScreenModeDepth", 0, 0},
    {D::kGetDisplayDevice, "GetDisplayDevice", 0, 0},
    {D::kGetDisplayDriver, "GetDisplayDriver", 0, 0},
    {D::kEnableVBSync, "EnableVBSync", 0, 0},
    {25, "SOFTWARE", 0, kRowConstant},
    {26, "SOFTWARE_DIRECTDRAW", 0, kRowConstant},
    {27, "DIRECT3D", 0, kRowConstant},
    {28, "OPENGL", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

// Script constant offset -> back-end number, and back.
constexpr int32_t kBackEndOfOffset[] = {3, 1, 0, 2};
constexpr uint32_t kOffsetOfBackEnd[] = {2, 1, 3, 0};

template <uint32_t Offset> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(int32_t(CIDisplay::kInterfaceBase + Offset));
}

const ClassLevelHandler kConstants[] = {&Constant<0>, &Constant<1>, &Constant<2>, &Constant<3>};

CIBaseClassImpl* NewDisplay(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIDisplay(&interpreter, record);
}

const ScriptClassInfo kDisplayClass = {
    kNameTable, NewDisplay, CIDisplay::kFirstClassLevelId, kConstants, std::size(kConstants),
    nullptr,    nullptr,
};

constexpr int32_t kOutOfRange = 88;
constexpr int32_t kNoSuchInterface = 108;

// `index` within `count`, compared unsigned so that a negative number fails too.
bool Within(int32_t index, size_t count) {
    return uint32_t(index) < count;
}

} // namespace

const ScriptMethod<CIDisplay> CIDisplay::kMethods[kMethodCount] = {
    nullptr,
    &D::GetScreenXMouse,
    &D::GetScreenYMouse,
    &D::ShowMouseCursor,
    &D::HideMouseCursor,
    &D::BeginPolygonChange,
    &D::EndPolygonChange,
    &D::SetScreenMousePos,
    &D::GetDisplayInterface,
    &D::SetDisplayInterface,
    &D::IsDisplayInterfaceAvailable,
    &D::GetDisplayInterfaceName,
    &D::GetDisplayDeviceCount,
    &D::GetDisplayDeviceName,
    &D::GetDisplayDriverCount,
    &D::GetDisplayDriverName,
    &D::IsWindowedModeSupported,
    &D::GetScreenModeCount,
    &D::GetScreenModeWidth,
    &D::GetScreenModeHeight,
    &D::GetScreenModeDepth,
    &D::GetDisplayDevice,
    &D::GetDisplayDriver,
    &D::EnableVBSync,
};

CIDisplay::CIDisplay(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIDisplay::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIDisplay::Destroy(int) {
    delete this;
}

uint32_t CIDisplay::ConstantOf(int32_t backEnd) {
    return kInterfaceBase + kOffsetOfBackEnd[uint32_t(backEnd) & 3];
}

int32_t CIDisplay::BackEndOf(uint32_t constant) {
    uint32_t offset = constant - kInterfaceBase;
    return offset < std::size(kBackEndOfOffset) ? kBackEndOfOffset[offset] : -1;
}

void CIDisplay::SetResult(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

int32_t CIDisplay::InterfaceArg(uint32_t i) {
    CInterpretor& in = *interpreter;
    if (int32_t(i) >= in.GetArgCount() || in.IsArgDefault(i)) return in.GetDisplayInterface();
    int32_t backEnd = BackEndOf(uint32_t(in.GetArgInt(i)));
    if (backEnd < 0) in.RaiseError(kNoSuchInterface);
    return backEnd;
}

int32_t CIDisplay::NumberArg(uint32_t i) {
    CInterpretor& in = *interpreter;
    return int32_t(i) >= in.GetArgCount() || in.IsArgDefault(i) ? 0 : in.GetArgInt(i);
}

CIDisplayList& CIDisplay::ListArg() {
    CIDisplayList* list = interpreter->GetDisplayList(InterfaceArg(0));
    if (list == nullptr) interpreter->RaiseError(15);
    return *list;
}

const DisplayDeviceEntry& CIDisplay::DeviceArgs() {
    CIDisplayList& list = ListArg();
    const DisplayDeviceEntry* device = list.GetDevice(NumberArg(1));
    if (device == nullptr) interpreter->RaiseError(kOutOfRange);
    return *device;
}

const DisplayDriverEntry& CIDisplay::DriverArgs() {
    const DisplayDeviceEntry& device = DeviceArgs();
    int32_t driver = NumberArg(2);
    if (!Within(driver, device.drivers.size())) interpreter->RaiseError(kOutOfRange);
    return device.drivers[size_t(driver)];
}

void CIDisplay::ModeArgs(int32_t& width, int32_t& height, int32_t& depth) {
    const DisplayDriverEntry& driver = DriverArgs();
    int32_t mode = interpreter->GetArgCount() > 3 ? interpreter->GetArgInt(3) : 0;
    if (!Within(mode, driver.modes.size())) interpreter->RaiseError(kOutOfRange);
    const CDisplayMode& entry = driver.modes[size_t(mode)];
    width = int32_t(entry.width);
    height = int32_t(entry.height);
    depth = entry.depth;
}

// ---- The mouse cursor ----------------------------------------------------------------

void CIDisplay::GetScreenXMouse() {
    POINT point{};
    GetCursorPos(&point);
    SetResult(point.x);
}

void CIDisplay::GetScreenYMouse() {
    POINT point{};
    GetCursorPos(&point);
    SetResult(point.y);
}

void CIDisplay::ShowMouseCursor() {
    while (ShowCursor(TRUE) < 0) {}
}

void CIDisplay::HideMouseCursor() {
    while (ShowCursor(FALSE) >= 0) {}
}

void CIDisplay::SetScreenMousePos() {
    CInterpretor& in = *interpreter;
    POINT point{};
    GetCursorPos(&point);
    if (in.GetArgCount() > 0 && !in.IsArgDefault(0)) point.x = in.GetArgInt(0);
    if (in.GetArgCount() > 1 && !in.IsArgDefault(1)) point.y = in.GetArgInt(1);
    SetCursorPos(point.x, point.y);
}

// ---- Polygon-change batches ------------------------------------------------------------

void CIDisplay::BeginPolygonChange() {
    interpreter->BeginEndPolygonChange(1);
}

void CIDisplay::EndPolygonChange() {
    CInterpretor& in = *interpreter;
    int32_t box = -1;
    if (in.GetArgCount() > 0 && !in.IsArgDefault(0)) {
        box = in.GetArgInt(0);
        if (box != 0 && box != 1) in.RaiseError(14);
    }
    in.EndPolygonChange(box);
}

// ---- The display interface ---------------------------------------------------------------

void CIDisplay::GetDisplayInterface() {
    SetResult(int32_t(ConstantOf(interpreter->GetDisplayInterface())));
}

void CIDisplay::SetDisplayInterface() {
    CInterpretor& in = *interpreter;
    int32_t backEnd =
        in.GetArgCount() > 0 && !in.IsArgDefault(0) ? BackEndOf(uint32_t(in.GetArgInt(0))) : -1;
    if (backEnd < 0) in.RaiseError(kNoSuchInterface);
    int32_t device = in.GetArgCount() > 1 && !in.IsArgDefault(1) ? in.GetArgInt(1) : -1;
    int32_t driver = in.GetArgCount() > 2 && !in.IsArgDefault(2) ? in.GetArgInt(2) : -1;
    in.SelectDisplay(backEnd, device, driver);
}

void CIDisplay::IsDisplayInterfaceAvailable() {
    SetResult(ListArg().IsAvailable());
}

void CIDisplay::GetDisplayInterfaceName() {
    interpreter->GetResultSlot()->SetString(ListArg().GetName(), 0);
}

void CIDisplay::GetDisplayDeviceCount() {
    SetResult(int32_t(ListArg().GetDeviceCount()));
}

void CIDisplay::GetDisplayDeviceName() {
    interpreter->GetResultSlot()->SetString(DeviceArgs().name.c_str(), 0);
}

void CIDisplay::GetDisplayDriverCount() {
    SetResult(int32_t(DeviceArgs().drivers.size()));
}

void CIDisplay::GetDisplayDriverName() {
    interpreter->GetResultSlot()->SetString(DriverArgs().name.c_str(), 0);
}

void CIDisplay::IsWindowedModeSupported() {
    SetResult(int32_t(DriverArgs().windowed));
}

void CIDisplay::GetScreenModeCount() {
    SetResult(int32_t(DriverArgs().modes.size()));
}

void CIDisplay::GetScreenModeWidth() {
    int32_t width = 0, height = 0, depth = 0;
    ModeArgs(width, height, depth);
    SetResult(width);
}

void CIDisplay::GetScreenModeHeight() {
    int32_t width = 0, height = 0, depth = 0;
    ModeArgs(width, height, depth);
    SetResult(height);
}

void CIDisplay::GetScreenModeDepth() {
    int32_t width = 0, height = 0, depth = 0;
    ModeArgs(width, height, depth);
    SetResult(depth);
}

void CIDisplay::GetDisplayDevice() {
    SetResult(interpreter->GetDisplayDeviceIndex());
}

// Unlike the interpreter's own device lookup, a selected device beyond the list stands
// for the first one here.
void CIDisplay::GetDisplayDriver() {
    CInterpretor& in = *interpreter;
    if (in.GetSelectedDisplayDriver() >= 0) {
        SetResult(in.GetSelectedDisplayDriver());
        return;
    }
    SetResult(0);
    CDisplayAPI* api = in.GetDisplayAPI();
    if (api == nullptr || api->GetDeviceCount() == 0) return;
    int32_t selected = in.GetSelectedDisplayDevice();
    uint32_t index = Within(selected, api->GetDeviceCount()) ? uint32_t(selected) : 0;
    const CDisplayDevice* device = api->GetDevice(index);
    const CDisplayDriver* current = device != nullptr ? device->GetCurrentDriver() : nullptr;
    if (current == nullptr) return;
    for (uint32_t i = 0; i < device->GetDriverCount(); ++i) {
        if (device->GetDriver(i) == current) {
            SetResult(int32_t(i));
            return;
        }
    }
}

void CIDisplay::EnableVBSync() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() < 1 || in.IsArgDefault(0)) in.RaiseError(21);
    in.verticalBlankWait = in.GetArgInt(0) != 0 ? 1 : 0;
}

const ScriptClassInfo* GetDisplayClassInfo() {
    return &kDisplayClass;
}
