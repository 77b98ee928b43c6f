// The Surface class: a picture in memory that scripts draw on with pens, fills, text and
// images, carrying a layered list of sprites, shown in a Window when a Window hosts it.
// Drawing goes into the off-screen picture; the changed rectangle is recorded for the
// next refresh pass, which erases and redraws the sprites it touches and copies only the
// changed rectangles to the window.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "classes/surface/sprite_plane.h"
#include "classes/surface/styled_text.h"
#include "classes/window/font_container.h"
#include "classes/window/window_surface.h"
#include "foundation/containers/handle_list.h"
#include "graphics2d/drawing/surface_handle.h"
#include "script/classes/base_class.h"
#include "script/runtime/refresh.h"

class CIChildWindow;
class CISprite;
class CISurfaceCamera;
class CISurfaceTexture;
class CISurfaceWorld;
class LAPICLBK;
class LRenderAPICLBK;
class LSprite;
class LTexture;
class SpriteEntry;
class CFillBase;
class CValue;
struct PaletteRecord;

class CISurface : public CIBaseClassImpl,
                  public CIFontContainer,
                  public CIRefresh,
                  public CWindowSurface,
                  public StyledTextMarks {
public:
    static constexpr uint32_t kClassId = 9;
    static constexpr uint16_t kMethodCount = 0x42;
    // Class-level constants: ids above this one.
    static constexpr uint32_t kFirstClassLevelId = 0x42;
    // Flag arguments carry 0xABCD in their upper half.
    static constexpr uint32_t kFlagTag = 0xABCD0000u;
    static constexpr uint32_t kUseImageDepth = 0x10;
    static constexpr uint32_t kUseImagePalette = 0x20;
    static constexpr uint32_t kAutoSize = 0x40;
    // Draw modes.
    static constexpr int32_t kCopyAll = 0;
    static constexpr int32_t kBlending = 1;
    static constexpr int32_t kLastDrawMode = 9;
    // Painter kinds.
    static constexpr int32_t kPainterNone = 0;
    static constexpr int32_t kPainterSolid = 4;
    static constexpr int32_t kPainterGradient = 5;
    // The dirty list's bound.
    static constexpr int32_t kMaxDirtyRects = 1024;

    CISurface(CInterpretor* interpreter, const CClassRecord* record);
    ~CISurface() override;

    using CIBaseClassImpl::interpreter;

    // ---- Slots ----------------------------------------------------------------------
    void CallMethod(uint16_t methodId) override;
    // Painters, sprites, the host's and the texture's references, the background store
    // and the dirty list go; full screen is left; then the object is deleted.
    void Destroy(int flag) override;
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Surface([image name], [width], [height], [depth], [flags...]).
    void Create() override;

    // ---- Refresh participant --------------------------------------------------------
    // Sprite passes when sprites changed, then the changed rectangles to the window.
    void Refresh() override;
    // Auto-refresh and refresh-requested both set.
    int IsDirty() override;
    // Refresh requested, and the interpreter's refresh-pending mark with auto-refresh.
    int SetDirty() override;
    int IsSurface() override { return 1; }

    // ---- The Window's side (CWindowSurface) -----------------------------------------
    CIBaseClassImpl* GetSurfaceObject() override { return this; }
    SurfaceHandle* GetSurfaceHandle() override { return mainSurface; }
    void SetHostWindow(CIChildWindow* window) override;
    void ResizeToWindow(int32_t width, int32_t height) override;
    void PaintToWindow(HDC dc, const RECT* rect, const RECT* clip) override;
    void EraseRect(int32_t x, int32_t y, int32_t width, int32_t height, int mark) override;
    void WriteStyled(const char* text, int32_t* width, int32_t* height) override;
    void MeasureStyled(const char* text, int32_t* width, int32_t* height) override;
    void SetPenColorValue(COLORREF colour) override;
    void SetBackgroundColorValue(COLORREF colour) override;
    void SetFontObject(CIFont* font) override;
    int SetFullScreen(int32_t width, int32_t height, int32_t depth) override;
    void SetWindowed(int flag) override;
    HPALETTE GetHPALETTE() override;
    void InvalidateAll() override;
    void GetPenPosition(int32_t& x, int32_t& y) override {
        x = penX;
        y = penY;
    }
    void SetPenPosition(int32_t x, int32_t y) override {
        penX = x;
        penY = y;
    }

    // ---- Styled text marks ----------------------------------------------------------
    void MarkStyledRect(const RECT& rect) override;
    void MarkStyledScroll() override;

    // ---- Creation -------------------------------------------------------------------
    // A new picture: depth 0 is the screen's; flags kKeptDC and kDirectDraw choose the
    // kind. 0 with the error code (9, 15, 23) in `error` on failure.
    int CreateSurface(int32_t width, int32_t height, int32_t depth, uint32_t flags, int32_t& error);
    // The picture again at another size and depth (0: the same), of the same kind, with
    // what fits of the pixels, the background store dropped and all of it marked. 0 when
    // it cannot be made.
    int Recreate(int32_t width, int32_t height, int32_t depth = 0);
    // New Surface(texture): the texture's picture, which is then copied from this surface.
    void CreateFromTexture(CISurfaceTexture* texture, uint32_t flags);
    // Width, height and depth copied from the picture.
    void UpdateSize();
    // Clear's reset of the drawing state.
    void ResetDrawingState();

    // ---- Change tracking and sprites ------------------------------------------------
    // One rectangle (right and bottom exclusive, any corner order) into the dirty list;
    // nothing without a host window.
    void AddDirtyRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Dirty rectangle when hosted, sprites lifted when auto-back, then SetDirty.
    void InvalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // What every drawing method does first, unless locked: InvalidateRect.
    void MarkChanged(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    // As MarkChanged, for edges computed from script coordinates, which may lie beyond the
    // 32-bit range: held to it.
    void MarkChangedWide(int64_t left, int64_t top, int64_t right, int64_t bottom);
    // Takes the sprites drawn over the rectangle off the picture.
    void LiftSprites(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // The dirty rectangles blitted to the host window; the list emptied with `clear`.
    void FlushDirtyRects(int clear);
    // The sprite and every sprite whose old or new place touches it, directly or through
    // a chain, are marked for redrawing.
    void MarkSpriteDirty(CISprite* sprite);
    // Every sprite leaves the list: visible ones leave ghosts that erase them at the next
    // refresh when `ghosts` is set.
    void DetachAllSprites(int ghosts);
    // The sprites showing this surface's picture lose it: the surface is going.
    void ForgetImageUsers();
    // The plane drawn on the picture, hosted when a window shows the surface.
    SpritePlane& Plane();

    // ---- 3D view (surface_view3d.cpp) -------------------------------------------------
    // The device AttachWorld takes: the surface's own once it has one; else, for a
    // surface a window shows, the interpreter's display interface; else the software one.
    // Null when none can be had.
    LAPICLBK* GetRenderDevice();
    // Makes the view of the world's scene once (a later call keeps the first view).
    // Errors 44 without a world, 55 for a world without its scene, 97 for a scene of
    // another device. 0 when the view cannot be made.
    int AttachWorld(CISurfaceWorld* world);
    // The camera the view draws through; null clears it and shows the 2D picture again.
    void SetViewCamera(CISurfaceCamera* camera);
    // The view goes with its camera and world; nothing without a view.
    void DetachView3D();
    // The display device and driver the Display class chose, given to a new view.
    void UseChosenDriver(LRenderAPICLBK& view);
    // The software device draws into the picture: a new picture takes the old one's place.
    void RebindView3D();
    // The view switches the display itself; the picture follows its size and depth.
    int SetViewFullScreen(int32_t width, int32_t height, int32_t depth);
    void LeaveViewFullScreen();
    // The sprites shown over the view as the world's screen sprites, in the list's order,
    // each with a texture of its picture; kept in step before every frame.
    void UpdateOverlays();
    void DropOverlays();
    // Every camera bound to the surface lets go of it: the surface is going.
    void ReleaseCameras();
    // The depth the view draws at; the surface's own without a view.
    int32_t GetViewDepth() const;

    // ---- Fields ---------------------------------------------------------------------
    CIChildWindow* hostWindow = nullptr;
    SurfaceHandle* mainSurface = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    uint32_t autoBack = 1;
    uint32_t autoRefresh = 1;
    uint32_t refreshRequested = 0;
    uint32_t locked = 0;
    int32_t penX = 0;
    int32_t penY = 0;
    uint32_t wrapping = 1;
    COLORREF backgroundColor = 0xFFFFFF;
    COLORREF penColor = 0;
    COLORREF fillColor = 0;
    uint32_t transparentMode = 0;
    int32_t drawMode = 0;
    int32_t drawLevel = 0;
    int32_t penSize = 1;
    uint32_t antiAlias = 0;
    CFillBase* fillPainter = nullptr;
    CFillBase* penPainter = nullptr;
    int32_t fillPainterKind = kPainterNone;
    int32_t penPainterKind = kPainterNone;
    // The colours and direction of the gradients, kept to make them again.
    uint32_t fillGradient[3] = {0, 0xFFFFFF, 0};
    uint32_t penGradient[3] = {0, 0xFFFFFF, 0};
    uint32_t simplePen = 1;
    int32_t fillMode = 0;
    // The sprites in ascending layer with their passes, the background store and the
    // dirty list; and the sprites on any surface whose image is this one.
    SpritePlane plane;
    std::vector<CISprite*> imageUsers;
    // The creation flags the picture was made with, for its re-creation.
    uint32_t createFlags = 0;
    uint32_t fullScreen = 0;
    // Where the host window stood before its 3D view went full screen, put back after.
    RECT savedWindowRect{};
    uint32_t windowRectSaved = 0;
    // The 3D view: the device it was made on, the renderer, the World it shows and the
    // Camera it draws through.
    LAPICLBK* device3D = nullptr;
    LRenderAPICLBK* view3D = nullptr;
    CISurfaceWorld* world3D = nullptr;
    CISurfaceCamera* camera3D = nullptr;
    // The Texture the picture is copied into after each refresh.
    CISurfaceTexture* texture3D = nullptr;
    struct Overlay {
        SpriteEntry* sprite;
        LSprite* engine;
        LTexture* texture;
    };
    std::vector<Overlay> overlays3D;

private:
    // The derived pen and fill flags from the pen, painters, draw mode and anti-alias.
    void UpdateDerivedFlags();
    // The copy arguments of painted shapes: anti-alias, draw mode and level.
    SurfaceHandle::CopyArguments PainterCopy() const;
    // The pen painter, else a solid one of the pen colour kept in `made`.
    CFillBase* PenPainterOrSolid(std::unique_ptr<CFillBase>& made);
    // A line with the pen; the pen position becomes its end.
    void DrawLineTo(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Ellipse or Rectangle from the script's arguments.
    void DrawShape(bool ellipse);
    // ReverseX or ReverseY from the script's arguments.
    void Reverse(bool horizontal);
    // The held Font's handle, 0 without one.
    HFONT CurrentFont() const;
    // The state a styled-text call starts from; its pen is copied back afterwards.
    StyledTextTarget TextTarget();
    // GetStringWidth or GetStringHeight.
    void MeasureString(bool wantWidth);
    // An image element or image file decoded into `decoded` with LoadImageToSurface's
    // `options`, for `loadDepth` and (8 bits) `palette`. 0 when it cannot be had.
    int DecodeImage(const CValue& source, uint32_t options, int32_t loadDepth,
                    PaletteRecord* palette, SurfaceHandle& decoded);
    // The picture of argument `i`: a Surface or a Window's Surface (error 14 otherwise),
    // its sprites lifted; null when it has none.
    SurfaceHandle* SourcePicture(uint32_t i);
    // The capture arguments from `first` on, stretching the area of `dc`.
    void CaptureFrom(HDC dc, uint32_t first, const RECT& defaultSource);

    // Script methods.
    void Write();
    void WriteLn();
    void MoveTo();
    void Line();
    void LineTo();
    void Ellipse();
    void Rectangle();
    void DrawPolygon();
    void SetPenColor();
    void SetFillColor();
    void SetFillGradientColor();
    void SetFillGradientDir();
    void SetPenGradientColor();
    void SetPenGradientDir();
    void SetPenSize();
    void SetFontMethod();
    void SetAntiAlias();
    void SetDrawMode();
    void SetTransparentMode();
    void Fill();
    void Rotate();
    void DrawText();
    void SetPixel();
    void GetDepth();
    void GetPixelWidth();
    void GetPixelHeight();
    void LoadImage();
    void SaveImage();
    void GetPixel();
    void GetPixelIndex();
    void Copy();
    void Stretch();
    void Scroll();
    void ReverseX();
    void ReverseY();
    void ReplaceColor();
    void Clear();
    void GetXPos();
    void GetYPos();
    void ClearSprites();
    void UpdateSprites();
    void DrawSprites();
    void ScrollSprites();
    void GetFirstSprite();
    void GetLastSprite();
    void GetNextSprite();
    void GetPrevSprite();
    void DeleteSprites();
    void SetAutoBack();
    void SetAutoRefresh();
    void RefreshMethod();
    void CaptureScreen();
    void CaptureWindow();
    void SetBackgroundColor();
    void GetBackgroundColor();
    void IsAutoBack();
    void IsAutoRefresh();
    void EraseRectMethod();
    void SetWrapping();
    void IsWrapping();
    void GetFont();
    void Lock();
    void Unlock();
    void GetStringWidth();
    void GetStringHeight();

    static const ScriptMethod<CISurface> kMethods[kMethodCount];
};

const ScriptClassInfo* GetSurfaceClassInfo();

// The interpreter's default palette, with one use taken: the project's, else the
// thread's. Null when neither exists.
PaletteRecord* GetInterpreterPalette(CInterpretor& interpreter);
// An 8-bit picture takes the interpreter's default palette.
void GiveInterpreterPalette(CInterpretor& interpreter, SurfaceHandle* handle);

// Script colours are 0xRRGGBB, stored as COLORREF (0x00BBGGRR): the two swap.
inline uint32_t SwapRedBlue(uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// Non-zero while a Surface of the interpreter shows a 3D view.
int IsAny3DViewOpen(CInterpretor& interpreter);

// The Window's maker of its Surface (see window_surface.h).
CWindowSurface* MakeSurfaceForWindow(CInterpretor& interpreter, int32_t width, int32_t height,
                                     int32_t depth, uint32_t flags);
