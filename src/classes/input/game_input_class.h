// GameInput: the script's door to the game-input manager. It chooses one of the settings
// of the settings text (a game type), starts and stops its devices, answers the value of
// a player's named action, loads and saves the settings text, and hands out the players'
// force-feedback devices as FFDevice objects. One is made at start when the project asks
// for game input; it follows the active Window and may start by itself on the first.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/user/hwnd.h"
#include "script/classes/base_class.h"

class CIFFDevice;
class CValue;
class GameInputManager;

class CIGameInput final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 0x26;
    static constexpr uint32_t kFirstClassLevelId = 0x10;

    enum : uint16_t {
        kStart = 1,
        kStop,
        kGetPlayerCount,
        kLoadSettings,
        kSetupDialog,
        kSaveSettings,
        kGetDeviceValue,
        kGetPlayerDeviceType,
        kGetSettingCount,
        kGetCurrentSettingName,
        kGetCurrentSettingIndex,
        kGetSettingName,
        kHasFFSupport,
        kGetFFDevice,
        kIsStarted,
        kMethodCount,
    };

    CIGameInput(CInterpretor* interpreter, const CClassRecord* record);
    ~CIGameInput() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // New GameInput([window [, settings]]).
    void Create() override;
    // The object made at start: the manager without a window, the project's own settings
    // text; 0 when the manager cannot be made.
    int CreateAtStart();
    // The active Window changed: devices move to it.
    void SetWindow(HWND window);
    HWND GetWindow() const { return window_; }
    // The start routine: by name (a string), by index (a number) or, for the default
    // value, the project's default game type. 1 when started.
    int StartInput(const CValue& gameType);
    int StartInputByIndex(int32_t index);
    // An FFDevice it handed out is going.
    void ForgetFFDevice(CIFFDevice* device);
    GameInputManager* Manager() const { return manager_.get(); }

    // Set while any GameInput has started its manager.
    static bool IsInputStarted();

private:
    void Start();
    void StopMethod();
    void GetPlayerCount();
    void LoadSettings();
    void SetupDialog();
    void SaveSettings();
    void GetDeviceValue();
    void GetPlayerDeviceType();
    void GetSettingCount();
    void GetCurrentSettingName();
    void GetCurrentSettingIndex();
    void GetSettingName();
    void HasFFSupport();
    void GetFFDevice();
    void IsStarted();

    // Makes the manager for `window`; false when it cannot be made.
    bool MakeManager(HWND window);
    // The project's embedded settings text, when there is one.
    void LoadEmbeddedSettings();
    // The data of a settings source: an element of the binary bank, or a file by name.
    // Nothing when none can be read.
    std::optional<std::string> ReadSource(const CValue& source);
    void StopDevices();
    void Restart();
    // Does what Stop does for this object's FFDevices and manager.
    void StopSelf();
    // The player argument; error 14 for 0x80000000.
    int32_t PlayerArg();
    void SetResult(int32_t value);

    std::unique_ptr<GameInputManager> manager_;
    std::vector<CIFFDevice*> ffDevices_;
    std::optional<std::string> settingsName_;
    int32_t settingsIndex_ = -1;
    int32_t started_ = 0;
    HWND window_ = 0;

    static const ScriptMethod<CIGameInput> kMethods[kMethodCount];
};

const ScriptClassInfo* GetGameInputClassInfo();
