// The World class: one engine world shown in a Surface's 3D view, with its objects,
// lights, cameras and the rest made reachable to scripts, the world-wide display
// switches, the ambient light and the primitives. Every Camera rendering the world is
// listed here, so that any change made through the World repaints the views.
#pragma once

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "classes/surface/view3d.h"
#include "engine3d/scene/clbk_object.h"
#include "script/classes/base_class.h"
#include "script/values/value.h"

struct BlockRecord;
class CElement;
class CICamera;
struct LocationWorldServices;
class CISurface;
class L3DObject;
class L3DWorld;
class LTexture;

class CIWorld final : public CIBaseClassImpl, public LCLBKObject, public CISurfaceWorld {
public:
    static constexpr uint32_t kClassId = 69;
    static constexpr uint32_t kFirstClassLevelId = 0x40;

    CIWorld(CInterpretor* interpreter, const CClassRecord* record);
    ~CIWorld() override;

    void CallMethod(uint16_t methodId) override;
    // The views showing the world go first, then the engine world with everything in it.
    void Destroy(int flag) override;
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new World([surface or window]...).
    void Create() override;
    void EngineObjectDestroyed() override;

    CIBaseClassImpl* GetWorldObject() override { return this; }
    L3DWorld* GetEngineWorld() override { return world_; }

    // The surface a World or Camera is made for from argument `i`: a Surface, a
    // Window's client Surface, else the main window's; null when there is none.
    static CISurface* SurfaceFromArg(CInterpretor& interpreter, uint32_t i);

    // ---- The cameras rendering this world ----------------------------------------------
    // Error 59 when the camera's view draws at another depth than the world; a camera
    // without a surface is not listed. The camera becomes the active one.
    void AddRenderCamera(CICamera* camera);
    // The first camera left becomes active when none is.
    void RemoveRenderCamera(CICamera* camera);
    void ActivateCamera(CICamera* camera);
    // Every listed camera's surface repaints at the next refresh.
    void RefreshCameras();

    // ---- Collisions (world_collisions.cpp) ------------------------------------------
    // The pair in serial order, once, while OnCollisions has a handler.
    void RecordCollision(CIBaseClassImpl* first, CIBaseClassImpl* second);
    // After every frame: OnCollisions with the recorded pairs, if any, and the list is
    // emptied, handler or not. An event that cannot be posted is dropped.
    void DeliverCollisions();
    const CValue& CollideHandler() const { return onCollide_; }
    size_t GetCollisionCount() const { return collisions_.size(); }
    // The placed classes' side of the collisions (LocationWorldServices).
    static const BlockRecord* CollideHandlerOf(CIBaseClassImpl* world);
    static void RecordPair(CIBaseClassImpl* world, CIBaseClassImpl* first, CIBaseClassImpl* second);
    // `object` leaves the pair list of every World.
    static void ForgetCollisionsOf(CIBaseClassImpl* object);

    // ---- World files (world_files.cpp) -------------------------------------------------
    // The world, or the one object, written to a world file with its textures' folder
    // beside it; 1 when the file was written.
    int SaveToFile(const char* file, uint32_t mask, L3DObject* object);

private:
    // The script wrapper of an engine object of this world, made on first use; null
    // for none or for a kind without a script class yet.
    CIBaseClassImpl* WrapperOf(L3DObject* object);
    // The placed objects of this world let go of it: it is going.
    void ReleasePlacedObjects();
    // Argument 0 as a list index: missing is 0; -1 when not a number.
    int32_t IndexArg();
    void SetResultObject(CIBaseClassImpl* object);
    void SetResultBool(int engineResult);
    // A primitive's numeric arguments over their defaults: error 13 past `count`, 14
    // for a negative value; a missing or text argument keeps the default.
    void ReadSizes(double* values, uint32_t count);
    void ReturnPrimitive(L3DObject* object);
    void ForgetPairsOf(CIBaseClassImpl* object);
    void ClearCollisions();

    void GetObject();
    void GetNObjects();
    void ShowObjects();
    void HideObjects();
    void GetLight();
    void GetNLights();
    void ShowLights();
    void HideLights();
    void GetCamera();
    void GetNCameras();
    void ShowCameras();
    void HideCameras();
    void GetSpeaker();
    void GetNSpeakers();
    void HideSpeakers();
    void ShowSpeakers();
    void GetNBlobs();
    void HideBlobs();
    void ShowBlobs();
    void GetZone();
    void GetNZones();
    void HideZones();
    void ShowZones();
    void GetNTextures();
    void GetNMaterials();
    void Scale();
    void SetWireframe();
    void SetGouraud();
    void SetFlat();
    void SetMapped();
    void SetLambert();
    void SetLightColor();
    void GetLightColor();
    void SetNight();
    void GetNight();
    void SetLightVector();
    void GetLightVector();
    void SetLightIntensity();
    void GetLightIntensity();
    void IsBackFacesCulling();
    void SetBackFacesCulling();
    void ShowObjectBox();
    void HideObjectBox();
    void ShowAxis();
    void HideAxis();
    void ShowObjectAxis();
    void HideObjectAxis();
    void SetCollision();
    void SetStatic();
    void Optimize();
    void CreateSphere();
    void CreateBrick();
    void CreatePyramid();
    void CreatePlane();
    void OnCollide();
    void OnCollisions();

    // ---- World files (world_files.cpp) -------------------------------------------------
    // A world file or 3D bank element of that name read into the world under `mask`, the
    // textures looked for in `folder` (the file's own when null); with `objectName`, only
    // that object, given in `loaded`. 0, or the error to raise.
    int32_t LoadFile(const char* name, uint32_t mask, const char* folder, const char* objectName,
                     L3DObject** loaded);
    int32_t LoadElement(CElement* element, uint32_t mask, const char* objectName,
                        L3DObject** loaded);
    // The file or bank element the New arguments name; the first camera the world then has
    // shows it in `surface`.
    void LoadAtCreation(CISurface* surface);
    // Every texture of the world gets its Texture object.
    void WrapNewTextures();
    // The image of a texture a world file names: an image element of the file's base name,
    // else the file found in the texture folder, an extension other than .bmp, .jpg, .jpeg
    // and .png read as .png. 1 when the texture got its image.
    static int LoadTextureImage(void* context, LTexture* texture, const char* fileName);
    void Load();
    void Save();
    void LoadObject();
    void GetTexture();
    void GetMaterial();
    void GetBlob();
    void SetBackground();

    static const ScriptMethod<CIWorld> kMethods[0x40];

    L3DWorld* world_ = nullptr;
    std::vector<CICamera*> renderCameras_;
    CValue onCollide_;
    CValue onCollisions_;
    std::vector<std::pair<CIBaseClassImpl*, CIBaseClassImpl*>> collisions_;
    // The pairs of collisions_, for the test that a pair is new.
    std::set<std::pair<CIBaseClassImpl*, CIBaseClassImpl*>> recordedPairs_;
    // SetStatic without an object or index marks every object.
    uint32_t staticAll_ = 0;
};

const ScriptClassInfo* GetWorldClassInfo();
// What the placed classes ask of a World.
const LocationWorldServices* GetWorldServices();
