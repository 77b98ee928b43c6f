// The movie controller: what a movie in a window is played, stepped, edited and scrolled
// through. Scripts reach it by action codes; the controller's owner sees the actions it
// takes on its own (play from its button, a click in the picture, a change of size) through
// an action filter, which may swallow them. Its bar is 16 pixels at the bottom of its
// bounds, the movie's picture above it.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/media/movie/movie.h"

namespace platform::movie {

enum ControllerAction : int32_t {
    kActionPlay = 8,
    kActionGoToTime = 12,
    kActionSetVolume = 14,
    kActionGetVolume = 15,
    kActionStep = 18,
    kActionSetLooping = 21,
    kActionGetLooping = 22,
    kActionControllerSizeChanged = 26,
    kActionSetSelectionBegin = 29,
    kActionSetSelectionDuration = 30,
    kActionSetKeysEnabled = 32,
    kActionSetPlaySelection = 34,
    kActionGetPlaySelection = 35,
    kActionSetFlags = 38,
    kActionGetFlags = 39,
    kActionMovieClick = 45,
    kActionResume = 47,
};

constexpr int32_t kControllerBarHeight = 16;

struct ControllerRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class MovieController {
public:
    // True swallows the action.
    using ActionFilter = std::function<bool(int32_t action)>;

    // The movie stays the caller's and must outlive the controller.
    MovieController(Movie& movie, const ControllerRect& bounds);

    Movie& GetMovie() { return movie_; }
    void SetActionFilter(ActionFilter filter) { filter_ = std::move(filter); }

    // The actions scripts send; getters answer, setters answer 0.
    int64_t DoAction(int32_t action, int64_t parameter);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    const ControllerRect& Bounds() const { return bounds_; }
    void SetBounds(const ControllerRect& bounds);
    // Where the picture goes: the bounds less the bar while it shows.
    ControllerRect MovieBox() const;
    // The bar's play button and slider, empty while the bar is hidden.
    ControllerRect ButtonRect() const;
    ControllerRect SliderRect() const;

    bool EditingEnabled() const { return editing_; }
    void EnableEditing(bool enabled) { editing_ = enabled; }
    bool KeysEnabled() const { return keys_; }

    // Editing, only while enabled: Cut and Copy give null then, or for an empty selection.
    std::unique_ptr<Movie> Cut();
    std::unique_ptr<Movie> Copy();
    void Clear();
    void Paste(const Movie& source);
    void Undo();

    // The clock's task. True when the picture changed.
    bool Idle();
    // Space plays or pauses, the arrows step a frame back or on: true when the key was used.
    bool Key(uint32_t virtualKey);
    // A press at x, y: the button plays or pauses, the slider moves the time, the picture
    // goes to the filter. True when the controller took it.
    bool Click(int32_t x, int32_t y);
    // The slider dragged to x.
    void Drag(int32_t x);
    // The program is back in front after another had it: the filter hears of it (action 47),
    // as the sound device may have to be taken back from whoever had it meanwhile.
    void Resume() { Filtered(kActionResume); }

private:
    bool Filtered(int32_t action);
    void Play(int32_t rate, int32_t action);

    Movie& movie_;
    ControllerRect bounds_;
    ActionFilter filter_;
    bool visible_ = true;
    bool editing_ = false;
    bool keys_ = false;
    int64_t flags_ = 0;
};

} // namespace platform::movie
