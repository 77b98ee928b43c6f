// A point light: a position, a radius of influence, an intensity and a shared colour. It
// keeps the objects whose boxes meet its cube of influence and they keep it in one of
// their two light arrays (static lights in the first, dynamic ones in the second).
#pragma once

#include <cstdint>
#include <vector>

#include "engine3d/scene/objects/object.h"

class LBaseLight;
struct LLightColor;

class L3DLight : public L3DObject {
public:
    static constexpr uint32_t kType = 0x0044;

    L3DLight(LBaseLight* list, L3DWorld* world, int kind, const float* position, int32_t radius,
             int32_t intensity, LLightColor* color, uint32_t flags);
    ~L3DLight() override;

    // -99999 keeps a value; a static light keeps its radius.
    void SetIntensityAndRadius(int32_t radius, int32_t intensity, int show);
    void SetColor(uint32_t rgb);
    int32_t GetIntensity() const { return intensity; }
    int32_t GetRadius() const { return radius; }
    uint32_t GetColor() const;
    LLightColor* Color() const { return color_; }
    bool IsStaticLight() const { return (objectFlags & kStatic) != 0; }

    // Leaves every lit object, then finds the objects that meet the cube afresh.
    void FindObjects();
    void LeaveObjects();
    // Called by an object that dies while this light lights it.
    void ForgetObject(L3DObject* object);

    // The blend of this light into a colour {red, green, blue, level} at a world point.
    void LightPoint(const float* point, uint8_t* color) const;

    int CanMove() override { return IsStaticLight() ? 0 : 1; }
    void OnMoved() override;
    void SetGouraud(int) override {}
    void SetLambert(int) override {}
    void ShowBox(int on, int withChildren) override;
    void Show() override;
    void Hide(int withChildren) override;
    L3DObject* Clone(const L3DLocation*) override { return nullptr; }
    // Without a location the copy stays where this light is.
    L3DObject* Duplicate(const L3DLocation* location) override;
    int Save(ChunkWriter& writer, uint32_t mask) override;

    float cubeMin[3] = {};
    float cubeMax[3] = {};
    float centre[3] = {};
    std::vector<L3DObject*> litObjects;
    int32_t intensity = 0;
    int32_t radius = 0;
    LBaseLight* list;

private:
    void ComputeCube();
    // The arrow along -z that stands for the light, sized by its radius.
    void BuildLightMarker();
    void AskToRelight(L3DObject* object) const;

    LLightColor* color_;
};
