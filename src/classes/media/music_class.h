// The Music class: a MIDI file, from a file or the music bank, played on the MCI
// sequencer. One Music of an interpreter plays at a time; the end of the file comes back
// as an MCI notification to the interpreter's notification window, which restarts the
// file while looping or marks the object completed.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "script/classes/base_class.h"

class CInStream;

class CIMusic final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 14;

    enum : uint16_t {
        kPlay = 1,
        kStop,
        kPause,
        kResume,
        kSetLoop,
        kIsPlaying,
        kIsPaused,
        kIsCompleted,
        kIsLooping,
        kGetLoopCount,
        kMethodCount,
    };

    CIMusic(CInterpretor* interpreter, const CClassRecord* record);
    ~CIMusic() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int) override { delete this; }
    // New Music(name, index or file name).
    void Create() override;

    // The notification window's work for a sequencer notification (code, device id).
    static void OnNotify(CInterpretor& interpreter, UINT code, UINT device);

private:
    void Play();
    void Stop();
    void Pause();
    void Resume();
    void SetLoop();
    void IsPlaying();
    void IsPaused();
    void IsCompleted();
    void IsLooping();
    void GetLoopCount();

    // The element's bytes into a new temporary file; error 14 on failure.
    void CopyToTemporaryFile(CInStream* stream);
    // Error 14 unless the file is a RIFF "RMID" file or starts with "MThd".
    void CheckMidiFile();
    // Clears the flags, forgets the owner and closes the sequencer.
    void StopOwned();
    void Restart();
    bool OwnsSequencer() const;
    int32_t IntArg(uint32_t i, int32_t otherwise);
    void SetIntResult(int32_t value);

    static const ScriptMethod<CIMusic> kMethods[kMethodCount];

    std::string path_;
    bool temporary_ = false;
    bool playing_ = false;
    bool paused_ = false;
    bool completed_ = false;
    int32_t looping_ = 0;
    int32_t loopCount_ = 0;
    int32_t setLooping_ = 0;
    int32_t setLoopCount_ = 0;
};

const ScriptClassInfo* GetMusicClassInfo();

// The interpreter's MCI notification window ("ZorvMciCallback"), and its end.
HWND CreateMciCallbackWindow(CInterpretor& interpreter);
void DestroyMciCallbackWindow(HWND window);
