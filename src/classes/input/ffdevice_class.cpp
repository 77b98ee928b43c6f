#include "classes/input/ffdevice_class.h"

#include <array>
#include <iterator>
#include <new>
#include <string>
#include <utility>

#include "classes/input/game_input_class.h"
#include "input/device_table.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

using F = CIFFDevice;

// Constant values in name-table order, ids from 0x18.
constexpr int32_t kConstantValues[] = {
    0, 1, 2, 3, 4, 5, 6,                                              // EFFECT_TYPE_*
    0, 1, 2, 3,                                                       // INPUTTYPE_*
    0, 1, 2, 3, 4, 5,                                                 // INPUTMOUSETYPE_*
    0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, // INPUTKEYBOARDTYPE_*
    0, 1, 2, 3, 4, 5, 6, 7,                                           // INPUTJOYSTICKTYPE_*
};
static_assert(std::size(kConstantValues) == 44);

const char* const kConstantNames[] = {
    "EFFECT_TYPE_INVALID",
    "EFFECT_TYPE_COMMON",
    "EFFECT_TYPE_CONDITION",
    "EFFECT_TYPE_CONSTANTFORCE",
    "EFFECT_TYPE_CUSTOMFORCE",
    "EFFECT_TYPE_RAMPFORCE",
    "EFFECT_TYPE_PERIODIC",
    "INPUTTYPE_INVALID",
    "INPUTTYPE_MOUSE",
    "INPUTTYPE_KEYBOARD",
    "INPUTTYPE_JOYSTICK",
    "INPUTMOUSETYPE_INVALID",
    "INPUTMOUSETYPE_UNKNOWN",
    "INPUTMOUSETYPE_TRADITIONAL",
    "INPUTMOUSETYPE_FINGERSTICK",
    "INPUTMOUSETYPE_TOUCHPAD",
    "INPUTMOUSETYPE_TRACKBALL",
    "INPUTKEYBOARDTYPE_INVALID",
    "INPUTKEYBOARDTYPE_UNKNOWN",
    "INPUTKEYBOARDTYPE_GENERIC",
    "INPUTKEYBOARDTYPE_APPLEDESIGN",
    "INPUTKEYBOARDTYPE_APPLEEXTENDED",
    "INPUTKEYBOARDTYPE_APPLEIMACUSB",
    "INPUTKEYBOARDTYPE_PCXT",
    "INPUTKEYBOARDTYPE_OLIVETTI",
    "INPUTKEYBOARDTYPE_PCAT",
    "INPUTKEYBOARDTYPE_PCENH",
    "INPUTKEYBOARDTYPE_NOKIA1050",
    "INPUTKEYBOARDTYPE_NOKIA9140",
    "INPUTKEYBOARDTYPE_NEC98",
    "INPUTKEYBOARDTYPE_NEC98LAPTOP",
    "INPUTKEYBOARDTYPE_NEC98106",
    "INPUTKEYBOARDTYPE_JAPAN106",
    "INPUTKEYBOARDTYPE_JAPANAX",
    "INPUTKEYBOARDTYPE_J3100",
    "INPUTKEYBOARDTYPE_APPLENOTEBOOK",
    "INPUTJOYSTICKTYPE_INVALID",
    "INPUTJOYSTICKTYPE_UNKNOWN",
    "INPUTJOYSTICKTYPE_TRADITIONAL",
    "INPUTJOYSTICKTYPE_FLIGHTSTICK",
    "INPUTJOYSTICKTYPE_GAMEPAD",
    "INPUTJOYSTICKTYPE_RUDDER",
    "INPUTJOYSTICKTYPE_WHEEL",
    "INPUTJOYSTICKTYPE_HEADTRACKER",
};
static_assert(std::size(kConstantNames) == std::size(kConstantValues));

struct Method {
    uint16_t id;
    const char* name;
};

constexpr Method kMethodNames[] = {
    {1, "RunControlPanel"}, {2, "GetDeviceType"},        {3, "GetDeviceSubType"},
    {4, "GetDeviceName"},   {5, "GetDeviceProductName"}, {6, "GetAxisCount"},
    {7, "GetButtonCount"},  {8, "CreateEffectFromFile"}, {9, "DownloadEffect"},
    {10, "UnloadEffect"},   {15, "ContinueAllEffect"},   {16, "PauseAllEffect"},
    {17, "ResetAllEffect"}, {18, "StopAllEffect"},       {19, "StartEffect"},
    {20, "StopEffect"},     {21, "GetEffectName"},       {22, "GetEffectType"},
};

struct NameTable {
    MethodNameRow rows[1 + std::size(kMethodNames) + std::size(kConstantNames) + 1];
    NameTable() {
        size_t row = 0;
        rows[row++] = {F::kClassId, "FFDevice", 0, 0};
        for (const Method& method : kMethodNames)
            rows[row++] = {method.id, method.name, 0, 0};
        for (size_t i = 0; i < std::size(kConstantNames); ++i)
            rows[row++] = {uint32_t(F::kFirstClassLevelId + 1 + i), kConstantNames[i], 0,
                           kRowConstant};
        rows[row] = {0, nullptr, 0, 0};
    }
};

const NameTable& Names() {
    static const NameTable table;
    return table;
}

template <size_t Index> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(kConstantValues[Index]);
}

template <size_t... Indexes>
constexpr std::array<ClassLevelHandler, sizeof...(Indexes)>
MakeHandlers(std::index_sequence<Indexes...>) {
    return {&Constant<Indexes>...};
}

const auto kConstants = MakeHandlers(std::make_index_sequence<std::size(kConstantValues)>());

CIBaseClassImpl* NewFFDevice(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIFFDevice(&interpreter, record);
}

const ScriptClassInfo& ClassInfo() {
    static const ScriptClassInfo info = {
        Names().rows,
        NewFFDevice,
        F::kFirstClassLevelId,
        kConstants.data(),
        uint32_t(kConstants.size()),
        nullptr,
        nullptr,
    };
    return info;
}

constexpr int32_t kNoEffect = -1;

} // namespace

const ScriptMethod<CIFFDevice> CIFFDevice::kMethods[23] = {
    nullptr,
    &F::RunControlPanel,
    &F::GetDeviceType,
    &F::GetDeviceSubType,
    &F::GetDeviceName,
    &F::GetDeviceProductName,
    &F::GetAxisCount,
    &F::GetButtonCount,
    &F::CreateEffectFromFile,
    &F::DownloadEffect,
    &F::UnloadEffect,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    &F::ContinueAllEffect,
    &F::PauseAllEffect,
    &F::ResetAllEffect,
    &F::StopAllEffect,
    &F::StartEffect,
    &F::StopEffect,
    &F::GetEffectName,
    &F::GetEffectType,
};

CIFFDevice::CIFFDevice(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIFFDevice::~CIFFDevice() {
    if (owner_ != nullptr) owner_->ForgetFFDevice(this);
}

void CIFFDevice::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIFFDevice::Destroy(int) {
    delete this;
}

void CIFFDevice::Create() {
    Register();
}

int CIFFDevice::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (owner_ == nullptr || object != owner_) return 0;
    owner_->ForgetFFDevice(this);
    Detach();
    return 1;
}

void CIFFDevice::Attach(InputDeviceHandle* handle, CIGameInput* owner) {
    handle_ = handle;
    owner_ = owner;
}

void CIFFDevice::Detach() {
    handle_ = nullptr;
    owner_ = nullptr;
}

InputDevice* CIFFDevice::Device() const {
    return handle_ != nullptr ? handle_->Device() : nullptr;
}

int32_t CIFFDevice::DeviceIndex() const {
    return handle_ != nullptr ? handle_->deviceIndex : -1;
}

void CIFFDevice::SetResult(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

int32_t CIFFDevice::EffectArg(uint32_t i) {
    CInterpretor& in = *interpreter;
    return int32_t(i) < in.GetArgCount() && !in.IsArgDefault(i) ? in.GetArgInt(i) : 0;
}

void CIFFDevice::RunControlPanel() {
    SetResult(handle_ != nullptr ? RunInputControlPanel(interpreter->mainWindowHandle) : 0);
}

void CIFFDevice::GetDeviceType() {
    SetResult(GetInputDeviceType(DeviceIndex()));
}

void CIFFDevice::GetDeviceSubType() {
    SetResult(GetInputDeviceSubType(DeviceIndex()));
}

void CIFFDevice::GetDeviceName() {
    interpreter->GetResultSlot()->SetString(GetInputDeviceName(DeviceIndex()).c_str(), 0);
}

void CIFFDevice::GetDeviceProductName() {
    interpreter->GetResultSlot()->SetString(GetInputDeviceProductName(DeviceIndex()).c_str(), 0);
}

void CIFFDevice::GetAxisCount() {
    InputDevice* device = Device();
    SetResult(device != nullptr ? device->GetAxisCount() : 0);
}

void CIFFDevice::GetButtonCount() {
    InputDevice* device = Device();
    SetResult(device != nullptr ? device->GetButtonCount() : 0);
}

void CIFFDevice::CreateEffectFromFile() {
    CInterpretor& in = *interpreter;
    InputDevice* device = Device();
    if (in.GetArgCount() == 0 || in.IsArgDefault(0) || device == nullptr) {
        SetResult(-1);
        return;
    }
    SetResult(device->LoadEffectFile(in.GetArgString(0)));
}

void CIFFDevice::DownloadEffect() {
    int32_t effect = EffectArg(0);
    if (InputDevice* device = Device(); device != nullptr && effect != kNoEffect)
        device->DownloadEffect(effect);
}

void CIFFDevice::UnloadEffect() {
    int32_t effect = EffectArg(0);
    if (InputDevice* device = Device(); device != nullptr && effect != kNoEffect)
        device->UnloadEffect(effect);
}

void CIFFDevice::ContinueAllEffect() {
    if (InputDevice* device = Device()) device->ContinueEffects();
}

void CIFFDevice::PauseAllEffect() {
    if (InputDevice* device = Device()) device->PauseEffects();
}

void CIFFDevice::ResetAllEffect() {
    if (InputDevice* device = Device()) device->ResetEffects();
}

void CIFFDevice::StopAllEffect() {
    if (InputDevice* device = Device()) device->StopAllEffects();
}

void CIFFDevice::StartEffect() {
    CInterpretor& in = *interpreter;
    int32_t effect = EffectArg(0);
    int32_t iterations = in.GetArgCount() > 1 && !in.IsArgDefault(1) ? in.GetArgInt(1) : 1;
    int32_t flags = in.GetArgCount() > 2 && !in.IsArgDefault(2) ? in.GetArgInt(2) : 1;
    if (InputDevice* device = Device(); device != nullptr && effect != kNoEffect)
        device->StartEffect(effect, iterations, flags);
}

void CIFFDevice::StopEffect() {
    int32_t effect = EffectArg(0);
    if (InputDevice* device = Device(); device != nullptr && effect != kNoEffect)
        device->StopEffect(effect);
}

void CIFFDevice::GetEffectName() {
    int32_t effect = EffectArg(0);
    InputDevice* device = Device();
    std::string name;
    if (device != nullptr && effect != kNoEffect)
        name = device->GetEffectTypeName(device->GetEffectTypeOf(effect));
    interpreter->GetResultSlot()->SetString(name.c_str(), 0);
}

void CIFFDevice::GetEffectType() {
    int32_t effect = EffectArg(0);
    SetResult(handle_ != nullptr && effect != kNoEffect ? handle_->GetEffectType(effect) : 0);
}

const ScriptClassInfo* GetFFDeviceClassInfo() {
    return &ClassInfo();
}
