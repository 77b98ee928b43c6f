// The surface description shared by polygons: colour, alpha, up to two texture layers,
// a reflection curve, drawing-mode bits and a collision switch. A material keeps the
// list of the polygons that use it so that a change re-prepares exactly those.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine3d/scene/clbk_object.h"
#include "foundation/containers/llist.h"

class ChunkWriter;
class L3DCamera;
class L3DWorld;
class LPolygon;
class LTexture;

// How back ends draw a polygon of the material: inside the view, and crossing it.
using PolygonDrawRoutine = void (*)(LPolygon&, L3DCamera&);

class LMaterial : public LManageCLBKObject {
public:
    static constexpr uint32_t kWireframe = 2;
    static constexpr uint32_t kSolid = 4;
    static constexpr uint32_t kTextured = 8;
    static constexpr uint32_t kHidden = 0x200;
    static constexpr uint32_t kPlanar = 0x80000;
    static constexpr uint32_t kCameraTexture = 0x100000;
    static constexpr uint32_t kAdditive = 0x10000000;
    static constexpr uint32_t kAdditiveSecond = 0x20000000;
    static constexpr size_t kNameSize = 256;

    LMaterial(L3DWorld* world, const char* name, LTexture* texture, uint32_t colour,
              int32_t reflectionType, LCLBKObject* link);
    // Gives every polygon the world's default material.
    ~LMaterial() override;

    void SetName(const char* name);
    void GetName(char* buffer, int size) const;
    const char* Name() const { return name_; }
    void SetColor(uint32_t colour);
    void SetAlpha(uint8_t value);
    void SetAlphaValue(uint8_t value) { alpha = value; }
    // Other slots do nothing.
    // A camera texture in the slot is dropped first.
    void SetTexture(int slot, LTexture* texture);
    // With a camera: the slot gets a new texture of the world that the camera renders
    // into at the given size; 1 when it cannot be made. Without one: the slot's camera
    // texture goes and the material turns solid.
    int MakeCameraTexture(int slot, L3DCamera* camera, int32_t width, int32_t height);
    LTexture* GetTexture(int slot) const;
    void SetTextureIntensity(int slot, float weight);
    float GetTextureIntensity(int slot) const;
    void SetReflectionType(int32_t type);
    int32_t GetReflectionType() const { return reflectionType; }
    void SetWireFrame(int on);
    void SetFlat(int on);
    void SetMapped(int on);
    void Show() { mode &= ~kHidden; }
    void Hide() { mode |= kHidden; }
    void SetAdditiveBlendingMode(int on, int second);
    void EnableCollision();
    void DisableCollision();
    int IsCollisionEnabled() const { return int(collision); }
    bool IsTransparent(int slot) const;
    bool NeedsBlending() const;
    void ShiftUV(float du, float dv);
    void ShiftUV2(float du, float dv);
    void UpdatePlanarState(int on);
    // Fewer than 3 vertices are refused; a repeated polygon counts its node up.
    void AddPolygon(LPolygon* polygon);
    // -1 gives every polygon the default material (the default material only drops them).
    void RemovePolygon(int32_t i);
    // Unlinks the polygon's node whatever its count.
    void ReleasePolygon(LPolygon* polygon);
    void ResetDeviceState();
    // The record of "BMAT"; 0 on success.
    int Save(ChunkWriter& writer, uint32_t flags) const;

    LList polygons;
    uint32_t deviceState[4] = {0, 0, 0, uint32_t(-1)};
    LTexture* textures[2] = {};
    float textureWeight = 0.5f;
    uint8_t alpha = 255;
    uint8_t layerCount = 0;
    uint32_t color = 0;
    uint8_t paletteIndex = 0;
    int32_t colorBytes[3] = {};
    int32_t reflectionType = -1;
    const int32_t* reflectionCurve = nullptr;
    uint32_t mode;
    L3DWorld* world;
    uint32_t collision = 1;
    PolygonDrawRoutine drawRoutine = nullptr;
    PolygonDrawRoutine drawThunk = nullptr;

private:
    void SetTextureAndColor(LTexture* texture, uint32_t colour, int32_t type);
    void ClearDeviceState();
    void PreparePolygons();
    void RecomputeTextureCoordinates();
    void UpdateLayerCount();

    char name_[kNameSize] = {};
};

// The name as materials keep it: at most size - 1 characters, '(' and ')' as blanks.
void CopyMaterialName(char* out, const char* name, size_t size);
