#include "classes/media/qtime_class.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "classes/media/qtime_effect_dialog.h"
#include "classes/media/sound_class.h"
#include "classes/surface/texture_feed.h"
#include "classes/surface/surface_class.h"
#include "classes/window/controls/control_table.h"
#include "classes/window/window_surface.h"
#include "foundation/files/file_layer.h"
#include "graphics2d/blitter/pixel_format.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/surface.h"
#include "platform/files/files.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes/shapes_dc.h"
#include "platform/media/movie/movie_export.h"
#include "platform/user/dialogs/common_dialogs.h"
#include "platform/user/input/input.h"
#include "platform/user/paint/update_region.h"
#include "platform/user/window_class.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/neighbour_services.h"

namespace {

using platform::movie::ControllerRect;
using platform::movie::Movie;
using platform::movie::MovieController;
namespace movie = platform::movie;

// The window's movie moves on with this timer.
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerPeriod = 20;

int quickTimeUses = 0;
bool startFails = false;

struct QTimeMethod {
    const char* name;
    ScriptMethod<CIQTime> method;
};
constexpr QTimeMethod kOwnMethods[] = {
    {"Play", &CIQTime::Play},
    {"Stop", &CIQTime::Stop},
    {"Pause", &CIQTime::Pause},
    {"Resume", &CIQTime::Resume},
    {"OpenFile", &CIQTime::OpenFile},
    {"Close", &CIQTime::Close},
    {"GetTime", &CIQTime::GetTime},
    {"ClearSelection", &CIQTime::ClearSelection},
    {"SaveAsFile", &CIQTime::SaveAsFile},
    {"Undo", &CIQTime::Undo},
    {"Cut", &CIQTime::Cut},
    {"Copy", &CIQTime::Copy},
    {"Paste", &CIQTime::Paste},
    {"SelectAll", &CIQTime::SelectAll},
    {"PlayReverse", &CIQTime::PlayReverse},
    {"GotoBegin", &CIQTime::GotoBegin},
    {"GotoEnd", &CIQTime::GotoEnd},
    {"GotoTime", &CIQTime::GotoTime},
    {"StepFrame", &CIQTime::StepFrame},
    {"SetLooping", &CIQTime::SetLooping},
    {"IsLooping", &CIQTime::IsLooping},
    {"SetVolume", &CIQTime::SetVolume},
    {"GetDuration", &CIQTime::GetDuration},
    {"ShowPlayBar", &CIQTime::ShowPlayBar},
    {"HidePlayBar", &CIQTime::HidePlayBar},
    {"GetMovieNativeWidth", &CIQTime::GetMovieNativeWidth},
    {"GetMovieNativeHeight", &CIQTime::GetMovieNativeHeight},
    {"GetMoviesError", &CIQTime::GetMoviesErrorMethod},
    {"GetVolume", &CIQTime::GetVolume},
    {"AttachMovieController", &CIQTime::AttachMovieController},
    {"IsControllerAttached", &CIQTime::IsControllerAttached},
    {"DetachMovieController", &CIQTime::DetachMovieController},
    {"CreateEmptyMovie", &CIQTime::CreateEmptyMovie},
    {"BeginVideoEdit", &CIQTime::BeginVideoEdit},
    {"EndVideoEdit", &CIQTime::EndVideoEdit},
    {"AppendVideoFrame", &CIQTime::AppendVideoFrame},
    {"InsertMovieSegment", &CIQTime::InsertMovieSegment},
    {"DeleteMovieSegment", &CIQTime::DeleteMovieSegment},
    {"GetFileNamePreview", &CIQTime::GetFileNamePreview},
    {"GotToVRNode", &CIQTime::VRMethod},
    {"GetCurrentVRNode", &CIQTime::VRMethod},
    {"VRPointToHotSpotID", &CIQTime::VRMethod},
    {"VREnableHotSpot", &CIQTime::VRMethod},
    {"VRGetVisibleHotSpots", &CIQTime::VRMethod},
    {"VRGetNVisibleHotSpots", &CIQTime::VRMethod},
    {"VRSetMouseOverTracking", &CIQTime::VRMethod},
    {"VRGetMouseOverTracking", &CIQTime::VRMethod},
    {"VRSetMouseDownTracking", &CIQTime::VRMethod},
    {"VRGetMouseDownTracking", &CIQTime::VRMethod},
    {"ChooseEffectDialog", &CIQTime::ChooseEffectDialog},
    {"ImportMovie", &CIQTime::OpenFile},
    {"ExportMovieToDV", &CIQTime::ExportMovieToDV},
    {"HasSoundTrack", &CIQTime::HasSoundTrack},
    {"HasVideoTrack", &CIQTime::HasVideoTrack},
    {"VRDisableHotSpot", &CIQTime::VRMethod},
    {"VREnableAllHotSpot", &CIQTime::VRMethod},
    {"VRDisableAllHotSpot", &CIQTime::VRMethod},
    {"BlurEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::Blur>},
    {"ColorStyleEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::ColorStyle>},
    {"ColorTintEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::ColorTint>},
    {"EdgeDetectionEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::EdgeDetection>},
    {"EmbossEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::Emboss>},
    {"FilmNoiseEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::FilmNoise>},
    {"RGBBalanceEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::RGBBalance>},
    {"RippleEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::Ripple>},
    {"SharpenEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::Sharpen>},
    {"CloudEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::Cloud>},
    {"FireEffect", &CIQTime::EffectMethod<platform::movie::EffectKind::Fire>},
    {"EffectFromDialog", &CIQTime::EffectFromDialog},
    {"SetPlaySelection", &CIQTime::SetPlaySelection},
    {"GetPlaySelection", &CIQTime::GetPlaySelection},
    {"SetSelection", &CIQTime::SetSelection},
    // The panorama events never come: their handlers are read and kept nowhere.
    {"OnLeavingNode", &CIQTime::VRHandler},
    {"OnEnteringNode", &CIQTime::VRHandler},
    {"OnEnteringHotSpot", &CIQTime::VRHandler},
    {"OnMovingWithinHotSpot", &CIQTime::VRHandler},
    {"OnLeavingHotSpot", &CIQTime::VRHandler},
    {"IsVRMovie", &CIQTime::IsVRMovie},
    {"ExportMovieToAVI", &CIQTime::ExportMovieToAVI},
};
constexpr size_t kOwnMethodCount = sizeof kOwnMethods / sizeof kOwnMethods[0];
static_assert(kOwnMethodCount == 0x74 - kSharedControlMethodCount);

constexpr const char* kOwnConstants[] = {
    "CODEC_LOWQUALITY", "CODEC_NORMALQUALITY", "CODEC_HIGHQUALITY", "CODEC_CINEPAK",
    "CODEC_GRAPHICS",   "CODEC_ANIMATION",     "CODEC_VIDEO",       "CODEC_COMPVIDEO",
};
constexpr ClassLevelHandler kOwnConstantValues[] = {
    &ControlConstant<0x100>,       &ControlConstant<0x200>,       &ControlConstant<0x300>,
    &ControlConstant<0x63766964u>, &ControlConstant<0x736D6320u>, &ControlConstant<0x726C6520u>,
    &ControlConstant<0x72707A61u>, &ControlConstant<0x79757632u>,
};

constexpr auto kNameTable = ControlNameTable({CIQTime::kClassId, "QTime", 0, 0}, kOwnMethods,
                                             CIQTime::kFirstClassLevelId + 1, kOwnConstants);
constexpr auto kConstants = ControlConstants(kOwnConstantValues);

CIBaseClassImpl* NewQTime(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQTime(&interpreter, record);
}

const ScriptClassInfo kQTimeClass = {kNameTable.data(),
                                     &NewQTime,
                                     CIQTime::kFirstClassLevelId,
                                     kConstants.data(),
                                     uint32_t(kConstants.size()),
                                     nullptr,
                                     nullptr};

LRESULT QTimeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* qtime = static_cast<CIQTime*>(GetControlObject(window, CIQTime::kClassId));
    if (qtime != nullptr) {
        int32_t x = static_cast<int16_t>(LOWORD(lParam));
        int32_t y = static_cast<int16_t>(HIWORD(lParam));
        switch (message) {
        case WM_TIMER:
            if (wParam == kTimerId) {
                qtime->OnTimer();
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            // Painting covers the whole window.
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(window, &paint);
            if (dc != 0) qtime->Paint(dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_KEYDOWN:
            if (qtime->OnKey(uint32_t(wParam))) return 0;
            break;
        case WM_LBUTTONDOWN:
            SetFocus(window);
            if (qtime->OnClick(x, y)) SetCapture(window);
            return 0;
        case WM_MOUSEMOVE:
            if ((wParam & MK_LBUTTON) != 0 && GetCapture() == window) qtime->OnDrag(x);
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == window) ReleaseCapture();
            return 0;
        case WM_SIZE:
            qtime->OnSize();
            break;
        default:
            break;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Registered once per process, as the movies are started.
void RegisterQTimeWindowClass() {
    WNDCLASSA existing{};
    if (GetClassInfoA(GetInstanceHandle(), CIQTime::kWindowClassName, &existing)) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &QTimeWindowProc;
    windowClass.hInstance = GetInstanceHandle();
    windowClass.hCursor = LoadCursorA(0, IDC_ARROW);
    windowClass.lpszClassName = CIQTime::kWindowClassName;
    RegisterClassA(&windowClass);
}

int QuickTimeInstalled() {
    return 1;
}

int QuickTimeVRInstalled() {
    return 0;
}

void IdleQuickTime(CInterpretor& interpreter) {
    CIQTime::IdleAll(interpreter);
}

// The path of a script argument, or null for a missing one.
const char* PathArgument(CInterpretor& in, uint32_t index) {
    if (in.GetArgCount() <= int32_t(index) || in.IsArgDefault(index)) return nullptr;
    return in.GetArgString(index);
}

} // namespace

void SetQuickTimeStartFails(bool fails) {
    startFails = fails;
}

const ScriptClassInfo* GetQTimeClassInfo() {
    return &kQTimeClass;
}

void RegisterQTimeClass() {
    RegisterScriptClass(GetQTimeClassInfo());
    NeighbourServices& services = GetNeighbourServices();
    services.idleQuickTime = &IdleQuickTime;
    services.isQuickTimeInstalled = &QuickTimeInstalled;
    services.isQuickTimeVRInstalled = &QuickTimeVRInstalled;
}

void UnregisterQTimeClass() {
    NeighbourServices& services = GetNeighbourServices();
    services.idleQuickTime = nullptr;
    services.isQuickTimeInstalled = nullptr;
    services.isQuickTimeVRInstalled = nullptr;
    UnregisterScriptClass(CIQTime::kClassId);
}

int CIQTime::StartQuickTime() {
    if (quickTimeUses == 0) {
        if (startFails) return 0;
        RegisterQTimeWindowClass();
    }
    ++quickTimeUses;
    return 1;
}

void CIQTime::StopQuickTime() {
    if (quickTimeUses > 0) --quickTimeUses;
}

int CIQTime::IsQuickTimeStarted() {
    return 0;
}

CIQTime::CIQTime(CInterpretor* interpreter, const CClassRecord* record)
    : CIChildWindow(interpreter, record), madeSurface_(interpreter) {
    SetCreateParams(10, 10, 320, 200, WS_CHILD | WS_CLIPSIBLINGS, 0);
}

CIQTime::~CIQTime() = default;

void CIQTime::CallMethod(uint16_t methodId) {
    CallControlMethod(*this, kOwnMethods, methodId);
}

int64_t CIQTime::ToMovieTime(int64_t milliseconds) {
    return movie::kTimeScale * milliseconds / 1000;
}

int64_t CIQTime::ToMilliseconds(int64_t time) {
    return time * 1000 / movie::kTimeScale;
}

void CIQTime::SetIntResult(int64_t value) {
    interpreter->GetResultSlot()->SetInt(int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)));
}

// ---- Life ------------------------------------------------------------------------------

void CIQTime::Create() {
    const CValue* extraArgs[kExtraArgSlots] = {};
    ParseCreateArgs(kArgX | kArgY | kArgWidth | kArgHeight | kArgCaption | kArgStyles | kArgFlagsA |
                        kArgFlagsB,
                    extraArgs, 0, uint32_t(interpreter->GetArgCount()));
    if (extraArgs[0] != nullptr) {
        const CValue& given = *extraArgs[0];
        if (extraArgs[1] != nullptr || given.GetType() != kValueObject) interpreter->RaiseError(14);
        if (given.IsObjectOfClass(CISurfaceTexture::kClassId))
            targetTexture_ = dynamic_cast<CISurfaceTexture*>(given.GetObject());
        if (targetTexture_ == nullptr && AsWindowSurface(given.GetObject()) == nullptr)
            interpreter->RaiseError(14);
        target_ = given.GetObject();
        ++target_->useCount;
    }
    if (StartQuickTime() == 0) {
        ReleaseTarget();
        interpreter->RaiseError(107);
    }
    started_ = true;
    if (targetTexture_ != nullptr) GiveTextureASurface(*interpreter, targetTexture_, madeSurface_);
    if (target_ == nullptr) {
        // In the current Window as every control; without one, a window of its own.
        parent = static_cast<CIWindow*>(interpreter->currentWindow);
        CreateControl(kWindowClassName, 0, this, 0, kCreateChild | kCreateProperty);
    }
    if (caption != nullptr) {
        std::string path = caption;
        Open(path.c_str());
    }
    Register();
}

void CIQTime::Destroy(int flag) {
    CloseMovie();
    if (hwnd != 0) KillTimer(hwnd, kTimerId);
    if (interpreter->resetting == 0) ReleaseTarget();
    target_ = nullptr;
    targetTexture_ = nullptr;
    if (started_) StopQuickTime();
    started_ = false;
    CIChildWindow::Destroy(flag);
}

void CIQTime::ReleaseTarget() {
    if (target_ != nullptr) --target_->useCount;
    target_ = nullptr;
    targetTexture_ = nullptr;
    madeSurface_.SetInt(0);
    worldMade_ = false;
}

int CIQTime::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object != nullptr && object == target_) {
        ReleaseTarget();
        MarkDeleted();
        return 1;
    }
    // The Surface made for a Texture only feeds it: the Texture stays the target.
    if (object != nullptr && madeSurface_.GetType() == kValueObject &&
        madeSurface_.GetObject() == object) {
        madeSurface_.SetObject(nullptr, 0);
        worldMade_ = false;
    }
    return CIChildWindow::ReleaseReferencesTo(object);
}

int CIQTime::IsLate() {
    return target_ == nullptr ? 1 : 0;
}

CWindowSurface* CIQTime::DrawingSurface() const {
    if (targetTexture_ == nullptr) return AsWindowSurface(target_);
    return SurfaceFeedingTexture(*interpreter, targetTexture_);
}

ControllerRect CIQTime::ClientRect() const {
    if (target_ != nullptr) {
        auto* surface = DrawingSurface();
        SurfaceHandle* picture = surface != nullptr ? surface->GetSurfaceHandle() : nullptr;
        if (picture == nullptr) return {};
        return {0, 0, picture->GetWidth(), picture->GetHeight()};
    }
    RECT client{};
    if (hwnd != 0) GetClientRect(hwnd, &client);
    // The bar hidden, the picture takes its place and the controller reaches below the window.
    return {client.left, client.top, client.right,
            client.bottom + (barVisible_ ? 0 : movie::kControllerBarHeight)};
}

// ---- Opening and closing ---------------------------------------------------------------

bool CIQTime::Open(const char* path) {
    CloseMovie();
    std::unique_ptr<Movie> opened = Movie::OpenFile(path);
    if (opened == nullptr) return false;
    movie_ = std::move(opened);
    fileName_ = path;
    Attach();
    return true;
}

void CIQTime::Attach() {
    if (movie_ == nullptr) return;
    controller_ = std::make_unique<MovieController>(*movie_, ClientRect());
    controller_->SetVisible(barVisible_);
    controller_->SetActionFilter([this](int32_t action) { return ActionFilter(action); });
    controller_->EnableEditing(true);
    controller_->DoAction(movie::kActionSetKeysEnabled, 1);
    if (hwnd != 0) {
        SetTimer(hwnd, kTimerId, kTimerPeriod, nullptr);
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    SetDirty();
}

void CIQTime::CloseMovie() {
    fileName_.clear();
    controller_.reset();
    movie_.reset();
    worldMade_ = false;
    if (hwnd != 0) {
        KillTimer(hwnd, kTimerId);
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    if (!temporaryFile_.empty()) {
        DeleteFileA(temporaryFile_.c_str());
        // The resource companion of the temporary movie: none is made here, so its delete
        // finds nothing.
        DeleteFileA((temporaryFile_ + ".#res").c_str());
        temporaryFile_.clear();
    }
}

bool CIQTime::ActionFilter(int32_t action) {
    switch (action) {
    case movie::kActionMovieClick:
        return true;
    case movie::kActionPlay:
    case movie::kActionResume:
        if (movie_ != nullptr && movie_->HasSoundTrack()) ReleaseSoundDevice();
        return false;
    case movie::kActionControllerSizeChanged:
        SetDirty();
        return false;
    default:
        return false;
    }
}

void CIQTime::ReleaseSoundDevice() {
    if (SoundDevice* device = CISound::DeviceOf(*interpreter)) device->GetManager()->YieldDevice();
}

// ---- Drawing ---------------------------------------------------------------------------

bool CIQTime::PrepareWorld() {
    auto* surface = DrawingSurface();
    SurfaceHandle* picture = surface != nullptr ? surface->GetSurfaceHandle() : nullptr;
    if (picture == nullptr || !picture->IsValid()) return false;
    int32_t depth = picture->GetDepth();
    if (worldMade_ && world_.width == picture->GetWidth() &&
        world_.height == picture->GetHeight() && worldDepth_ == depth)
        return true;
    std::vector<uint32_t> colours;
    if (depth <= 8) {
        PaletteEntry entries[256] = {};
        int32_t count = std::min(256, 1 << std::max(1, depth));
        picture->GetPaletteEntries(entries, 0, count);
        for (int32_t i = 0; i < count; ++i)
            colours.push_back(uint32_t(entries[i].red) << 16 | uint32_t(entries[i].green) << 8 |
                              entries[i].blue);
    }
    worldMade_ = movie::MakeWorld(world_, picture->GetWidth(), picture->GetHeight(),
                                  movie::FormatForDepth(depth), std::move(colours));
    worldDepth_ = depth;
    return worldMade_;
}

void CIQTime::Refresh() {
    if (target_ != nullptr && movie_ != nullptr && PrepareWorld()) {
        auto* surface = DrawingSurface();
        SurfaceHandle* picture = surface->GetSurfaceHandle();
        if (movie_->DrawFrame(world_)) {
            uint8_t* pixels = picture->Lock();
            const SurfaceBits* bits = pixels != nullptr ? picture->GetImpl()->GetBits() : nullptr;
            // Depths the world keeps in another pixel size are left alone.
            int32_t bytes = movie::BytesPerPixel(world_.format);
            if (bits != nullptr && (worldDepth_ + 7) / 8 == bytes) {
                for (int32_t y = 0; y < world_.height; ++y)
                    std::copy_n(world_.pixels.data() + size_t(y) * world_.stride,
                                size_t(world_.width) * bytes,
                                bits->pixels + int64_t(y) * bits->signedPitch);
            }
            if (pixels != nullptr) picture->Unlock();
            // A Texture takes the new picture now, and the World's views show it.
            if (targetTexture_ != nullptr)
                TextureFrameDrawn(*surface);
            else
                surface->InvalidateAll();
        }
    }
    if (hwnd != 0) {
        CIChildWindow::Refresh();
        return;
    }
    dirty = 0;
}

void CIQTime::IdleAll(CInterpretor& interpreter) {
    if (quickTimeUses == 0) return;
    for (uint32_t position = interpreter.GetFirstObjectPos(kClassId); position != 0;) {
        auto* qtime = static_cast<CIQTime*>(interpreter.GetNextObject(kClassId, position));
        if (qtime == nullptr || qtime->movie_ == nullptr || qtime->target_ == nullptr) continue;
        qtime->movie_->Task();
        qtime->SetDirty();
    }
}

void CIQTime::OnTimer() {
    if (controller_ == nullptr) return;
    // A child window hears nothing of the program coming back to the front: its tick
    // watches for it.
    bool active = GetActiveWindow() != 0;
    if (active && !programActive_) controller_->Resume();
    programActive_ = active;
    if (controller_->Idle() && hwnd != 0) InvalidateRect(hwnd, nullptr, FALSE);
}

void CIQTime::OnSize() {
    if (controller_ != nullptr) controller_->SetBounds(ClientRect());
}

bool CIQTime::OnKey(uint32_t virtualKey) {
    if (controller_ == nullptr || !controller_->Key(virtualKey)) return false;
    InvalidateRect(hwnd, nullptr, FALSE);
    return true;
}

bool CIQTime::OnClick(int32_t x, int32_t y) {
    if (controller_ == nullptr) return false;
    bool taken = controller_->Click(x, y);
    InvalidateRect(hwnd, nullptr, FALSE);
    return taken && y >= controller_->MovieBox().bottom;
}

void CIQTime::OnDrag(int32_t x) {
    if (controller_ == nullptr) return;
    controller_->Drag(x);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void CIQTime::Paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd, &client);
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (movie_ == nullptr || controller_ == nullptr) {
        FillRect(dc, &client, white);
        return;
    }
    ControllerRect box = controller_->MovieBox();
    int32_t boxWidth = box.right - box.left;
    int32_t boxHeight = std::min(box.bottom, int32_t(client.bottom)) - box.top;
    movie::OffscreenWorld frame;
    if (boxWidth > 0 && boxHeight > 0 &&
        movie::MakeWorld(frame, boxWidth, box.bottom - box.top, movie::PixelFormat::BGRA) &&
        movie_->DrawFrame(frame)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = frame.width;
        info.bmiHeader.biHeight = -frame.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        StretchDIBits(dc, box.left, box.top, frame.width, boxHeight, 0, frame.height - boxHeight,
                      frame.width, boxHeight, frame.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    } else {
        RECT picture = {box.left, box.top, box.right, box.top + std::max(0, boxHeight)};
        FillRect(dc, &picture, white);
    }
    if (!controller_->Visible()) return;
    // The bar: a grey strip, the play button (a triangle, or two bars while playing) and the
    // slider's groove with its thumb at the movie's time.
    ControllerRect button = controller_->ButtonRect();
    ControllerRect slider = controller_->SliderRect();
    RECT bar = {button.left, button.top, slider.right, slider.bottom};
    HBRUSH face = CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
    HBRUSH dark = CreateSolidBrush(RGB(0x40, 0x40, 0x40));
    FillRect(dc, &bar, face);
    HGDIOBJ oldBrush = SelectObject(dc, dark);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    int32_t top = button.top + 4;
    if (movie_->Rate() == 0) {
        POINT triangle[3] = {
            {button.left + 5, top}, {button.left + 5, top + 8}, {button.left + 11, top + 4}};
        Polygon(dc, triangle, 3);
    } else {
        RECT left = {button.left + 4, top, button.left + 7, top + 8};
        RECT right = {button.left + 9, top, button.left + 12, top + 8};
        FillRect(dc, &left, dark);
        FillRect(dc, &right, dark);
    }
    RECT groove = {slider.left + 2, slider.top + 7, slider.right - 2, slider.top + 9};
    FillRect(dc, &groove, dark);
    int32_t span = std::max(1, slider.right - slider.left - 1);
    int64_t duration = std::max<int64_t>(1, movie_->Duration());
    int32_t thumbX = slider.left +
                     int32_t(__extension__ static_cast<__int128>(movie_->Time()) * span / duration);
    RECT thumb = {std::max(slider.left, thumbX - 3), slider.top + 3,
                  std::min(slider.right, thumbX + 4), slider.top + 13};
    FillRect(dc, &thumb, dark);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(face);
    DeleteObject(dark);
}

// ---- Playing ---------------------------------------------------------------------------

void CIQTime::PlayAt(int32_t rate) {
    if (movie_->HasSoundTrack()) ReleaseSoundDevice();
    controller_->DoAction(movie::kActionPlay, rate);
    SetDirty();
}

void CIQTime::Play() {
    if (controller_ == nullptr) return;
    controller_->DoAction(movie::kActionGoToTime, 0);
    PlayAt(movie_->PreferredRate());
}

void CIQTime::Stop() {
    if (controller_ == nullptr) return;
    controller_->DoAction(movie::kActionPlay, 0);
    controller_->DoAction(movie::kActionGoToTime, 0);
    SetDirty();
}

void CIQTime::Pause() {
    if (controller_ != nullptr) controller_->DoAction(movie::kActionPlay, 0);
}

void CIQTime::Resume() {
    if (controller_ != nullptr) PlayAt(movie_->PreferredRate());
}

void CIQTime::PlayReverse() {
    if (controller_ == nullptr) return;
    movie_->SetPreferredRate(-movie_->PreferredRate());
    PlayAt(movie_->PreferredRate());
}

void CIQTime::GotoBegin() {
    if (controller_ == nullptr) return;
    controller_->DoAction(movie::kActionGoToTime, 0);
    SetDirty();
}

void CIQTime::GotoEnd() {
    if (controller_ == nullptr) return;
    controller_->DoAction(movie::kActionGoToTime, movie_->Duration());
    SetDirty();
}

void CIQTime::GotoTime() {
    if (controller_ == nullptr) return;
    int64_t milliseconds = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    controller_->DoAction(movie::kActionGoToTime, ToMovieTime(milliseconds));
    SetDirty();
}

void CIQTime::StepFrame() {
    if (controller_ == nullptr) return;
    int64_t steps = interpreter->GetArgCount() > 0 && !interpreter->IsArgDefault(0)
                        ? interpreter->GetArgInt(0)
                        : 1;
    controller_->DoAction(movie::kActionStep, steps);
    SetDirty();
}

void CIQTime::SetLooping() {
    int32_t flag = interpreter->GetArgInt(0);
    if (flag != 0 && flag != 1) interpreter->RaiseError(115);
    if (controller_ != nullptr) controller_->DoAction(movie::kActionSetLooping, flag);
}

void CIQTime::IsLooping() {
    SetIntResult(controller_ != nullptr ? controller_->DoAction(movie::kActionGetLooping, 0) : 0);
}

void CIQTime::SetVolume() {
    if (controller_ != nullptr && !interpreter->IsArgDefault(0))
        controller_->DoAction(movie::kActionSetVolume, interpreter->GetArgInt(0));
}

void CIQTime::GetVolume() {
    SetIntResult(controller_ != nullptr ? controller_->DoAction(movie::kActionGetVolume, 0) : 0);
}

void CIQTime::GetTime() {
    bool known = movie_ != nullptr && movie::GetMoviesError() == movie::kNoError;
    SetIntResult(known ? ToMilliseconds(movie_->Time()) : 0);
}

void CIQTime::GetDuration() {
    SetIntResult(controller_ != nullptr ? ToMilliseconds(movie_->Duration()) : 0);
}

void CIQTime::ShowPlayBar() {
    if (barVisible_) return;
    barVisible_ = true;
    if (controller_ != nullptr) {
        controller_->SetVisible(true);
        controller_->SetBounds(ClientRect());
    }
    if (hwnd != 0) InvalidateRect(hwnd, nullptr, FALSE);
}

void CIQTime::HidePlayBar() {
    if (!barVisible_) return;
    barVisible_ = false;
    if (controller_ != nullptr) {
        controller_->SetVisible(false);
        controller_->SetBounds(ClientRect());
    }
    if (hwnd != 0) InvalidateRect(hwnd, nullptr, FALSE);
}

void CIQTime::GetMovieNativeWidth() {
    SetIntResult(movie_ != nullptr && movie_->HasVideoTrack() ? movie_->NativeWidth() : 0);
}

void CIQTime::GetMovieNativeHeight() {
    SetIntResult(movie_ != nullptr && movie_->HasVideoTrack() ? movie_->NativeHeight() : 0);
}

void CIQTime::HasSoundTrack() {
    SetIntResult(movie_ != nullptr && movie_->HasSoundTrack() ? 1 : 0);
}

void CIQTime::HasVideoTrack() {
    SetIntResult(movie_ != nullptr && movie_->HasVideoTrack() ? 1 : 0);
}

void CIQTime::GetMoviesErrorMethod() {
    SetIntResult(movie::GetMoviesError());
}

void CIQTime::SetPlaySelection() {
    if (controller_ != nullptr)
        controller_->DoAction(movie::kActionSetPlaySelection, interpreter->GetArgInt(0) != 0);
}

void CIQTime::GetPlaySelection() {
    SetIntResult(controller_ != nullptr ? controller_->DoAction(movie::kActionGetPlaySelection, 0)
                                        : 0);
}

// ---- Controller ------------------------------------------------------------------------

void CIQTime::AttachMovieController() {
    Attach();
}

void CIQTime::IsControllerAttached() {
    SetIntResult(movie_ != nullptr && controller_ != nullptr ? 1 : 0);
}

void CIQTime::DetachMovieController() {
    controller_.reset();
    if (hwnd != 0) KillTimer(hwnd, kTimerId);
}

// ---- Editing ---------------------------------------------------------------------------

void CIQTime::SelectAll() {
    if (controller_ == nullptr) return;
    controller_->DoAction(movie::kActionSetSelectionBegin, 0);
    controller_->DoAction(movie::kActionSetSelectionDuration, movie_->Duration());
}

void CIQTime::SetSelection() {
    if (controller_ == nullptr || interpreter->GetArgCount() < 2 || interpreter->IsArgDefault(1))
        return;
    int64_t start = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    controller_->DoAction(movie::kActionSetSelectionBegin, ToMovieTime(start));
    controller_->DoAction(movie::kActionSetSelectionDuration,
                          ToMovieTime(interpreter->GetArgInt(1)));
}

void CIQTime::ClearSelection() {
    if (controller_ == nullptr) return;
    controller_->Clear();
    SetDirty();
}

void CIQTime::Undo() {
    if (controller_ == nullptr) return;
    controller_->Undo();
    SetDirty();
}

void CIQTime::Cut() {
    if (controller_ == nullptr) return;
    if (std::unique_ptr<Movie> cut = controller_->Cut()) movie::PutMovieOnScrap(*cut);
    SetDirty();
}

void CIQTime::Copy() {
    if (controller_ == nullptr) return;
    if (std::unique_ptr<Movie> copy = controller_->Copy()) movie::PutMovieOnScrap(*copy);
}

void CIQTime::Paste() {
    if (controller_ == nullptr) return;
    if (std::unique_ptr<Movie> scrap = movie::MovieFromScrap()) controller_->Paste(*scrap);
    controller_->SetBounds(ClientRect());
    SetDirty();
}

void CIQTime::InsertMovieSegment() {
    CInterpretor& in = *interpreter;
    const CValue* argument = in.GetArgCount() > 0 ? in.GetArg(0) : nullptr;
    if (argument == nullptr || argument->GetType() != kValueObject ||
        !argument->IsObjectOfClass(kClassId))
        in.RaiseError(14);
    auto* source = static_cast<CIQTime*>(argument->GetObject());
    if (source == this || source->movie_ == nullptr || movie_ == nullptr) return;
    auto argOr = [&](uint32_t index, int64_t otherwise) -> int64_t {
        return in.GetArgCount() > int32_t(index) && !in.IsArgDefault(index)
                   ? ToMovieTime(in.GetArgInt(index))
                   : otherwise;
    };
    int64_t start = argOr(1, 0);
    int64_t length = argOr(2, source->movie_->Duration());
    int64_t at = argOr(3, movie_->Duration());
    movie_->InsertSegment(*source->movie_, start, length, at);
    SetDirty();
}

void CIQTime::DeleteMovieSegment() {
    CInterpretor& in = *interpreter;
    if (movie_ == nullptr || in.GetArgCount() < 2 || in.IsArgDefault(1)) return;
    int64_t start = in.IsArgDefault(0) ? 0 : in.GetArgInt(0);
    movie_->DeleteSegment(ToMovieTime(start), ToMovieTime(in.GetArgInt(1)));
    SetDirty();
}

// ---- Files -----------------------------------------------------------------------------

void CIQTime::OpenFile() {
    const char* path = PathArgument(*interpreter, 0);
    if (path == nullptr) return;
    std::string copy = path;
    Open(copy.c_str());
}

void CIQTime::Close() {
    CloseMovie();
}

void CIQTime::GetFileNamePreview() {
    char file[512] = {};
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = hwnd;
    request.lpstrFilter = "Movies\0*.mov;*.qt;*.avi;*.mp4;*.dv\0All files\0*.*\0";
    request.nFilterIndex = 1;
    request.lpstrFile = file;
    request.nMaxFile = sizeof file;
    request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    chosenPath_ = GetOpenFileNameA(&request) ? file : "";
    interpreter->GetResultSlot()->SetString(chosenPath_.c_str(), 0);
}

// ---- Panoramas -------------------------------------------------------------------------

void CIQTime::VRMethod() {
    interpreter->RaiseError(110);
}

void CIQTime::VRHandler() {
    interpreter->ReadHandlerAssignment();
}

void CIQTime::IsVRMovie() {
    SetIntResult(0);
}

// ---- Building --------------------------------------------------------------------------

void CIQTime::CreateEmptyMovie() {
    CloseMovie();
    char path[MAX_PATH] = {};
    if (MakeTempFileName(nullptr, "qtm", path, sizeof path, "mov", 1, 0) == 0) {
        movie::SetMoviesError(movie::kFileNotFound);
        return;
    }
    temporaryFile_ = path;
    movie_ = std::make_unique<Movie>();
    fileName_ = path;
    movie::SetMoviesError(movie::kNoError);
    Attach();
}

void CIQTime::BeginVideoEdit() {}

void CIQTime::AppendVideoFrame() {
    CInterpretor& in = *interpreter;
    if (movie_ == nullptr || controller_ != nullptr) return;
    const CValue* argument = in.GetArgCount() > 0 ? in.GetArg(0) : nullptr;
    if (argument == nullptr || argument->GetType() != kValueObject ||
        !argument->IsObjectOfClass(CISurface::kClassId))
        in.RaiseError(14);
    auto* surface = AsWindowSurface(argument->GetObject());
    SurfaceHandle* picture = surface != nullptr ? surface->GetSurfaceHandle() : nullptr;
    if (picture == nullptr || !picture->IsValid()) in.RaiseError(14);
    if (building_ == nullptr) {
        int32_t width = movie_->HasVideoTrack() ? movie_->NativeWidth() : picture->GetWidth();
        int32_t height = movie_->HasVideoTrack() ? movie_->NativeHeight() : picture->GetHeight();
        building_ = std::make_shared<movie::BuiltMedia>(width, height);
        uint32_t codec = movie::kCodecAnimation;
        if (in.GetArgCount() > 2 && !in.IsArgDefault(2)) codec = uint32_t(in.GetArgInt(2));
        int32_t quality = in.GetArgCount() > 3 && !in.IsArgDefault(3) ? in.GetArgInt(3) : 0;
        if (quality != movie::kQualityLow && quality != movie::kQualityHigh)
            quality = movie::kQualityNormal;
        building_->SetCodec(codec, quality);
    }
    movie::OffscreenWorld frame;
    if (!movie::MakeWorld(frame, building_->Width(), building_->Height(), movie::PixelFormat::BGRA))
        in.RaiseError(96);
    // The Surface's picture, stretched to the track's size when it has another.
    movie::Picture source{picture->GetWidth(), picture->GetHeight(), {}};
    source.pixels.resize(size_t(source.width) * source.height);
    for (int32_t y = 0; y < source.height; ++y) {
        for (int32_t x = 0; x < source.width; ++x) {
            uint32_t colour = 0;
            picture->GetPixel(x, y, &colour);
            source.pixels[size_t(y) * source.width + x] =
                (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
        }
    }
    movie::DrawPicture(source, frame);
    movie::Picture scaled{frame.width, frame.height, {}};
    scaled.pixels.resize(size_t(frame.width) * frame.height);
    for (int32_t y = 0; y < frame.height; ++y)
        for (int32_t x = 0; x < frame.width; ++x)
            scaled.pixels[size_t(y) * frame.width + x] = movie::PixelAt(frame, x, y);
    int64_t duration = lastFrameDuration_ > 0 ? lastFrameDuration_ : movie::kTimeScale / 10;
    if (in.GetArgCount() > 1 && !in.IsArgDefault(1)) duration = ToMovieTime(in.GetArgInt(1));
    duration = std::max<int64_t>(duration, 1);
    lastFrameDuration_ = duration;
    building_->Append(std::move(scaled), duration);
}

void CIQTime::EndVideoEdit() {
    if (building_ == nullptr || movie_ == nullptr) return;
    movie_->InsertMedia(building_, 0);
    building_.reset();
    lastFrameDuration_ = 0;
    SetDirty();
}

void CIQTime::SaveAsFile() {
    const char* path = PathArgument(*interpreter, 0);
    if (movie_ == nullptr || path == nullptr) return;
    std::string copy = path;
    movie::ExportMovie(*movie_, copy.c_str(), movie::ExportFormat::QuickTime);
}

void CIQTime::ExportMovieToDV() {
    const char* path = PathArgument(*interpreter, 0);
    if (movie_ == nullptr || path == nullptr) return;
    std::string copy = path;
    movie::ExportMovie(*movie_, copy.c_str(), movie::ExportFormat::Dv);
}

void CIQTime::ExportMovieToAVI() {
    const char* path = PathArgument(*interpreter, 0);
    if (movie_ == nullptr || path == nullptr) return;
    std::string copy = path;
    movie::ExportMovie(*movie_, copy.c_str(), movie::ExportFormat::Avi);
}

void CIQTime::AddEffect(movie::EffectKind kind) {
    CInterpretor& in = *interpreter;
    if (movie_ == nullptr || controller_ != nullptr) return;
    if (!movie_->HasVideoTrack()) in.RaiseError(14);
    // Argument 0 is the quality, which every filter here draws at its best; the parameters
    // follow, and the first one missing ends them.
    std::vector<double> given;
    int32_t count = movie::EffectParameterCount(kind);
    for (int32_t i = 0; i < count; ++i) {
        uint32_t index = uint32_t(i) + 1;
        if (in.GetArgCount() <= int32_t(index) || in.IsArgDefault(index)) break;
        given.push_back(in.GetArgDouble(index));
    }
    // Blur alone needs both its size and its sum.
    if (kind == movie::EffectKind::Blur && given.size() < 2) in.RaiseError(14);
    movie_->AddEffect(movie::MakeEffect(kind, given));
    SetDirty();
    SetIntResult(1);
}

void CIQTime::EffectFromDialog() {
    if (movie_ == nullptr || controller_ != nullptr) return;
    // Nothing confirmed in the dialog yet, or no video to take the effect.
    if (!dialogChosen_ || !movie_->HasVideoTrack()) interpreter->RaiseError(14);
    movie_->AddEffect(movie::MakeEffect(dialogEffect_.kind, dialogEffect_.values));
    SetDirty();
    SetIntResult(1);
}

void CIQTime::ChooseEffectDialog() {
    HWND owner = hwnd;
    if (owner == 0 && interpreter->currentWindow != nullptr)
        owner = static_cast<CIWindow*>(interpreter->currentWindow)->hwnd;
    bool confirmed = RunEffectDialog(owner, dialogEffect_);
    dialogChosen_ = dialogChosen_ || confirmed;
    SetIntResult(confirmed ? 1 : 0);
}
