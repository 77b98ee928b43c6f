// The renderer of the Direct3D back end: a back buffer the device draws on (the flip
// chain's in full screen, an off-screen surface blitted into the window otherwise), its
// depth buffer, the device, a viewport and a background material, and the list of
// texture formats the device takes. Every device object is made again at each
// display-mode change; a set-up that fails answers its code and leaves a renderer that
// draws nothing until the next change.
//
// Device states are set only when they change: the kind of drawing, the texture, the
// shading and the blend in force are remembered, and whatever may have changed the
// device behind them resets the memory.
#pragma once

#include <cstdint>
#include <vector>

#include "engine3d/scene/render/renderer.h"
#include "platform/directx/direct3d/d3d.h"

class LAPI_Direct3D;
class LTexture_Direct3D;

class LRenderAPI_Direct3D : public LRenderAPICLBK {
public:
    // Set-up codes beyond the shared ones.
    static constexpr int kNoDeviceDescription = 20;
    static constexpr int kNoDeviceGuid = 21;
    static constexpr int kNoDepthBuffer = 22;
    static constexpr int kNoDevice = 23;
    static constexpr int kNoViewport = 24;

    static constexpr uint32_t kStencilClear = 0x20;

    // Kinds of drawing the cache remembers.
    static constexpr uint32_t kKindNone = 0;
    static constexpr uint32_t kKindLines = 2;
    static constexpr uint32_t kKindSolid = 4;
    static constexpr uint32_t kKindTextured = 8;
    static constexpr int32_t kSelectorNone = -3;

    // Kinds of texture format.
    static constexpr uint8_t kOpaque = 0;
    static constexpr uint8_t kOneBitAlpha = 2;
    static constexpr uint8_t kTranslucent = 4;

    // One texture format the device takes, as the format list keeps it.
    struct TextureFormat {
        uint32_t depth = 0;
        uint32_t alpha = 0;
        uint32_t palettised = 0;
        uint32_t found = 0;
        uint32_t alphaMask = 0;
        uint8_t kind = 0;
        uint8_t zero[3] = {};
        DDPIXELFORMAT format{};
    };
    static_assert(sizeof(TextureFormat) == 56);

    LRenderAPI_Direct3D(L3DWorld* world, LAPI_Direct3D* device);
    ~LRenderAPI_Direct3D() override;

    int SetDisplayMode(uint32_t flags, int32_t width, int32_t height, int32_t depth) override;
    uint32_t GetTextureDepth(uint32_t depth) override;
    void SetTextureDepth(uint32_t depth) override;
    int32_t GetMinTextureWidth() override;
    int32_t GetMinTextureHeight() override;
    int32_t GetMaxTextureWidth() override;
    int32_t GetMaxTextureHeight() override;
    void RenderFrame() override;
    // A sprite over the 3D view, and the world's backdrop.
    void DrawElement2D(L3DCamera* camera, LSprite* sprite) override;
    void DrawQuad(L3DCamera* camera, LSprite* backdrop) override;
    void BeginFrame() override;
    void ClearDepthBuffer() override;
    void EndFrame() override;
    int IsCapable(uint32_t code) override;
    // One material's triangles in one indexed draw; a batch whose indices pass its records
    // is not drawn.
    void DrawPolygonBatch(LCacheMaterial* batch, L3DCamera* camera, L3DObject* object) override;
    int32_t SetStateBits(uint32_t bits) override;
    void ClearStateBits(uint32_t bits) override;
    void BeginExtraPass(uint32_t alpha) override;
    int Initialize() override;
    int SetWindowed(int windowed) override;

    void BeginDepthOverwrite();
    void EndDepthOverwrite();
    void ResetDepthBuffer();

    // The first format of `kind` for textures of `depth` in `out`; false when none.
    bool FindTextureFormat(uint8_t kind, TextureFormat& out, uint32_t depth);
    // The DirectDraw object of the device's render target, counted; null without one.
    IDirectDraw4* GetRenderTargetDirectDraw();

    // The selectors of the polygon routines. For the textured ones the selector -1 takes
    // the texture's colour alone, any other the colour operation; for the others -1 shades
    // flat, 0x10 Gouraud and 0x20 flat, both without a texture stage. The mode bits are
    // the material's additive bits (0x20000000 keeps the depth test).
    void SelectTextureState(LTexture_Direct3D* texture, int32_t selector, uint32_t modeBits);
    void SelectTranslucentTextureState(LTexture_Direct3D* texture, int32_t selector,
                                       uint32_t modeBits);
    void SelectTranslucentState(uint32_t colour, uint8_t alpha, int32_t selector,
                                uint32_t modeBits);
    void SelectSolidState(int32_t selector, uint32_t modeBits);
    void SelectLineState(int32_t selector, uint32_t modeBits);
    void SetTranslucency(uint8_t alpha, bool inverted);
    void ResetAlphaBlend();
    // Binds the texture to stage `stage`, making its device copy first when it has none.
    void BindTexture(DWORD stage, LTexture_Direct3D* texture);
    // Forgets what the device is known to hold.
    void ResetStateCache();
    // Device states, nothing without a device.
    void RenderState(DWORD state, DWORD value);
    void StageState(DWORD stage, DWORD state, DWORD value);

    // The renderer whose device draws; null when none.
    static LRenderAPI_Direct3D* Current();
    static void MakeCurrent(LRenderAPI_Direct3D* renderer);

    uint32_t colourOperation[3] = {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE};
    uint32_t currentKind = kKindNone;
    LTexture_Direct3D* currentTexture = nullptr;
    int32_t currentSelector = kSelectorNone;
    IDirectDrawSurface4* backBuffer = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    IDirectDrawSurface4* depthBuffer = nullptr;
    IDirect3DDevice3* d3dDevice = nullptr;
    IDirect3DViewport3* viewport = nullptr;
    IDirect3DMaterial3* backgroundMaterial = nullptr;
    uint32_t textureDepthAsked = 0;
    uint32_t surfaceMemory = 0;
    D3DDEVICEDESC deviceDescription{};
    DDPIXELFORMAT depthFormat{};
    uint8_t alphaBlending = 0;
    uint8_t cachedAlpha = 255;
    uint8_t colourKeyOn = 0;
    uint8_t elementsInScene = 0;
    uint8_t wBufferAvailable = 0;
    uint32_t multitextureCapable = 0;
    uint32_t blendFactorCapable = 0;
    uint32_t depthOverride = 0;
    uint32_t maxTextureWidth = 0, maxTextureHeight = 0;
    uint32_t minTextureWidth = 0, minTextureHeight = 0;
    int32_t savedStyle = -1;
    // Between the BeginScene and EndScene of this renderer's own frame: a camera texture's
    // frame drawn then closes the scene and opens it again.
    uint8_t sceneOpen = 0;
    // The last set-up's code: the view draws only after a set-up that succeeded.
    int setUpResult = kNoWindow;
    uint32_t maxAnisotropy = 1;
    std::vector<TextureFormat> textureFormats;

private:
    LAPI_Direct3D* BackEnd() const;
    int SetUp();
    bool CreateSurfaces();
    bool FindDeviceDescription(const GUID& guid);
    bool CreateDepthBuffer();
    bool CreateDevice(const GUID& guid);
    bool CreateViewport();
    void ReleaseDeviceObjects();
    void ReadDeviceCaps();
    bool BuildTextureFormatList(uint32_t depth);
    // The description GetCaps answers with, hardware's when it has flags; false without.
    bool DeviceCaps(D3DDEVICEDESC& used);
    // Whether the device does the add-signed stage operation (no device: yes).
    bool AddSignedProbe();
    void DepthRestore();
    void AdditiveBlend(uint32_t modeBits);
    void UntexturedShading(int32_t selector);
    void TexturedState(LTexture_Direct3D* texture, int32_t selector);
    void BlendReset();
    void SceneRestart();
    void ApplyCulling();
    void ApplyFilters();
    void FogSetUp(const L3DCamera& camera);
    void ClearAll(DWORD clearFlags, DWORD colour, float z);
    void DrawSprite(L3DCamera* camera, LSprite* sprite, bool backdrop);
    // A memory target's frame: drawn on the device of the renderer that draws, at the top
    // left of its back buffer, and copied from there into the target texture's pixels.
    void RenderIntoTexture();
    LRenderAPI_Direct3D* DrawingRenderer() const;
    void CopyFrameInto(LTexture& target, IDirectDrawSurface4* from) const;

    // A use of the back end's primary surface is this renderer's to give back.
    bool holdsPrimary_ = false;
    // The flags before a SetWindowed, which changes them before the mode change runs.
    uint32_t flagsBeforeSwitch_ = 0;
    bool switching_ = false;
};
