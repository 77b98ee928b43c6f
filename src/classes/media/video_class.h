// The Video class: a movie played in a movie window (a child of a Window, or a window of
// its own with a play bar), or frame by frame into a Surface (or, through the hook the
// Texture class installs, into a Texture's picture), paced by the interpreter's polls.
// Its window methods are those every control shares.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classes/window/child_window.h"
#include "script/values/value.h"

class SurfaceHandle;
class VideoPlayer;

class CIVideo final : public CIChildWindow {
public:
    static constexpr uint32_t kClassId = 0x0B;
    static constexpr uint32_t kFirstClassLevelId = 0x38;
    // Creation flags: integer arguments with this tag in their high half.
    static constexpr uint32_t kFlagTag = 0xABCD0000u;
    static constexpr uint32_t kPlayAtOnce = 0x2;
    static constexpr uint32_t kOwnSize = 0x4;
    static constexpr uint32_t kApplyZoom = 0x8;
    static constexpr uint32_t kTimeInFrames = 0x10;
    static constexpr uint32_t kProjectPalette = 0x20;
    static constexpr uint32_t kDefaultFlags = 0x6;

    CIVideo(CInterpretor* interpreter, const CClassRecord* record);
    ~CIVideo() override;

    void CallMethod(uint16_t methodId) override;
    // The player and the use of the target go, then the window.
    void Destroy(int flag) override;
    // The target going takes the Video with it: 1 then.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Video([parent], file name, [constants...], [x], [y], [width], [height],
    // [Surface or Texture], [creation flags...]).
    void Create() override;
    // Into a target: the frame the pump reaches, drawn; else the window's pending changes.
    void Refresh() override;
    int IsLate() override;

    // The polls of the interpreter's pump: every Video playing into a target is marked for
    // the next refresh pass.
    static void RefreshAll(CInterpretor& interpreter);

    void Play();
    void Stop();
    void Pause();
    void Reverse();
    void SetTime();
    void SetFrameMethod();
    void Rewind();
    void SetZoom();
    void GetTime();
    void GetFrameMethod();
    void Resume();
    void GetZoom();
    void IsPlaying();
    void IsPausedMethod();
    void IsStopped();
    void GetNFrames();
    void GetDuration();
    void IsError();

private:
    // Opens the player on the target; errors 14 (no movie, or a target of another size or
    // depth) and 15 (no player).
    void OpenOnTarget(SurfaceHandle* target);
    // Opens the movie in a window of its own, or a child of the parent Window; error 14
    // when the window cannot be made. A movie that cannot be played leaves IsError set.
    void OpenInWindow();
    // The window's time formats, lengths, palette, place, size and zoom, then play or
    // stop; the first failure ends them, kept as the last result.
    void ApplyWindowSettings();
    void TakeWindowSize();
    // "frames" or "ms", as the creation flags chose.
    const char* TimeFormat() const;
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // A command whose answer is kept as the last result; true on success.
    bool Command(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's position read in `format`, and a seek in it; the time format is put
    // back afterwards.
    int64_t WindowPosition(const char* format);
    void WindowSeek(const char* format, int64_t position);
    DWORD WindowMode();
    // Played in a window rather than into a target.
    bool InWindow() const;
    // The sound device stops every sound before a video plays.
    void ReleaseSoundDevice();
    // The player, error 15 without one.
    VideoPlayer& Player();
    void ReleaseTarget();
    void SetIntResult(int64_t value);

    CIBaseClassImpl* targetSurface_ = nullptr;
    CIBaseClassImpl* targetTexture_ = nullptr;
    // The Surface made for a target Texture that had none.
    CValue madeSurface_;
    VideoPlayer* player_ = nullptr;
    uint32_t reverse_ = 0;
    int64_t frameLength_ = 0;
    int64_t millisecondLength_ = 0;
    uint32_t lastResult_ = 0;
    int32_t zoom_ = 100;
    uint32_t flags_ = 0;
    bool flagsGiven_ = false;
    std::string fileName_;
};

const ScriptClassInfo* GetVideoClassInfo();
