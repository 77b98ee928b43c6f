#include "classes/surface/styled_text.h"

#include <algorithm>

#include "classes/surface/styled_text_lines.h"
#include "classes/surface/styled_text_runs.h"
#include "graphics2d/drawing/surface_handle.h"

namespace {

enum class Mode { Write, WriteLine, Measure };

// The picture's device context for one call.
class PictureDC {
public:
    explicit PictureDC(SurfaceHandle* picture) : surface_(picture->GetImpl()) {
        dc_ = surface_->GetDC();
    }
    ~PictureDC() {
        if (dc_) surface_->ReleaseDC(dc_);
    }
    PictureDC(const PictureDC&) = delete;
    PictureDC& operator=(const PictureDC&) = delete;
    HDC Get() const { return dc_; }

private:
    cSurface* surface_;
    HDC dc_ = 0;
};

int32_t AddClamped(int32_t a, int32_t b, int32_t most) {
    return static_cast<int32_t>(std::min<int64_t>(int64_t{a} + b, most));
}

void Unite(RECT& bounds, const RECT& rect) {
    if (rect.left >= rect.right || rect.top >= rect.bottom) return;
    if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) {
        bounds = rect;
        return;
    }
    bounds.left = std::min(bounds.left, rect.left);
    bounds.top = std::min(bounds.top, rect.top);
    bounds.right = std::max(bounds.right, rect.right);
    bounds.bottom = std::max(bounds.bottom, rect.bottom);
}

class Writer {
public:
    Writer(StyledTextTarget& target, Mode mode, RECT& bounds)
        : target_(target), mode_(mode), bounds_(bounds), picture_(target.picture),
          width_(picture_->GetWidth()), height_(picture_->GetHeight()) {}

    void Write(std::string_view text) {
        PictureDC dc(picture_);
        StyledRuns runs(dc.Get(), target_.font, target_.penColour, text);
        const std::vector<StyledLine> lines =
            SplitStyledLines(runs.Runs(), target_.penX, width_, target_.wrapping, runs.EndHeight());
        for (size_t i = 0; i < lines.size(); ++i) {
            const StyledLine& line = lines[i];
            const bool last = i + 1 == lines.size();
            // An empty Write draws nothing; an empty WriteLn line still takes its place.
            if (mode_ == Mode::WriteLine || (mode_ == Mode::Write && !line.empty))
                ScrollFor(line.height);
            const RECT ink = InkRect(runs.Runs(), line);
            Unite(bounds_, ink);
            if (mode_ != Mode::Measure) Draw(runs.Runs(), line, ink);
            if (!last || mode_ != Mode::Write) {
                NewLine(line.height);
                continue;
            }
            target_.penX = AddClamped(target_.penX, line.width, INT32_MAX);
            if (target_.wrapping && target_.penX >= width_) NewLine(line.height);
            target_.penX = std::min(target_.penX, width_);
        }
    }

private:
    void NewLine(int32_t height) {
        target_.penX = 0;
        target_.penY = AddClamped(target_.penY, height, height_);
    }

    // A line of `height` passing the bottom edge moves the picture up, console-like.
    void ScrollFor(int32_t height) {
        if (target_.penY <= 0 || int64_t{target_.penY} + height <= height_) return;
        const int32_t overflow = static_cast<int32_t>(int64_t{target_.penY} + height - height_);
        if (target_.marks) target_.marks->MarkStyledScroll();
        if (overflow < height_) picture_->MoveRect(0, 0, 0, overflow, width_, height_ - overflow);
        const int32_t band = std::min(overflow, height_);
        picture_->FillRect(0, height_ - band, width_, band, target_.background);
        target_.penY = std::max(0, target_.penY - overflow);
        if (bounds_.bottom > bounds_.top) {
            bounds_.top -= overflow;
            bounds_.bottom -= overflow;
        }
    }

    // Calls `f`(run, first character, count, rectangle) for each run's part on the line.
    template <class F>
    void ForEachPiece(const std::vector<StyledRun>& runs, const StyledLine& line, F f) const {
        int64_t x = target_.penX;
        for (size_t r = line.begin.run; r < runs.size() && r <= line.end.run; ++r) {
            const StyledRun& run = runs[r];
            const size_t from = r == line.begin.run ? line.begin.index : 0;
            const size_t to = r == line.end.run ? line.end.index : run.text.size();
            if (from >= to) continue;
            const int32_t width = run.ends[to - 1] - (from == 0 ? 0 : run.ends[from - 1]);
            const int32_t left = static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX));
            const int32_t top = AddClamped(target_.penY, run.offset, INT32_MAX);
            f(run, from, to - from,
              RECT{left, top, AddClamped(left, width, INT32_MAX),
                   AddClamped(top, run.height, INT32_MAX)});
            x += width;
        }
    }

    // The line's rectangle and those of its runs: a superscript rises above the line's top.
    RECT InkRect(const std::vector<StyledRun>& runs, const StyledLine& line) const {
        RECT ink{target_.penX, target_.penY, AddClamped(target_.penX, line.width, INT32_MAX),
                 AddClamped(target_.penY, line.height, INT32_MAX)};
        ForEachPiece(runs, line, [&ink](const StyledRun&, size_t, size_t, const RECT& rect) {
            Unite(ink, rect);
        });
        return ink;
    }

    void Draw(const std::vector<StyledRun>& runs, const StyledLine& line, const RECT& ink) {
        if (line.empty || line.width <= 0) return;
        if (target_.marks) target_.marks->MarkStyledRect(ink);
        ForEachPiece(runs, line,
                     [this](const StyledRun& run, size_t from, size_t count, const RECT& rect) {
                         picture_->TextOut(run.text.data() + from, static_cast<int32_t>(count),
                                           rect.left, rect.top, 0, &rect, run.colour, run.font, 0,
                                           target_.drawMode, target_.drawLevel, target_.antiAlias);
                     });
    }

    StyledTextTarget& target_;
    Mode mode_;
    RECT& bounds_;
    SurfaceHandle* picture_;
    int32_t width_;
    int32_t height_;
};

void Lay(StyledTextTarget& target, std::string_view text, RECT* out, Mode mode) {
    RECT bounds{0, 0, 0, 0};
    if (target.picture && target.picture->IsValid()) {
        Writer writer(target, mode, bounds);
        writer.Write(text);
    }
    if (out) *out = bounds;
}

} // namespace

void WriteStyledText(StyledTextTarget& target, std::string_view text, RECT* drawn) {
    Lay(target, text, drawn, Mode::Write);
}

void WriteStyledLine(StyledTextTarget& target, std::string_view text, RECT* drawn) {
    Lay(target, text, drawn, Mode::WriteLine);
}

void MeasureStyledLine(StyledTextTarget& target, std::string_view text, RECT* extent) {
    Lay(target, text, extent, Mode::Measure);
}
