// The Material class: one material of a World's material list, with its colour, two
// texture layers and their intensities, reflection type, transparency, drawing mode,
// environment mapping and collision switch, and texture coordinates that can scroll by
// themselves on the interpreter's tick. Every change repaints the World's views.
#pragma once

#include <cstdint>

#include "engine3d/scene/clbk_object.h"
#include "script/classes/base_class.h"
#include "script/runtime/time_driven.h"

class CITexture;
class CIWorld;
class CValue;
class LMaterial;

class CIMaterial final : public CIBaseClassImpl, public LCLBKObject, public CInterrupt {
public:
    static constexpr uint32_t kClassId = 70;
    static constexpr uint32_t kDefaultColor = 0xFFFF00;

    CIMaterial(CInterpretor* interpreter, const CClassRecord* record);
    ~CIMaterial() override;

    void CallMethod(uint16_t methodId) override;
    // Leaves the tick and, unless the interpreter is ending, takes the engine material
    // off the world's list.
    void Destroy(int flag) override;
    // The World going detaches the Material, which is deleted with it.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Material(world [, texture] [, colour] [, name]), in any order.
    void Create() override;
    int IsReferenced() override { return 1; }
    void EngineObjectDestroyed() override;
    // The scrolling layers move by the time since the last tick.
    void Tick(uint32_t now) override;

    // The wrapper of an engine material of the World, made on first use; null for null.
    // Error 15 when it cannot be allocated.
    static CIMaterial* GetWrapper(CInterpretor& interpreter, CIWorld* world, LMaterial* material);
    // A new Material in the World's list showing `texture` in layer 0 (may be null).
    // Errors 55 (no engine world) and 15.
    static CIMaterial* Make(CInterpretor& interpreter, CIWorld* world, CITexture* texture,
                            uint32_t colour, const char* name);
    // Layer `layer` shows the Texture (null empties it): 119 for a Texture of another
    // World, 60 for one without its engine texture.
    void SetLayerTexture(CITexture* texture, int32_t layer);

    LMaterial* GetEngineMaterial() const { return material_; }
    CIWorld* World() const { return world_; }

private:
    void RefreshViews();
    // The material's device state and its polygons' drawing routines made again.
    void PreparePolygons();
    // The layer argument at `i`: 0 when missing, -1 for a value other than 0 or 1.
    int32_t LayerArg(uint32_t i);
    void SetMode(uint32_t bit);
    void StartScrolling(int layer);

    void SetColor();
    void GetColor();
    void SetTexture();
    void GetTexture();
    void SetNormal();
    void SetMat();
    void SetMetal();
    void SetPlastic();
    void SetTransparentColor();
    void GetTransparentColor();
    void SetSemiTransparency();
    void GetSemiTransparency();
    void Hide();
    void Show();
    void IsVisible();
    void SetWireFrame();
    void IsWireFrame();
    void SetFlat();
    void IsFlat();
    void SetMapped();
    void IsMapped();
    void ShiftUV();
    void AnimUV();
    void SetEnvironmentMapping();
    void IsEnvironmentMapping();
    void IsCollisionEnabled();
    void EnableCollision();
    void IsNormal();
    void IsMat();
    void IsMetal();
    void IsPlastic();
    void IsTransparent();
    void SetAdditiveBlendingMode();
    void IsAdditiveBlendingMode();
    void GetName();
    void SetName();
    void SetTextureIntensity();
    void GetTextureIntensity();
    void ShiftUV2();
    void AnimUV2();

    static const ScriptMethod<CIMaterial> kMethods[0x29];

    CIWorld* world_ = nullptr;
    LMaterial* material_ = nullptr;
    float speed_[2][2] = {};
    uint32_t tickHandle_ = 0;
    uint32_t animating_[2] = {};
};

const ScriptClassInfo* GetMaterialClassInfo();

// The engine material of a Material argument: error 47 for a value of another class, 125
// for a Material of another World than `world` (when given); null when the Material has
// lost its engine material.
LMaterial* MaterialArgument(CInterpretor& interpreter, uint32_t i, CIBaseClassImpl* world);
