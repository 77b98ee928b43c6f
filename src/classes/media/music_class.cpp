#include "classes/media/music_class.h"

#include <map>
#include <memory>
#include <new>

#include "foundation/files/file_layer.h"
#include "foundation/streams/in_stream.h"
#include "platform/files/files.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/handles.h"
#include "platform/media/mci/mci.h"
#include "platform/media/mci/mmio.h"
#include "platform/user/input/cursor.h"
#include "platform/user/window_class.h"
#include "platform/user/windows.h"
#include "script/interpreter/interpretor.h"
#include "script/project/element.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"

namespace {

using T = CIMusic;

// The sequencer's device id when it was closed by hand-over; no notification matches it.
constexpr UINT kNoDevice = 0xFFFFFFFFu;
constexpr uint32_t kCopyPiece = 8192;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "Music", 0, 0},
    {T::kPlay, "Play", 0, 0},
    {T::kStop, "Stop", 0, 0},
    {T::kPause, "Pause", 0, 0},
    {T::kResume, "Resume", 0, 0},
    {T::kSetLoop, "SetLoop", 0, 0},
    {T::kIsPlaying, "IsPlaying", 0, 0},
    {T::kIsPaused, "IsPaused", 0, 0},
    {T::kIsCompleted, "IsCompleted", 0, 0},
    {T::kIsLooping, "IsLooping", 0, 0},
    {T::kGetLoopCount, "GetLoopCount", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewMusic(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIMusic(&interpreter, record);
}

const ScriptClassInfo kMusicClass = {kNameTable, NewMusic, 0, nullptr, 0, nullptr, nullptr};

// The Music that owns the open sequencer of each interpreter, and the sequencer's id.
struct SequencerOwner {
    CIMusic* music = nullptr;
    UINT device = 0;
};
std::map<CInterpretor*, SequencerOwner> owners;

SequencerOwner& OwnerOf(CInterpretor* interpreter) {
    return owners[interpreter];
}

void CloseDevice(UINT device) {
    if (device != 0 && device != kNoDevice) mciSendCommandA(device, MCI_CLOSE, 0, 0);
}

const char kWindowClass[] = "ZorvMciCallback";

LRESULT NotifyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* interpreter = reinterpret_cast<CInterpretor*>(GetWindowLongPtrA(window, GWL_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWL_USERDATA, 0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (interpreter != nullptr && interpreter->resetting) return 0;
    if (message == MM_MCINOTIFY && interpreter != nullptr) {
        CIMusic::OnNotify(*interpreter, static_cast<UINT>(wParam), static_cast<UINT>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

const ScriptMethod<CIMusic> CIMusic::kMethods[kMethodCount] = {
    nullptr,       &T::Play,     &T::Stop,        &T::Pause,     &T::Resume,       &T::SetLoop,
    &T::IsPlaying, &T::IsPaused, &T::IsCompleted, &T::IsLooping, &T::GetLoopCount,
};

const ScriptClassInfo* GetMusicClassInfo() {
    return &kMusicClass;
}

HWND CreateMciCallbackWindow(CInterpretor& interpreter) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &NotifyProcedure;
        windowClass.hCursor = LoadCursorA(0, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kWindowClass;
        registered = RegisterClassA(&windowClass) != 0;
        if (!registered) return 0;
    }
    HWND window =
        CreateWindowExA(0, kWindowClass, "Zorv MCI callback", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, 0, nullptr);
    if (window != 0)
        SetWindowLongPtrA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&interpreter));
    return window;
}

void DestroyMciCallbackWindow(HWND window) {
    DestroyWindow(window);
}

CIMusic::CIMusic(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIMusic::~CIMusic() {
    if (OwnsSequencer()) StopOwned();
    if (temporary_) DeleteFileA(path_.c_str());
}

void CIMusic::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIMusic::Create() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() != 1) in.RaiseError(21);
    const CValue* value = in.GetArg(0);
    CProjectFile* project = in.projectFile;
    switch (value->GetType()) {
    case kValueString: {
        const char* name = value->GetStringSafe();
        CElement* element = project != nullptr
                                ? project->ResolveElement(name, project_format::kMusicBank, 1)
                                : nullptr;
        if (element != nullptr) {
            std::unique_ptr<CInStream> stream(element->OpenStream(1));
            CopyToTemporaryFile(stream.get());
        } else if (project != nullptr) {
            char path[1024];
            project->MakeElementPath(path, sizeof path, name);
            path_ = path;
        } else {
            path_ = name;
        }
        break;
    }
    case kValueInt:
    case kValueDouble: {
        if (project == nullptr || project->FindBank(project_format::kMusicBank) == nullptr)
            in.RaiseError(14);
        CElement* element =
            project->FindElementByIndex(value->GetInt(), project_format::kMusicBank, 1);
        if (element == nullptr) in.RaiseError(33);
        std::unique_ptr<CInStream> stream(element->OpenStream(1));
        CopyToTemporaryFile(stream.get());
        break;
    }
    default:
        in.RaiseError(14);
    }
    CheckMidiFile();
    Register();
}

void CIMusic::CopyToTemporaryFile(CInStream* stream) {
    CInterpretor& in = *interpreter;
    if (stream == nullptr) in.RaiseError(14);
    char name[1024];
    if (MakeTempFileName(nullptr, "mid", name, sizeof name, "mid", 1, 0) == 0) in.RaiseError(14);
    HANDLE file =
        CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    bool ok = file != INVALID_HANDLE_VALUE;
    uint32_t left = ok ? stream->GetLength() : 0;
    uint8_t piece[kCopyPiece];
    while (ok && left > 0) {
        uint32_t count = left < kCopyPiece ? left : kCopyPiece;
        DWORD written = 0;
        ok = stream->Read(piece, count) == kResultOk &&
             WriteFile(file, piece, count, &written, nullptr) && written == count;
        left -= count;
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!ok) {
        DeleteFileA(name);
        in.RaiseError(14);
    }
    path_ = name;
    temporary_ = true;
}

void CIMusic::CheckMidiFile() {
    HMMIO file = mmioOpenA(path_.data(), nullptr, MMIO_READ);
    if (file == 0) interpreter->RaiseError(14);
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('R', 'M', 'I', 'D');
    bool midi = mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) == 0;
    if (!midi) {
        char magic[4] = {};
        midi = mmioSeek(file, 0, 0) == 0 && mmioRead(file, magic, 4) == 4 && magic[0] == 'M' &&
               magic[1] == 'T' && magic[2] == 'h' && magic[3] == 'd';
    }
    mmioClose(file, 0);
    if (!midi) interpreter->RaiseError(14);
}

bool CIMusic::OwnsSequencer() const {
    auto found = owners.find(interpreter);
    return found != owners.end() && found->second.music == this;
}

void CIMusic::StopOwned() {
    playing_ = paused_ = completed_ = false;
    SequencerOwner& owner = OwnerOf(interpreter);
    UINT device = owner.device;
    owners.erase(interpreter);
    CloseDevice(device);
}

void CIMusic::Play() {
    auto found = owners.find(interpreter);
    if (found != owners.end() && found->second.music != nullptr) found->second.music->StopOwned();
    looping_ = setLooping_;
    loopCount_ = setLoopCount_;
    playing_ = paused_ = completed_ = false;
    MCI_OPEN_PARMSA open{0, 0, "sequencer", path_.c_str(), nullptr};
    if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                        reinterpret_cast<DWORD_PTR>(&open)) != 0)
        return;
    MCI_PLAY_PARMS play{interpreter->GetMciNotifyWindow(), 0, 0};
    if (mciSendCommandA(open.wDeviceID, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play)) !=
        0) {
        CloseDevice(open.wDeviceID);
        return;
    }
    playing_ = true;
    OwnerOf(interpreter) = {this, open.wDeviceID};
}

void CIMusic::Stop() {
    if (OwnsSequencer()) StopOwned();
}

void CIMusic::Pause() {
    if (!OwnsSequencer() || !playing_ || paused_) return;
    UINT device = OwnerOf(interpreter).device;
    if (device == kNoDevice) return;
    paused_ = true;
    playing_ = false;
    MCI_GENERIC_PARMS pause{0};
    if (mciSendCommandA(device, MCI_PAUSE, 0, reinterpret_cast<DWORD_PTR>(&pause)) != 0) {
        paused_ = false;
        playing_ = true;
    }
}

void CIMusic::Resume() {
    if (!OwnsSequencer() || !paused_) return;
    UINT device = OwnerOf(interpreter).device;
    if (device == kNoDevice) return;
    paused_ = false;
    playing_ = true;
    MCI_PLAY_PARMS play{interpreter->GetMciNotifyWindow(), 0, 0};
    if (mciSendCommandA(device, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play)) != 0)
        StopOwned();
}

void CIMusic::Restart() {
    UINT device = OwnerOf(interpreter).device;
    MCI_PLAY_PARMS play{interpreter->GetMciNotifyWindow(), 0, 0};
    if (mciSendCommandA(device, MCI_PLAY, MCI_NOTIFY | MCI_FROM,
                        reinterpret_cast<DWORD_PTR>(&play)) != 0) {
        StopOwned();
        return;
    }
    playing_ = true;
    paused_ = completed_ = false;
    OwnerOf(interpreter) = {this, device};
}

void CIMusic::OnNotify(CInterpretor& interpreter, UINT code, UINT device) {
    auto found = owners.find(&interpreter);
    if (found == owners.end() || found->second.music == nullptr || found->second.device != device)
        return;
    CIMusic& music = *found->second.music;
    if (!music.playing_) return;
    if (code == MCI_NOTIFY_ABORTED) return;
    if (code != MCI_NOTIFY_SUCCESSFUL) {
        music.StopOwned();
        return;
    }
    if (music.looping_ && music.loopCount_ > 0 && --music.loopCount_ == 0) music.looping_ = 0;
    if (music.looping_) {
        music.Restart();
        return;
    }
    music.StopOwned();
    music.completed_ = true;
}

int32_t CIMusic::IntArg(uint32_t i, int32_t otherwise) {
    CInterpretor& in = *interpreter;
    if (static_cast<int32_t>(i) >= in.GetArgCount() || in.IsArgDefault(i)) return otherwise;
    return in.GetArgInt(i);
}

void CIMusic::SetIntResult(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

void CIMusic::SetLoop() {
    setLooping_ = looping_ = IntArg(0, 1);
    setLoopCount_ = loopCount_ = IntArg(1, 0);
}

void CIMusic::IsPlaying() {
    SetIntResult(playing_);
}

void CIMusic::IsPaused() {
    SetIntResult(paused_);
}

void CIMusic::IsCompleted() {
    SetIntResult(completed_);
}

void CIMusic::IsLooping() {
    SetIntResult(loopCount_ == 1 ? 0 : looping_);
}

void CIMusic::GetLoopCount() {
    SetIntResult((playing_ || paused_) && loopCount_ > 0 ? loopCount_ - 1 : loopCount_);
}
