// The renderer of the OpenGL back end: one window, one pixel format, and the rendering
// context its world shares with the world's other OpenGL renderers, drawing the vertices
// the scene model has already projected to the screen in immediate mode. Every OpenGL call
// goes through the loader's slots; a set-up that fails leaves a renderer that draws
// nothing until the next display-mode change.
//
// Within a frame a glBegin is normally open between drawing calls; the state selectors
// close it only when the kind of drawing, the texture, the colour or the vertex count
// changes, so that consecutive triangles of one material continue one GL_TRIANGLES.
#pragma once

#include <cstdint>
#include <vector>

#include "engine3d/scene/render/renderer.h"
#include "platform/gl/gl_types.h"
#include "platform/gl/wgl.h"

class L3DPoint;
class LTexture_OpenGL;

// The pixel-format and buffer-swap calls on device contexts, replaceable by tests; null
// entries read as refusals (no pixel format, no swap).
struct OpenGLWindowCalls {
    int (*choosePixelFormat)(HDC dc, const PIXELFORMATDESCRIPTOR* wanted) = &ChoosePixelFormat;
    BOOL(*setPixelFormat)
    (HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor) = &SetPixelFormat;
    BOOL (*swapBuffers)(HDC dc) = &SwapBuffers;
};
OpenGLWindowCalls& GetOpenGLWindowCalls();

class LRenderAPI_OpenGL : public LRenderAPICLBK {
public:
    // Result codes of the set-up.
    static constexpr int kPixelFormatRefused = 27;
    static constexpr int kNoPixelFormat = 28;
    static constexpr int kNoContext = 29;

    // Kinds of drawing the cache remembers.
    static constexpr uint32_t kKindNone = 0;
    static constexpr uint32_t kKindLines = 2;
    static constexpr uint32_t kKindSolid = 4;
    static constexpr uint32_t kKindTextured = 8;

    // Shades handed to the selectors.
    static constexpr int32_t kShadeFlat = -1;
    static constexpr int32_t kShadeGouraud = 0x10;
    static constexpr int32_t kShadeLambert = 0x20;

    // The text display lists: one per character, numbered from here.
    static constexpr GLuint kTextListBase = 1000;

    LRenderAPI_OpenGL(L3DWorld* world, LAPICLBK* device);
    // Lets the context go, and the display mode when full screen.
    ~LRenderAPI_OpenGL() override;

    int SetDisplayMode(uint32_t flags, int32_t width, int32_t height, int32_t depth) override;
    uint32_t GetTextureDepth(uint32_t d) override { return d; }
    void RenderFrame() override;
    void DrawElement2D(L3DCamera* camera, LSprite* sprite) override;
    void DrawQuad(L3DCamera* camera, LSprite* backdrop) override;
    void BeginFrame() override;
    int IsCapable(uint32_t bits) override;
    int32_t SetStateBits(uint32_t bits) override;
    void ClearStateBits(uint32_t bits) override;
    void DrawPolygonBatch(LCacheMaterial* batch, L3DCamera* camera, L3DObject* object) override;
    int Initialize() override;
    // The world is going: its context goes with the last renderer that held it.
    void ForgetWorld() override;

    // No caller in the scene model yet: a pass drawn over everything else.
    void BeginDepthOverwrite();
    void EndDepthOverwrite();
    void ResetDepthBuffer();
    // glFinish, the statistics line when asked for, and the swap.
    void Present(HDC dc);

    // Drops this renderer's use of the world's context, deleting the context with the last
    // use; every texture of the world lets its device copy go.
    void ReleaseContext();
    void ResetStateCache();

    void SelectLineState(uint32_t colour);
    void SelectSolidState(int count, uint32_t colour, int32_t shade, uint32_t modeBits,
                          int translucent);
    void SelectTextureState(int count, LTexture_OpenGL* texture, int32_t shade, uint32_t modeBits,
                            uint8_t alpha);

    // The renderer whose state polygons and textures draw with; null when none.
    static LRenderAPI_OpenGL* Current();

    uint32_t currentKind = kKindNone;
    LTexture_OpenGL* currentTexture = nullptr;
    int64_t currentColour = -1;
    int currentPrimitiveSize = 3;
    int setUpResult = kNoContext;
    uint32_t depthOverwrite = 0;
    int32_t savedStyle = -1;
    int32_t savedRect[4] = {};

private:
    enum class Culling { kOff, kFromWorld, kKept };
    void ApplyPipelineState(Culling culling);
    void BecomeCurrent();
    void ApplyCulling();
    // glBegin of the primitive for a polygon of `count` vertices.
    void OpenPrimitive(int count);
    // Continues the open primitive when both are triangles, else closes it and opens one.
    void ContinueOrReopen(int count);
    void RestoreWindow();
    void DrawBatchPass(const class LCacheMaterial& batch, bool gouraud, bool lambert, int slot,
                       uint8_t passAlpha, int mode);
    void SendSpriteCorners(const LSprite& sprite, float width, float height, bool textured);
    // A camera texture's frame: drawn offscreen at the texture's size, read back into its
    // pixels, then the window's frame it interrupted goes on.
    void RenderIntoTexture();

    HDC dc_ = 0;
    // The window's DC while this renderer's frame is being drawn; 0 otherwise.
    HDC frameDC_ = 0;
    bool holdsContext_ = false;
    // A batch pass's arrays, kept from frame to frame: corners (lit flat, each triangle's
    // own), colours and perspective texture coordinates.
    std::vector<float> batchCorners_;
    std::vector<float> batchColours_;
    std::vector<float> batchCoordinates_;
};
