// What a Surface showing a 3D world asks of the World and Camera objects: the Surface
// classes build below them, so they reach each other through these two interfaces.
#pragma once

#include <cstdint>

class CIBaseClassImpl;
class CISurface;
class L3DCamera;
class L3DWorld;
class LTexture;

// The World object a Surface's view shows.
class CISurfaceWorld {
public:
    virtual CIBaseClassImpl* GetWorldObject() = 0;
    // Null once the engine world is gone.
    virtual L3DWorld* GetEngineWorld() = 0;

protected:
    ~CISurfaceWorld() = default;
};

// The Camera object a Surface's view draws through.
class CISurfaceCamera {
public:
    virtual CIBaseClassImpl* GetCameraObject() = 0;
    virtual L3DCamera* GetEngineCamera() = 0;
    // One frame of the world through this camera into the surface's view.
    virtual void RenderToSurface() = 0;
    // The surface is being destroyed: a camera bound to it forgets it.
    virtual void SurfaceDestroyed(CISurface* surface) = 0;

    // The class of the objects that may be bound to a surface.
    static constexpr uint32_t kClassId = 61;

protected:
    ~CISurfaceCamera() = default;
};

// The Texture object a Surface's picture is copied into: a Texture made from the surface
// or with a blank one of its own.
class CISurfaceTexture {
public:
    virtual CIBaseClassImpl* GetTextureObject() = 0;
    // Null once the texture has lost its image.
    virtual LTexture* GetImageTexture() = 0;
    // The surface becomes the one the texture is copied from.
    virtual void BindSurface(CISurface* surface) = 0;
    // The surface was repainted: the texture takes its picture again.
    virtual void SurfaceRefreshed(CISurface* surface) = 0;
    // The surface is being destroyed: the texture forgets it.
    virtual void SurfaceDestroyed(CISurface* surface) = 0;

    // The class of the objects that may be bound to a surface.
    static constexpr uint32_t kClassId = 65;

protected:
    ~CISurfaceTexture() = default;
};
