#include "classes/surface/styled_text_lines.h"

#include <algorithm>
#include <cstdlib>

namespace {

int32_t Advance(const StyledRun& run, size_t index) {
    return run.ends[index] - (index == 0 ? 0 : run.ends[index - 1]);
}

// The next place holding a character at or after `place`; runs.size() when none.
StyledPlace NextCharacter(const std::vector<StyledRun>& runs, StyledPlace place) {
    while (place.run < runs.size() && place.index >= runs[place.run].text.size()) {
        ++place.run;
        place.index = 0;
    }
    return place;
}

// The width and height of the characters from `begin` to `end`.
void Measure(const std::vector<StyledRun>& runs, StyledLine& line, int32_t endHeight) {
    int64_t width = 0;
    int32_t height = 0;
    bool any = false;
    for (size_t r = line.begin.run; r < runs.size() && r <= line.end.run; ++r) {
        const StyledRun& run = runs[r];
        const size_t from = r == line.begin.run ? line.begin.index : 0;
        const size_t to = r == line.end.run ? line.end.index : run.text.size();
        if (from >= to) continue;
        width += int64_t{run.ends[to - 1]} - (from == 0 ? 0 : run.ends[from - 1]);
        height = std::max<int32_t>(height, std::abs(run.offset) + run.height);
        any = true;
    }
    line.width = static_cast<int32_t>(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
    line.height = any ? height : endHeight;
    line.empty = !any;
}

} // namespace

std::vector<StyledLine> SplitStyledLines(const std::vector<StyledRun>& runs, int32_t startX,
                                         int32_t limit, bool wrap, int32_t endHeight) {
    std::vector<StyledLine> lines;
    const StyledPlace end{runs.size(), 0};
    StyledLine line;
    if (wrap) {
        int64_t x = startX;
        bool breakSeen = false;
        StyledPlace afterBreak;
        size_t characters = 0;
        StyledPlace place = NextCharacter(runs, line.begin);
        while (place.run < runs.size()) {
            const StyledRun& run = runs[place.run];
            const char c = run.text[place.index];
            const StyledPlace next = NextCharacter(runs, {place.run, place.index + 1});
            if (c == ' ' || c == '\t') {
                breakSeen = true;
                afterBreak = {place.run, place.index + 1};
            }
            x += Advance(run, place.index);
            ++characters;
            if (x <= limit) {
                place = next;
                continue;
            }
            // The character at `place` passed the edge.
            if (breakSeen)
                line.end = afterBreak;
            else if (characters > 1)
                line.end = place;
            else
                line.end = {place.run, place.index + 1};
            Measure(runs, line, endHeight);
            lines.push_back(line);
            line = StyledLine{};
            line.begin = line.end = lines.back().end;
            place = NextCharacter(runs, line.begin);
            x = 0;
            breakSeen = false;
            characters = 0;
        }
    }
    line.end = end;
    Measure(runs, line, endHeight);
    lines.push_back(line);
    return lines;
}
