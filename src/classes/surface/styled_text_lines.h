// Line splitting of styled text: where the runs break into lines at the right edge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "classes/surface/styled_text_runs.h"

// A place in the runs: character `index` of run `run`.
struct StyledPlace {
    size_t run = 0;
    size_t index = 0;
};

struct StyledLine {
    StyledPlace begin;
    StyledPlace end; // past the last character
    int32_t width = 0;
    // The greatest |offset| + height of the runs with characters on the line; the end
    // height for a line without characters.
    int32_t height = 0;
    bool empty = true;
};

// Without wrapping the runs make one line. With wrapping, characters join the line one at a
// time; when `startX` plus the line's width passes `limit`, the line is cut after its last
// space or tab, else before the character that passed (but a line keeps at least one
// character), and the next line starts at x = 0 with the rest. The last line holds what is
// left, which may be nothing. Each character is measured by its own advance, so a long text
// costs in proportion to its length.
std::vector<StyledLine> SplitStyledLines(const std::vector<StyledRun>& runs, int32_t startX,
                                         int32_t limit, bool wrap, int32_t endHeight);
