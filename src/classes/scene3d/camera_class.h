// The Camera class: an engine camera of a World, placed like any object, that draws the
// world into the 3D view of the Surface it is bound to. Only a world's active camera
// draws; a change to what the camera sees repaints its surface at the next refresh.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "classes/scene3d/location_class.h"
#include "classes/surface/view3d.h"

class CISpeaker;
class CISurface;
class CIWorld;
class L3DCamera;
class SoundDevice;

class CICamera final : public CILocation, public CISurfaceCamera {
public:
    static constexpr uint32_t kClassId = 61;
    static constexpr uint32_t kFirstClassLevelId = 0x65;
    static constexpr int kFrameRing = 10;

    CICamera(CInterpretor* interpreter, const CClassRecord* record);
    ~CICamera() override;

    void CallMethod(uint16_t methodId) override;
    // The engine camera leaves its world, unless the World is deleting it.
    void Destroy(int flag) override;
    // The World or the Surface going unbinds the camera.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Camera(world [, window or surface]).
    void Create() override;
    // The surface repaints the view at the next refresh.
    void LocationChanged() override;
    void OnEngineObjectDeleted() override;

    CIBaseClassImpl* GetCameraObject() override { return this; }
    L3DCamera* GetEngineCamera() override;
    void RenderToSurface() override;
    void SurfaceDestroyed(CISurface* gone) override;

    // The maker of wrappers around the engine cameras found in a World: they have no
    // surface until SetRender gives them one.
    static CILocation* Make(CInterpretor& interpreter, const CClassRecord* record);

    // The active camera of a World draws; the others wait.
    void SetActive(int on);
    // The bound surface draws the view again at the next refresh.
    void InvalidateView();
    // Leaves the surface's view and the World's list of rendering cameras.
    void Unbind();
    // The World is going: the camera keeps nothing of it.
    void ForgetWorld();
    // Binds to the surface: the view of the world, this camera as its camera, and the
    // place among the World's rendering cameras. Errors 10, 15, 59.
    void BindTo(CISurface* target);
    // Frames per second over the ring's samples; 0 without any.
    double GetFrameRate() const;

    CIWorld* World() const;
    CISurface* surface = nullptr;
    int32_t active = 0;

    // ---- The 3D sound listener its Speakers share (camera_listener.cpp) ---------------
    // A Speaker takes the listener, made on first use when a window shows the camera's
    // surface; false when there is none to be had.
    bool AcquireListener();
    // The last Speaker letting go ends the listener.
    void ReleaseListener();
    void AddSpeaker(CISpeaker* speaker);
    void RemoveSpeaker(CISpeaker* speaker);
    // The listener, started; null otherwise.
    SoundDevice* ActiveListener() const;

    SoundDevice* listener = nullptr;
    int32_t listenerUsers = 0;
    // Where the listener was at its last update, and its velocity then, kept when two
    // updates come in the same millisecond.
    uint32_t lastMoveTime = 0;
    std::array<float, 3> lastMovePosition = {};
    std::array<float, 3> listenerVelocity = {};
    std::vector<CISpeaker*> speakers;

private:
    // x and y of a screen point from arguments 0 and 1 (error 115 unless numbers).
    void ReadScreenPoint(float* point);
    // The screen position of a Point3D's position or of three numbers x, y, z (error 14 for
    // a missing number or another object); false without an engine camera.
    bool ProjectArgs(float* x, float* y);
    // The fog distances as the engine keeps them: fractions of the far distance.
    float FogFraction(uint32_t i);

    void SetFocus();
    void GetFocus();
    void GetNPolygons();
    void SetBackgroundColor();
    void GetSpeed();
    void Render();
    void SetRender();
    void ActivateRender();
    void EnableFog();
    void IsFogEnabled();
    void GetFogColor();
    void SetFogColor();
    void SetFogMaxZPosition();
    void SetFogMinZPosition();
    void GetFogMaxZPosition();
    void GetFogMinZPosition();
    void GetMaxVisibleDistance();
    void SetMaxVisibleDistance();
    void FindObjectAt();
    void FindPolygonAt();
    void ShowGrid();
    void HideGrid();
    void GetScreenX();
    void GetScreenY();
    void GetVisibility();
    void GetMinVisibleDistance();
    void SetMinVisibleDistance();
    // The Speakers and the listener go with the camera.
    void DetachSpeakers();
    // The listener factors: a missing value is 0, anything but a number error 115;
    // nothing happens without an active listener.
    bool ReadFactor(float* factor);
    void SetSpeakerRollOffFactor();
    void GetSpeakerRollOffFactor();
    void SetSpeakerDopplerFactor();
    void GetSpeakerDopplerFactor();
    void SetSpeakerDistanceFactor();
    void GetSpeakerDistanceFactor();

    // By method id; the shared methods are dispatched before.
    static const std::array<ScriptMethod<CICamera>, 0x65>& Methods();

    uint32_t lastFrameTime_ = 0;
    int32_t frameIndex_ = 0;
    std::array<int32_t, kFrameRing> frameRates_ = {};
};

const ScriptClassInfo* GetCameraClassInfo();
