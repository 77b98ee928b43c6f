// A placed sound source: after each update it holds a volume and a pan from its distance
// to a listening camera and its place across that camera's view. The engine plays
// nothing; the Speaker hands the two values to its channel.
#pragma once

#include <cstdint>
#include <string>

#include "engine3d/scene/objects/object.h"
#include "foundation/containers/llist.h"

class LBaseSound;

class L3DSound : public L3DObject {
public:
    static constexpr uint32_t kType = 0x0204;

    L3DSound(const char* soundName, L3DWorld* world, uint32_t flags);
    // Leaves its list.
    ~L3DSound() override;

    void GetSoundName(char* buffer, int size) const;
    const std::string& SoundName() const { return soundName_; }
    // Nothing for a sound of no list.
    void ComputeVolumeAndPan(const L3DCamera& camera);

    // The marker shows only while the list shows sounds.
    void ShowBox(int on, int withChildren) override;
    void Show() override;

    float pan = 0;
    float volume = 32768;
    uint32_t changed = 1;
    LBaseSound* list = nullptr;

private:
    std::string soundName_;
};

class LBaseSound {
public:
    LBaseSound() = default;
    LBaseSound(const LBaseSound&) = delete;
    LBaseSound& operator=(const LBaseSound&) = delete;
    ~LBaseSound();

    L3DSound* CreateSound(const char* soundName, uint32_t flags);
    // 9 when not listed.
    int RemoveSound(L3DSound* sound, int destroy);
    // -1 removes every sound; 9 for an index not in the list.
    int RemoveSoundAt(int32_t index, int destroy);
    // By sound name.
    L3DSound* FindByName(const char* soundName) const;
    // By object name, from `from` included.
    L3DSound* FindNextByName(const L3DSound* from, const char* name) const;
    L3DSound* GetAt(int32_t i) const;
    void UpdateAll(const L3DCamera& camera);
    void UpdateForFrame(L3DCamera& camera);
    void PickAll(L3DCamera& camera, const float* point, L3DObject** best, float* distance);
    void SetWorld(L3DWorld* owner) { world = owner; }
    // "BSOU"; non-zero when a record could not be written.
    int Save(ChunkWriter& writer, uint32_t flags) const;

    LList list;
    float range = 5000;
    float maxVolume = 65536;
    float minVolume = 0;
    float panRight = 32768;
    float panLeft = -32768;
    uint32_t soundsShown = 1;
    L3DWorld* world = nullptr;
};
