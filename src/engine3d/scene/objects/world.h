// The root of one 3D scene: its lists of objects, materials, textures and cameras, the
// spatial structure, the built-in materials and the world light, and the back end that
// makes its points, polygons and textures.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine3d/scene/blobs/blob_list.h"
#include "engine3d/scene/camera/camera_list.h"
#include "engine3d/scene/clbk_object.h"
#include "engine3d/scene/materials/material_list.h"
#include "engine3d/scene/materials/texture_list.h"
#include "engine3d/scene/sprites/sprite_list.h"
#include "engine3d/scene/zones/sound.h"
#include "engine3d/scene/zones/zone.h"
#include "foundation/containers/llist.h"

class ChunkWriter;
class ImageFile;
class ImageFileManager;
class L3DCamera;
class L3DLightAmbiant;
class L3DObject;
class L3DPoint;
class LAPICLBK;
class LBase3DCluster;
class LBaseLight;
class LMaterial;
class LPolygon;
class LSprite;
class LTexture;
struct PaletteRecord;

// Copies a texture file when a world is saved with its texture folder; 0 on success.
using CopyTextureHook = int (*)(LTexture* texture, const char* source, const char* destination,
                                int failIfExists, const char* fileName);

inline constexpr char kDefaultMaterialName[] = "$Yix3D Mat$ Default Material";
inline constexpr char kShadowMaterialName[] = "$Yix3D Mat$ Default Shadow Material";

class L3DWorld : public LManageCLBKObject {
public:
    // The device is used, not owned; it must outlive the world.
    L3DWorld(LAPICLBK* backend, uint32_t unused, LCLBKObject* link, CopyTextureHook copyHook);
    ~L3DWorld() override;

    // The object's result of IsVisible when hidden on arrival is decided by show-on-add.
    int AddObject(L3DObject* object, int update);
    // Empties the world: lights, the background, objects, cameras, sprites, textures,
    // sounds, blobs, zones and every material but the two built-in ones; flags 0.
    void RemoveAll();
    // Removes the object and its clones, destroying them while auto delete is on; 1 when
    // the object is not in the list.
    int RemoveObject(L3DObject* object);
    int RemoveObjectAt(int32_t i);
    void RemoveClonesOf(L3DObject* source);
    L3DObject* GetObjectAt(int32_t i) const;
    int32_t IndexOfObject(const L3DObject* object) const;
    L3DObject* FindObjectByName(const char* name) const;
    L3DObject* FindNextObjectByName(const L3DObject* after, const char* name) const;
    void ResetObjectNames();
    int32_t CountPolygons() const;
    void SetColorDepth(uint32_t depth);
    uint32_t GetColorDepth() const { return colorDepth; }
    // The stored texture format as the current renderer maps it, found through a
    // temporary texture of the back end; kept as the new format.
    uint32_t GetTextureFormat();
    LAPICLBK* GetAPI() const { return backend_; }
    int IsAccelerated() const { return accelerated; }
    void InvalidateMaterials() { materials.ResetAll(); }
    LMaterial* GetDefaultMaterial() const { return defaultMaterial_; }
    LMaterial* GetShadowMaterial() const { return shadowMaterial_; }
    void SetPalette(PaletteRecord* record);
    // Made on first use; null when the image formats cannot be set up.
    ImageFile* GetImageFile();
    int CopyTextureFile(LTexture* texture, const char* source, const char* destination,
                        int failIfExists, const char* fileName);
    // Every object's batches of the material go, children included.
    void DropMaterialBatches(const LMaterial* material);
    L3DCamera* CreateCamera(uint32_t flags);
    // The wireframe material of the markers of lights, sounds or zones, made on first
    // use. Kept out of the material list: files would otherwise save it, and every load
    // would make it again in another place of the list.
    LMaterial* GetMarkerMaterial(const char* name, uint32_t colour);
    static constexpr int kShadowPoints = 4;
    // The points shadows are projected into, made by the back end on first use; null
    // when it makes none.
    L3DPoint* const* GetShadowPoints();
    static constexpr uint32_t kAxisFlag = 0x800000;
    // The axis marker at the origin in every frame.
    void ShowAxis(int value);
    // The axis marker at the object's place and turn, or at the origin for null; the
    // marker is made on first use.
    void DrawAxis(L3DCamera& camera, const L3DObject* at);
    // One frame through the camera, and the scene pass of it.
    void Draw(L3DCamera& camera);
    void DrawScene(L3DCamera& camera);
    // 0 done, 2 background removed (no material or no texture), 3 no sprite could be made.
    int SetBackgroundMaterial(LMaterial* material);
    // Negative values read as 1; 3 when no sprite could be made.
    int SetBackgroundParams(float w, float h, float tileX, float tileY);
    LMaterial* GetBackgroundMaterial() const { return backgroundMaterial; }
    // "WORL" with "BKGD" (empty without a background) and "OUSE"; 0 written.
    int Save(ChunkWriter& writer, uint32_t flags);
    // One top-level "CAME" chunk per camera; 0 when all were written.
    int SaveCameras(ChunkWriter& writer, uint32_t flags);
    // The quad behind the scene, its texture following the camera's turns when asked.
    void DrawBackground(L3DCamera& camera);

    // Registers an object being made static.
    void AddStaticObject(L3DObject* object);
    // The switches of object i, or of every object with -1; 1 when object i is missing.
    int SetWireframe(int value, int32_t i);
    int SetFlat(int value, int32_t i);
    int SetMapped(int value, int32_t i);
    int SetGouraud(int value, int32_t i);
    int SetLambert(int value, int32_t i);
    int Scale(float x, float y, float z, int32_t i);
    int ShowObjects(int32_t i);
    int HideObjects(int32_t i);
    int ShowObjectBox(int value, int32_t i);
    int ShowObjectAxis(int value, int32_t i);
    int SetCollision(int value, int32_t i);
    void SetSpatialOption(int value);
    void Optimize();
    int OptimizeSpatial(L3DCamera* camera, uint32_t mode);
    // Null when the camera has no renderer.
    LPolygon* FindPolygonAt(L3DCamera& camera, const float* point);
    // The nearest object of the kinds asked for (2 objects, 4 cameras, 8 blobs, 16 zones,
    // 32 sounds, 64 lights); null when the camera has no renderer or nothing is there.
    L3DObject* FindObjectAt(L3DCamera& camera, const float* point, uint32_t kinds);

    LList objects;
    uint32_t objectCount = 0;
    uint32_t autoDelete = 1;
    uint32_t showOnAdd = 1;
    uint32_t worldFlags = 0;
    uint32_t colorDepth = 16;
    uint32_t textureFormat = 16;
    uint32_t backFaceCulling = 1;
    uint32_t accelerated = 0;
    // The OpenGL rendering context the world's OpenGL renderers share (0 for none), and how
    // many of them hold it.
    uint32_t glContext = 0;
    int32_t glContextUses = 0;
    uint32_t userValue = 0;
    // The primitive builders' counters.
    uint32_t brickCount = 0, sphereCount = 0, pyramidCount = 0, planeCount = 0;
    float objectPushBack = 5.0f;
    float polygonPushBack = 10.0f;
    PaletteRecord* palette = nullptr;
    CopyTextureHook copyHook;
    LBaseMaterial materials;
    LBaseTexture textures;
    LBaseCamera cameras;
    LBaseSprite sprites;
    LBase3DBlob blobs;
    LBaseSound sounds;
    LBase3DZone zones;
    LList specialMaterials;
    std::unique_ptr<LBase3DCluster> cluster;
    std::unique_ptr<L3DLightAmbiant> ambientLight;
    std::unique_ptr<LBaseLight> lights;
    L3DCamera* currentCamera = nullptr;
    uint32_t backgroundFollowsCamera = 1;
    LSprite* backgroundSprite = nullptr;
    float backgroundScale[2] = {1, 1};
    LMaterial* backgroundMaterial = nullptr;

private:
    void AddBuiltInMaterials();
    void BuildAxis();
    // Made when absent; null when the back end makes none.
    LSprite* BackgroundSprite();
    void DeleteBackgroundSprite();

    LAPICLBK* backend_;
    LMaterial* defaultMaterial_ = nullptr;
    LMaterial* shadowMaterial_ = nullptr;
    std::unique_ptr<ImageFileManager> imageManager_;
    std::unique_ptr<ImageFile> imageFile_;
    bool imageTried_ = false;
    L3DPoint* shadowPoints_[kShadowPoints] = {};
    std::unique_ptr<L3DObject> axis_;
    // Destroyed after the body of the destructor has removed every marker.
    std::vector<std::unique_ptr<LMaterial>> markerMaterials_;
};
