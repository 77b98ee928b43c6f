#include "platform/media/movie/edit_list.h"

#include <algorithm>
#include <limits>

namespace platform::movie {

namespace {

constexpr int64_t kMaxTime = std::numeric_limits<int64_t>::max();

} // namespace

TimeRange ClipRange(int64_t start, int64_t length, int64_t total) {
    int64_t end = length <= 0 ? start : (start > kMaxTime - length ? kMaxTime : start + length);
    TimeRange range;
    range.start = std::clamp<int64_t>(start, 0, total);
    range.length = std::clamp<int64_t>(end, range.start, total) - range.start;
    return range;
}

const Segment* EditList::Locate(int64_t time, int64_t* offset) const {
    if (time < 0) return nullptr;
    for (const Segment& segment : segments_) {
        if (time < segment.duration) {
            *offset = time;
            return &segment;
        }
        time -= segment.duration;
    }
    return nullptr;
}

size_t EditList::SplitAt(int64_t time) {
    size_t index = 0;
    while (index < segments_.size()) {
        Segment& segment = segments_[index];
        if (time == 0) return index;
        if (time < segment.duration) {
            Segment tail = segment;
            tail.duration = segment.duration - time;
            if (tail.media) tail.mediaStart = segment.mediaStart + time;
            segment.duration = time;
            segments_.insert(segments_.begin() + static_cast<ptrdiff_t>(index) + 1, tail);
            return index + 1;
        }
        time -= segment.duration;
        ++index;
    }
    return index;
}

void EditList::Merge() {
    std::vector<Segment> merged;
    for (Segment& segment : segments_) {
        if (segment.duration <= 0) continue;
        if (!merged.empty()) {
            Segment& last = merged.back();
            bool continues =
                last.media == segment.media &&
                (!segment.media || last.mediaStart + last.duration == segment.mediaStart);
            if (continues) {
                last.duration += segment.duration;
                continue;
            }
        }
        if (!segment.media) segment.mediaStart = 0;
        merged.push_back(std::move(segment));
    }
    segments_ = std::move(merged);
}

EditList EditList::Copy(int64_t start, int64_t length) const {
    TimeRange range = ClipRange(start, length, duration_);
    EditList copy;
    int64_t position = 0;
    int64_t end = range.start + range.length;
    for (const Segment& segment : segments_) {
        int64_t from = std::max(position, range.start);
        int64_t to = std::min(position + segment.duration, end);
        if (from < to)
            copy.Append(segment.media, segment.mediaStart + (from - position), to - from);
        position += segment.duration;
        if (position >= end) break;
    }
    return copy;
}

void EditList::Delete(int64_t start, int64_t length) {
    TimeRange range = ClipRange(start, length, duration_);
    if (range.length == 0) return;
    size_t first = SplitAt(range.start);
    size_t last = SplitAt(range.start + range.length);
    segments_.erase(segments_.begin() + static_cast<ptrdiff_t>(first),
                    segments_.begin() + static_cast<ptrdiff_t>(last));
    duration_ -= range.length;
    Merge();
}

void EditList::Insert(const EditList& other, int64_t at) {
    at = std::clamp<int64_t>(at, 0, duration_);
    int64_t room = kMaxTime - duration_;
    std::vector<Segment> added;
    for (const Segment& segment : other.segments_) {
        if (room == 0) break;
        Segment piece = segment;
        piece.duration = std::min(piece.duration, room);
        room -= piece.duration;
        added.push_back(std::move(piece));
    }
    if (added.empty()) return;
    size_t index = SplitAt(at);
    for (const Segment& segment : added)
        duration_ += segment.duration;
    segments_.insert(segments_.begin() + static_cast<ptrdiff_t>(index), added.begin(), added.end());
    Merge();
}

void EditList::Append(std::shared_ptr<Media> media, int64_t mediaStart, int64_t duration) {
    // Splits and merges add offsets to mediaStart; keeping mediaStart + duration inside 64 bits
    // keeps every such sum inside too.
    mediaStart = media ? std::max<int64_t>(mediaStart, 0) : 0;
    duration = std::min({duration, kMaxTime - duration_, kMaxTime - mediaStart});
    if (duration <= 0) return;
    Segment segment;
    segment.media = std::move(media);
    segment.mediaStart = mediaStart;
    segment.duration = duration;
    segments_.push_back(std::move(segment));
    duration_ += duration;
    Merge();
}

} // namespace platform::movie
