#include "platform/media/movie/movie_controller.h"

#include <algorithm>

namespace platform::movie {

namespace {

constexpr uint32_t kKeySpace = 0x20;
constexpr uint32_t kKeyLeft = 0x25;
constexpr uint32_t kKeyRight = 0x27;

bool Inside(const ControllerRect& rect, int32_t x, int32_t y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

} // namespace

MovieController::MovieController(Movie& movie, const ControllerRect& bounds)
    : movie_(movie), bounds_(bounds) {}

bool MovieController::Filtered(int32_t action) {
    return filter_ && filter_(action);
}

void MovieController::Play(int32_t rate, int32_t action) {
    if (Filtered(action)) return;
    movie_.SetRate(rate);
}

int64_t MovieController::DoAction(int32_t action, int64_t parameter) {
    if (action == kActionPlay) {
        Play(static_cast<int32_t>(parameter), action);
        return 0;
    }
    if (Filtered(action)) return 0;
    switch (action) {
    case kActionGoToTime:
        movie_.SetTime(parameter);
        break;
    case kActionSetVolume:
        movie_.SetVolume(static_cast<int32_t>(parameter));
        break;
    case kActionGetVolume:
        return static_cast<int16_t>(movie_.Volume());
    case kActionStep:
        movie_.StepFrames(parameter);
        break;
    case kActionSetLooping:
        movie_.SetLooping(parameter != 0);
        break;
    case kActionGetLooping:
        return movie_.Looping() ? 1 : 0;
    case kActionSetSelectionBegin: {
        TimeRange selection = movie_.Selection();
        movie_.SetSelection(parameter, selection.length);
        break;
    }
    case kActionSetSelectionDuration:
        movie_.SetSelection(movie_.Selection().start, parameter);
        break;
    case kActionSetKeysEnabled:
        keys_ = parameter != 0;
        break;
    case kActionSetPlaySelection:
        movie_.SetPlaySelectionOnly(parameter != 0);
        break;
    case kActionGetPlaySelection:
        return movie_.PlaySelectionOnly() ? 1 : 0;
    case kActionSetFlags:
        flags_ = parameter;
        break;
    case kActionGetFlags:
        return flags_;
    default:
        break;
    }
    return 0;
}

void MovieController::SetVisible(bool visible) {
    visible_ = visible;
}

void MovieController::SetBounds(const ControllerRect& bounds) {
    bool resized = bounds.right - bounds.left != bounds_.right - bounds_.left ||
                   bounds.bottom - bounds.top != bounds_.bottom - bounds_.top;
    bounds_ = bounds;
    if (resized) Filtered(kActionControllerSizeChanged);
}

ControllerRect MovieController::MovieBox() const {
    ControllerRect box = bounds_;
    if (visible_) box.bottom = std::max(box.top, box.bottom - kControllerBarHeight);
    return box;
}

ControllerRect MovieController::ButtonRect() const {
    if (!visible_) return {};
    ControllerRect bar = bounds_;
    bar.top = MovieBox().bottom;
    bar.right = std::min(bar.right, bar.left + kControllerBarHeight);
    return bar;
}

ControllerRect MovieController::SliderRect() const {
    if (!visible_) return {};
    ControllerRect bar = bounds_;
    bar.top = MovieBox().bottom;
    bar.left = std::min(bar.right, bar.left + kControllerBarHeight);
    return bar;
}

std::unique_ptr<Movie> MovieController::Cut() {
    if (!editing_ || movie_.Selection().length == 0) return nullptr;
    return movie_.Cut();
}

std::unique_ptr<Movie> MovieController::Copy() {
    if (!editing_ || movie_.Selection().length == 0) return nullptr;
    return movie_.Copy();
}

void MovieController::Clear() {
    if (editing_) movie_.Clear();
}

void MovieController::Paste(const Movie& source) {
    if (editing_) movie_.Paste(source);
}

void MovieController::Undo() {
    if (editing_) movie_.Undo();
}

bool MovieController::Idle() {
    if (movie_.Rate() == 0) return false;
    return movie_.Task();
}

bool MovieController::Key(uint32_t virtualKey) {
    if (!keys_) return false;
    switch (virtualKey) {
    case kKeySpace:
        Play(movie_.Rate() == 0 ? movie_.PreferredRate() : 0, kActionPlay);
        return true;
    case kKeyLeft:
        DoAction(kActionStep, -1);
        return true;
    case kKeyRight:
        DoAction(kActionStep, 1);
        return true;
    default:
        return false;
    }
}

bool MovieController::Click(int32_t x, int32_t y) {
    if (Inside(ButtonRect(), x, y)) {
        Play(movie_.Rate() == 0 ? movie_.PreferredRate() : 0, kActionPlay);
        return true;
    }
    if (Inside(SliderRect(), x, y)) {
        Drag(x);
        return true;
    }
    if (Inside(MovieBox(), x, y)) {
        Filtered(kActionMovieClick);
        return true;
    }
    return false;
}

void MovieController::Drag(int32_t x) {
    ControllerRect slider = SliderRect();
    int32_t width = slider.right - slider.left;
    if (width <= 1) return;
    int64_t along = std::clamp<int64_t>(x - slider.left, 0, width - 1);
    __extension__ __int128 time = __int128(movie_.Duration()) * along / (width - 1);
    movie_.SetTime(static_cast<int64_t>(time));
}

} // namespace platform::movie
