// The Blob class: a flat rectangle of a World that shows one Material and turns towards the
// camera around the axes the script allows: trees, halos, explosions. It is made from an
// image file or image element, a Surface, a Texture or a Material, and is placed like every
// placed object.
#pragma once

#include <cstdint>

#include "classes/scene3d/location_class.h"

class CIMaterial;
class L3DBlob;

class CIBlob final : public CILocation {
public:
    static constexpr uint32_t kClassId = kBlobClassId;
    static constexpr uint32_t kFirstClassLevelId = 0x4F;

    CIBlob(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    // Takes the blob out of the World, unless the interpreter is ending.
    void Destroy(int flag) override;
    // The World or the Material going detaches the Blob, which is deleted with it.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Blob(world, position, image [, name] [, width] [, height]).
    void Create() override;
    void LocationChanged() override;

    static const ScriptClassInfo* GetClassInfo();
    // The wrapper of a blob the script did not make; its Material is found on first use.
    static CILocation* MakeWrapper(CInterpretor& interpreter, const CClassRecord* record);

private:
    L3DBlob* Blob() const;
    // The Material shown, found from the blob's face for a wrapper; error 86 without one.
    CIMaterial* ShownMaterial();
    void SetSide(bool width);
    void AxisQuery(uint8_t bit);
    void AxisSwitch(uint8_t bit);

    void SetWidth();
    void SetHeight();
    void SetImage();
    void GetMaterial();
    void GetTexture();
    void IsAxisMovingX();
    void IsAxisMovingY();
    void IsAxisMovingZ();
    void SetAxisMovingX();
    void SetAxisMovingY();
    void SetAxisMovingZ();

    static const ScriptMethod<CIBlob> kMethods[];

    CIMaterial* material_ = nullptr;
};
