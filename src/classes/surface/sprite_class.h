// The Sprite class: a movable picture (an image of the project's banks, an animation, or
// another Surface) placed on a Surface with a hot spot, scale, rotation, layer, draw
// effect, collision mode and clip rectangle. A sprite never draws itself: every change
// records the new state and tells its Surface, whose refresh erases, saves and draws.
#pragma once

#include <cstdint>
#include <memory>

#include "classes/surface/sprite_entry.h"
#include "classes/surface/sprite_geometry.h"
#include "script/classes/base_class.h"
#include "script/runtime/frame_timer.h"
#include "script/values/value.h"

class CISurface;
class CInStream;
class ImageFile;
class SurfaceHandle;

class CISprite : public CIBaseClassImpl, public CAnimatedObject, public SpriteEntry {
public:
    static constexpr uint32_t kClassId = 1;
    static constexpr uint16_t kMethodCount = 57;
    static constexpr uint32_t kFirstClassLevelId = 56;
    // Collision modes.
    static constexpr int32_t kCollisionNone = 2;
    static constexpr int32_t kCollisionBox = 3;
    static constexpr int32_t kCollisionFine = 4;
    // Draw effects.
    static constexpr int32_t kEffectNone = 0;
    static constexpr int32_t kEffectSemiTransparent = 1;
    static constexpr int32_t kEffectInverted = 2;
    static constexpr int32_t kEffectXor = 3;
    static constexpr int32_t kEffectAnd = 4;
    static constexpr int32_t kEffectOr = 5;
    static constexpr int32_t kEffectAdd = 9;
    // Play flag: backward.
    static constexpr uint32_t kReverse = 0xABCD0001u;
    static constexpr int32_t kLoopInfinite = -1;

    CISprite(CInterpretor* interpreter, const CClassRecord* record);
    ~CISprite() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Sprite([surface or window], [x, y, image]).
    void Create() override;

    // The passes of the owning surface.
    SurfaceHandle* GetDrawnImage() const override;
    void ApplyRequested() override;

    // The frame timer's view of the animation.
    int32_t GetFrame(uint32_t animation) override;
    void SetFrame(uint32_t animation, int32_t frame) override;
    void ShowFrame(uint32_t animation) override;
    void AnimationEnded(uint32_t animation) override;
    int32_t GetFrameDelay(uint32_t animation, int32_t frame) override;
    int32_t GetFirstFrame(uint32_t animation) override;
    int32_t GetLastFrame(uint32_t animation) override;
    int32_t GetLoopFrame(uint32_t animation) override;
    int IsPaused(uint32_t animation) override;

    // The owning surface lets go of the sprite (deleted, cleared or another owner); a
    // visible one leaves a ghost that erases it when `ghost` is set.
    void LeaveSurface(bool ghost);
    // ScrollSprites: the position moves, the owner is told by the caller.
    void MoveBy(int32_t dx, int32_t dy);
    // The image Surface is going or changed its picture.
    void ImageSurfaceGone();
    // The sprite's image Surface was refreshed: it is drawn again.
    void ImageRefreshed();
    // A pair test, both on collision, neither a ghost.
    bool CollidesWith(CISprite& other);
    CISurface* GetOwner() const { return owner_; }
    bool IsPlaced() const { return placed_; }

private:
    // The image the sprite shows and collides with: an element's copy, an animation's
    // frame, or another Surface's picture.
    SurfaceHandle* GetImage() const;
    // Place, hot spot and image (Set and Create); an absent argument keeps its value.
    void SetFromArguments(uint32_t first);
    // The new rectangle from the position, hot spot, image, scale and angle.
    void UpdateRect();
    // After any change: the owner redraws what it touches.
    void Changed();
    void LoadImageElement(const CValue& name, bool& found);
    void LoadAnimationElement(const CValue& name, bool& found);
    void DropAnimation();
    void UseImageSurface(CISurface* surface);
    void BuildTransformedImage();
    // The drawn picture after a rebuild when the transform changed.
    SurfaceHandle* CollisionImage();
    // The first colliding sprite after `after` (from the start when null).
    CISprite* FindCollision(CISprite* after);
    bool PixelsCollide(CISprite& other);
    void ShowAnimationFrame(int32_t frame);
    // The four edges of IsIn and its kin: left, top, right, bottom given or the surface's.
    DirtyRect AreaArgument();
    CISprite* SpriteArgument(uint32_t i);

    // Script methods.
    void Set();
    void GetX();
    void GetY();
    void GetLeft();
    void GetTop();
    void GetRight();
    void GetBottom();
    void SetCollision();
    void SetDrawEffect();
    void Show();
    void Hide();
    void IsPointIn();
    void IsColliding();
    void GetFirstCollidingSprite();
    void GetNextCollidingSprite();
    void SetTransparent();
    void SetAntiAliasing();
    void SetLayer();
    void GetLayer();
    void MoveToBack();
    void MoveToFront();
    void MoveBackward();
    void MoveForward();
    void MoveBefore();
    void MoveAfter();
    void IsIn();
    void IsOut();
    void IsLeaving();
    void IsEntering();
    void SetScale();
    void GetScaleX();
    void GetScaleY();
    void SetAngle();
    void GetAngle();
    void SetHotSpot();
    void GetHotSpotX();
    void GetHotSpotY();
    void GetWidth();
    void GetHeight();
    void SetClipRect();
    void IsVisible();
    void Play();
    void Stop();
    void Pause();
    void SetFrameMethod();
    void GetFrameMethod();
    void Resume();
    void IsPlaying();
    void IsPausedMethod();
    void GetNFrames();
    void NextFrame();
    void PrevFrame();
    void SetSpeedFactor();
    void GetSpeedFactor();
    void SetPrivateData();
    void GetPrivateData();

    static const ScriptMethod<CISprite> kMethods[kMethodCount];

    CISurface* owner_ = nullptr;
    bool placed_ = false;
    SpritePlacement placement_;
    // The image of an image element, copied; with `elementName_` naming it.
    std::unique_ptr<SurfaceHandle> elementImage_;
    std::unique_ptr<char[]> elementName_;
    int32_t elementIndex_ = -1;
    CISurface* imageSurface_ = nullptr;
    std::unique_ptr<SurfaceHandle> transformed_;
    // A transform too large to build: the sprite draws nothing and collides by its box.
    bool transformFailed_ = false;
    int32_t rotationQuality_ = 0;
    DirtyRect requestedClip_{};
    // The animation: its reader, the stream it reads and the current frame's picture.
    std::unique_ptr<ImageFile> reader_;
    std::unique_ptr<CInStream> stream_;
    std::unique_ptr<SurfaceHandle> frameImage_;
    int32_t frameCount_ = 0;
    int32_t loopFrame_ = 0;
    CFrameTimer timer_;
    uint32_t timedEntry_ = 0;
    int32_t paused_ = 0;
    int32_t playing_ = 0;
    int32_t speedFactor_ = 100;
    CValue privateData_;
};

const ScriptClassInfo* GetSpriteClassInfo();
