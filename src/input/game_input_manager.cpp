#include "input/game_input_manager.h"

#include <algorithm>

#include "input/control_names.h"

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

// The list of a device type (1 mouse, 2 joystick, 3 keyboard); -1 for none.
int ListOf(int32_t type) {
    return type >= kInputMouse && type <= kInputKeyboard ? type - 1 : -1;
}

constexpr int64_t kFullScale = 131070;
constexpr int32_t kFullValue = 65535;

// Axes and rotations: how far the control is pushed to the side `kind` asks for.
int32_t Deflection(InputDevice* device, int32_t kind, int32_t minimum, int32_t maximum,
                   int32_t position, bool rotation) {
    if (minimum == maximum) return 0;
    const bool negative = kind == kControlAxisNegative || kind == kControlRotationNegative;
    const int64_t centre = (int64_t(minimum) + maximum) / 2;
    const int64_t d = int64_t(position) - centre;
    if ((d < 0 ? -d : d) < device->GetDeadZone()) return 0;
    if (negative && position <= minimum) return kFullValue;
    if (!negative && position >= maximum) return kFullValue;
    const int64_t r = int64_t(maximum) - minimum;
    int64_t scaled;
    if (rotation || r <= kFullScale)
        scaled = d * (kFullScale / r);
    else
        scaled = d / (r / kFullScale);
    if (negative)
        scaled = scaled <= 0 ? -scaled : 0;
    else if (scaled < 0)
        scaled = 0;
    return int32_t(std::min<int64_t>(scaled, kFullValue));
}

} // namespace

int32_t DeviceTypeOfCategory(int32_t category) {
    switch (category) {
    case kCategoryMouse:
        return kInputMouse;
    case kCategoryKeyboard:
        return kInputKeyboard;
    case kCategoryJoystick:
        return kInputJoystick;
    default:
        return kInputNone;
    }
}

// ---- Players -------------------------------------------------------------------------

void InputPlayer::AcquireDevice() {
    GameInputManager* manager = setting->manager;
    for (int32_t type : setting->preferred) {
        InputDeviceHandle* handle =
            type == kInputKeyboard ? manager->GetSharedDevice(type) : manager->OpenFreeDevice(type);
        if (handle != nullptr) {
            deviceType = type;
            device = handle;
            return;
        }
    }
}

void InputPlayer::ReleaseDevice() {
    deviceType = kInputNone;
    reservedIndex = -1;
    device = nullptr;
}

InputAction* InputPlayer::FindAction(std::string_view name, int32_t* index) {
    for (size_t i = 0; i < actions.size(); ++i) {
        if (actions[i]->name == name) {
            if (index != nullptr) *index = int32_t(i);
            return actions[i].get();
        }
    }
    if (index != nullptr) *index = -1;
    return nullptr;
}

int32_t InputPlayer::AddAction(std::string_view name) {
    auto action = std::make_unique<InputAction>();
    action->name = std::string(name);
    actions.push_back(std::move(action));
    return int32_t(actions.size()) - 1;
}

void InputPlayer::RemoveAction(std::string_view name) {
    int32_t index = -1;
    InputAction* action = FindAction(name, &index);
    if (action == nullptr) return;
    for (std::vector<InputBinding*>& list : action->bindings)
        while (!list.empty())
            RemoveBinding(list.front(), 1);
    actions.erase(actions.begin() + index);
}

InputBinding* InputPlayer::AddBinding(int32_t type, std::string_view actionName, uint32_t id,
                                      int32_t row) {
    int list = ListOf(type);
    if (list < 0) return nullptr;
    InputAction* action = FindAction(actionName);
    if (action == nullptr) action = actions[size_t(AddAction(actionName))].get();
    auto binding = std::make_unique<InputBinding>();
    binding->deviceType = type;
    binding->actionName = std::string(actionName);
    binding->controlId = id;
    binding->row = row;
    action->bindings[list].push_back(binding.get());
    bindings[list].push_back(std::move(binding));
    return bindings[list].back().get();
}

void InputPlayer::RemoveBinding(InputBinding* binding, int fromAction) {
    int list = ListOf(binding->deviceType);
    if (list < 0) return;
    if (fromAction != 0) {
        if (InputAction* action = FindAction(binding->actionName)) {
            std::vector<InputBinding*>& refs = action->bindings[list];
            refs.erase(std::remove(refs.begin(), refs.end(), binding), refs.end());
        }
    }
    std::vector<std::unique_ptr<InputBinding>>& owned = bindings[list];
    for (size_t i = 0; i < owned.size(); ++i) {
        if (owned[i].get() == binding) {
            owned.erase(owned.begin() + long(i));
            return;
        }
    }
}

int32_t InputPlayer::GetActionValue(std::string_view name) {
    InputAction* action = nullptr;
    for (const std::unique_ptr<InputAction>& candidate : actions) {
        if (EqualNoCase(candidate->name, name)) {
            action = candidate.get();
            break;
        }
    }
    int list = ListOf(deviceType);
    if (action == nullptr || list < 0 || device == nullptr) return 0;
    InputDevice* own = device->Device();
    GameInputManager* manager = setting->manager;
    for (InputBinding* binding : action->bindings[list]) {
        int32_t value = GameInputManager::EvaluateControl(own, binding->row);
        if (value == 0) continue;
        bool held = true;
        for (const InputCondition& condition : binding->conditions) {
            InputDeviceHandle* handle = condition.deviceType == deviceType
                                            ? device
                                            : manager->GetSharedDevice(condition.deviceType);
            if (handle == nullptr ||
                GameInputManager::EvaluateControl(handle->Device(), condition.row) == 0) {
                held = false;
                break;
            }
        }
        if (held) return value;
    }
    return 0;
}

InputDeviceHandle* InputPlayer::GetForceFeedbackDevice() {
    if (deviceType != kInputJoystick || device == nullptr) return nullptr;
    InputDevice* own = device->Device();
    return own != nullptr && own->HasForceFeedback() != 0 ? device : nullptr;
}

// ---- Settings ------------------------------------------------------------------------

void InputSetting::SetPreferredDevices(const int32_t* types, int32_t count) {
    for (int32_t i = 0; i < count && i < kPreferenceCount; ++i)
        preferred[i] = types[i];
}

int32_t InputSetting::SetPlayer(int32_t index, std::unique_ptr<InputPlayer> player) {
    if (index < 0 || index >= kMaxPlayers) return -1;
    if (size_t(index) >= players.size()) players.resize(size_t(index) + 1);
    players[size_t(index)] = std::move(player);
    return index;
}

InputPlayer* InputSetting::GetPlayer(int32_t index) const {
    if (index < 0 || size_t(index) >= players.size()) return nullptr;
    return players[size_t(index)].get();
}

void InputSetting::Start() {
    for (const std::unique_ptr<InputPlayer>& player : players)
        if (player != nullptr) player->AcquireDevice();
}

void InputSetting::ReleasePlayers() {
    for (const std::unique_ptr<InputPlayer>& player : players)
        if (player != nullptr) player->ReleaseDevice();
}

int32_t InputSetting::GetActionValue(int32_t player, std::string_view actionName) {
    InputPlayer* chosen = GetPlayer(player);
    return chosen != nullptr ? chosen->GetActionValue(actionName) : 0;
}

// ---- The manager ---------------------------------------------------------------------

GameInputManager::~GameInputManager() {
    Stop();
    settings_.clear();
    slots_.clear();
    if (enumerated_) ReleaseInputDevices();
}

int GameInputManager::Init(HINSTANCE instance, HWND window) {
    if (EnumerateInputDevices(instance) == 0) return 0;
    enumerated_ = true;
    instance_ = instance;
    window_ = window;
    current_ = -1;
    int32_t count = GetInputDeviceCount();
    for (int32_t index = 0; index < count; ++index)
        slots_.push_back({index, DeviceTypeOfCategory(GetInputDeviceType(index)), nullptr});
    return 1;
}

int GameInputManager::SetWindow(HWND window) {
    if (IsStarted()) return 0;
    window_ = window;
    return 1;
}

int GameInputManager::StartByIndex(int32_t index) {
    if (window_ == 0 || index < 0 || index >= GetSettingCount()) return 0;
    current_ = index;
    settings_[size_t(index)]->Start();
    return 1;
}

int GameInputManager::StartByName(std::string_view name) {
    if (window_ == 0) return 0;
    for (size_t i = 0; i < settings_.size(); ++i)
        if (EqualNoCase(settings_[i]->name, name)) return StartByIndex(int32_t(i));
    return 0;
}

void GameInputManager::Stop() {
    if (current_ == -1) return;
    if (InputSetting* setting = GetCurrentSetting()) setting->ReleasePlayers();
    for (DeviceSlot& slot : slots_)
        if (slot.handle != nullptr) CloseInputDevice(std::move(slot.handle));
    current_ = -1;
}

int32_t GameInputManager::GetActionValue(int32_t player, std::string_view actionName) {
    InputSetting* setting = GetCurrentSetting();
    return setting != nullptr ? setting->GetActionValue(player, actionName) : 0;
}

InputSetting* GameInputManager::GetCurrentSetting() const {
    return GetSettingAt(current_);
}

InputSetting* GameInputManager::GetSetting(int32_t index) const {
    return index == current_ ? nullptr : GetSettingAt(index);
}

InputSetting* GameInputManager::GetSettingAt(int32_t index) const {
    if (index < 0 || index >= GetSettingCount()) return nullptr;
    return settings_[size_t(index)].get();
}

InputSetting* GameInputManager::AddSetting(std::string_view name) {
    settings_.push_back(std::make_unique<InputSetting>(this, name));
    return settings_.back().get();
}

void GameInputManager::RemoveSetting(InputSetting* setting) {
    for (size_t i = 0; i < settings_.size(); ++i) {
        if (settings_[i].get() == setting) {
            settings_.erase(settings_.begin() + long(i));
            return;
        }
    }
}

void GameInputManager::RemoveAllSettings() {
    settings_.clear();
}

InputDeviceHandle* GameInputManager::OpenFreeDevice(int32_t type) {
    for (DeviceSlot& slot : slots_) {
        if (slot.type != type || slot.handle != nullptr) continue;
        slot.handle = OpenInputDevice(slot.deviceIndex, window_, 1);
        if (slot.handle != nullptr) {
            if (InputDevice* device = slot.handle->Device()) device->SetRange(-65535, 65535);
        }
        return slot.handle.get();
    }
    return nullptr;
}

InputDeviceHandle* GameInputManager::GetSharedDevice(int32_t type) {
    for (DeviceSlot& slot : slots_)
        if (slot.type == type && slot.handle != nullptr) return slot.handle.get();
    return OpenFreeDevice(type);
}

int32_t GameInputManager::EvaluateControl(InputDevice* device, int32_t row) {
    const ControlNameRow* control = ControlNameTable::GetRow(row);
    if (device == nullptr || control == nullptr) return 0;
    if (device->NeedsPoll() != 0) device->Poll();
    int32_t minimum = 0;
    int32_t maximum = 0;
    switch (control->kind) {
    case kControlButton:
        return device->GetButton(control->index) != 0 ? kFullValue : 0;
    case kControlAxisNegative:
    case kControlAxisPositive:
        device->GetAxisRange(control->index, minimum, maximum);
        return Deflection(device, control->kind, minimum, maximum, device->GetAxis(control->index),
                          false);
    case kControlRotationNegative:
    case kControlRotationPositive:
        device->GetRotationRange(control->index, minimum, maximum);
        return Deflection(device, control->kind, minimum, maximum,
                          device->GetRotation(control->index), true);
    case kControlPov:
        return int32_t(device->GetPov(control->index));
    default:
        return 0;
    }
}
