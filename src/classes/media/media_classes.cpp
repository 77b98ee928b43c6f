#include "classes/media/media_classes.h"

#include <new>
#include <vector>

#include "audio/manager/sound_channel.h"
#include "audio/manager/sound_manager.h"
#include "audio/sources/wav_writer.h"
#include "classes/media/cdaudio_class.h"
#include "classes/media/modplayer_class.h"
#include "classes/media/music_class.h"
#include "classes/media/qtime_class.h"
#include "classes/media/sound_class.h"
#include "classes/media/video_class.h"
#include "classes/media/voice_class.h"
#include "classes/system/clipboard_class.h"
#include "foundation/streams/mem_out_stream.h"
#include "platform/media/modplug/mod_plug.h"
#include "platform/media/modplug/tracker_module.h"
#include "platform/media/speech/speech_engine.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/neighbour_services.h"

namespace {

bool SoundToWav(CIBaseClassImpl& object, std::vector<uint8_t>& wav) {
    SoundChannel* channel = static_cast<CISound&>(object).GetChannel();
    if (channel == nullptr || channel->GetSource().Get() == nullptr) return false;
    CMemOutStream out;
    if (!WriteWavFile(out, *channel->GetSource().Get())) return false;
    wav.assign(out.GetBuffer(), out.GetBuffer() + out.GetLength());
    return true;
}

CIBaseClassImpl* SoundFromWav(CInterpretor& interpreter, const uint8_t* wav, size_t size) {
    const CClassRecord* record = interpreter.GetClassRecord(CISound::kClassId);
    if (record == nullptr) return nullptr;
    auto* sound = new (std::nothrow) CISound(&interpreter, record);
    if (sound == nullptr) return nullptr;
    if (!sound->OpenFromMemory(wav, size)) {
        sound->Destroy(0);
        return nullptr;
    }
    sound->Register();
    ++interpreter.creations;
    return sound;
}

const ClipboardSoundHooks kClipboardHooks = {CISound::kClassId, &SoundToWav, &SoundFromWav};

} // namespace

void RegisterMediaClasses() {
    SoundMgr_Install();
    RegisterScriptClass(GetSoundClassInfo());
    RegisterScriptClass(GetVideoClassInfo());
    GetNeighbourServices().refreshVideos = &CIVideo::RefreshAll;
    SetClipboardSoundHooks(&kClipboardHooks);
    RegisterScriptClass(GetMusicClassInfo());
    NeighbourServices& services = GetNeighbourServices();
    services.createMciNotifyWindow = &CreateMciCallbackWindow;
    services.destroyMciNotifyWindow = &DestroyMciCallbackWindow;
    modplug::Install();
    RegisterScriptClass(GetMODPlayerClassInfo());
    RegisterScriptClass(GetCDAudioClassInfo());
    services.isModPlugInstalled = &platform::media::TrackerLibraryAvailable;
    // A stand-in registered before (a test's) keeps its place.
    if (GetScriptClassInfo(CIVoice::kClassId) == nullptr) RegisterScriptClass(GetVoiceClassInfo());
    services.isSpeechInstalled = &platform::media::SpeechAvailable;
    RegisterQTimeClass();
}

void UnregisterMediaClasses() {
    UnregisterQTimeClass();
    SetClipboardSoundHooks(nullptr);
    GetNeighbourServices().refreshVideos = nullptr;
    UnregisterScriptClass(CIVideo::kClassId);
    NeighbourServices& services = GetNeighbourServices();
    services.createMciNotifyWindow = nullptr;
    services.destroyMciNotifyWindow = nullptr;
    services.isModPlugInstalled = nullptr;
    services.isSpeechInstalled = nullptr;
    if (GetScriptClassInfo(CIVoice::kClassId) == GetVoiceClassInfo())
        UnregisterScriptClass(CIVoice::kClassId);
    UnregisterScriptClass(CIMusic::kClassId);
    UnregisterScriptClass(CIMODPlayer::kClassId);
    UnregisterScriptClass(CICDAudio::kClassId);
    UnregisterScriptClass(CISound::kClassId);
    SoundMgr_Set(nullptr);
}
