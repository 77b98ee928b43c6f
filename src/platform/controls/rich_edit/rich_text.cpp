#include "platform/controls/rich_edit/rich_text.h"

#include <algorithm>

namespace platform {

void MergeFormat(RichFormat& to, uint32_t mask, const RichFormat& from) {
    uint32_t effects = mask & kRichEffectMask;
    to.effects = (to.effects & ~effects) | (from.effects & effects);
    if (mask & CFM_COLOR) {
        to.effects = (to.effects & ~CFE_AUTOCOLOR) | (from.effects & CFE_AUTOCOLOR);
        to.color = from.color & 0xFFFFFF;
    }
    if (mask & CFM_SIZE) to.height = from.height;
    if (mask & CFM_FACE) to.face = from.face.substr(0, std::min(from.face.size(), kRichFaceLength));
}

RichFormat RichText::FormatAt(int position, const RichFormat& empty) const {
    if (runs_.empty()) return empty;
    position = std::clamp(position, 0, Length() - 1);
    int at = 0;
    for (const RichRun& run : runs_) {
        if (position < at + run.length) return run.format;
        at += run.length;
    }
    return runs_.back().format;
}

int RichText::ParagraphOf(int position) const {
    position = std::clamp(position, 0, Length());
    return static_cast<int>(std::count(text_.begin(), text_.begin() + position, '\r'));
}

int RichText::ParagraphStart(int paragraph) const {
    if (paragraph <= 0) return 0;
    int seen = 0;
    for (size_t i = 0; i < text_.size(); ++i)
        if (text_[i] == '\r' && ++seen == paragraph) return static_cast<int>(i) + 1;
    return Length();
}

void RichText::Append(std::string_view text, const RichFormat& format) {
    AppendRun(text, RichRun{0, format, nullptr});
}

void RichText::AppendObject(std::shared_ptr<const RichObject> object, const RichFormat& format) {
    AppendRun(std::string_view(&kRichObjectChar, 1), RichRun{0, format, std::move(object)});
}

void RichText::AppendRun(std::string_view text, const RichRun& like) {
    if (text.empty()) return;
    text_.append(text);
    if (!runs_.empty() && runs_.back().format == like.format && runs_.back().SameObject(like))
        runs_.back().length += static_cast<int>(text.size());
    else
        runs_.push_back(RichRun{static_cast<int>(text.size()), like.format, like.object});
    RichAlign align = aligns_.back();
    aligns_.insert(aligns_.end(), static_cast<size_t>(std::count(text.begin(), text.end(), '\r')),
                   align);
}

size_t RichText::SplitAt(int position) {
    int at = 0;
    for (size_t i = 0; i < runs_.size(); ++i) {
        if (at == position) return i;
        if (position < at + runs_[i].length) {
            RichRun tail{at + runs_[i].length - position, runs_[i].format, runs_[i].object};
            runs_[i].length = position - at;
            runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, tail);
            return i + 1;
        }
        at += runs_[i].length;
    }
    return runs_.size();
}

void RichText::Normalise() {
    std::vector<RichRun> merged;
    merged.reserve(runs_.size());
    for (RichRun& run : runs_) {
        if (run.length <= 0) continue;
        if (!merged.empty() && merged.back().format == run.format && merged.back().SameObject(run))
            merged.back().length += run.length;
        else
            merged.push_back(std::move(run));
    }
    runs_ = std::move(merged);
}

void RichText::Replace(int start, int end, const RichText& with) {
    start = std::clamp(start, 0, Length());
    end = std::clamp(end, start, Length());
    int firstParagraph = ParagraphOf(start), lastParagraph = ParagraphOf(end);
    std::vector<RichAlign> aligns(aligns_.begin(), aligns_.begin() + firstParagraph);
    int marks = static_cast<int>(with.aligns_.size()) - 1;
    aligns.insert(aligns.end(), with.aligns_.begin(), with.aligns_.begin() + marks);
    aligns.insert(aligns.end(), aligns_.begin() + lastParagraph, aligns_.end());
    if (marks == 0)
        aligns[static_cast<size_t>(firstParagraph)] = aligns_[static_cast<size_t>(firstParagraph)];

    size_t first = SplitAt(start);
    size_t last = SplitAt(end);
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first),
                runs_.begin() + static_cast<std::ptrdiff_t>(last));
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(first), with.runs_.begin(),
                 with.runs_.end());
    text_.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), with.text_);
    aligns_ = std::move(aligns);
    Normalise();
}

RichText RichText::Slice(int start, int end) const {
    start = std::clamp(start, 0, Length());
    end = std::clamp(end, start, Length());
    RichText slice;
    int at = 0;
    for (const RichRun& run : runs_) {
        int from = std::max(at, start), to = std::min(at + run.length, end);
        if (from < to)
            slice.AppendRun(std::string_view(text_.data() + from, static_cast<size_t>(to - from)),
                            run);
        at += run.length;
    }
    slice.aligns_.assign(aligns_.begin() + ParagraphOf(start),
                         aligns_.begin() + ParagraphOf(end) + 1);
    return slice;
}

void RichText::Format(int start, int end, uint32_t mask, const RichFormat& format) {
    start = std::clamp(start, 0, Length());
    end = std::clamp(end, start, Length());
    if (start == end) return;
    size_t first = SplitAt(start);
    size_t last = SplitAt(end);
    for (size_t i = first; i < last; ++i)
        MergeFormat(runs_[i].format, mask, format);
    Normalise();
}

void RichText::Align(int start, int end, RichAlign align) {
    int first = ParagraphOf(start), last = ParagraphOf(std::max(start, end));
    for (int paragraph = first; paragraph <= last; ++paragraph)
        aligns_[static_cast<size_t>(paragraph)] = align;
}

} // namespace platform
