// What the mesh classes (Object, Polygon, Point3D) need of the Material and Texture
// classes: the engine material or texture a script object of those classes holds, its
// World, and the script object of an engine material or texture, made on first use. The
// Material and Texture classes register them; until they do, no argument is a Material
// or a Texture and no such object is handed out.
#pragma once

#include <cstdint>

class CIBaseClassImpl;
class CInterpretor;
class LMaterial;
class LTexture;

struct MeshMaterialServices {
    static constexpr uint32_t kTextureClassId = 65;
    static constexpr uint32_t kMaterialClassId = 70;

    // Null for an object that lost its engine material or texture.
    LMaterial* (*engineMaterial)(CIBaseClassImpl* material);
    CIBaseClassImpl* (*materialWorld)(CIBaseClassImpl* material);
    CIBaseClassImpl* (*materialWrapper)(CInterpretor& interpreter, CIBaseClassImpl* world,
                                        LMaterial* material);
    LTexture* (*engineTexture)(CIBaseClassImpl* texture);
    CIBaseClassImpl* (*textureWorld)(CIBaseClassImpl* texture);
    CIBaseClassImpl* (*textureWrapper)(CInterpretor& interpreter, CIBaseClassImpl* world,
                                       LTexture* texture);
};

// Null takes them away.
void SetMeshMaterialServices(const MeshMaterialServices* services);

// The engine material of the Material object in argument `i`: `notMaterial` is raised
// for another argument, `otherWorld` for a Material of another World than `world`.
LMaterial* MaterialArg(CInterpretor& interpreter, uint32_t i, CIBaseClassImpl* world,
                       int32_t notMaterial, int32_t otherWorld);
// The same for a Texture object.
LTexture* TextureArg(CInterpretor& interpreter, uint32_t i, CIBaseClassImpl* world,
                     int32_t notTexture, int32_t otherWorld);
// The result: the Material or Texture object of the engine one, or 0 for none.
void SetMaterialResult(CInterpretor& interpreter, CIBaseClassImpl* world, LMaterial* material);
void SetTextureResult(CInterpretor& interpreter, CIBaseClassImpl* world, LTexture* texture);
