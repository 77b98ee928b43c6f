#include "classes/media/sound_class.h"

#include <cstring>
#include <new>

#include "audio/manager/sound_channel.h"
#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "foundation/streams/file_in_stream.h"
#include "foundation/streams/mem_in_stream.h"
#include "script/interpreter/interpretor.h"
#include "script/project/element.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"

namespace {

using T = CISound;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "Sound", 0, 0},
    {T::kPlay, "Play", 0, 0},
    {T::kStop, "Stop", 0, 0},
    {T::kPause, "Pause", 0, 0},
    {T::kResume, "Resume", 0, 0},
    {T::kGetVolume, "GetVolume", 0, 0},
    {T::kGetPan, "GetPan", 0, 0},
    {T::kGetFrequency, "GetFrequency", 0, 0},
    {T::kSetVolume, "SetVolume", 0, 0},
    {T::kSetPan, "SetPan", 0, 0},
    {T::kSetFrequency, "SetFrequency", 0, 0},
    {T::kSetLoop, "SetLoop", 0, 0},
    {T::kIsLooping, "IsLooping", 0, 0},
    {T::kIsPlaying, "IsPlaying", 0, 0},
    {T::kIsPaused, "IsPaused", 0, 0},
    {T::kIsCompleted, "IsCompleted", 0, 0},
    {T::kGetLoopCount, "GetLoopCount", 0, 0},
    {T::kStopAllSamples, "StopAllSamples", 0, 0},
    {T::kGetDuration, "GetDuration", 0, 0},
    {T::kSetPos, "SetPos", 0, 0},
    {T::kGetPos, "GetPos", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewSound(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CISound(&interpreter, record);
}

const ScriptClassInfo kSoundClass = {kNameTable, NewSound, 0, nullptr, 0, nullptr, nullptr};

} // namespace

const ScriptMethod<CISound> CISound::kMethods[kMethodCount] = {
    nullptr,          &T::Play,         &T::Stop,           &T::Pause,       &T::Resume,
    &T::GetVolume,    &T::GetPan,       &T::GetFrequency,   &T::SetVolume,   &T::SetPan,
    &T::SetFrequency, &T::SetLoop,      &T::IsLooping,      &T::IsPlaying,   &T::IsPaused,
    &T::IsCompleted,  &T::GetLoopCount, &T::StopAllSamples, &T::GetDuration, &T::SetPos,
    &T::GetPos,
};

const ScriptClassInfo* GetSoundClassInfo() {
    return &kSoundClass;
}

CISound::CISound(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CISound::~CISound() {
    if (channel_ != nullptr) channel_->Release();
    channel_ = nullptr;
}

void CISound::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

SoundDevice* CISound::DeviceOf(CInterpretor& interpreter) {
    return SoundMgr_Instance().FindDevice(interpreter.soundOutput);
}

bool CISound::MakeChannel() {
    SoundDevice* device = DeviceOf(*interpreter);
    if (device != nullptr && stream_ != nullptr) channel_ = device->CreateChannel(stream_.get(), 0);
    return channel_ != nullptr;
}

void CISound::Create() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() != 1) in.RaiseError(21);
    const CValue* value = in.GetArg(0);
    CProjectFile* project = in.projectFile;
    switch (value->GetType()) {
    case kValueString: {
        const char* name = value->GetStringSafe();
        CElement* element = project != nullptr
                                ? project->ResolveElement(name, project_format::kSoundBank, 1)
                                : nullptr;
        if (element != nullptr) {
            stream_.reset(element->OpenStream(1));
        } else if (project != nullptr) {
            stream_.reset(project->FindElementByName(name, 0, 1));
        } else {
            auto* file = new (std::nothrow) CFileInStream;
            if (file != nullptr && file->OpenFile(name) == kResultOk)
                stream_.reset(file);
            else
                delete file;
        }
        if (stream_ == nullptr) in.RaiseError(14);
        break;
    }
    case kValueInt:
    case kValueDouble: {
        if (project == nullptr || project->FindBank(project_format::kSoundBank) == nullptr)
            in.RaiseError(14);
        CElement* element =
            project->FindElementByIndex(value->GetInt(), project_format::kSoundBank, 1);
        if (element == nullptr) in.RaiseError(33);
        stream_.reset(element->OpenStream(1));
        if (stream_ == nullptr) in.RaiseError(14);
        break;
    }
    default:
        in.RaiseError(14);
    }
    if (!MakeChannel()) in.RaiseError(14);
    Register();
}

void CISound::LoadFromMemory(const uint8_t* data, size_t size) {
    if (!OpenFromMemory(data, size)) interpreter->RaiseError(14);
}

bool CISound::OpenFromMemory(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFFu || channel_ != nullptr) return false;
    memory_.reset(new (std::nothrow) uint8_t[size > 0 ? size : 1]);
    auto* stream = new (std::nothrow) CMemInStream;
    if (memory_ == nullptr || stream == nullptr) {
        delete stream;
        return false;
    }
    if (size > 0) std::memcpy(memory_.get(), data, size);
    stream->Attach(memory_.get(), static_cast<uint32_t>(size));
    stream_.reset(stream);
    return MakeChannel();
}

int32_t CISound::IntArg(uint32_t i, int32_t otherwise) {
    CInterpretor& in = *interpreter;
    if (static_cast<int32_t>(i) >= in.GetArgCount() || in.IsArgDefault(i)) return otherwise;
    return in.GetArgInt(i);
}

void CISound::SetIntResult(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

void CISound::Play() {
    if (channel_ != nullptr) channel_->Play();
}

void CISound::Stop() {
    if (channel_ != nullptr) channel_->Stop(IntArg(0, 1), 1);
}

void CISound::Pause() {
    if (channel_ != nullptr) channel_->Pause();
}

void CISound::Resume() {
    if (channel_ != nullptr) channel_->Resume();
}

void CISound::GetVolume() {
    SetIntResult(channel_ != nullptr ? channel_->GetVolume() : 1000);
}

void CISound::GetPan() {
    SetIntResult(channel_ != nullptr ? channel_->GetPan() : 0);
}

void CISound::GetFrequency() {
    SetIntResult(channel_ != nullptr ? channel_->GetFrequency() : 0);
}

void CISound::SetVolume() {
    if (channel_ != nullptr) channel_->SetVolume(IntArg(0, 1000));
}

void CISound::SetPan() {
    if (channel_ != nullptr) channel_->SetPan(IntArg(0, 0));
}

void CISound::SetFrequency() {
    if (channel_ != nullptr) channel_->SetFrequency(IntArg(0, 0));
}

void CISound::SetLoop() {
    if (channel_ != nullptr) channel_->SetLoop(IntArg(0, 1), IntArg(1, 0));
}

void CISound::IsLooping() {
    SetIntResult(channel_ != nullptr ? channel_->IsLooping() : 0);
}

void CISound::IsPlaying() {
    SetIntResult(channel_ != nullptr ? channel_->IsPlaying() : 0);
}

void CISound::IsPaused() {
    SetIntResult(channel_ != nullptr ? channel_->IsPaused() : 0);
}

void CISound::IsCompleted() {
    SetIntResult(channel_ != nullptr ? channel_->IsCompleted() : 0);
}

void CISound::GetLoopCount() {
    SetIntResult(channel_ != nullptr ? channel_->GetLoopCount() : 0);
}

void CISound::StopAllSamples() {
    SoundDevice* device = DeviceOf(*interpreter);
    if (device != nullptr) device->GetManager()->ReleaseAll();
}

void CISound::GetDuration() {
    SetIntResult(channel_ != nullptr ? channel_->GetDuration() : 0);
}

void CISound::SetPos() {
    if (interpreter->GetArgCount() != 1) interpreter->RaiseError(21);
    if (channel_ != nullptr) channel_->SetPosition(interpreter->GetArgInt(0));
}

void CISound::GetPos() {
    SetIntResult(channel_ != nullptr ? channel_->GetPosition() : 0);
}
