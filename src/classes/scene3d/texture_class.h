// The Texture class: one texture of a World's texture list, whose image comes from an
// image file (or an image of the project's image bank), from a Surface whose pixels it
// copies, or from a blank Surface of its own that the script draws on. A texture bound to
// a Surface takes the picture again whenever the surface repaints: that is how drawings
// and movie frames reach 3D objects.
#pragma once

#include <cstdint>
#include <string>

#include "classes/surface/view3d.h"
#include "engine3d/scene/clbk_object.h"
#include "script/classes/base_class.h"
#include "script/values/value.h"

class CISurface;
class CIWorld;
class LTexture;

class CITexture final : public CIBaseClassImpl, public LCLBKObject, public CISurfaceTexture {
public:
    static constexpr uint32_t kClassId = 65;
    static constexpr int32_t kDefaultWidth = 640;
    static constexpr int32_t kDefaultHeight = 480;

    CITexture(CInterpretor* interpreter, const CClassRecord* record);
    ~CITexture() override;

    void CallMethod(uint16_t methodId) override;
    // Unbinds the surface and, unless the interpreter is ending, takes the engine texture
    // off the world's list (and so out of every material).
    void Destroy(int flag) override;
    // The World going detaches the Texture, which is deleted with it; its Surface going
    // only unbinds it.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Texture(world or surface, [file], [width], [height], [name]).
    void Create() override;
    int IsReferenced() override { return 1; }
    void EngineObjectDestroyed() override;

    CIBaseClassImpl* GetTextureObject() override { return this; }
    LTexture* GetImageTexture() override { return texture_; }
    void BindSurface(CISurface* surface) override { Bind(surface); }
    void SurfaceRefreshed(CISurface* surface) override;
    void SurfaceDestroyed(CISurface* surface) override;

    // The wrapper of an engine texture of the World, made on first use; null for null.
    // Error 15 when it cannot be allocated.
    static CITexture* GetWrapper(CInterpretor& interpreter, CIWorld* world, LTexture* texture);
    // A new Texture of the World copying the Surface, or loaded from an image file or
    // image element; the errors of new Texture.
    static CITexture* MakeFromSurface(CInterpretor& interpreter, CIWorld* world,
                                      CISurface* surface);
    static CITexture* MakeFromFile(CInterpretor& interpreter, CIWorld* world, const char* file);
    // After a new frame was drawn into the bound surface: the World's views repaint, then
    // the surface is repainted.
    void UpdateFromSurface();
    // Takes a new image from a Surface or an image file or element (Load's behaviour).
    void LoadFrom(const CValue& source);

    LTexture* GetEngineTexture() const { return texture_; }
    CIWorld* World() const { return world_; }
    CISurface* BoundSurface() const { return surface_; }

private:
    void RefreshViews();
    // A sprite's overlay or an object's shadow shows the texture.
    bool UsedBeyondMaterials(const LTexture* texture) const;
    // The texture depth of the World.
    int32_t Depth() const;
    // Engine texture of the World's back end, added to its list; 15 on failure.
    void MakeEngineTexture(const char* name);
    void Bind(CISurface* surface);
    void Unbind();
    // The surface's picture into the engine texture; 0 when it could not be copied.
    int CopySurface();
    // The image file or element into the engine texture; 0 when it could not be had.
    int LoadImage(const char* file);
    void FromSurface(CISurface* surface);
    void FromFile(const char* file);
    void Blank(int32_t width, int32_t height, const char* name);
    // SetTiling and SetOffset: the pair read first, each given number replacing its half.
    void SetPair(bool tiling);

    void Load();
    void SetTiling();
    void SetOffset();
    void GetTilingX();
    void GetTilingY();
    void GetOffsetX();
    void GetOffsetY();
    void GetName();
    void SetName();
    void GetFileName();
    void GetSurface();

    static const ScriptMethod<CITexture> kMethods[0x0C];

    std::string sourceFile_;
    CIWorld* world_ = nullptr;
    LTexture* texture_ = nullptr;
    CISurface* surface_ = nullptr;
    // The blank surface the texture made, held so that it lives as long as the texture.
    CValue surfaceRef_;
};

const ScriptClassInfo* GetTextureClassInfo();

// The image element of the current entry named `element` (none when empty), else the image
// file `file`, converted to `depth` bits as the texture's image, whose file name becomes
// `file`. 0 when neither could be had.
int DecodeTextureImage(CInterpretor& interpreter, LTexture& texture, const std::string& element,
                       const char* file, int32_t depth);
