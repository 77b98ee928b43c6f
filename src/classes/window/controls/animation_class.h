// The Animation class: plays the frames of an animation-bank element (ANMZ or FLI/FLC) by
// the interpreter's frame timer, into a small window of its own ("class_ZORVANE_ANIM"),
// into a Surface, or into a Texture through the hook the Surface classes install.
#pragma once

#include <cstdint>
#include <memory>

#include "classes/window/child_window.h"
#include "script/runtime/frame_timer.h"
#include "script/values/value.h"

class CInStream;
class ImageFile;
class SurfaceHandle;

// What the Animation asks of a Texture it draws into. Without a hook no object is a
// Texture.
struct AnimationTextureHook {
    // The picture to draw the frames into, or null when `object` is no Texture; `holder`
    // keeps alive what the picture needed made.
    SurfaceHandle* (*GetImage)(CIBaseClassImpl* object, CValue& holder);
    // The picture was drawn anew.
    void (*ImageChanged)(CIBaseClassImpl* object);
};
void SetAnimationTextureHook(const AnimationTextureHook* hook);

class CIAnimation : public CIChildWindow, public CAnimatedObject {
public:
    static constexpr uint32_t kClassId = 0x0C;
    static constexpr uint32_t kFirstClassLevelId = 0x33;
    static constexpr const char* kWindowClassName = "class_ZORVANE_ANIM";
    // Play flag: backward.
    static constexpr uint32_t kReverse = 0xABCD0001u;

    CIAnimation(CInterpretor* interpreter, const CClassRecord* record);
    ~CIAnimation();

    void CallMethod(uint16_t methodId) override;
    // Leaves the frame timer and lets go of the animation, then the window.
    void Destroy(int flag) override;
    // The target Surface or Texture going takes the Animation with it: 1 then.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Animation([parent], name, [constants...], [x], [y], [width], [height],
    // [surface or texture]).
    void Create() override;
    // Draws the current frame into the target, then the pending window changes.
    void Refresh() override;
    // Into a Surface the frame is drawn before the Surfaces refresh, so that it shows in the
    // same pass; a window of its own waits for the Surfaces, as every window does.
    int IsLate() override;

    // The frame timer's view.
    int32_t GetFrame(uint32_t animation) override;
    void SetFrame(uint32_t animation, int32_t frame) override;
    void ShowFrame(uint32_t animation) override;
    void AnimationEnded(uint32_t animation) override;
    int32_t GetFrameDelay(uint32_t animation, int32_t frame) override;
    int32_t GetFirstFrame(uint32_t animation) override;
    int32_t GetLastFrame(uint32_t animation) override;
    int32_t GetLoopFrame(uint32_t animation) override;
    int IsPaused(uint32_t animation) override;

    // Paints the current frame into `dc`, at the control's size.
    void PaintFrame(HDC dc);
    int32_t GetFrameCount() const { return frameCount; }

    CIBaseClassImpl* targetSurface = nullptr;
    CIBaseClassImpl* targetTexture = nullptr;
    // What the Texture's picture needed made (a Surface of its image).
    CValue madeImage;
    std::unique_ptr<SurfaceHandle> workSurface;
    std::unique_ptr<CInStream> stream;
    std::unique_ptr<ImageFile> imageFile;
    uint32_t timerEntry = 0;
    CFrameTimer frameTimer;
    uint32_t paused = 0;
    int32_t currentFrame = 0;
    uint32_t playing = 0;
    int32_t loopStartFrame = 0;
    int32_t loopCount = 0;
    uint32_t loadFlags = 0;
    int32_t speedFactor = 100;

    void Play();
    void Stop();
    void Pause();
    void SetFrameMethod();
    void GetFrameMethod();
    void Resume();
    void IsPlaying();
    void IsPausedMethod();
    void GetNFrames();
    void NextFrame();
    void PrevFrame();
    void SetSpeedFactor();
    void GetSpeedFactor();

private:
    // The element the caption names, opened; errors 14 and 81.
    void Load(const char* name);
    // Decodes the current frame into the work surface, unless it holds it already.
    bool DecodeCurrentFrame();
    void LeaveTimer();
    // Gives back the use taken of the target Surface or Texture.
    void ReleaseTargets();
    // Starts the frame timer on `frame` now.
    void StartTimerAt(int32_t frame);

    int32_t frameCount = 0;
    // The frame the work surface holds; -1 for none.
    int32_t decodedFrame = -1;
};

const ScriptClassInfo* GetAnimationClassInfo();
