// The game-input manager: named settings (game types), each with preferred device types
// and players; each player has named actions bound, per device type, to controls with
// optional conditions. Starting a setting gives every player a device; then an action's
// value is read on demand from the devices, 0..65535 (a hat gives its raw reading).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "input/control_names.h"
#include "input/device_table.h"

class GameInputManager;
class InputSetting;

struct InputCondition {
    int32_t deviceType = kInputNone;
    // The control name as the settings text wrote it.
    std::string name;
    uint32_t controlId = 0;
    int32_t row = -1;
};

class InputBinding {
public:
    virtual ~InputBinding() = default;

    void AddCondition(int32_t type, std::string_view conditionName, uint32_t id, int32_t at) {
        conditions.push_back({type, std::string(conditionName), id, at});
    }

    int32_t deviceType = kInputNone;
    std::string actionName;
    uint32_t controlId = 0;
    int32_t row = -1;
    // The first control's name when the control table does not know it, so that it is
    // written back as it was read.
    std::string unknownName;
    std::vector<InputCondition> conditions;
};

struct InputAction {
    std::string name;
    // The player's bindings of this action, by device type (mouse, joystick, keyboard).
    std::vector<InputBinding*> bindings[3];
};

class InputPlayer {
public:
    explicit InputPlayer(InputSetting* owner) : setting(owner) {}

    void AcquireDevice();
    void ReleaseDevice();
    int32_t GetActionValue(std::string_view name);
    // Exact, case-sensitive; the index through `index` (-1 and null when missing).
    InputAction* FindAction(std::string_view name, int32_t* index = nullptr);
    int32_t AddAction(std::string_view name);
    void RemoveAction(std::string_view name);
    InputBinding* AddBinding(int32_t type, std::string_view actionName, uint32_t id, int32_t row);
    InputBinding* AddMouseBinding(std::string_view action, uint32_t id, int32_t row) {
        return AddBinding(kInputMouse, action, id, row);
    }
    InputBinding* AddJoystickBinding(std::string_view action, uint32_t id, int32_t row) {
        return AddBinding(kInputJoystick, action, id, row);
    }
    InputBinding* AddKeyboardBinding(std::string_view action, uint32_t id, int32_t row) {
        return AddBinding(kInputKeyboard, action, id, row);
    }
    // With `fromAction`, the binding leaves its action's list first.
    void RemoveBinding(InputBinding* binding, int fromAction);
    // The device when the player uses a joystick with force feedback; null otherwise.
    InputDeviceHandle* GetForceFeedbackDevice();

    int32_t deviceType = kInputNone;
    int32_t reservedIndex = -1;
    InputDeviceHandle* device = nullptr;
    InputSetting* setting;
    std::vector<std::unique_ptr<InputBinding>> bindings[3];
    std::vector<std::unique_ptr<InputAction>> actions;
};

class InputSetting {
public:
    static constexpr int32_t kPreferenceCount = 3;
    // The place numbers a settings text may give players.
    static constexpr int32_t kMaxPlayers = 256;

    InputSetting(GameInputManager* owner, std::string_view settingName)
        : manager(owner), name(settingName) {}

    void SetPreferredDevices(const int32_t* types, int32_t count);
    // Puts the player at place `index`, replacing the one there; -1 when the place is
    // outside 0..kMaxPlayers-1.
    int32_t SetPlayer(int32_t index, std::unique_ptr<InputPlayer> player);
    // Null for an index out of range or an empty place.
    InputPlayer* GetPlayer(int32_t index) const;
    int32_t GetPlayerCount() const { return int32_t(players.size()); }
    void Start();
    void ReleasePlayers();
    int32_t GetActionValue(int32_t player, std::string_view actionName);

    GameInputManager* manager;
    std::string name;
    int32_t preferred[kPreferenceCount] = {kInputJoystick, kInputKeyboard, kInputMouse};
    // Empty places hold null.
    std::vector<std::unique_ptr<InputPlayer>> players;
};

class GameInputManager {
public:
    GameInputManager() = default;
    virtual ~GameInputManager();
    GameInputManager(const GameInputManager&) = delete;
    GameInputManager& operator=(const GameInputManager&) = delete;

    // Discovers the devices and makes a slot for each; 0 when discovery fails.
    virtual int Init(HINSTANCE instance, HWND window);
    // 0 (nothing changed) while started.
    int SetWindow(HWND window);
    HWND GetWindow() const { return window_; }
    bool IsStarted() const { return current_ != -1; }
    int StartByIndex(int32_t index);
    int StartByName(std::string_view name);
    void Stop();
    int32_t GetActionValue(int32_t player, std::string_view actionName);

    // Null when not started or when the current index names no setting.
    InputSetting* GetCurrentSetting() const;
    // Null for the current index and outside the settings.
    InputSetting* GetSetting(int32_t index) const;
    // Any setting, the current one included; null outside.
    InputSetting* GetSettingAt(int32_t index) const;
    int32_t GetSettingCount() const { return int32_t(settings_.size()); }
    int32_t GetCurrentIndex() const { return current_; }
    InputSetting* AddSetting(std::string_view name);
    void RemoveSetting(InputSetting* setting);
    void RemoveAllSettings();

    // The settings text (settings_text.cpp): reading replaces the whole configuration.
    int LoadSettingsMemory(const char* data, size_t size);
    int LoadSettingsFile(const char* path);
    std::string WriteSettings() const;
    int SaveSettingsFile(const char* path) const;

    InputDeviceHandle* OpenFreeDevice(int32_t type);
    InputDeviceHandle* GetSharedDevice(int32_t type);

    // The value of one control-table row on one device.
    static int32_t EvaluateControl(InputDevice* device, int32_t row);

private:
    struct DeviceSlot {
        int32_t deviceIndex;
        int32_t type;
        std::unique_ptr<InputDeviceHandle> handle;
    };

    int32_t current_ = -1;
    HINSTANCE instance_ = 0;
    HWND window_ = 0;
    bool enumerated_ = false;
    std::vector<DeviceSlot> slots_;
    std::vector<std::unique_ptr<InputSetting>> settings_;
};

// The manager's device-type code of a device-table category.
int32_t DeviceTypeOfCategory(int32_t category);
