#include "classes/window/controls/animation_class.h"

#include <algorithm>
#include <new>

#include "classes/window/controls/control_table.h"
#include "classes/window/window_surface.h"
#include "foundation/streams/in_stream.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/formats/image_file_manager.h"
#include "graphics2d/surfaces/gdi_surface.h"
#include "graphics2d/surfaces/surface.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/gdi/screen_dc.h"
#include "platform/kernel/clock.h"
#include "platform/user/input/cursor.h"
#include "platform/user/paint/update_region.h"
#include "platform/user/window_class.h"
#include "script/interpreter/interpretor.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/project_format.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

namespace {

// Play flags carry this tag in their high word.
constexpr uint32_t kFlagTag = 0xABCD0000u;
// The delay of a frame when there is no animation.
constexpr int32_t kDefaultDelay = 20;

const AnimationTextureHook* textureHook = nullptr;

struct AnimationMethod {
    const char* name;
    ScriptMethod<CIAnimation> method;
};
constexpr AnimationMethod kOwnMethods[] = {
    {"Play", &CIAnimation::Play},
    {"Stop", &CIAnimation::Stop},
    {"Pause", &CIAnimation::Pause},
    {"SetFrame", &CIAnimation::SetFrameMethod},
    {"GetFrame", &CIAnimation::GetFrameMethod},
    {"Resume", &CIAnimation::Resume},
    {"IsPlaying", &CIAnimation::IsPlaying},
    {"IsPaused", &CIAnimation::IsPausedMethod},
    {"GetNFrames", &CIAnimation::GetNFrames},
    {"NextFrame", &CIAnimation::NextFrame},
    {"PrevFrame", &CIAnimation::PrevFrame},
    {"SetSpeedFactor", &CIAnimation::SetSpeedFactor},
    {"GetSpeedFactor", &CIAnimation::GetSpeedFactor},
};
constexpr size_t kOwnMethodCount = sizeof kOwnMethods / sizeof kOwnMethods[0];
static_assert(kOwnMethodCount == 0x32 - kSharedControlMethodCount);

constexpr const char* kOwnConstants[] = {"REVERSE", "LOOP_INFINITE"};
constexpr ClassLevelHandler kOwnConstantValues[] = {&ControlConstant<CIAnimation::kReverse>,
                                                    &ControlConstant<0xFFFFFFFFu>};

constexpr auto kNameTable =
    ControlNameTable({CIAnimation::kClassId, "Animation", 0, 0}, kOwnMethods,
                     CIAnimation::kFirstClassLevelId + 1, kOwnConstants);
constexpr auto kConstants = ControlConstants(kOwnConstantValues);

CIBaseClassImpl* NewAnimation(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIAnimation(&interpreter, record);
}

LRESULT AnimationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        auto* animation =
            static_cast<CIAnimation*>(GetControlObject(window, CIAnimation::kClassId));
        if (animation != nullptr) {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(window, &paint);
            if (dc != 0) animation->PaintFrame(dc);
            EndPaint(window, &paint);
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// "class_ZORVANE_ANIM", once per display.
void RegisterAnimationWindowClass() {
    WNDCLASSA existing{};
    if (GetClassInfoA(GetInstanceHandle(), CIAnimation::kWindowClassName, &existing)) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &AnimationWindowProc;
    windowClass.hInstance = GetInstanceHandle();
    windowClass.hCursor = LoadCursorA(0, IDC_ARROW);
    windowClass.lpszClassName = CIAnimation::kWindowClassName;
    RegisterClassA(&windowClass);
}

} // namespace

void SetAnimationTextureHook(const AnimationTextureHook* hook) {
    textureHook = hook;
}

CIAnimation::CIAnimation(CInterpretor* interpreter, const CClassRecord* record)
    : CIChildWindow(interpreter, record), madeImage(interpreter) {
    SetCreateParams(0, 0, kNotGiven, kNotGiven, WS_CHILD, 0);
}

CIAnimation::~CIAnimation() = default;

void CIAnimation::CallMethod(uint16_t methodId) {
    CallControlMethod(*this, kOwnMethods, methodId);
}

void CIAnimation::LeaveTimer() {
    if (timerEntry != 0) interpreter->RemoveAnimated(&frameTimer);
    timerEntry = 0;
    playing = paused = 0;
}

void CIAnimation::ReleaseTargets() {
    if (targetSurface != nullptr) --targetSurface->useCount;
    if (targetTexture != nullptr) --targetTexture->useCount;
    targetSurface = targetTexture = nullptr;
    madeImage.SetInt(0);
}

void CIAnimation::Destroy(int flag) {
    LeaveTimer();
    if (imageFile != nullptr) imageFile->Close();
    imageFile.reset();
    stream.reset();
    workSurface.reset();
    // At the end of the run the targets may have gone before.
    if (interpreter->resetting == 0) ReleaseTargets();
    targetSurface = targetTexture = nullptr;
    CIChildWindow::Destroy(flag);
}

int CIAnimation::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object != nullptr && (object == targetSurface || object == targetTexture)) {
        // Nothing is drawn into it any more, whether or not this call marks the deletion.
        LeaveTimer();
        ReleaseTargets();
        return 1;
    }
    // A Surface made for the Texture only feeds it: the Texture stays the target.
    if (object != nullptr && madeImage.GetType() == kValueObject && madeImage.GetObject() == object)
        madeImage.SetObject(nullptr, 0);
    return CIChildWindow::ReleaseReferencesTo(object);
}

void CIAnimation::Create() {
    const CValue* extraArgs[kExtraArgSlots] = {};
    ParseCreateArgs(0x4000FFFF, extraArgs, 0, 100);
    if (extraArgs[0] != nullptr) {
        if (extraArgs[1] != nullptr || extraArgs[0]->GetType() != kValueObject)
            interpreter->RaiseError(14);
        CIBaseClassImpl* object = extraArgs[0]->GetObject();
        if (AsWindowSurface(object) != nullptr)
            targetSurface = object;
        else if (textureHook != nullptr && textureHook->GetImage(object, madeImage) != nullptr)
            targetTexture = object;
        else
            interpreter->RaiseError(14);
        ++object->useCount;
    }
    LeaveTimer();
    frameTimer = CFrameTimer();
    frameTimer.Init(this, timeGetTime(), 0);
    if (targetSurface == nullptr && targetTexture == nullptr) RegisterAnimationWindowClass();
    Load(caption);
    if (width == kNotGiven) width = imageFile->GetWidth();
    if (height == kNotGiven) height = imageFile->GetHeight();
    if (targetSurface == nullptr && targetTexture == nullptr)
        CreateControl(kWindowClassName, 0, this, 0, kCreateChild | kCreateProperty);
    currentFrame = (frameTimer.flags & CFrameTimer::kPlayBackward) != 0 ? GetLastFrame(0) : 0;
    frameTimer.loopsRemaining = frameTimer.loopCount = loopCount;
    SetDirty();
    Register();
}

void CIAnimation::Load(const char* name) {
    if (name == nullptr) interpreter->RaiseError(14);
    interpreter->SelectProjectEntry();
    CValue nameValue(interpreter, name, 1);
    CElement* element =
        interpreter->GetElementFromValue(nameValue, project_format::kAnimationBank, 1);
    if (element == nullptr || element->bank == nullptr) interpreter->RaiseError(14);
    if (interpreter->imageFileManager == nullptr ||
        !element->bank->LoadElementData(element->index, 0) ||
        !element->bank->LockElementData(element->index))
        interpreter->RaiseError(81);
    std::unique_ptr<CInStream> opened(element->OpenStream(0));
    element->bank->UnlockElementData(element->index);
    auto file = std::make_unique<ImageFile>(interpreter->imageFileManager);
    if (opened == nullptr || file->OpenStream(opened.get()) != kImageOk)
        interpreter->RaiseError(81);
    auto surface = std::make_unique<SurfaceHandle>();
    // A DIB with its own device context, at the screen's depth: windows and Surfaces take
    // its blits alike.
    surface->Create(file->GetWidth(), file->GetHeight(),
                    GetPrototypeForDepth(interpreter->surfaceDepth));
    if (!surface->IsValid()) interpreter->RaiseError(14);
    stream = std::move(opened);
    imageFile = std::move(file);
    workSurface = std::move(surface);
    frameCount = std::max(imageFile->GetFrameCount(), 1);
    decodedFrame = -1;
}

bool CIAnimation::DecodeCurrentFrame() {
    if (imageFile == nullptr || workSurface == nullptr) return false;
    if (decodedFrame == currentFrame) return true;
    cSurface* impl = workSurface->GetImpl();
    if (!impl->Lock()) return false;
    const SurfaceBits* bits = impl->GetBits();
    ImageResult result = kImageOk;
    if (imageFile->GetCurrentFrame() < 0) {
        imageFile->SeekFrame();
        result = imageFile->ReadFrame(
            bits->pixels, impl->GetWidth(), impl->GetHeight(), bits->signedPitch, impl->GetDepth(),
            impl->GetDepth() <= 8 ? impl->GetPalette() : nullptr, nullptr);
    }
    if (result == kImageOk && currentFrame > 0 && imageFile->GetCurrentFrame() != currentFrame)
        result = imageFile->ReadNextFrame(bits->pixels, bits->signedPitch, currentFrame);
    impl->Unlock();
    decodedFrame = result == kImageOk ? currentFrame : -1;
    return result == kImageOk;
}

void CIAnimation::PaintFrame(HDC dc) {
    if (!DecodeCurrentFrame()) return;
    SurfaceHandle onDC;
    onDC.Attach(cGDISurface::MakeOnDC(dc));
    workSurface->Blit(&onDC, 0, 0, 0, 0, std::min(width, workSurface->GetWidth()),
                      std::min(height, workSurface->GetHeight()), 0, 0, 0, 0);
}

int CIAnimation::IsLate() {
    return targetSurface == nullptr && targetTexture == nullptr ? 1 : 0;
}

void CIAnimation::Refresh() {
    if (workSurface != nullptr) {
        if (hwnd != 0) {
            if (HDC dc = GetDC(hwnd)) {
                PaintFrame(dc);
                ReleaseDC(hwnd, dc);
            }
        } else if (CWindowSurface* surface = AsWindowSurface(targetSurface)) {
            SurfaceHandle* target = surface->GetSurfaceHandle();
            if (target != nullptr && DecodeCurrentFrame()) {
                workSurface->Blit(target, 0, 0, 0, 0, target->GetWidth(), target->GetHeight(), 0, 0,
                                  0, 0);
                surface->InvalidateAll();
            }
        } else if (targetTexture != nullptr && textureHook != nullptr) {
            SurfaceHandle* target = textureHook->GetImage(targetTexture, madeImage);
            if (target != nullptr && DecodeCurrentFrame()) {
                workSurface->Blit(target, 0, 0, 0, 0, target->GetWidth(), target->GetHeight(), 0, 0,
                                  0, 0);
                textureHook->ImageChanged(targetTexture);
            }
        }
    }
    if (hwnd != 0) {
        CIChildWindow::Refresh();
        return;
    }
    dirty = 0;
}

// ---- The frame timer's view ------------------------------------------------------------

int32_t CIAnimation::GetFrame(uint32_t) {
    return currentFrame;
}

void CIAnimation::SetFrame(uint32_t, int32_t frame) {
    currentFrame = std::clamp(frame, 0, std::max(frameCount - 1, 0));
    SetDirty();
}

void CIAnimation::ShowFrame(uint32_t) {
    SetDirty();
}

void CIAnimation::AnimationEnded(uint32_t) {
    LeaveTimer();
}

int32_t CIAnimation::GetFrameDelay(uint32_t, int32_t frame) {
    int64_t delay = imageFile != nullptr ? int64_t(imageFile->GetFrameDelay(frame)) : kDefaultDelay;
    // A speed factor of 0 plays as fast as 1 does.
    int64_t scaled = delay * 100 / std::max(speedFactor, 1);
    return int32_t(std::clamp<int64_t>(scaled, 1, INT32_MAX));
}

int32_t CIAnimation::GetFirstFrame(uint32_t) {
    return 0;
}

int32_t CIAnimation::GetLastFrame(uint32_t) {
    return std::max(frameCount - 1, 0);
}

int32_t CIAnimation::GetLoopFrame(uint32_t) {
    return loopStartFrame;
}

int CIAnimation::IsPaused(uint32_t) {
    return int(paused);
}

// ---- Script methods --------------------------------------------------------------------

void CIAnimation::StartTimerAt(int32_t frame) {
    frameTimer.GoToFrame(timeGetTime(), frame);
    timerEntry = interpreter->AddAnimated(&frameTimer);
    playing = timerEntry != 0 ? 1 : 0;
}

void CIAnimation::Play() {
    LeaveTimer();
    if (!interpreter->IsArgDefault(0)) loopCount = interpreter->GetArgInt(0);
    if (!interpreter->IsArgDefault(1)) {
        loopStartFrame = interpreter->GetArgInt(1);
        if (imageFile != nullptr) loopStartFrame = std::clamp(loopStartFrame, 0, GetLastFrame(0));
    }
    // The loop values are set afresh, and so are the flags.
    uint32_t flags = 0;
    for (uint32_t i = 2; i < uint32_t(interpreter->GetArgCount()); ++i) {
        if (interpreter->IsArgDefault(i)) continue;
        uint32_t flag = uint32_t(interpreter->GetArgInt(i));
        if ((flag & 0xFFFF0000u) != kFlagTag) interpreter->RaiseError(14);
        flags |= flag & 0xFFFF;
    }
    frameTimer.flags = flags;
    frameTimer.loopsRemaining = frameTimer.loopCount = loopCount;
    currentFrame = (flags & CFrameTimer::kPlayBackward) != 0 ? GetLastFrame(0) : 0;
    SetDirty();
    StartTimerAt(currentFrame);
}

void CIAnimation::Stop() {
    if (playing != 0) LeaveTimer();
}

void CIAnimation::Pause() {
    if (playing != 0) paused = 1;
}

void CIAnimation::SetFrameMethod() {
    if (interpreter->IsArgDefault(0)) return;
    frameTimer.GoToFrame(timeGetTime(), interpreter->GetArgInt(0));
}

void CIAnimation::GetFrameMethod() {
    interpreter->GetResultSlot()->SetInt(currentFrame);
}

void CIAnimation::Resume() {
    if (playing == 0) return;
    paused = 0;
    // The paused frame goes on from now, not from when it was first shown.
    frameTimer.timeBase = timeGetTime();
}

void CIAnimation::IsPlaying() {
    interpreter->GetResultSlot()->SetInt(int32_t(playing));
}

void CIAnimation::IsPausedMethod() {
    interpreter->GetResultSlot()->SetInt(int32_t(paused));
}

void CIAnimation::GetNFrames() {
    interpreter->GetResultSlot()->SetInt(imageFile != nullptr ? frameCount : 0);
}

void CIAnimation::NextFrame() {
    if (imageFile == nullptr) return;
    frameTimer.NextFrame(timeGetTime());
}

void CIAnimation::PrevFrame() {
    if (imageFile == nullptr) return;
    frameTimer.PrevFrame(timeGetTime());
}

void CIAnimation::SetSpeedFactor() {
    if (!interpreter->IsArgDefault(0)) speedFactor = interpreter->GetArgInt(0);
}

void CIAnimation::GetSpeedFactor() {
    interpreter->GetResultSlot()->SetInt(speedFactor);
}

const ScriptClassInfo* GetAnimationClassInfo() {
    static const ScriptClassInfo info{kNameTable.data(),
                                      &NewAnimation,
                                      CIAnimation::kFirstClassLevelId,
                                      kConstants.data(),
                                      uint32_t(kConstants.size()),
                                      nullptr,
                                      nullptr};
    return &info;
}
