#include "classes/surface/sprite_class.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "classes/surface/surface_class.h"
#include "classes/window/window_class.h"
#include "foundation/streams/in_stream.h"
#include "graphics2d/blitter/pixel_format.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/formats/image_file_manager.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/kernel/clock.h"
#include "script/interpreter/interpretor.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/project_format.h"
#include "script/runtime/load_image_to_surface.h"

namespace {

constexpr uint32_t kWindowClassId = 58;
constexpr uint32_t kFlagTag = 0xABCD0000u;

// The picture of a Surface object, or of a Window's Surface; null for other objects.
CISurface* SurfaceOf(CIBaseClassImpl* object) {
    if (object == nullptr) return nullptr;
    if (auto* surface = dynamic_cast<CISurface*>(object)) return surface;
    if (auto* window = dynamic_cast<CIWindow*>(object))
        return dynamic_cast<CISurface*>(window->surface);
    return nullptr;
}

// A copy of an image element's picture in a handle of its own.
bool CopyElementPicture(cSurface* picture, SurfaceHandle& copy) {
    SurfaceHandle* prototype = GetPrototypeForDepth(picture->GetDepth());
    if (prototype == nullptr) return false;
    copy.Create(picture->GetWidth(), picture->GetHeight(), prototype);
    if (!copy.IsValid()) return false;
    if (picture->GetDepth() == 8) copy.SetPalette(picture->GetPalette(), 0);
    picture->BlitTo(copy.GetImpl(), 0, 0, 0, 0, picture->GetWidth(), picture->GetHeight(), 0, 0, 0,
                    0);
    return true;
}

// A pixel that counts as drawn: a non-zero index or colour.
bool Opaque(SurfaceHandle* image, int32_t x, int32_t y) {
    uint32_t value = 0;
    if (!image->GetPixelIndex(x, y, &value)) return false;
    return (value & 0xFFFFFF) != 0;
}

} // namespace

CISprite::CISprite(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), privateData_(interpreter) {}

CISprite::~CISprite() {
    if (owner_ != nullptr) LeaveSurface(false);
    if (imageSurface_ != nullptr) UseImageSurface(nullptr);
    DropAnimation();
}

void CISprite::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CISprite::Destroy(int) {
    if (owner_ != nullptr) LeaveSurface(true);
    if (imageSurface_ != nullptr) UseImageSurface(nullptr);
    DropAnimation();
    delete this;
}

int CISprite::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr) return 0;
    int held = 0;
    if (imageSurface_ != nullptr && object == static_cast<CIBaseClassImpl*>(imageSurface_))
        ImageSurfaceGone();
    if (owner_ != nullptr && object == static_cast<CIBaseClassImpl*>(owner_)) {
        LeaveSurface(false);
        MarkDeleted();
        held = 1;
    }
    return held;
}

void CISprite::Create() {
    uint32_t first = 0;
    const int32_t count = interpreter->GetArgCount();
    CIBaseClassImpl* main = interpreter->mainWindow;
    CISurface* surface = SurfaceOf(main);
    bool surfaceGiven = false;
    if (count > 0 && interpreter->GetArg(0)->GetType() == kValueObject) {
        CIBaseClassImpl* object = interpreter->GetArg(0)->GetObject();
        if (object == nullptr || (!interpreter->GetArg(0)->IsObjectOfClass(CISurface::kClassId) &&
                                  !interpreter->GetArg(0)->IsObjectOfClass(kWindowClassId)))
            interpreter->RaiseError(47);
        surface = SurfaceOf(object);
        surfaceGiven = true;
        first = 1;
    }
    if (surface == nullptr || surface->mainSurface == nullptr) interpreter->RaiseError(39);
    owner_ = surface;
    Register();
    if (count == 0 || (count == 1 && surfaceGiven)) return;
    if (count - int32_t(first) != 3) interpreter->RaiseError(21);
    SetFromArguments(first);
}

// ---- Placing ---------------------------------------------------------------------------

SurfaceHandle* CISprite::GetImage() const {
    if (frameImage_ != nullptr) return frameImage_.get();
    if (elementImage_ != nullptr) return elementImage_.get();
    if (imageSurface_ != nullptr) return imageSurface_->mainSurface;
    return nullptr;
}

SurfaceHandle* CISprite::GetDrawnImage() const {
    if (transformFailed_) return nullptr;
    if (transformed_ != nullptr) return transformed_.get();
    return GetImage();
}

void CISprite::SetFromArguments(uint32_t first) {
    const CValue* x = interpreter->GetArg(first);
    const CValue* y = interpreter->GetArg(first + 1);
    const CValue* image = interpreter->GetArg(first + 2);
    if (!x->IsDefault()) placement_.x = x->GetInt();
    if (!y->IsDefault()) placement_.y = y->GetInt();
    if (!image->IsDefault()) {
        if (image->GetType() == kValueObject) {
            CISurface* surface = dynamic_cast<CISurface*>(image->GetObject());
            if (surface == nullptr) interpreter->RaiseError(14);
            if (surface != imageSurface_) {
                elementImage_.reset();
                elementName_.reset();
                elementIndex_ = -1;
                DropAnimation();
                UseImageSurface(surface);
                placement_.hotX = placement_.hotY = 0;
                flags |= kSpriteTransformChanged;
            }
        } else {
            bool found = false;
            LoadImageElement(*image, found);
            if (!found) LoadAnimationElement(*image, found);
            if (!found) interpreter->RaiseError(34);
        }
    }
    if (placed_) {
        UpdateRect();
        Changed();
        return;
    }
    flags |= kSpriteTransformChanged;
    UpdateRect();
    drawn = next;
    if (owner_ == nullptr || !owner_->Plane().Insert(this)) interpreter->RaiseError(34);
    placed_ = true;
    Changed();
}

void CISprite::LoadImageElement(const CValue& name, bool& found) {
    interpreter->SelectProjectEntry();
    CElement* element = interpreter->GetElementFromValue(name, project_format::kImageBank, 1);
    if (element == nullptr || element->bank == nullptr) return;
    found = true;
    if (elementImage_ != nullptr && elementIndex_ == element->index && elementName_ != nullptr &&
        std::strcmp(elementName_.get(), element->GetNameText()) == 0)
        return;
    if (!element->bank->LoadElementData(element->index, 0) ||
        !element->bank->LockElementData(element->index))
        interpreter->RaiseError(34);
    auto copy = std::make_unique<SurfaceHandle>();
    auto* image = static_cast<CImageElement*>(element);
    const bool copied =
        image->GetSurface() != nullptr && CopyElementPicture(image->GetSurface(), *copy);
    const int32_t hotX = int16_t(image->referenceX), hotY = int16_t(image->referenceY);
    element->bank->UnlockElementData(element->index);
    if (!copied) interpreter->RaiseError(34);
    DropAnimation();
    if (imageSurface_ != nullptr) UseImageSurface(nullptr);
    elementImage_ = std::move(copy);
    const size_t length = std::strlen(element->GetNameText());
    elementName_.reset(new char[length + 1]);
    std::memcpy(elementName_.get(), element->GetNameText(), length + 1);
    elementIndex_ = element->index;
    placement_.hotX = hotX;
    placement_.hotY = hotY;
    flags |= kSpriteTransformChanged;
}

void CISprite::LoadAnimationElement(const CValue& name, bool& found) {
    CElement* element = interpreter->GetElementFromValue(name, project_format::kAnimationBank, 1);
    if (element == nullptr || element->bank == nullptr) return;
    found = true;
    if (interpreter->imageFileManager == nullptr || owner_ == nullptr ||
        !element->bank->LoadElementData(element->index, 0) ||
        !element->bank->LockElementData(element->index))
        interpreter->RaiseError(34);
    std::unique_ptr<CInStream> stream(element->OpenStream(0));
    element->bank->UnlockElementData(element->index);
    auto reader = std::make_unique<ImageFile>(interpreter->imageFileManager);
    if (stream == nullptr || reader->OpenStream(stream.get()) != kImageOk)
        interpreter->RaiseError(34);
    const int32_t frameDepth = owner_->depth > 0 ? owner_->depth : interpreter->surfaceDepth;
    auto frame = std::make_unique<SurfaceHandle>();
    frame->Attach(cImageSurface::Create(reader->GetWidth(), reader->GetHeight(), frameDepth));
    if (!frame->IsValid()) interpreter->RaiseError(34);
    if (frame->IsPaletted()) GiveInterpreterPalette(*interpreter, frame.get());
    frame->FillRectAll(0);
    DropAnimation();
    elementImage_.reset();
    elementName_.reset();
    elementIndex_ = -1;
    if (imageSurface_ != nullptr) UseImageSurface(nullptr);
    stream_ = std::move(stream);
    reader_ = std::move(reader);
    frameImage_ = std::move(frame);
    frameCount_ = std::max(reader_->GetFrameCount(), 1);
    const uint32_t option1 = reader_->GetAnimOption1();
    timer_ = CFrameTimer();
    timer_.loopCount = timer_.loopsRemaining = option1 > 0 ? int32_t(option1) - 1 : 0;
    loopFrame_ = std::clamp(int32_t(reader_->GetAnimOption2()), 0, frameCount_ - 1);
    paused_ = 0;
    timer_.Init(this, timeGetTime(), 0);
    ShowAnimationFrame(0);
    placement_.hotX = placement_.hotY = 0;
    flags |= kSpriteTransformChanged;
}

void CISprite::DropAnimation() {
    if (timedEntry_ != 0) {
        interpreter->RemoveAnimated(&timer_);
        timedEntry_ = 0;
    }
    playing_ = paused_ = 0;
    frameImage_.reset();
    reader_.reset();
    stream_.reset();
    frameCount_ = 0;
}

void CISprite::UseImageSurface(CISurface* surface) {
    if (imageSurface_ != nullptr) {
        auto& users = imageSurface_->imageUsers;
        users.erase(std::remove(users.begin(), users.end(), this), users.end());
    }
    imageSurface_ = surface;
    if (surface != nullptr) surface->imageUsers.push_back(this);
}

void CISprite::ImageSurfaceGone() {
    UseImageSurface(nullptr);
    transformed_.reset();
    if (placed_) {
        UpdateRect();
        Changed();
    }
}

void CISprite::ImageRefreshed() {
    if (owner_ == nullptr || !placed_) return;
    Changed();
    flags |= kSpriteRefreshed;
}

void CISprite::UpdateRect() {
    SurfaceHandle* image = GetImage();
    placement_.width = image != nullptr ? image->GetWidth() : 0;
    placement_.height = image != nullptr ? image->GetHeight() : 0;
    next = ComputeSpriteRect(placement_);
}

void CISprite::MoveBy(int32_t dx, int32_t dy) {
    placement_.x = ClampToCoordinate(double(placement_.x) + dx);
    placement_.y = ClampToCoordinate(double(placement_.y) + dy);
    UpdateRect();
    if (owner_ != nullptr && placed_) owner_->Plane().SpriteChanged(this);
}

void CISprite::Changed() {
    if (owner_ == nullptr) return;
    owner_->Plane().SpriteChanged(this);
    owner_->SetDirty();
}

void CISprite::LeaveSurface(bool ghost) {
    if (owner_ == nullptr) return;
    CISurface* owner = owner_;
    owner_ = nullptr;
    if (placed_) {
        owner->Plane().Remove(this, ghost);
        owner->SetDirty();
    }
    placed_ = false;
}

// ---- The update pass --------------------------------------------------------------------

void CISprite::ApplyRequested() {
    clip = requestedClip_;
    if (flags & kSpriteTransformChanged) BuildTransformedImage();
}

void CISprite::BuildTransformedImage() {
    transformFailed_ = false;
    SurfaceHandle* image = GetImage();
    if (image == nullptr ||
        (placement_.angle == 0 && placement_.scaleX == 1.0 && placement_.scaleY == 1.0)) {
        transformed_.reset();
        return;
    }
    const int64_t width = int64_t(next.right) - next.left;
    const int64_t height = int64_t(next.bottom) - next.top;
    const int64_t bytes = width * height * std::max(image->GetDepth() / 8, 1);
    auto built = std::make_unique<SurfaceHandle>();
    if (width <= 0 || height <= 0 || bytes > kMaxSurfaceBytes ||
        !built->Create(int32_t(width), int32_t(height), image) || !built->IsValid()) {
        transformed_.reset();
        transformFailed_ = width > 0 && height > 0;
        return;
    }
    if (image->IsPaletted()) built->SetPalette(image->GetPalette(), 0);
    built->FillRectAll(0);
    if (placement_.angle == 0) {
        image->StretchTo(built.get(), 0, 0, int32_t(width), int32_t(height), 0, 0, 0, 0);
    } else if (placement_.scaleX == 1.0 && placement_.scaleY == 1.0) {
        image->RotateInto(built.get(), placement_.angle, rotationQuality_, 0);
    } else {
        SpritePlacement flat = placement_;
        flat.angle = 0;
        const DirtyRect scaled = ComputeSpriteRect(flat);
        const int64_t sw = int64_t(scaled.right) - scaled.left;
        const int64_t sh = int64_t(scaled.bottom) - scaled.top;
        SurfaceHandle stretched;
        if (sw <= 0 || sh <= 0 || sw * sh * std::max(image->GetDepth() / 8, 1) > kMaxSurfaceBytes ||
            !stretched.Create(int32_t(sw), int32_t(sh), image) || !stretched.IsValid()) {
            transformed_.reset();
            transformFailed_ = true;
            return;
        }
        if (image->IsPaletted()) stretched.SetPalette(image->GetPalette(), 0);
        stretched.FillRectAll(0);
        image->StretchTo(&stretched, 0, 0, int32_t(sw), int32_t(sh), 0, 0, 0, 0);
        stretched.RotateInto(built.get(), placement_.angle, rotationQuality_, 0);
    }
    transformed_ = std::move(built);
}

// ---- Collision --------------------------------------------------------------------------

SurfaceHandle* CISprite::CollisionImage() {
    if (flags & kSpriteTransformChanged) {
        BuildTransformedImage();
        flags &= ~kSpriteTransformChanged;
    }
    if (transformFailed_) return nullptr;
    return transformed_ != nullptr ? transformed_.get() : GetImage();
}

bool CISprite::PixelsCollide(CISprite& other) {
    SurfaceHandle* mine = CollisionImage();
    SurfaceHandle* theirs = other.CollisionImage();
    if (mine == nullptr || theirs == nullptr) return true;
    const int32_t left = std::max(next.left, other.next.left);
    const int32_t top = std::max(next.top, other.next.top);
    const int32_t right = std::min(next.right, other.next.right);
    const int32_t bottom = std::min(next.bottom, other.next.bottom);
    return mine->PixelsOverlap(theirs, left - other.next.left, top - other.next.top,
                               left - next.left, top - next.top, right - left, bottom - top) != 0;
}

bool CISprite::CollidesWith(CISprite& other) {
    if ((flags & kSpriteGhost) || (other.flags & kSpriteGhost)) return false;
    if ((flags & kSpriteCollision) != kSpriteCollision ||
        (other.flags & kSpriteCollision) != kSpriteCollision)
        return false;
    if (!RectsOverlap(next, other.next)) return false;
    if ((flags & kSpriteBoxOnly) || (other.flags & kSpriteBoxOnly) || GetImage() == nullptr ||
        other.GetImage() == nullptr)
        return true;
    return PixelsCollide(other);
}

CISprite* CISprite::FindCollision(CISprite* after) {
    if (owner_ == nullptr) return nullptr;
    const std::vector<SpriteEntry*>& list = owner_->Plane().GetSprites();
    size_t start = 0;
    if (after != nullptr) {
        auto it = std::find(list.begin(), list.end(), static_cast<SpriteEntry*>(after));
        if (it == list.end()) return nullptr;
        start = size_t(it - list.begin()) + 1;
    }
    const bool fine = (flags & kSpriteBoxOnly) == 0 && GetImage() != nullptr;
    const uint32_t ownBits = flags & kSpriteCollision;
    flags &= ~kSpriteCollision;
    CISprite* hit = nullptr;
    for (size_t i = start; i < list.size() && hit == nullptr; ++i) {
        SpriteEntry* entry = list[i];
        if ((entry->flags & kSpriteCollision) != kSpriteCollision || (entry->flags & kSpriteGhost))
            continue;
        if (!RectsOverlap(next, entry->next)) continue;
        auto* other = static_cast<CISprite*>(entry);
        if (!fine || (other->flags & kSpriteBoxOnly) || other->GetImage() == nullptr ||
            PixelsCollide(*other))
            hit = other;
    }
    flags |= ownBits;
    return hit;
}

// ---- Animation --------------------------------------------------------------------------

void CISprite::ShowAnimationFrame(int32_t frame) {
    if (reader_ == nullptr || frameImage_ == nullptr) return;
    if (reader_->GetCurrentFrame() == frame) return;
    cSurface* impl = frameImage_->GetImpl();
    if (!impl->Lock()) return;
    const SurfaceBits* bits = impl->GetBits();
    if (reader_->GetCurrentFrame() < 0) {
        reader_->SeekFrame();
        reader_->ReadFrame(bits->pixels, impl->GetWidth(), impl->GetHeight(), bits->signedPitch,
                           impl->GetDepth(), impl->GetDepth() <= 8 ? impl->GetPalette() : nullptr,
                           nullptr);
    }
    if (frame > 0 && reader_->GetCurrentFrame() != frame)
        reader_->ReadNextFrame(bits->pixels, bits->signedPitch, frame);
    impl->Unlock();
}

int32_t CISprite::GetFrame(uint32_t) {
    return reader_ != nullptr ? std::max(reader_->GetCurrentFrame(), 0) : 0;
}

void CISprite::SetFrame(uint32_t, int32_t frame) {
    if (reader_ == nullptr) return;
    ShowAnimationFrame(std::clamp(frame, 0, frameCount_ - 1));
    if (placed_) Changed();
    flags |= kSpriteRefreshed;
}

void CISprite::ShowFrame(uint32_t) {}

void CISprite::AnimationEnded(uint32_t) {
    if (playing_ == 0) return;
    if (timedEntry_ != 0) {
        interpreter->RemoveAnimated(&timer_);
        timedEntry_ = 0;
    }
    playing_ = paused_ = 0;
}

int32_t CISprite::GetFrameDelay(uint32_t, int32_t frame) {
    const int64_t delay = reader_ != nullptr ? int64_t(reader_->GetFrameDelay(frame)) : 20;
    return int32_t(std::clamp<int64_t>(delay * 100 / speedFactor_, 1, INT32_MAX));
}

int32_t CISprite::GetFirstFrame(uint32_t) {
    return 0;
}

int32_t CISprite::GetLastFrame(uint32_t) {
    return std::max(frameCount_ - 1, 0);
}

int32_t CISprite::GetLoopFrame(uint32_t) {
    return loopFrame_;
}

int CISprite::IsPaused(uint32_t) {
    return paused_;
}

// ---- Script methods ---------------------------------------------------------------------

CISprite* CISprite::SpriteArgument(uint32_t i) {
    const CValue* value = interpreter->GetArg(i);
    if (value->GetType() != kValueObject || !value->IsObjectOfClass(kClassId) ||
        value->GetObject() == nullptr)
        interpreter->RaiseError(14);
    return static_cast<CISprite*>(value->GetObject());
}

void CISprite::Set() {
    SetFromArguments(0);
}

void CISprite::GetX() {
    interpreter->GetResultSlot()->SetInt(placement_.x);
}

void CISprite::GetY() {
    interpreter->GetResultSlot()->SetInt(placement_.y);
}

void CISprite::GetLeft() {
    interpreter->GetResultSlot()->SetInt(next.left);
}

void CISprite::GetTop() {
    interpreter->GetResultSlot()->SetInt(next.top);
}

void CISprite::GetRight() {
    interpreter->GetResultSlot()->SetInt(next.right);
}

void CISprite::GetBottom() {
    interpreter->GetResultSlot()->SetInt(next.bottom);
}

void CISprite::SetCollision() {
    const int32_t mode = interpreter->GetArgInt(0);
    if (mode == kCollisionNone || mode == 0)
        flags &= ~kSpriteCollision;
    else if (mode == kCollisionBox)
        flags |= kSpriteCollision | kSpriteBoxOnly;
    else if (mode == 1)
        flags |= kSpriteCollision;
    else
        flags = (flags | kSpriteCollision) & ~kSpriteBoxOnly;
}

void CISprite::SetDrawEffect() {
    int32_t effect = interpreter->GetArgInt(0);
    int32_t newLevel = level;
    if (effect == kEffectSemiTransparent) {
        int32_t given = interpreter->IsArgDefault(1) ? 0 : interpreter->GetArgInt(1);
        if (given < 0 || given > 255) given = 255;
        newLevel = (given + 1) / 2;
        if (given == 0) effect = kEffectNone;
    } else if (effect != kEffectInverted && effect != kEffectXor && effect != kEffectAnd &&
               effect != kEffectOr && effect != kEffectAdd) {
        effect = kEffectNone;
    }
    const uint32_t word = (drawWord & ~kDrawEffectMask) | uint32_t(effect);
    if (word == drawWord && newLevel == level) return;
    drawWord = word;
    level = newLevel;
    Changed();
}

void CISprite::Show() {
    if ((flags & (kSpriteHidden | kSpriteHideRequested)) == 0) return;
    flags = (flags & ~(kSpriteHidden | kSpriteHideRequested)) | kSpriteShowRequested;
    Changed();
}

void CISprite::Hide() {
    if (flags & (kSpriteHidden | kSpriteHideRequested)) return;
    flags = (flags & ~(kSpriteShowRequested | kSpriteToDraw)) | kSpriteHideRequested;
    Changed();
}

void CISprite::IsPointIn() {
    if (interpreter->IsArgDefault(0) || interpreter->IsArgDefault(1)) interpreter->RaiseError(14);
    const int32_t x = interpreter->GetArgInt(0), y = interpreter->GetArgInt(1);
    bool inside = x >= next.left && x < next.right && y >= next.top && y < next.bottom;
    if (inside && (drawWord & kDrawTransparent)) {
        if (SurfaceHandle* image = CollisionImage())
            inside = Opaque(image, x - next.left, y - next.top);
    }
    interpreter->GetResultSlot()->SetInt(inside ? 1 : 0);
}

void CISprite::IsColliding() {
    CISprite* other = SpriteArgument(0);
    interpreter->GetResultSlot()->SetInt(other != this && CollidesWith(*other) ? 1 : 0);
}

void CISprite::GetFirstCollidingSprite() {
    interpreter->GetResultSlot()->SetObject(FindCollision(nullptr), 1);
}

void CISprite::GetNextCollidingSprite() {
    interpreter->GetResultSlot()->SetObject(FindCollision(SpriteArgument(0)), 1);
}

void CISprite::SetTransparent() {
    const uint32_t word =
        interpreter->GetArgInt(0) != 0 ? drawWord | kDrawTransparent : drawWord & ~kDrawTransparent;
    if (word == drawWord) return;
    drawWord = word;
    Changed();
}

void CISprite::SetAntiAliasing() {
    const uint32_t word =
        interpreter->GetArgInt(0) != 0 ? drawWord | kDrawAntiAliased : drawWord & ~kDrawAntiAliased;
    if (word == drawWord) return;
    drawWord = word;
    Changed();
}

void CISprite::SetLayer() {
    if (interpreter->IsArgDefault(0)) return;
    const int32_t newLayer = interpreter->GetArgInt(0);
    if (newLayer == layer) return;
    if (owner_ == nullptr || !placed_) {
        layer = newLayer;
        return;
    }
    owner_->Plane().SetLayer(this, newLayer);
    owner_->SetDirty();
}

void CISprite::GetLayer() {
    interpreter->GetResultSlot()->SetInt(layer);
}

void CISprite::MoveToBack() {
    if (owner_ == nullptr) return;
    owner_->Plane().MoveToBack(this);
    owner_->SetDirty();
}

void CISprite::MoveToFront() {
    if (owner_ == nullptr) return;
    owner_->Plane().MoveToFront(this);
    owner_->SetDirty();
}

void CISprite::MoveBackward() {
    if (owner_ == nullptr) return;
    owner_->Plane().MoveBackward(this);
    owner_->SetDirty();
}

void CISprite::MoveForward() {
    if (owner_ == nullptr) return;
    owner_->Plane().MoveForward(this);
    owner_->SetDirty();
}

void CISprite::MoveBefore() {
    CISprite* other = SpriteArgument(0);
    if (owner_ == nullptr || other->owner_ != owner_) return;
    owner_->Plane().MoveBefore(this, other);
    owner_->SetDirty();
}

void CISprite::MoveAfter() {
    CISprite* other = SpriteArgument(0);
    if (owner_ == nullptr || other->owner_ != owner_) return;
    owner_->Plane().MoveAfter(this, other);
    owner_->SetDirty();
}

DirtyRect CISprite::AreaArgument() {
    const int32_t width = owner_ != nullptr ? owner_->width : 0;
    const int32_t height = owner_ != nullptr ? owner_->height : 0;
    auto arg = [this](uint32_t i, int32_t fallback) {
        return interpreter->IsArgDefault(i) ? fallback : interpreter->GetArgInt(i);
    };
    return {arg(0, 0), arg(1, 0), arg(2, width), arg(3, height)};
}

void CISprite::IsIn() {
    const DirtyRect area = AreaArgument();
    const bool in = next.left >= area.left && next.top >= area.top && next.right <= area.right &&
                    next.bottom <= area.bottom;
    interpreter->GetResultSlot()->SetInt(in ? 1 : 0);
}

void CISprite::IsOut() {
    interpreter->GetResultSlot()->SetInt(RectsOverlap(next, AreaArgument()) ? 0 : 1);
}

void CISprite::IsLeaving() {
    const DirtyRect area = AreaArgument();
    interpreter->GetResultSlot()->SetInt(RectsOverlap(drawn, area) && !RectsOverlap(next, area));
}

void CISprite::IsEntering() {
    const DirtyRect area = AreaArgument();
    interpreter->GetResultSlot()->SetInt(!RectsOverlap(drawn, area) && RectsOverlap(next, area));
}

void CISprite::SetScale() {
    double sx = interpreter->IsArgDefault(0) ? 1.0 : interpreter->GetArgDouble(0);
    double sy = interpreter->IsArgDefault(1) ? sx : interpreter->GetArgDouble(1);
    // Scales are kept as the single-precision values they were stored as.
    sx = double(float(std::max(sx, 0.0)));
    sy = double(float(std::max(sy, 0.0)));
    if (sx == placement_.scaleX && sy == placement_.scaleY) return;
    placement_.scaleX = sx;
    placement_.scaleY = sy;
    flags |= kSpriteTransformChanged;
    UpdateRect();
    Changed();
}

void CISprite::GetScaleX() {
    interpreter->GetResultSlot()->SetFloat(placement_.scaleX);
}

void CISprite::GetScaleY() {
    interpreter->GetResultSlot()->SetFloat(placement_.scaleY);
}

void CISprite::SetAngle() {
    const CValue* value = interpreter->GetArg(0);
    const int64_t given = value->IsDefault() ? 0
                          : value->GetType() == kValueInt
                              ? int64_t(value->GetInt())
                              : int64_t(std::clamp(value->GetDouble(), -9.0e18, 9.0e18));
    const int32_t angle = NormaliseAngle(given);
    if (!interpreter->IsArgDefault(1)) rotationQuality_ = interpreter->GetArgInt(1);
    if (angle == placement_.angle) return;
    placement_.angle = angle;
    flags |= kSpriteTransformChanged;
    UpdateRect();
    Changed();
}

void CISprite::GetAngle() {
    interpreter->GetResultSlot()->SetInt(placement_.angle);
}

void CISprite::SetHotSpot() {
    const int32_t hx = interpreter->IsArgDefault(0) ? placement_.hotX : interpreter->GetArgInt(0);
    const int32_t hy = interpreter->IsArgDefault(1) ? placement_.hotY : interpreter->GetArgInt(1);
    if (hx == placement_.hotX && hy == placement_.hotY) return;
    placement_.hotX = hx;
    placement_.hotY = hy;
    UpdateRect();
    Changed();
}

void CISprite::GetHotSpotX() {
    interpreter->GetResultSlot()->SetInt(placement_.hotX);
}

void CISprite::GetHotSpotY() {
    interpreter->GetResultSlot()->SetInt(placement_.hotY);
}

void CISprite::GetWidth() {
    SurfaceHandle* image = GetImage();
    interpreter->GetResultSlot()->SetInt(image != nullptr ? image->GetWidth() : 0);
}

void CISprite::GetHeight() {
    SurfaceHandle* image = GetImage();
    interpreter->GetResultSlot()->SetInt(image != nullptr ? image->GetHeight() : 0);
}

void CISprite::SetClipRect() {
    SurfaceHandle* image = GetImage();
    const int32_t width = image != nullptr ? image->GetWidth() : 0;
    const int32_t height = image != nullptr ? image->GetHeight() : 0;
    auto arg = [this](uint32_t i, int32_t fallback) {
        return interpreter->IsArgDefault(i) ? fallback : interpreter->GetArgInt(i);
    };
    DirtyRect wanted{arg(0, 0), arg(1, 0), arg(2, width), arg(3, height)};
    if (wanted.left == 0 && wanted.top == 0 && wanted.right == width && wanted.bottom == height)
        wanted = {};
    if (wanted.left == requestedClip_.left && wanted.top == requestedClip_.top &&
        wanted.right == requestedClip_.right && wanted.bottom == requestedClip_.bottom)
        return;
    requestedClip_ = wanted;
    Changed();
}

void CISprite::IsVisible() {
    interpreter->GetResultSlot()->SetInt(SpriteEntry::IsVisible() ? 1 : 0);
}

void CISprite::Play() {
    if (timedEntry_ != 0) {
        interpreter->RemoveAnimated(&timer_);
        timedEntry_ = 0;
    }
    playing_ = paused_ = 0;
    if (!interpreter->IsArgDefault(0)) timer_.loopCount = interpreter->GetArgInt(0);
    if (!interpreter->IsArgDefault(1))
        loopFrame_ = std::clamp(interpreter->GetArgInt(1), 0, std::max(frameCount_ - 1, 0));
    for (uint32_t i = 2; i < uint32_t(interpreter->GetArgCount()); ++i) {
        if (interpreter->IsArgDefault(i)) continue;
        const uint32_t flag = uint32_t(interpreter->GetArgInt(i));
        if ((flag & 0xFFFF0000u) != kFlagTag) interpreter->RaiseError(14);
        timer_.flags |= flag & 0xFFFF;
    }
    timer_.loopsRemaining = timer_.loopCount;
    if (reader_ == nullptr) return;
    const int32_t start = (timer_.flags & CFrameTimer::kPlayBackward) ? frameCount_ - 1 : 0;
    timer_.GoToFrame(timeGetTime(), start);
    timedEntry_ = interpreter->AddAnimated(&timer_);
    playing_ = timedEntry_ != 0 ? 1 : 0;
}

void CISprite::Stop() {
    if (playing_ == 0) return;
    if (timedEntry_ != 0) {
        interpreter->RemoveAnimated(&timer_);
        timedEntry_ = 0;
    }
    playing_ = paused_ = 0;
}

void CISprite::Pause() {
    if (playing_ != 0) paused_ = 1;
}

void CISprite::SetFrameMethod() {
    if (reader_ == nullptr) return;
    timer_.GoToFrame(timeGetTime(), interpreter->GetArgInt(0));
}

void CISprite::GetFrameMethod() {
    interpreter->GetResultSlot()->SetInt(GetFrame(0));
}

void CISprite::Resume() {
    if (playing_ == 0 || paused_ == 0) return;
    paused_ = 0;
    // The paused frame goes on from now: the time of the pause is not played through,
    // whether or not a tick saw the pause.
    timer_.timeBase = timeGetTime();
}

void CISprite::IsPlaying() {
    interpreter->GetResultSlot()->SetInt(playing_);
}

void CISprite::IsPausedMethod() {
    interpreter->GetResultSlot()->SetInt(paused_);
}

void CISprite::GetNFrames() {
    interpreter->GetResultSlot()->SetInt(reader_ != nullptr ? frameCount_ : 0);
}

void CISprite::NextFrame() {
    if (reader_ != nullptr) timer_.NextFrame(timeGetTime());
}

void CISprite::PrevFrame() {
    if (reader_ != nullptr) timer_.PrevFrame(timeGetTime());
}

void CISprite::SetSpeedFactor() {
    const int32_t percent = interpreter->IsArgDefault(0) ? 100 : interpreter->GetArgInt(0);
    speedFactor_ = std::max(percent, 1);
}

void CISprite::GetSpeedFactor() {
    interpreter->GetResultSlot()->SetInt(speedFactor_);
}

void CISprite::SetPrivateData() {
    privateData_.Assign(*interpreter->GetArg(0));
}

void CISprite::GetPrivateData() {
    interpreter->GetResultSlot()->Assign(privateData_);
}
