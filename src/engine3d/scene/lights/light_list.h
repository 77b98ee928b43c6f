// The world's point lights: every light, the static ones and the dynamic ones, and the
// colour entries the lights share.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class ChunkWriter;
class L3DCamera;
class L3DLight;
class L3DObject;
class L3DWorld;

// One colour shared by every light of the world with the same 24-bit value (red in the
// low byte).
struct LLightColor {
    uint32_t rgb = 0;
    int32_t red = 0, green = 0, blue = 0;
    int32_t uses = 0;
};

class LBaseLight {
public:
    static constexpr int kDynamicKind = 2;
    static constexpr int kStaticKind = 4;

    explicit LBaseLight(L3DWorld* world);
    LBaseLight(const LBaseLight&) = delete;
    LBaseLight& operator=(const LBaseLight&) = delete;
    // Removes and destroys every light.
    ~LBaseLight();

    // Kind 2 makes a dynamic light, 4 a static one; position may be null.
    L3DLight* CreateLight(int kind, const float* position, int32_t radius, int32_t intensity,
                          uint32_t rgb, uint32_t flags);
    // 10 when the light is not listed.
    int RemoveLight(L3DLight* light, int destroy);
    // -2 empties the lists; another index not in the list gives 10.
    int RemoveLightAt(int32_t index, int destroy);
    L3DLight* FindByName(const char* name) const;
    // The search starts at `from`, which is included.
    L3DLight* FindNextByName(const L3DLight* from, const char* name) const;
    void UpdateForFrame(L3DCamera& camera);
    void PickAll(L3DCamera& camera, const float* point, L3DObject** best, float* distance);
    // After the cluster was rebuilt.
    void RelinkAll();
    int Save(ChunkWriter& writer, uint32_t flags);

    LLightColor* FindOrAddColor(uint32_t rgb);
    void ReleaseColor(LLightColor* color);
    void ClearColors();

    std::vector<L3DLight*> all;
    std::vector<L3DLight*> staticLights;
    std::vector<L3DLight*> dynamicLights;
    std::vector<std::unique_ptr<LLightColor>> colors;
    L3DWorld* world;
    uint32_t lightsShown = 1;

private:
    // Takes the light out of the three lists; false when it was not listed.
    bool Unlist(L3DLight* light);
};
