// A movie or a video playing into a 3D Texture draws into the Surface the Texture takes its
// picture from. The Texture may change Surfaces (Load), so the one feeding it is looked up
// each time; a Texture without one is given a Surface of its own image.
#pragma once

class CInterpretor;
class CISurfaceTexture;
class CValue;
class CWindowSurface;

// The Surface the Texture is copied from now, or null.
CWindowSurface* SurfaceFeedingTexture(CInterpretor& interpreter, CISurfaceTexture* texture);
// Makes a Surface of the Texture's image when none feeds it; `holder` keeps that Surface
// alive while the player needs it. Errors 15 (no memory) and 104 (no image).
void GiveTextureASurface(CInterpretor& interpreter, CISurfaceTexture* texture, CValue& holder);
// After a new frame was drawn into the Surface: the Texture takes it and the World's views
// show it.
void TextureFrameDrawn(CWindowSurface& surface);
// Lets an Animation draw into a Texture as a Video and a QTime do, or takes that back.
void InstallAnimationTextureFeed(bool install);
