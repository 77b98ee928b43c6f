#include "classes/media/modplayer_class.h"

#include <new>

#include "platform/gdi/gdi_objects.h"
#include "platform/media/modplug/mod_plug.h"
#include "platform/process/shared_library.h"
#include "platform/user/input/cursor.h"
#include "platform/user/window_class.h"
#include "platform/user/windows.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CIMODPlayer;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "MODPlayer", 0, 0},
    {T::kLoadModule, "LoadModule", 0, 0},
    {T::kPlay, "Play", 0, 0},
    {T::kStop, "Stop", 0, 0},
    {T::kPause, "Pause", 0, 0},
    {T::kResume, "Resume", 0, 0},
    {T::kIsPlaying, "IsPlaying", 0, 0},
    {T::kIsPaused, "IsPaused", 0, 0},
    {T::kGetMaxPosition, "GetMaxPosition", 0, 0},
    {T::kGetPosition, "GetPosition", 0, 0},
    {T::kGetDuration, "GetDuration", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewMODPlayer(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIMODPlayer(&interpreter, record);
}

const ScriptClassInfo kMODPlayerClass = {kNameTable, NewMODPlayer, 0, nullptr, 0, nullptr, nullptr};

const char kHostClass[] = "class_ZORV_ModPlug";

// The library, shared by every MODPlayer, and its entry points.
struct PlugIn {
    HMODULE library = 0;
    int users = 0;
    bool usable = false;
    modplug::CreateFn create = nullptr;
    modplug::CreateExFn createEx = nullptr;
    modplug::InstanceFn destroy = nullptr;
    modplug::SetWindowFn setWindow = nullptr;
    modplug::LoadFn load = nullptr;
    modplug::InstanceFn play = nullptr;
    modplug::InstanceFn stop = nullptr;
    modplug::InstanceFn isPlaying = nullptr;
    modplug::InstanceFn isReady = nullptr;
    modplug::InstanceFn getMaxPosition = nullptr;
    modplug::InstanceFn getCurrentPosition = nullptr;
    modplug::SetPositionFn setCurrentPosition = nullptr;
    modplug::InstanceFn getSongLength = nullptr;
    modplug::VersionFn getVersion = nullptr;
    modplug::RegisterCallbackFn registerCallback = nullptr;
    modplug::InstanceFn getVUMeter = nullptr;
};
PlugIn plugIn;

template <class F> bool Find(F& entry, const char* name) {
    entry = reinterpret_cast<F>(GetProcAddress(plugIn.library, name));
    return entry != nullptr;
}

void LoadPlugIn() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &DefWindowProcA;
        windowClass.hCursor = LoadCursorA(0, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = kHostClass;
        registered = RegisterClassA(&windowClass) != 0;
    }
    plugIn = PlugIn{};
    plugIn.library = LoadLibraryA(modplug::LIBRARY_NAME);
    if (plugIn.library == 0) return;
    bool found = true;
    found &= Find(plugIn.create, "ModPlug_Create");
    found &= Find(plugIn.createEx, "ModPlug_CreateEx");
    found &= Find(plugIn.destroy, "ModPlug_Destroy");
    found &= Find(plugIn.setWindow, "ModPlug_SetWindow");
    found &= Find(plugIn.load, "ModPlug_Load");
    found &= Find(plugIn.play, "ModPlug_Play");
    found &= Find(plugIn.stop, "ModPlug_Stop");
    found &= Find(plugIn.isPlaying, "ModPlug_IsPlaying");
    found &= Find(plugIn.isReady, "ModPlug_IsReady");
    found &= Find(plugIn.getMaxPosition, "ModPlug_GetMaxPosition");
    found &= Find(plugIn.getCurrentPosition, "ModPlug_GetCurrentPosition");
    found &= Find(plugIn.setCurrentPosition, "ModPlug_SetCurrentPosition");
    found &= Find(plugIn.getSongLength, "ModPlug_GetSongLength");
    found &= Find(plugIn.getVersion, "ModPlug_GetVersion");
    found &= Find(plugIn.registerCallback, "ModPlug_RegisterCallback");
    found &= Find(plugIn.getVUMeter, "ModPlug_GetVUMeter");
    plugIn.usable = found;
}

void ReleasePlugIn() {
    if (--plugIn.users > 0) return;
    if (plugIn.library != 0) FreeLibrary(plugIn.library);
    plugIn = PlugIn{};
}

} // namespace

const ScriptMethod<CIMODPlayer> CIMODPlayer::kMethods[kMethodCount] = {
    nullptr,       &T::LoadModule, &T::Play,           &T::Stop,        &T::Pause,       &T::Resume,
    &T::IsPlaying, &T::IsPaused,   &T::GetMaxPosition, &T::GetPosition, &T::GetDuration,
};

const ScriptClassInfo* GetMODPlayerClassInfo() {
    return &kMODPlayerClass;
}

int CIMODPlayer::IsPlugInUsable() {
    if (plugIn.users > 0) return plugIn.usable ? 1 : 0;
    LoadPlugIn();
    int usable = plugIn.usable ? 1 : 0;
    ++plugIn.users;
    ReleasePlugIn();
    return usable;
}

CIMODPlayer::CIMODPlayer(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIMODPlayer::~CIMODPlayer() {
    if (instance_ != 0) {
        plugIn.stop(instance_);
        // The plug-in's instance goes with its object, or every MODPlayer made would leave
        // its module behind.
        plugIn.destroy(instance_);
    }
    paused_ = false;
    if (window_ != 0) DestroyWindow(window_);
    if (counted_) ReleasePlugIn();
}

void CIMODPlayer::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIMODPlayer::Create() {
    CInterpretor& in = *interpreter;
    if (plugIn.users == 0) LoadPlugIn();
    ++plugIn.users;
    counted_ = true;
    if (!plugIn.usable) in.RaiseError(106);
    instance_ = plugIn.createEx("");
    if (instance_ == 0) in.RaiseError(106);
    window_ = CreateWindowExA(0, kHostClass, "", 0, 0, 100, 100, 0, 0, 0, 0, nullptr);
    if (window_ == 0) in.RaiseError(106);
    plugIn.setWindow(instance_, window_);
    plugIn.stop(instance_);
    paused_ = false;
    LoadNamed();
    Register();
}

int CIMODPlayer::LoadNamed() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() < 1 || in.IsArgDefault(0)) return 0;
    const char* name = in.GetArg(0)->GetStringSafe();
    int result = plugIn.load(instance_, name);
    module_ = result != 0 ? name : "";
    return result;
}

void CIMODPlayer::SetIntResult(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

void CIMODPlayer::LoadModule() {
    plugIn.stop(instance_);
    paused_ = false;
    SetIntResult(LoadNamed());
}

void CIMODPlayer::Play() {
    plugIn.stop(instance_);
    paused_ = false;
    LoadNamed();
    if (module_.empty()) {
        SetIntResult(0);
        return;
    }
    plugIn.setCurrentPosition(instance_, 0);
    SetIntResult(plugIn.play(instance_));
}

void CIMODPlayer::Stop() {
    plugIn.stop(instance_);
    paused_ = false;
}

void CIMODPlayer::Pause() {
    plugIn.stop(instance_);
    paused_ = true;
}

void CIMODPlayer::Resume() {
    if (!paused_) return;
    plugIn.play(instance_);
    paused_ = false;
}

void CIMODPlayer::IsPlaying() {
    SetIntResult(plugIn.isPlaying(instance_));
}

void CIMODPlayer::IsPaused() {
    SetIntResult(paused_);
}

void CIMODPlayer::GetMaxPosition() {
    SetIntResult(plugIn.getMaxPosition(instance_));
}

void CIMODPlayer::GetPosition() {
    SetIntResult(plugIn.getCurrentPosition(instance_));
}

void CIMODPlayer::GetDuration() {
    SetIntResult(plugIn.getSongLength(instance_));
}
