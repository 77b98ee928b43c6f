// The Speaker class: a sound of the project placed in a World. It wraps an engine sound
// object and plays one channel; the Camera it hangs on carries the listener that hears
// it. After each frame of that camera the listener and the Speakers follow the scene:
// with 3D sound the channel takes the Speaker's position, velocity and cone direction;
// without it, the volume and pan the engine computes from the camera.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "classes/scene3d/location_class.h"
#include "platform/user/hwnd.h"

class CICamera;
class CInStream;
class L3DSound;
class SoundChannel;
class SoundDevice;

// How a camera's listener device is made and ended. The sound manager's by default; tests
// put a recording device in place.
struct SpeakerSoundServices {
    // A started device with a 3D listener bound to `window`; null when none can be made.
    SoundDevice* (*createListener)(HWND window);
    void (*destroyListener)(SoundDevice* device);
};

class CISpeaker final : public CILocation {
public:
    static constexpr uint32_t kClassId = kSpeakerClassId;
    // The collision-type constants follow it, at 0x59 to 0x5B.
    static constexpr uint32_t kFirstClassLevelId = 0x58;

    CISpeaker(CInterpretor* interpreter, const CClassRecord* record);
    ~CISpeaker() override;

    void CallMethod(uint16_t methodId) override;
    // The engine sound leaves its world (unless the interpreter is tearing everything
    // down), the channel and the camera's listener go.
    void Destroy(int flag) override;
    // The camera or the World going takes the Speaker with it.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Speaker(sound, camera or world [, x, y, z]).
    void Create() override;
    void LocationChanged() override;
    // A wrapper made for a sound found in the World (a loaded world file): it hangs on the
    // World's first camera (error 80 when there is none) and opens its sound by name.
    void Wrapped() override;

    // The maker of wrappers around the engine sounds found in a World.
    static CILocation* MakeWrapper(CInterpretor& interpreter, const CClassRecord* record);
    static const ScriptClassInfo* GetClassInfo();
    // null restores the sound manager's.
    static void SetSoundServices(const SpeakerSoundServices* services);
    static const SpeakerSoundServices& SoundServices();

    // The camera's listener, then every Speaker of the camera whose channel is `channel`
    // (every one for null), are brought to the scene as it is at `now`.
    static void UpdateAll3D(CICamera& camera, uint32_t now, SoundChannel* channel);
    // The interpreter's 3D-sound flag: asked for, and DirectX 6 at hand.
    static void Update3DSoundEnabled(CInterpretor& interpreter);

    // The camera is going: channel, listener and engine sound are let go, the Speaker is
    // marked for deletion.
    void LeaveCamera();

    L3DSound* Sound() const;
    SoundChannel* Channel() const { return channel_; }

private:
    // Hangs on `camera`, opens the sound and places the engine sound (made unless
    // `existing` is given). `strict` raises the errors of the listener and the sound.
    void Attach(CICamera* camera, const L3DLocation& place, const CValue* sound, bool strict,
                L3DSound* existing);
    // The channel on the stream now held; false without one.
    bool OpenByName(const char* name, bool strict);
    bool OpenByIndex(int32_t index, bool strict);
    void ReleaseSound();
    void ReleaseCamera();
    // The channel takes the Speaker's place, velocity and cone, or the engine's volume and
    // pan.
    void Update(uint32_t now);
    // Error 76 unless the camera draws its World.
    void RequireActiveCamera();
    int32_t IntArg(uint32_t i, int32_t otherwise);
    void SetIntResult(int32_t value);

    void SetDistanceMax();
    void GetDistanceMax();
    void PlaySound();
    void StopSound();
    void PauseSound();
    void ResumeSound();
    void GetVolume();
    void SetLoop();
    void IsSoundLooping();
    void IsSoundPlaying();
    void IsSoundPaused();
    void IsSoundCompleted();
    void GetLoopCount();
    void GetFrequency();
    void SetFrequency();
    void SetSpeakerConeAngle();
    void SetConeOutsideVolume();
    void GetDuration();
    void SetPos();
    void GetPos();

    static const ScriptMethod<CISpeaker> kMethods[0x58];

    SoundChannel* channel_ = nullptr;
    std::unique_ptr<CInStream> stream_;
    CICamera* camera_ = nullptr;
    bool holdsListener_ = false;
    uint32_t lastUpdate_ = 0;
    std::array<float, 3> lastPosition_ = {};
    // Kept when two updates come in the same millisecond.
    std::array<float, 3> velocity_ = {};
};
