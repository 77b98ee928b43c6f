// Objects with named animation sequences of their own, and clones: objects without a
// mesh of their own that show another object's mesh (their source) at their own place,
// frame and flags. A clone lends its state to the source for the source's per-camera
// work and takes the source's back afterwards.
#pragma once

#include "engine3d/scene/objects/object.h"

class L3DObject_Animation;

// The sequences of an animated object: selecting one and setting a frame move the
// object's children along their key tracks.
class ObjectSequences : public LAnimationIK {
public:
    explicit ObjectSequences(L3DObject* owner) : owner_(owner) {}

    int SelectSequence(const char* name) override;
    // An animated clone whose current sequence goes selects "Main".
    int RemoveSequence(const char* name) override;
    void SetFrame(int32_t frame) override;

private:
    L3DObject* owner_;
};

class L3DObject_Animation : public L3DObject {
public:
    L3DObject_Animation(const char* name, L3DWorld* world, LCLBKObject* link);

    LAnimationIK* Sequences() override { return &sequences_; }
    L3DObject* Clone(const L3DLocation* location) override;
    L3DObject* Duplicate(const L3DLocation* location) override;
    int Save(ChunkWriter& writer, uint32_t mask) override;

private:
    ObjectSequences sequences_{this};
};

class L3DObjectClone : public L3DObject {
public:
    L3DObjectClone(const char* name, L3DWorld* world, LCLBKObject* link);
    ~L3DObjectClone() override;

    // 0 for a missing source or one that is not dynamic.
    int SetSource(L3DObject* object);
    L3DObject* GetSource() const { return source; }

    int32_t GetPolygonCount(int withChildren) const override;
    bool HasPolygons(int withChildren) const override;
    void SetWireframe(int on) override;
    void SetFlat(int on) override;
    void SetMapped(int on) override;
    void SetGouraud(int on) override;
    void SetLambert(int on) override;
    void Show() override;
    void Hide(int withChildren) override;
    void SetCollision(int on) override;
    void ShowAxis(int on) override;
    int IsAxisShown() const override;
    int IsCollisionOn() const override;
    int IsVisible() const override;
    int IsGouraud() const override;
    int IsLambert() const override;
    int IsDynamic() const override;
    int IsFlat() const override;
    int IsWireframe() const override;
    int IsMapped() const override;
    void MakeStatic(int) override {}
    void MakeDynamic() override {}
    void Update(L3DCamera& camera) override;
    void Render(L3DCamera& camera) override;
    void ComputeWorldTransform(L3DCamera& camera) override;
    void PickAtScreenPoint(L3DCamera& camera, const float* point, L3DObject** outObject,
                           float* inOutDistance) override;
    int Save(ChunkWriter& writer, uint32_t mask) override;

protected:
    // The source's state while the clone lends it its own.
    L3DLocation savedLocation_;
    uint32_t savedFlags_ = 0;
    int32_t savedBase_ = 0;
    uint32_t savedBatching_ = 0;
};

// The sequences of an animated clone: the definitions are the source's, the current
// sequence and frame the clone's own.
class CloneSequences : public LAnimationIK {
public:
    explicit CloneSequences(L3DObjectClone* owner) : owner_(owner) {}

    uint32_t GetSequenceCount() const override;
    int AddSequence(const char* name, uint8_t flags, int32_t start, int32_t end, int32_t a,
                    int32_t current, int32_t b, int32_t c) override;
    int UpdateSequence(const char* name, uint8_t flags, int32_t start, int32_t end, int32_t a,
                       int32_t current, int32_t b, int32_t c) override;
    int SetSequence(const char* name, uint8_t flags, int32_t start, int32_t end, int32_t a,
                    int32_t current, int32_t b, int32_t c) override;
    SequenceRecord* FindSequence(const char* name) const override;
    int SelectSequence(const char* name) override;

private:
    LAnimationIK* SourceSequences() const;

    L3DObjectClone* owner_;
};

class LAnimationClone : public L3DObjectClone {
public:
    LAnimationClone(const char* name, L3DWorld* world, LCLBKObject* link);

    LAnimationIK* Sequences() override { return &sequences_; }
    void Update(L3DCamera& camera) override;
    void Render(L3DCamera& camera) override;

private:
    CloneSequences sequences_{this};
    uint32_t savedSequenceFlags_ = 0;
    int32_t savedSequenceFrame_ = -1;
    SequenceRecord* savedSequence_ = nullptr;
};

// The displayed name a clone writes and gives its source: "NoName" for none, the dummy
// marker left out, at most 259 characters.
void CloneSourceName(const L3DObject& source, char* out);
// Copies every field of the location part, matrices included, whatever CanMove says.
void CopyLocationState(const L3DLocation& from, L3DLocation& to);
