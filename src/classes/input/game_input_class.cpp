#include "classes/input/game_input_class.h"

#include <iterator>
#include <new>

#include "classes/input/ffdevice_class.h"
#include "classes/window/window_class.h"
#include "foundation/streams/file_in_stream.h"
#include "input/game_input_manager.h"
#include "input/setup_dialog.h"
#include "script/interpreter/interpretor.h"
#include "script/project/element.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/values/value.h"

namespace {

using G = CIGameInput;

constexpr int32_t kWrongArgument = 14;
constexpr int32_t kSetupError = 0;
constexpr int32_t kSetupOk = 1;
constexpr int32_t kSetupCancel = 2;
constexpr int32_t kNotAPlayer = int32_t(0x80000000u);

bool inputStarted = false;

const MethodNameRow kNameTable[] = {
    {G::kClassId, "GameInput", 0, 0},
    {G::kStart, "Start", 0, 0},
    {G::kStop, "Stop", 0, 0},
    {G::kGetPlayerCount, "GetPlayerCount", 0, 0},
    {G::kLoadSettings, "LoadSettings", 0, 0},
    {G::kSetupDialog, "SetupDialog", 0, 0},
    {G::kSaveSettings, "SaveSettings", 0, 0},
    {G::kGetDeviceValue, "GetDeviceValue", 0, 0},
    {0x11, "SETUP_OK", 0, kRowConstant},
    {0x12, "SETUP_CANCEL", 0, kRowConstant},
    {0x13, "SETUP_ERROR", 0, kRowConstant},
    {G::kGetPlayerDeviceType, "GetPlayerDeviceType", 0, 0},
    {G::kGetSettingCount, "GetSettingCount", 0, 0},
    {G::kGetCurrentSettingName, "GetCurrentSettingName", 0, 0},
    {G::kGetCurrentSettingIndex, "GetCurrentSettingIndex", 0, 0},
    {0x14, "DEVICE_KEYBOARD", 0, kRowConstant},
    {0x15, "DEVICE_JOYSTICK", 0, kRowConstant},
    {0x16, "DEVICE_MOUSE", 0, kRowConstant},
    {0x17, "DEVICE_UNKNOWN", 0, kRowConstant},
    {0x18, "DEVICE_INVALID", 0, kRowConstant},
    {G::kGetSettingName, "GetSettingName", 0, 0},
    {G::kHasFFSupport, "HasFFSupport", 0, 0},
    {G::kGetFFDevice, "GetFFDevice", 0, 0},
    {G::kIsStarted, "IsStarted", 0, 0},
    {0, nullptr, 0, 0},
};

// Constant values by id from 0x11.
constexpr int32_t kConstantValues[] = {1, 2, 0, 1, 2, 3, 4, 0};

template <size_t Index> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(kConstantValues[Index]);
}

const ClassLevelHandler kConstants[] = {&Constant<0>, &Constant<1>, &Constant<2>, &Constant<3>,
                                        &Constant<4>, &Constant<5>, &Constant<6>, &Constant<7>};

// FFDevices hold their GameInput.
const uint32_t kDependents[] = {CIFFDevice::kClassId, 0};

CIBaseClassImpl* NewGameInput(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIGameInput(&interpreter, record);
}

const ScriptClassInfo kGameInputClass = {
    kNameTable,  NewGameInput, G::kFirstClassLevelId, kConstants, std::size(kConstants),
    kDependents, nullptr,
};

// The script constant of a player's device type.
int32_t DeviceConstant(int32_t type) {
    switch (type) {
    case kInputKeyboard:
        return 1;
    case kInputJoystick:
        return 2;
    case kInputMouse:
        return 3;
    default:
        return 0;
    }
}

// The object a value holds; null for any other value.
CIBaseClassImpl* ObjectOf(const CValue& value) {
    return value.GetType() == kValueObject ? value.GetObject() : nullptr;
}

bool IsNumber(const CValue& value) {
    return value.GetType() == kValueInt || value.GetType() == kValueDouble;
}

std::string ReadAll(CInStream& stream) {
    std::string data;
    char chunk[4096];
    uint32_t got = 0;
    for (;;) {
        ResultCode result = stream.ReadCounted(chunk, sizeof chunk, &got);
        data.append(chunk, got);
        if (result != kResultOk || got == 0) break;
    }
    return data;
}

CProjectEntry* CurrentEntry(CInterpretor& interpreter) {
    return interpreter.projectFile != nullptr ? interpreter.projectFile->GetCurrentEntry()
                                              : nullptr;
}

} // namespace

const ScriptMethod<CIGameInput> CIGameInput::kMethods[kMethodCount] = {
    nullptr,
    &G::Start,
    &G::StopMethod,
    &G::GetPlayerCount,
    &G::LoadSettings,
    &G::SetupDialog,
    &G::SaveSettings,
    &G::GetDeviceValue,
    &G::GetPlayerDeviceType,
    &G::GetSettingCount,
    &G::GetCurrentSettingName,
    &G::GetCurrentSettingIndex,
    &G::GetSettingName,
    &G::HasFFSupport,
    &G::GetFFDevice,
    &G::IsStarted,
};

CIGameInput::CIGameInput(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIGameInput::~CIGameInput() {
    // The interpreter deletes the FFDevices itself as it goes; they only lose their device.
    for (CIFFDevice* device : ffDevices_)
        device->Detach();
    ffDevices_.clear();
    if (started_ != 0 && manager_ != nullptr) manager_->Stop();
    inputStarted = false;
}

bool CIGameInput::IsInputStarted() {
    return inputStarted;
}

void CIGameInput::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIGameInput::Destroy(int) {
    delete this;
}

bool CIGameInput::MakeManager(HWND window) {
    auto manager = std::make_unique<GameInputManager>();
    if (manager->Init(0, window) == 0) return false;
    manager_ = std::move(manager);
    return true;
}

void CIGameInput::LoadEmbeddedSettings() {
    CProjectEntry* entry = CurrentEntry(*interpreter);
    if (entry != nullptr && entry->gameInputText != nullptr && entry->gameInputSize > 0)
        manager_->LoadSettingsMemory(entry->gameInputText, entry->gameInputSize);
}

int CIGameInput::CreateAtStart() {
    if (!MakeManager(0)) return 0;
    LoadEmbeddedSettings();
    Register();
    return 1;
}

void CIGameInput::Create() {
    CInterpretor& in = *interpreter;
    HWND window = in.mainWindowHandle;
    if (in.GetArgCount() > 0) {
        CIBaseClassImpl* object = ObjectOf(*in.GetArg(0));
        if (object != nullptr && object->classIndex == CIWindow::kClassId)
            window = static_cast<CIWindow*>(object)->hwnd;
    }
    if (!MakeManager(window)) return;
    Register();
    if (in.GetArgCount() > 1 && !in.IsArgDefault(1)) {
        const CValue& source = *in.GetArg(1);
        std::optional<std::string> data = ReadSource(source);
        if (!data && source.GetType() != kValueString) in.RaiseError(kWrongArgument);
        if (data) manager_->LoadSettingsMemory(data->data(), data->size());
    } else {
        LoadEmbeddedSettings();
    }
}

std::optional<std::string> CIGameInput::ReadSource(const CValue& source) {
    CInterpretor& in = *interpreter;
    CInStream* stream = nullptr;
    if (CElement* element = in.GetElementFromValue(source, project_format::kBinaryBank, 1))
        stream = element->OpenStream(1);
    if (stream == nullptr && source.GetType() == kValueString) {
        const char* name = source.GetString();
        if (in.projectFile != nullptr) {
            stream = in.projectFile->FindElementByName(name, 1, 1);
        } else {
            auto file = std::make_unique<CFileInStream>();
            if (file->OpenFile(name) == kResultOk) stream = file.release();
        }
    }
    if (stream == nullptr) return std::nullopt;
    stream->Seek(0, 0);
    std::string data = ReadAll(*stream);
    delete stream;
    return data;
}

void CIGameInput::SetResult(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

// ---- Starting and stopping -----------------------------------------------------------

int CIGameInput::StartInputByIndex(int32_t index) {
    settingsName_.reset();
    settingsIndex_ = index;
    int result = manager_->StartByIndex(index);
    inputStarted = result != 0;
    started_ = result;
    if (result == 0) settingsIndex_ = -1;
    return result;
}

int CIGameInput::StartInput(const CValue& gameType) {
    if (inputStarted || manager_ == nullptr) return 0;
    settingsName_.reset();
    settingsIndex_ = -1;
    switch (gameType.GetType()) {
    case kValueDefault: {
        int32_t count = manager_->GetSettingCount();
        if (count == 0) return 0;
        CProjectEntry* entry = CurrentEntry(*interpreter);
        uint32_t index = entry != nullptr ? entry->inputSetting : 0;
        return StartInputByIndex(index < uint32_t(count) ? int32_t(index) : 0);
    }
    case kValueString: {
        std::string name = gameType.GetString();
        int result = manager_->StartByName(name);
        inputStarted = result != 0;
        started_ = result;
        if (result != 0) settingsName_ = std::move(name);
        return result;
    }
    case kValueInt:
    case kValueDouble:
        return StartInputByIndex(gameType.GetInt());
    default:
        return 0;
    }
}

void CIGameInput::StopDevices() {
    if (started_ != 0) manager_->Stop();
}

void CIGameInput::Restart() {
    if (started_ == 0) return;
    if (settingsName_)
        manager_->StartByName(*settingsName_);
    else
        manager_->StartByIndex(settingsIndex_);
}

void CIGameInput::SetWindow(HWND window) {
    window_ = window;
    if (manager_ == nullptr) return;
    StopDevices();
    manager_->SetWindow(window);
    Restart();
}

void CIGameInput::ForgetFFDevice(CIFFDevice* device) {
    for (size_t i = 0; i < ffDevices_.size(); ++i) {
        if (ffDevices_[i] == device) {
            ffDevices_.erase(ffDevices_.begin() + long(i));
            return;
        }
    }
}

void CIGameInput::StopSelf() {
    if (started_ == 0) return;
    std::vector<CIFFDevice*> devices;
    devices.swap(ffDevices_);
    for (CIFFDevice* device : devices) {
        device->Detach();
        interpreter->DeleteObject(device);
    }
    if (manager_ != nullptr) manager_->Stop();
    started_ = 0;
    settingsName_.reset();
    settingsIndex_ = -1;
}

// ---- Script methods ------------------------------------------------------------------

void CIGameInput::Start() {
    CInterpretor& in = *interpreter;
    // Without an argument: the default game type (an unset value would start nothing).
    CValue none;
    none.SetDefault();
    int result = StartInput(in.GetArgCount() > 0 ? *in.GetArg(0) : none);
    SetResult(result);
}

void CIGameInput::StopMethod() {
    StopSelf();
    // Any GameInput's Stop lets another start.
    inputStarted = false;
}

void CIGameInput::GetPlayerCount() {
    InputSetting* setting = manager_ != nullptr ? manager_->GetCurrentSetting() : nullptr;
    SetResult(setting != nullptr ? setting->GetPlayerCount() : -1);
}

void CIGameInput::LoadSettings() {
    CInterpretor& in = *interpreter;
    SetResult(0);
    if (started_ != 0 || manager_ == nullptr) return;
    manager_->RemoveAllSettings();
    if (in.GetArgCount() == 0) in.RaiseError(kWrongArgument);
    const CValue& source = *in.GetArg(0);
    if (source.GetType() == kValueString) {
        const char* text = source.GetString();
        if (text == nullptr || text[0] == 0) return;
    } else if (!IsNumber(source)) {
        in.RaiseError(kWrongArgument);
    }
    std::optional<std::string> data = ReadSource(source);
    if (!data) in.RaiseError(kWrongArgument);
    SetResult(manager_->LoadSettingsMemory(data->data(), data->size()));
}

void CIGameInput::SetupDialog() {
    CInterpretor& in = *interpreter;
    HWND owner = in.mainWindowHandle;
    if (in.GetArgCount() > 0 && !in.IsArgDefault(0)) {
        CIBaseClassImpl* object = ObjectOf(*in.GetArg(0));
        if (object == nullptr || object->classIndex != CIWindow::kClassId)
            in.RaiseError(kWrongArgument);
        owner = static_cast<CIWindow*>(object)->hwnd;
    }
    if (manager_ == nullptr) {
        SetResult(kSetupError);
        return;
    }
    std::string name;
    if (InputSetting* current = manager_->GetCurrentSetting()) name = current->name;
    StopDevices();
    int result = RunSetupDialog(*manager_, owner, name);
    Restart();
    SetResult(result == kSetupOk ? kSetupOk : kSetupCancel);
}

void CIGameInput::SaveSettings() {
    CInterpretor& in = *interpreter;
    SetResult(0);
    if (manager_ == nullptr) return;
    StopDevices();
    if (in.GetArgCount() > 0 && in.GetArg(0)->GetType() == kValueString) {
        const char* path = in.GetArg(0)->GetString();
        if (path != nullptr && path[0] != 0) SetResult(manager_->SaveSettingsFile(path));
    }
    Restart();
}

void CIGameInput::GetDeviceValue() {
    CInterpretor& in = *interpreter;
    if (started_ == 0 || manager_ == nullptr) {
        SetResult(0);
        return;
    }
    const int32_t count = in.GetArgCount();
    auto given = [&](uint32_t i) { return int32_t(i) < count && !in.IsArgDefault(i); };
    int32_t player = 0;
    std::string name;
    if (count > 0 && IsNumber(*in.GetArg(0))) {
        player = in.GetArgInt(0);
        if (given(1)) name = in.GetArgString(1);
    } else {
        if (given(0)) name = in.GetArgString(0);
        if (given(1)) player = in.GetArgInt(1);
    }
    SetResult(manager_->GetActionValue(player, name));
}

int32_t CIGameInput::PlayerArg() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() == 0 || in.IsArgDefault(0)) return 0;
    int32_t player = in.GetArgInt(0);
    if (player == kNotAPlayer) in.RaiseError(kWrongArgument);
    return player;
}

void CIGameInput::GetPlayerDeviceType() {
    InputSetting* setting = manager_ != nullptr ? manager_->GetCurrentSetting() : nullptr;
    if (setting == nullptr) {
        SetResult(0);
        return;
    }
    InputPlayer* player = setting->GetPlayer(PlayerArg());
    SetResult(player != nullptr ? DeviceConstant(player->deviceType) : 0);
}

void CIGameInput::GetSettingCount() {
    SetResult(manager_ != nullptr ? manager_->GetSettingCount() : 0);
}

void CIGameInput::GetCurrentSettingName() {
    InputSetting* setting = manager_ != nullptr ? manager_->GetCurrentSetting() : nullptr;
    interpreter->GetResultSlot()->SetString(setting != nullptr ? setting->name.c_str() : "", 0);
}

void CIGameInput::GetCurrentSettingIndex() {
    SetResult(manager_ != nullptr ? manager_->GetCurrentIndex() : -1);
}

void CIGameInput::GetSettingName() {
    CInterpretor& in = *interpreter;
    int32_t count = manager_ != nullptr ? manager_->GetSettingCount() : 0;
    if (count == 0) {
        in.GetResultSlot()->SetString("", 0);
        return;
    }
    int32_t index = manager_->GetCurrentIndex();
    if (index < 0) index = 0;
    if (in.GetArgCount() > 0 && !in.IsArgDefault(0)) index = in.GetArgInt(0);
    if (uint32_t(index) >= uint32_t(count)) index = count - 1;
    in.GetResultSlot()->SetString(manager_->GetSettingAt(index)->name.c_str(), 0);
}

void CIGameInput::HasFFSupport() {
    InputSetting* setting = manager_ != nullptr ? manager_->GetCurrentSetting() : nullptr;
    InputPlayer* player = setting != nullptr ? setting->GetPlayer(PlayerArg()) : nullptr;
    SetResult(player != nullptr && player->GetForceFeedbackDevice() != nullptr ? 1 : 0);
}

void CIGameInput::GetFFDevice() {
    CInterpretor& in = *interpreter;
    InputSetting* setting = manager_ != nullptr ? manager_->GetCurrentSetting() : nullptr;
    InputPlayer* player = setting != nullptr ? setting->GetPlayer(PlayerArg()) : nullptr;
    InputDeviceHandle* handle = player != nullptr ? player->GetForceFeedbackDevice() : nullptr;
    if (handle == nullptr) {
        SetResult(0);
        return;
    }
    auto* device = static_cast<CIFFDevice*>(
        GetFFDeviceClassInfo()->construct(in, in.GetClassRecord(CIFFDevice::kClassId)));
    if (device == nullptr) in.RaiseError(15);
    device->Attach(handle, this);
    device->Register();
    ffDevices_.push_back(device);
    in.GetResultSlot()->SetObject(device, 1);
}

void CIGameInput::IsStarted() {
    SetResult(manager_ != nullptr && manager_->IsStarted() ? 1 : 0);
}

const ScriptClassInfo* GetGameInputClassInfo() {
    return &kGameInputClass;
}
