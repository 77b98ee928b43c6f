// What the navigation keys and a double click do to an edit control's selection. The plain
// and the rich edit control share the rules; each brings its own character step, lines and
// word breaks.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "platform/controls/controls.h"

namespace platform {

// The point of a mouse message's lParam, signed as the message packs it.
inline int PointX(LPARAM lParam) {
    return static_cast<short>(LOWORD(lParam));
}
inline int PointY(LPARAM lParam) {
    return static_cast<short>(HIWORD(lParam));
}

template <class State> int SelStart(const State& state) {
    return std::min(state.anchor, state.caret);
}
template <class State> int SelEnd(const State& state) {
    return std::max(state.anchor, state.caret);
}

// Words are runs of characters without a break; `isBreak` says what breaks them.
template <class IsBreak> int WordLeft(const std::string& text, int at, IsBreak isBreak) {
    while (at > 0 && isBreak(text[static_cast<size_t>(at) - 1]))
        --at;
    while (at > 0 && !isBreak(text[static_cast<size_t>(at) - 1]))
        --at;
    return at;
}
template <class IsBreak> int WordRight(const std::string& text, int at, IsBreak isBreak) {
    int length = static_cast<int>(text.size());
    while (at < length && !isBreak(text[static_cast<size_t>(at)]))
        ++at;
    while (at < length && isBreak(text[static_cast<size_t>(at)]))
        ++at;
    return at;
}

// The word around `at`, as a double click selects it: [first, second).
template <class IsBreak>
std::pair<int, int> WordAround(const std::string& text, int at, IsBreak isBreak) {
    int start = at, end = at, length = static_cast<int>(text.size());
    while (start > 0 && !isBreak(text[static_cast<size_t>(start) - 1]))
        --start;
    while (end < length && !isBreak(text[static_cast<size_t>(end)]))
        ++end;
    return {start, end};
}

// Where a navigation key puts the caret, or nothing for a key that is not one. `Moves`
// answers: const std::string& Text(), int Length(), IsBreak(char), StepLeft(int),
// StepRight(int), LineStart(int position), LineEnd(int position), LineMove(int lines) and
// VisibleLines(). With a selection and neither Shift nor Ctrl, Left and Right go to its
// ends.
template <class State, class Moves>
std::optional<int> NavigationTarget(const State& state, Moves& moves, int key, bool shift,
                                    bool ctrl) {
    const std::string& text = moves.Text();
    auto isBreak = [&moves](char c) { return moves.IsBreak(c); };
    int to = state.caret;
    switch (key) {
    case VK_LEFT:
        if (!shift && state.anchor != state.caret && !ctrl) return SelStart(state);
        return ctrl ? WordLeft(text, to, isBreak) : moves.StepLeft(to);
    case VK_RIGHT:
        if (!shift && state.anchor != state.caret && !ctrl) return SelEnd(state);
        return ctrl ? WordRight(text, to, isBreak) : moves.StepRight(to);
    case VK_UP:
        return moves.LineMove(-1);
    case VK_DOWN:
        return moves.LineMove(1);
    case VK_PRIOR:
        return moves.LineMove(-moves.VisibleLines());
    case VK_NEXT:
        return moves.LineMove(moves.VisibleLines());
    case VK_HOME:
        return ctrl ? 0 : moves.LineStart(to);
    case VK_END:
        return ctrl ? moves.Length() : moves.LineEnd(to);
    default:
        return std::nullopt;
    }
}

} // namespace platform
