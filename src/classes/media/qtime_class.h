// The QTime class: movies of the movie layer played in a window of their own with a movie
// controller, or off screen into a Surface or a 3D Texture; edited through the controller
// (selections, cut, copy, paste, one level of undo, segments). Panoramas are not read on this
// system: the VR methods raise 110 and IsVRMovie answers 0.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classes/surface/view3d.h"
#include "classes/window/child_window.h"
#include "platform/media/movie/movie_controller.h"
#include "script/values/value.h"

class CWindowSurface;

class CIQTime final : public CIChildWindow {
public:
    static constexpr uint32_t kClassId = 0x16;
    static constexpr uint32_t kFirstClassLevelId = 0x75;
    static constexpr const char* kWindowClassName = "class_ZORVANE_QT3";

    CIQTime(CInterpretor* interpreter, const CClassRecord* record);
    ~CIQTime() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // The target Surface or Texture going marks the QTime deleted: 1 then.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new QTime([parent], [file name], [constants...], [x], [y], [width], [height],
    //           [Surface or Texture]).
    void Create() override;
    // Into a target: the movie's frame copied into it; else the window's pending changes.
    void Refresh() override;
    int IsLate() override;

    // Process-wide and use-counted; StartQuickTime answers 0 when the movies cannot start.
    static int StartQuickTime();
    static void StopQuickTime();
    // 1 while panoramas can be shown: never here.
    static int IsQuickTimeStarted();
    // The pump's idle task: movies drawing into Surfaces and Textures move on and are marked for
    // refresh.
    static void IdleAll(CInterpretor& interpreter);

    // The window's work, from its window procedure.
    void OnTimer();
    void Paint(HDC dc);
    bool OnKey(uint32_t virtualKey);
    bool OnClick(int32_t x, int32_t y);
    void OnDrag(int32_t x);
    void OnSize();

    // Methods.
    void Play();
    void Stop();
    void Pause();
    void Resume();
    void OpenFile();
    void Close();
    void GetTime();
    void ClearSelection();
    void SaveAsFile();
    void Undo();
    void Cut();
    void Copy();
    void Paste();
    void SelectAll();
    void PlayReverse();
    void GotoBegin();
    void GotoEnd();
    void GotoTime();
    void StepFrame();
    void SetLooping();
    void IsLooping();
    void SetVolume();
    void GetDuration();
    void ShowPlayBar();
    void HidePlayBar();
    void GetMovieNativeWidth();
    void GetMovieNativeHeight();
    void GetMoviesErrorMethod();
    void GetVolume();
    void AttachMovieController();
    void IsControllerAttached();
    void DetachMovieController();
    void CreateEmptyMovie();
    void BeginVideoEdit();
    void EndVideoEdit();
    void AppendVideoFrame();
    void InsertMovieSegment();
    void DeleteMovieSegment();
    void GetFileNamePreview();
    void VRMethod();
    void VRHandler();
    void ChooseEffectDialog();
    void ExportMovieToDV();
    void HasSoundTrack();
    void HasVideoTrack();
    template <platform::movie::EffectKind Kind> void EffectMethod() { AddEffect(Kind); }
    void EffectFromDialog();
    void SetPlaySelection();
    void GetPlaySelection();
    void SetSelection();
    void IsVRMovie();
    void ExportMovieToAVI();

    platform::movie::Movie* GetMovie() { return movie_.get(); }

private:
    // The effect built from the arguments after the quality; error 14 when it cannot be.
    void AddEffect(platform::movie::EffectKind kind);
    bool Open(const char* path);
    void CloseMovie();
    void Attach();
    // The world of the target's size and depth, made again when either changed.
    bool PrepareWorld();
    void ReleaseTarget();
    // What the movie draws into: the target Surface, or the Surface a target Texture takes
    // its picture from; null when there is none.
    CWindowSurface* DrawingSurface() const;
    bool ActionFilter(int32_t action);
    void ReleaseSoundDevice();
    void PlayAt(int32_t rate);
    platform::movie::ControllerRect ClientRect() const;
    void SetIntResult(int64_t value);
    // Script milliseconds and movie units.
    static int64_t ToMovieTime(int64_t milliseconds);
    static int64_t ToMilliseconds(int64_t time);

    std::unique_ptr<platform::movie::Movie> movie_;
    std::unique_ptr<platform::movie::MovieController> controller_;
    platform::movie::OffscreenWorld world_;
    int32_t worldDepth_ = 0;
    bool worldMade_ = false;
    // The Surface or Texture drawn into (one use held); the Texture's side of it.
    CIBaseClassImpl* target_ = nullptr;
    CISurfaceTexture* targetTexture_ = nullptr;
    CValue madeSurface_;
    bool barVisible_ = true;
    bool started_ = false;
    std::string fileName_;
    std::string temporaryFile_;
    // The video being built by AppendVideoFrame, until EndVideoEdit.
    std::shared_ptr<platform::movie::BuiltMedia> building_;
    int64_t lastFrameDuration_ = 0;
    std::string chosenPath_;
    // The effect dialog's last confirmed choice; none before the first.
    platform::movie::Effect dialogEffect_;
    bool dialogChosen_ = false;
    // Whether the program had an active window at the window's last tick.
    bool programActive_ = true;
};

// Tests make the next starts fail with this.
void SetQuickTimeStartFails(bool fails);

const ScriptClassInfo* GetQTimeClassInfo();
// Registers the class and its runtime hooks (the idle task and the probes); and undoes it.
void RegisterQTimeClass();
void UnregisterQTimeClass();
