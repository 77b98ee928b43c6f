// The renderer, as the scene model and the script side call it: one view of a world drawn
// through a camera into a window, a 2D surface or a texture's memory. The base keeps the
// display state (size, depth, flags, state bits, viewport, frame timing, the reference
// grid) and gives every operation a default body that back ends override.
#pragma once

#include <cstdint>

#include "engine3d/scene/render/display_modes.h"
#include "platform/user/hwnd.h"

class L3DCamera;
class L3DGrid;
class L3DObject;
class L3DWorld;
class LAPICLBK;
class LCacheMaterial;
class LSprite;
class LTexture;

// The transformed, lit vertex that hardware back ends draw from.
struct RenderVertex {
    float x = 0, y = 0, z = 0, rhw = 0;
    uint32_t diffuse = 0;
    uint32_t specular = 0;
    float u1 = 0, v1 = 0, u2 = 0, v2 = 0;
};
static_assert(sizeof(RenderVertex) == 40);

class LRenderAPICLBK {
public:
    // In the state flags: no camera textures this frame.
    static constexpr uint8_t kNoCameraTextures = 64;
    // Flags a camera texture's renderer is set up with.
    static constexpr uint32_t kCameraTextureModeFlags = 0xD0;

    // Display flags.
    static constexpr uint32_t kFullScreen = 2;
    static constexpr uint32_t kWindowed = 4;
    static constexpr uint32_t kStatistics = 8;
    static constexpr uint32_t kDepthBuffer = 16;
    static constexpr uint32_t kMemoryTarget = 64;
    static constexpr uint32_t kClearEachFrame = 128;
    static constexpr uint32_t kSkipModeChecks = 0x100;
    // A display-mode argument that keeps the current value.
    static constexpr int32_t kKeep = -99999;

    // Result codes.
    static constexpr int kBadArgument = 2;
    static constexpr int kNoView = 4;
    static constexpr int kNoModeOfDepth = 17;
    static constexpr int kNoWindow = 18;
    static constexpr int kSurfacesFailed = 19;
    static constexpr int kNoSurface = 30;
    static constexpr int kNotSupported = 31;
    static constexpr int kMemoryTargetCode = 32;
    static constexpr int kNoFurtherMode = 33;
    static constexpr int kDepthNotShown = 34;

    LRenderAPICLBK() = default;
    LRenderAPICLBK(L3DWorld* world, LAPICLBK* device);
    LRenderAPICLBK(const LRenderAPICLBK&) = delete;
    LRenderAPICLBK& operator=(const LRenderAPICLBK&) = delete;
    // Deletes the grid object.
    virtual ~LRenderAPICLBK();
    void Release() { delete this; }

    int NextDisplayMode();
    int PreviousDisplayMode();
    virtual int SetDisplayMode(uint32_t flags, int32_t width, int32_t height, int32_t depth);
    virtual uint32_t GetTextureDepth(uint32_t depth) { return depth; }
    virtual void SetTextureDepth(uint32_t) {}
    virtual int32_t GetMinTextureWidth() { return 0; }
    virtual int32_t GetMinTextureHeight() { return 0; }
    virtual int32_t GetMaxTextureWidth() { return 0x7FFFFFFF; }
    virtual int32_t GetMaxTextureHeight() { return 0x7FFFFFFF; }
    virtual void RenderFrame() {}
    // 4 for no camera.
    virtual int AttachView(L3DCamera* camera);
    virtual void DetachView();
    virtual void DrawElement2D(L3DCamera*, LSprite*) {}
    virtual void DrawQuad(L3DCamera*, LSprite*) {}
    virtual void BeginFrame() {}
    virtual void ClearDepthBuffer() {}
    virtual void EndFrame() {}
    virtual uint8_t* LockTarget() { return nullptr; }
    virtual void UnlockTarget(uint8_t*) {}
    virtual int IsCapable(uint32_t) { return 0; }
    // Only capable bits are set; 8 and 16 exclude each other. 0 when not capable.
    virtual int32_t SetStateBits(uint32_t bits);
    virtual void ClearStateBits(uint32_t bits) { stateBits &= ~int32_t(bits); }
    virtual void DrawPolygonBatch(LCacheMaterial*, L3DCamera*, L3DObject*) {}
    // The grid through the attached camera.
    virtual void DrawGrid();
    virtual void BeginExtraPass(uint32_t) {}
    virtual void EndExtraPass() {}
    virtual void DrawGridForCamera(L3DCamera* camera);
    virtual int Initialize() { return kNotSupported; }
    // The world is going: nothing of it may be touched any more.
    virtual void ForgetWorld() { world = nullptr; }
    virtual int SetWindowed(int windowed);

    // The camera texture's entry: makes the renderer draw into `target`'s pixels at the
    // size and depth, background black; 0 on success.
    virtual int SetDisplayMode(int32_t width, int32_t height, uint32_t flags, uint32_t depth,
                               LTexture* target);
    // What every back end's display-mode change ends in: stores the target and flags,
    // settles the depth and the device, then initialises the back end.
    int SetDisplayMode(int32_t width, int32_t height, uint32_t flags, int32_t depth,
                       uint32_t background, HWND window);

    // -1 for any value is its default: the whole view and a far distance of 65536.
    void SetViewport(int32_t left, int32_t bottom, int32_t top, int32_t right, int32_t far);
    void SetPitch(int32_t pitch);
    int SetDriver(LDisplayDriver* driver, int windowed, int apply);
    // Parts 2, 4 and 8 are the grid's X, Y and Z planes.
    void ShowGrid(uint32_t parts);
    void HideGrid(uint32_t parts);
    // With `text` of at least 64 bytes, the statistics line; then one more frame is timed.
    void UpdateFrameStatistics(char* text, int32_t size, int longForm);
    // The screen's bits per pixel, 15 for a 5-5-5 screen; 0 without a screen.
    static int32_t GetScreenDepth();
    // The depths a request for `depth` falls back to, in order.
    static const int32_t* DepthPreferences(int32_t depth);

    uint8_t stateFlags = 0;
    uint8_t textureDepth = 16;

    int32_t ClippedDraw = 0;
    uint32_t deviceFixed = 0;
    LDisplayDriver* currentDriver = nullptr;
    LDisplayMode* currentMode = nullptr;
    L3DCamera* view = nullptr;
    L3DWorld* world = nullptr;
    uint32_t flags = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t depth = 0;
    uint32_t pitch = 0;
    int32_t signedPitch = 0;
    uint32_t background = 0;
    HWND targetWindow = 0;
    // A memory target's texture, whose pixels receive the frame.
    LTexture* targetTexture = nullptr;
    int32_t stateBits = -1;
    L3DGrid* grid = nullptr;
    LAPICLBK* device = nullptr;
    uint32_t viewLeft = 0, viewBottom = 0, viewRight = 0, viewTop = 0;
    int32_t viewFar = 0x10000;
    uint32_t useScreenDepth = 1;
    uint32_t previousFrameTime = 0;
    uint32_t frameTime = 0;
    uint32_t accumulatedTime = 0;
    uint32_t lastFrameDuration = 0;
    uint32_t frameCount = 0;
    uint32_t framesInWindow = 0;
    // Set by whoever asks for a frame that must show again; cleared by the frame.
    uint32_t repaintRequested = 0;
    // Set by a presenter whose frame showed the whole view.
    uint32_t repaintDone = 0;

protected:
    LDisplayDevice* CurrentDevice() const {
        return currentDriver != nullptr ? currentDriver->currentDevice : nullptr;
    }

private:
    int StepDisplayMode(bool forward);

    bool timingStarted_ = false;
};
