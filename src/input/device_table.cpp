#include "input/device_table.h"

#include <cstring>
#include <vector>

#include "input/directinput_devices.h"
#include "input/win32_devices.h"
#include "platform/input/joystick.h"
#include "platform/process/shared_library.h"

namespace {

struct DeviceTable {
    std::vector<std::unique_ptr<InputDeviceInfo>> records;
    int32_t useCount = 0;
    HINSTANCE instance = 0;
    HMODULE directInputModule = 0;
    IDirectInputA* directInput = nullptr;
    std::unique_ptr<InputDeviceInfo[]> replacement;
    size_t replacementCount = 0;
};

DeviceTable& Table() {
    static DeviceTable table;
    return table;
}

struct KeyboardType {
    int result;
    int32_t subType;
    const char* name;
};

constexpr KeyboardType kKeyboardTypes[] = {
    {1, 7, "IBM PC/XT or compatible (83-key)"},
    {2, 8, "Olivetti ICO (102-key)"},
    {3, 9, "IBM PC/AT (84-key)"},
    {4, 10, "IBM enhanced (101- or 102-key)"},
    {5, 11, "Nokia 1050"},
    {6, 12, "Nokia 9140"},
    {7, 16, "Japanese keyboard"},
};

void DiscoverWin32(DeviceTable& table) {
    auto keyboard = std::make_unique<InputDeviceInfo>();
    keyboard->category = kCategoryKeyboard;
    int type = GetKeyboardType(0);
    for (const KeyboardType& known : kKeyboardTypes) {
        if (known.result == type) {
            keyboard->subType = known.subType;
            keyboard->name = known.name;
        }
    }
    table.records.push_back(std::move(keyboard));
    auto mouse = std::make_unique<InputDeviceInfo>();
    mouse->category = kCategoryMouse;
    table.records.push_back(std::move(mouse));
    UINT count = joyGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        JOYINFO position{};
        if (joyGetPos(id, &position) != JOYERR_NOERROR) continue;
        auto joystick = std::make_unique<InputDeviceInfo>();
        joystick->category = kCategoryJoystick;
        joystick->joystickId = id;
        JOYCAPSA caps{};
        if (joyGetDevCapsA(id, &caps, sizeof caps) == JOYERR_NOERROR) joystick->name = caps.szPname;
        table.records.push_back(std::move(joystick));
    }
}

BOOL AppendDirectInputRecord(const DIDEVICEINSTANCEA* instance, void* context) {
    auto& table = *static_cast<DeviceTable*>(context);
    auto record = std::make_unique<InputDeviceInfo>();
    record->kind = InputDeviceInfo::kDirectInput;
    record->deviceType = instance->dwDevType;
    record->instanceGuid = instance->guidInstance;
    record->instanceName.assign(
        instance->tszInstanceName,
        strnlen(instance->tszInstanceName, sizeof instance->tszInstanceName));
    record->productName.assign(instance->tszProductName,
                               strnlen(instance->tszProductName, sizeof instance->tszProductName));
    table.records.push_back(std::move(record));
    return DIENUM_CONTINUE;
}

// Joysticks, then mice, then keyboards. False when an enumeration fails.
bool DiscoverDirectInput(DeviceTable& table) {
    for (DWORD type : {DIDEVTYPE_JOYSTICK, DIDEVTYPE_MOUSE, DIDEVTYPE_KEYBOARD}) {
        if (table.directInput->EnumDevices(type, &AppendDirectInputRecord, &table,
                                           DIEDFL_ATTACHEDONLY) < 0)
            return false;
    }
    return true;
}

void ReleaseDirectInput(DeviceTable& table) {
    if (table.directInput != nullptr) table.directInput->Release();
    table.directInput = nullptr;
}

void DiscoverReplacement(DeviceTable& table) {
    for (size_t i = 0; i < table.replacementCount; ++i) {
        const InputDeviceInfo& model = table.replacement[i];
        auto record = std::make_unique<InputDeviceInfo>();
        record->kind = model.kind;
        record->category = model.category;
        record->subType = model.subType;
        record->joystickId = model.joystickId;
        record->name = model.name;
        record->deviceType = model.deviceType;
        record->instanceGuid = model.instanceGuid;
        record->instanceName = model.instanceName;
        record->productName = model.productName;
        record->maker = model.maker;
        table.records.push_back(std::move(record));
    }
}

} // namespace

int EnumerateInputDevices(HINSTANCE instance) {
    DeviceTable& table = Table();
    if (table.useCount == 0) {
        table.instance = instance;
        platform::RegisterDirectInputModule();
        table.directInputModule = LoadLibraryA("DInput.DLL");
    }
    if (table.useCount++ > 0) return 1;
    if (table.replacementCount > 0) {
        DiscoverReplacement(table);
        return 1;
    }
    auto create = table.directInputModule != 0
                      ? reinterpret_cast<DirectInputCreateAFunction>(
                            GetProcAddress(table.directInputModule, "DirectInputCreateA"))
                      : nullptr;
    if (create != nullptr &&
        create(table.directInputModule, 0x500, &table.directInput, nullptr) >= 0) {
        if (DiscoverDirectInput(table)) return 1;
        table.records.clear();
        ReleaseDirectInput(table);
        return 0;
    }
    DiscoverWin32(table);
    return 1;
}

int ReleaseInputDevices() {
    DeviceTable& table = Table();
    if (table.useCount == 0) return 1;
    if (table.useCount == 1) {
        table.records.clear();
        ReleaseDirectInput(table);
    }
    if (--table.useCount == 0 && table.directInputModule != 0) {
        FreeLibrary(table.directInputModule);
        table.directInputModule = 0;
    }
    return 1;
}

IDirectInputA* GetDirectInput() {
    return Table().directInput;
}

int32_t GetInputDeviceCount() {
    return int32_t(Table().records.size());
}

InputDeviceInfo* GetInputDeviceInfo(int32_t index) {
    DeviceTable& table = Table();
    if (index < 0 || size_t(index) >= table.records.size()) return nullptr;
    return table.records[size_t(index)].get();
}

int32_t GetInputDeviceType(int32_t index) {
    const InputDeviceInfo* record = GetInputDeviceInfo(index);
    if (record == nullptr) return kCategoryNone;
    if (record->kind != InputDeviceInfo::kDirectInput) return record->category;
    switch (record->deviceType & 0xFF) {
    case 2:
        return kCategoryMouse;
    case 3:
        return kCategoryKeyboard;
    case 4:
        return kCategoryJoystick;
    default:
        return kCategoryNone;
    }
}

int32_t GetInputDeviceSubType(int32_t index) {
    const InputDeviceInfo* record = GetInputDeviceInfo(index);
    if (record == nullptr) return 0;
    if (record->kind != InputDeviceInfo::kDirectInput) return record->subType;
    int32_t sub = int32_t((record->deviceType >> 8) & 0xFF);
    switch (GetInputDeviceType(index)) {
    case kCategoryMouse:
        return sub >= 1 && sub <= 5 ? sub : 0;
    case kCategoryKeyboard:
        return sub == 0 ? 1 : sub <= 12 ? sub + 6 : 0;
    case kCategoryJoystick:
        return sub >= 1 && sub <= 7 ? sub : 0;
    default:
        return 0;
    }
}

std::string GetInputDeviceName(int32_t index) {
    const InputDeviceInfo* record = GetInputDeviceInfo(index);
    if (record == nullptr || record->kind != InputDeviceInfo::kDirectInput) return {};
    return record->instanceName;
}

std::string GetInputDeviceProductName(int32_t index) {
    const InputDeviceInfo* record = GetInputDeviceInfo(index);
    if (record == nullptr) return {};
    return record->kind == InputDeviceInfo::kDirectInput ? record->productName : record->name;
}

int RunInputControlPanel(HWND) {
    return 0;
}

InputDevice* InputDeviceHandle::Device() const {
    InputDeviceInfo* record = GetInputDeviceInfo(deviceIndex);
    return record != nullptr ? record->device.get() : nullptr;
}

int32_t InputDeviceHandle::GetEffectType(int32_t effect) const {
    InputDevice* device = Device();
    if (device == nullptr) return 0;
    return device->GetEffectCategory(device->GetEffectTypeOf(effect));
}

std::unique_ptr<InputDeviceHandle> OpenInputDevice(int32_t index, HWND window, int cooperation) {
    InputDeviceInfo* record = GetInputDeviceInfo(index);
    if (record == nullptr) return nullptr;
    std::unique_ptr<InputDevice> device;
    if (record->maker != nullptr) {
        device = record->maker(*record, index);
    } else {
        bool direct = record->kind == InputDeviceInfo::kDirectInput;
        switch (GetInputDeviceType(index)) {
        case kCategoryMouse:
            if (direct)
                device = std::make_unique<DirectInputMouse>(index);
            else
                device = std::make_unique<MouseDevice>(index);
            break;
        case kCategoryKeyboard:
            if (direct)
                device = std::make_unique<DirectInputKeyboard>(index);
            else
                device = std::make_unique<KeyboardDevice>(index);
            break;
        case kCategoryJoystick:
            if (direct)
                device = std::make_unique<DirectInputJoystick>(index);
            else
                device = std::make_unique<JoystickDevice>(index, record->joystickId);
            break;
        default:
            break;
        }
    }
    if (device == nullptr) return nullptr;
    record->device = std::move(device);
    if (record->device->Attach(window, cooperation) == 0) {
        record->device.reset();
        return nullptr;
    }
    return std::make_unique<InputDeviceHandle>(index);
}

void CloseInputDevice(std::unique_ptr<InputDeviceHandle> handle) {
    if (handle == nullptr) return;
    if (InputDeviceInfo* record = GetInputDeviceInfo(handle->deviceIndex)) record->device.reset();
}

namespace input_test {

void ReplaceDiscovery(std::unique_ptr<InputDeviceInfo[]> records, size_t count) {
    DeviceTable& table = Table();
    table.replacement = std::move(records);
    table.replacementCount = table.replacement != nullptr ? count : 0;
}

} // namespace input_test
