// A track's edit list: the movie's timeline as a run of segments, each showing a stretch of
// one medium (or nothing, for a gap). Every time is in the movie's time scale and every sum is
// taken in 64 bits; ranges that reach outside the list are clipped to it, so no edit can
// leave a negative length or a segment past the medium it shows.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace platform::movie {

class Media;

struct Segment {
    // Null for a gap, where the track shows or plays nothing.
    std::shared_ptr<Media> media;
    int64_t mediaStart = 0;
    int64_t duration = 0;
};

// The part of start .. start + length inside 0 .. total; a negative length counts as 0 and
// a sum past the largest time stops there.
struct TimeRange {
    int64_t start = 0;
    int64_t length = 0;
};
TimeRange ClipRange(int64_t start, int64_t length, int64_t total);

class EditList {
public:
    int64_t Duration() const { return duration_; }
    const std::vector<Segment>& Segments() const { return segments_; }

    // The segment showing at `time` and the time inside it; null past the end or at a
    // negative time.
    const Segment* Locate(int64_t time, int64_t* offset) const;

    // The stretch start .. start + length, clipped.
    EditList Copy(int64_t start, int64_t length) const;
    void Delete(int64_t start, int64_t length);
    // `other` placed at `at` (clipped to 0 .. Duration()), pushing the rest later. A sum past
    // the largest time stops the insert there.
    void Insert(const EditList& other, int64_t at);
    // A run of `duration` units from `media` at `mediaStart`, or a gap for null media.
    void Append(std::shared_ptr<Media> media, int64_t mediaStart, int64_t duration);

private:
    // Split so that a segment starts at `time`; the index of that segment.
    size_t SplitAt(int64_t time);
    void Merge();

    std::vector<Segment> segments_;
    int64_t duration_ = 0;
};

} // namespace platform::movie
