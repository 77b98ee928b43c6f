// The Object class: a mesh object of a World, as built by a script, made by a primitive
// or found in the world; its clones and duplicates. One engine object has at most one
// Object, linked both ways.
#pragma once

#include <array>
#include <cstdint>

#include "classes/scene3d/location_class.h"
#include "script/runtime/frame_timer.h"
#include "script/runtime/polygon_change.h"

class CIWorld;
class LAnimationIK;
class L3DObject;
class LMaterial;
class LPolygon;

class CIObject final : public CILocation, public CPolygonChangeTarget, public CAnimatedObject {
public:
    static constexpr uint32_t kClassId = 62;
    static constexpr uint32_t kFirstClassLevelId = 0x80;

    CIObject(CInterpretor* interpreter, const CClassRecord* record);
    ~CIObject() override;

    void CallMethod(uint16_t methodId) override;
    // An object not yet in the world is deleted; one in it leaves the world, unless the
    // World is deleting it or the interpreter is ending.
    void Destroy(int flag) override;
    // The World going detaches the Object, which is deleted with it.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Object(world [, name]).
    void Create() override;
    // The maker of wrappers around the engine objects found in a World, which are in it
    // already.
    static CILocation* Make(CInterpretor& interpreter, const CClassRecord* record);

    // Joins the world when not in it yet, then the World's cameras repaint.
    void LocationChanged() override;
    // The animation a timed move or turn plays: PlayAnim's arguments from `firstArg` on.
    int StartMoveAnimation(uint32_t firstArg) override;
    void StopMoveAnimation() override;
    L3DObject* GetEngineObject() const { return engineObject; }
    CIWorld* World() const;
    // Marked by SetStatic for the World's next Optimize.
    uint32_t staticMark = 0;

    // The vertices a face made or rebuilt by a script may hold: quads as well as triangles.
    static constexpr int32_t kFaceRoom = 4;
    // A face made from the point arguments from `first` on and added to the mesh, with the
    // World's default material when it has none; null when the engine refused it (it is
    // then released). Errors 15, 126 and those of the point arguments.
    LPolygon* AddFace(uint32_t first);
    // Recomputes the normals (`geometry`) and the box and planes (`box`), then repaints.
    void ApplyPolygonChange(int geometry, int box) override;

    // ---- Animation channels (object_animation.cpp) -------------------------------------
    static constexpr uint32_t kKinematicChannel = 0;
    static constexpr uint32_t kMeshChannel = 1;
    static constexpr uint32_t kAnimModeKinematic = 1;
    static constexpr uint32_t kAnimModeMesh = 2;
    // The frame timers drive the channel the animation id names.
    int32_t GetFrame(uint32_t channel) override;
    void SetFrame(uint32_t channel, int32_t frame) override;
    void ShowFrame(uint32_t channel) override;
    void AnimationEnded(uint32_t channel) override;
    // The channel's step, which the slice timing adds up.
    int32_t GetFrameDelay(uint32_t channel, int32_t frame) override;
    int32_t GetFirstFrame(uint32_t channel) override;
    int32_t GetLastFrame(uint32_t channel) override;
    int32_t GetLoopFrame(uint32_t channel) override;
    int IsPaused(uint32_t) override { return 0; }
    // The timer off the animated list; nothing when the channel does not play.
    void StopChannel(uint32_t channel);
    bool IsChannelPlaying(uint32_t channel) const { return channels_[channel].playing != 0; }
    uint32_t AnimMode() const { return animMode_; }
    void OnEngineObjectDeleted() override;

private:
    // The engine's switch of a rendering mode from argument 0, then a repaint.
    template <class Setter> void Switch(Setter set);
    // The engine's answer as an integer.
    template <class Getter> void Query(Getter get);
    // Clone or Duplicate from the location arguments.
    void Copy(bool clone);
    bool IsClone() const;

    void Scale();
    void GetNPolygons();
    void SetGouraud();
    void IsGouraud();
    void SetLambert();
    void IsLambert();
    void GetWidth();
    void GetHeight();
    void GetDepth();
    void HideBox();
    void ShowBox();
    void IsBoxVisible();
    void SetWireFrame();
    void SetFlat();
    void SetMapped();
    void IsWireFrame();
    void IsFlat();
    void IsMapped();
    void GetNPoints();
    void SetStatic();
    void Clone();
    void Duplicate();
    // Mesh methods (object_mesh_methods.cpp).
    [[noreturn]] void RefuseOnClone();
    void AddPolygon();
    void RemovePolygon();
    void SetPolygon();
    void GetPolygon();
    void GetPoint();
    void RemovePoint();
    void AddPoint();
    void SetShadowMode();
    void GetShadowMode();
    void EnableShadow();
    void SetShadowTexture();
    void SetShadowTextureSize();
    void GetShadowTexture();
    void GetShadowMaterial();
    void GetShadowTextureWidth();
    void GetShadowTextureHeight();
    void AppendObjectAsMeshFrame();
    void GetNMeshFrames();
    void RemoveMeshFrame();

    // ---- Materials and saving (object_material_methods.cpp) ----------------------------
    // The engine material of a Material argument: 47 for another class, 125 for a
    // Material of another World, 126 on a clone.
    LMaterial* MaterialArg(uint32_t i);
    void ReplacePolygonMaterial();
    void ReplaceMaterial();
    void ApplyMaterial();
    void Save();

    // ---- Animation methods (object_animation.cpp) --------------------------------------
    struct AnimationChannel {
        // 1 exactly while the timer is on the interpreter's animated list.
        uint32_t playing = 0;
        CFrameTimer timer;
        uint32_t entry = 0;
        int32_t step = 0;
    };
    uint32_t CurrentChannel() const;
    // The channel's sequences, or null when the engine object has none for it.
    LAnimationIK* ChannelSequences(uint32_t channel) const;
    // The current channel's sequences; error 72 or 92 when the object has no such channel.
    LAnimationIK& CheckedSequences();
    void StopChannels();
    void AddAnimDefinition();
    void SetAnimDefinition();
    void DelAnimDefinition();
    void SetAnim();
    void GetAnim();
    void GetNFrames();
    void SetFrame();
    void GetFrame();
    void NextFrame();
    void PreviousFrame();
    void PlayAnim();
    void StopAnim();
    void SetAnimSpeed();
    void SetAnimMode();
    void GetAnimMode();
    // PlayAnim from argument `first` on (sequence, speed, flags); 1 when a play started.
    int PlayAnimFrom(uint32_t first);
    // Selects the sequence named by argument `arg`; false when none was selected.
    bool SelectSequenceArg(LAnimationIK& sequences, uint32_t arg = 0);

    // By method id; the shared methods are dispatched before.
    static const std::array<ScriptMethod<CIObject>, 0x80>& Methods();

    uint32_t inWorld_ = 0;
    uint32_t shadowMode_ = 0;
    AnimationChannel channels_[2];
    uint32_t animMode_ = kAnimModeKinematic;
};

const ScriptClassInfo* GetObjectClassInfo();
