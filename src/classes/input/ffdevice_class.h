// FFDevice: a player's force-feedback device as GameInput.GetFFDevice hands it out: what
// the device is, and its effects loaded from effect files, started, stopped and unloaded.
// One made with New has no device: its methods answer 0, -1 or the empty text.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

class CIGameInput;
class InputDeviceHandle;
class InputDevice;

class CIFFDevice final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 0x31;
    static constexpr uint32_t kFirstClassLevelId = 0x17;

    CIFFDevice(CInterpretor* interpreter, const CClassRecord* record);
    ~CIFFDevice() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    void Create() override;
    // Its owner going takes it along.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;

    // Ties a new object to a player's device; the handle stays the manager's.
    void Attach(InputDeviceHandle* handle, CIGameInput* owner);
    // The owner stops: the device is no longer there.
    void Detach();

private:
    void RunControlPanel();
    void GetDeviceType();
    void GetDeviceSubType();
    void GetDeviceName();
    void GetDeviceProductName();
    void GetAxisCount();
    void GetButtonCount();
    void CreateEffectFromFile();
    void DownloadEffect();
    void UnloadEffect();
    void ContinueAllEffect();
    void PauseAllEffect();
    void ResetAllEffect();
    void StopAllEffect();
    void StartEffect();
    void StopEffect();
    void GetEffectName();
    void GetEffectType();

    InputDevice* Device() const;
    int32_t DeviceIndex() const;
    // Argument `i` as an effect id: 0 when missing; -1 names no effect.
    int32_t EffectArg(uint32_t i);
    void SetResult(int32_t value);

    InputDeviceHandle* handle_ = nullptr;
    CIGameInput* owner_ = nullptr;

    static const ScriptMethod<CIFFDevice> kMethods[23];
};

const ScriptClassInfo* GetFFDeviceClassInfo();
