#include "platform/controls/edit.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/controls/caret_moves.h"
#include "platform/controls/clipboard_text.h"
#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/edit_text.h"
#include "platform/controls/label.h"
#include "platform/controls/tabbed_text.h"
#include "platform/controls/text_case.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/user/input/caret.h"

namespace platform {

namespace {

constexpr int kMargin = 2;

constexpr int kDefaultTabUnits = 32;
constexpr int kWheelLines = 3;
// Scroll offsets and tab stops stay within this many pixels, whatever a message asks.
constexpr int64_t kFar = 1 << 24;

// The last change, which EM_UNDO reverses: `inserted` characters from `start` replaced
// `removed`.
struct UndoStep {
    bool valid = false;
    bool typing = false;
    int start = 0;
    int inserted = 0;
    std::string removed;
};

struct EditState {
    ControlFont font;
    EditText text;
    int anchor = 0;
    int caret = 0;
    bool focused = false;
    bool modified = false;
    bool tracking = false;
    int limit = kEditDefaultLimit;
    int firstLine = 0;
    int xOffset = 0;
    std::vector<int> tabUnits; // EM_SETTABSTOPS, in dialog units
    UndoStep undo;
    int wheelRest = 0;
    // The metrics of the font the layout was made with.
    HFONT measuredFont = 0;
    bool measured = false;
    std::array<int, 256> widths{};
    int lineHeight = 16;
    int average = 8;
    // With word wrap, the lines as shown; otherwise the text's own lines.
    bool wrapping = false;
    std::vector<int> wrapStarts{0};
    std::vector<int> wrapEnds{0};
};

ControlStates<EditState>& States() {
    static auto* states = new ControlStates<EditState>;
    return *states;
}

bool Multiline(HWND window) {
    return (StyleOf(window) & ES_MULTILINE) != 0;
}

void Measure(HWND window, EditState& state) {
    HDC dc = GetDC(window);
    if (dc == 0) return;
    HGDIOBJ old = state.font.Select(dc);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    state.lineHeight = std::max(static_cast<int>(metrics.tmHeight), 1);
    state.average = std::max(static_cast<int>(metrics.tmAveCharWidth), 1);
    for (int c = 0; c < 256; ++c) {
        char one = static_cast<char>(c);
        SIZE size{};
        GetTextExtentPoint32A(dc, &one, 1, &size);
        state.widths[static_cast<size_t>(c)] = size.cx;
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    state.measuredFont = state.font.font;
    state.measured = true;
}

std::vector<int> TabPixels(const EditState& state) {
    std::vector<int> pixels;
    for (int units : state.tabUnits)
        pixels.push_back(static_cast<int>(std::clamp<int64_t>(units, 0, kFar) * state.average / 4));
    if (pixels.empty()) pixels.push_back(kDefaultTabUnits * state.average / 4);
    return pixels;
}

int NextTab(int x, const std::vector<int>& stops, int average) {
    if (stops.size() == 1) {
        int step = std::max(stops[0], 1);
        return (x / step + 1) * step;
    }
    for (int stop : stops)
        if (stop > x) return stop;
    return x + average;
}

// What a character shows: '*' in a password field.
char Shown(HWND window, char c) {
    return (StyleOf(window) & ES_PASSWORD) ? '*' : c;
}

// Widths along a line with the style read once: long runs of text are measured without
// looking the window up for every character.
struct Measurer {
    Measurer(HWND window, const EditState& state)
        : state(state), stops(TabPixels(state)), password((StyleOf(window) & ES_PASSWORD) != 0),
          tabs(Multiline(window)) {}
    int After(char c, int x) const {
        if (password) c = '*';
        if (c == '\t' && tabs) return NextTab(x, stops, state.average);
        return x + state.widths[static_cast<unsigned char>(c)];
    }
    int Advance(std::string_view text, int from, int to, int x) const {
        for (int i = from; i < to; ++i)
            x = After(text[static_cast<size_t>(i)], x);
        return x;
    }
    const EditState& state;
    std::vector<int> stops;
    bool password;
    bool tabs;
};

// The width of [from, to) of the text, tabs included, from the line's start.
int Advance(HWND window, const EditState& state, const std::vector<int>& stops, int from, int to,
            int x) {
    Measurer measurer(window, state);
    measurer.stops = stops;
    return measurer.Advance(state.text.Text(), from, to, x);
}

int TextWidth(HWND window) {
    RECT client = ClientOf(window);
    return std::max(static_cast<int>(client.right - client.left) - 2 * kMargin, 1);
}

int VisibleLines(HWND window, const EditState& state) {
    RECT client = ClientOf(window);
    return std::max(static_cast<int>(client.bottom - client.top) / state.lineHeight, 1);
}

// The lines as shown: a single-line edit has one, a multi-line one the text's lines, or
// with word wrap those lines broken after the last space that fits.
int LineCount(HWND window, const EditState& state) {
    if (!Multiline(window)) return 1;
    return state.wrapping ? static_cast<int>(state.wrapStarts.size()) : state.text.LineCount();
}
int LineStart(HWND window, const EditState& state, int line) {
    if (!Multiline(window)) return 0;
    if (!state.wrapping) return state.text.LineStart(line);
    return state.wrapStarts[static_cast<size_t>(std::clamp(line, 0, LineCount(window, state) - 1))];
}
int LineEnd(HWND window, const EditState& state, int line) {
    if (!Multiline(window)) return state.text.Length();
    if (!state.wrapping) return state.text.LineEnd(line);
    return state.wrapEnds[static_cast<size_t>(std::clamp(line, 0, LineCount(window, state) - 1))];
}
int LineOf(HWND window, const EditState& state, int position) {
    if (!Multiline(window)) return 0;
    if (!state.wrapping) return state.text.LineOf(position);
    auto after = std::upper_bound(state.wrapStarts.begin(), state.wrapStarts.end(), position);
    return std::max(static_cast<int>(after - state.wrapStarts.begin()) - 1, 0);
}

// Breaks the text's line [start, end) into the lines shown in `width` pixels.
void WrapLine(const Measurer& measurer, std::string_view text, int start, int end, int width,
              std::vector<int>& starts, std::vector<int>& ends) {
    int lineStart = start, x = 0, lastBreak = -1;
    for (int i = start; i < end; ++i) {
        char c = text[static_cast<size_t>(i)];
        int next = measurer.After(c, x);
        if (next > width && i > lineStart && c != ' ') {
            int cut = lastBreak > lineStart ? lastBreak : i;
            starts.push_back(lineStart);
            ends.push_back(cut);
            lineStart = cut;
            lastBreak = -1;
            x = measurer.Advance(text, lineStart, i + 1, 0);
        } else {
            x = next;
        }
        if (c == ' ') lastBreak = i + 1;
    }
    starts.push_back(lineStart);
    ends.push_back(end);
}

// How many lines `text` shows: its own lines, each broken in `width` when wrapping.
int ShownLines(const Measurer& measurer, std::string_view text, bool wrapping, int width) {
    std::vector<int> hard = CountLineStarts(text);
    if (!wrapping) return static_cast<int>(hard.size());
    std::vector<int> starts, ends;
    for (size_t line = 0; line < hard.size(); ++line) {
        int end = line + 1 < hard.size() ? hard[line + 1] - 2 : static_cast<int>(text.size());
        WrapLine(measurer, text, hard[line], end, width, starts, ends);
    }
    return static_cast<int>(starts.size());
}

void Wrap(HWND window, EditState& state) {
    state.wrapStarts.clear();
    state.wrapEnds.clear();
    Measurer measurer(window, state);
    int width = TextWidth(window);
    for (int hard = 0; hard < state.text.LineCount(); ++hard)
        WrapLine(measurer, state.text.Text(), state.text.LineStart(hard), state.text.LineEnd(hard),
                 width, state.wrapStarts, state.wrapEnds);
}

// The shown lines of the text's lines [first, last]: [begin, end) of the wrap index.
std::pair<size_t, size_t> WrapSpan(const EditState& state, int first, int last) {
    auto begin = std::lower_bound(state.wrapStarts.begin(), state.wrapStarts.end(),
                                  state.text.LineStart(first));
    auto end = last + 1 < state.text.LineCount()
                   ? std::lower_bound(begin, state.wrapStarts.end(), state.text.LineStart(last + 1))
                   : state.wrapStarts.end();
    return {static_cast<size_t>(begin - state.wrapStarts.begin()),
            static_cast<size_t>(end - state.wrapStarts.begin())};
}

void Layout(HWND window, EditState& state) {
    if (!state.measured || state.measuredFont != state.font.font) Measure(window, state);
    DWORD style = StyleOf(window);
    state.wrapping = (style & ES_MULTILINE) && !(style & ES_AUTOHSCROLL);
    if (state.wrapping) Wrap(window, state);
}

// Replaces [start, end) of the text and mends the layout around it: with word wrap only the
// lines the change touches are broken again, so a keystroke in a long text costs what it
// changes plus a shift of the later lines.
void ReplaceText(HWND window, EditState& state, int start, int end, std::string_view insert) {
    bool mend = state.wrapping && state.measured && state.measuredFont == state.font.font;
    if (!mend) {
        state.text.Replace(start, end, insert);
        Layout(window, state);
        return;
    }
    // The line holding end + 1 is in the span too: removing a line break joins it.
    int first = state.text.LineOf(start);
    int last = state.text.LineOf(std::min(end + 1, state.text.Length()));
    auto [begin, stop] = WrapSpan(state, first, last);
    int delta = static_cast<int>(insert.size()) - (end - start);
    int lastEnd = state.text.LineEnd(last) + delta;
    state.text.Replace(start, end, insert);
    int newLast = state.text.LineOf(lastEnd);
    std::vector<int> starts, ends;
    Measurer measurer(window, state);
    int width = TextWidth(window);
    for (int hard = first; hard <= newLast; ++hard)
        WrapLine(measurer, state.text.Text(), state.text.LineStart(hard), state.text.LineEnd(hard),
                 width, starts, ends);
    for (size_t i = stop; i < state.wrapStarts.size(); ++i) {
        state.wrapStarts[i] += delta;
        state.wrapEnds[i] += delta;
    }
    auto offset = static_cast<std::ptrdiff_t>(begin);
    auto count = static_cast<std::ptrdiff_t>(stop - begin);
    state.wrapStarts.erase(state.wrapStarts.begin() + offset,
                           state.wrapStarts.begin() + offset + count);
    state.wrapEnds.erase(state.wrapEnds.begin() + offset, state.wrapEnds.begin() + offset + count);
    state.wrapStarts.insert(state.wrapStarts.begin() + offset, starts.begin(), starts.end());
    state.wrapEnds.insert(state.wrapEnds.begin() + offset, ends.begin(), ends.end());
}

// The caret's or a position's x in the client area, and the line's left edge.
int LineLeft(HWND window, const EditState& state, int line) {
    DWORD style = StyleOf(window);
    int left = kMargin - state.xOffset;
    if ((style & (ES_CENTER | ES_RIGHT)) == 0) return left;
    std::vector<int> stops = TabPixels(state);
    int width = Advance(window, state, stops, LineStart(window, state, line),
                        LineEnd(window, state, line), 0);
    int room = TextWidth(window) - width;
    if (room <= 0) return left;
    return left + ((style & ES_RIGHT) ? room : room / 2);
}
int XOf(HWND window, const EditState& state, int position) {
    int line = LineOf(window, state, position);
    std::vector<int> stops = TabPixels(state);
    return LineLeft(window, state, line) +
           Advance(window, state, stops, LineStart(window, state, line), position, 0);
}

// The position nearest to a client point.
int PositionAt(HWND window, const EditState& state, int x, int y) {
    int line = Multiline(window) ? state.firstLine + (y - 1) / state.lineHeight : 0;
    if (y < 1 && Multiline(window)) line = state.firstLine - 1;
    line = std::clamp(line, 0, LineCount(window, state) - 1);
    int start = LineStart(window, state, line), end = LineEnd(window, state, line);
    std::vector<int> stops = TabPixels(state);
    int left = LineLeft(window, state, line), at = 0;
    for (int i = start; i < end; ++i) {
        int next = Advance(window, state, stops, i, i + 1, at);
        if (x < left + (at + next) / 2) return i;
        at = next;
    }
    return end;
}

void UpdateScrollBars(HWND window, EditState& state) {
    DWORD style = StyleOf(window);
    if (style & WS_VSCROLL) {
        SCROLLINFO info{sizeof(SCROLLINFO),
                        SIF_ALL | SIF_DISABLENOSCROLL,
                        0,
                        LineCount(window, state) - 1,
                        static_cast<UINT>(VisibleLines(window, state)),
                        state.firstLine,
                        0};
        SetScrollInfo(window, SB_VERT, &info, TRUE);
    }
    if (style & WS_HSCROLL) {
        std::vector<int> stops = TabPixels(state);
        int widest = 0;
        for (int line = 0; line < LineCount(window, state); ++line)
            widest = std::max(widest, Advance(window, state, stops, LineStart(window, state, line),
                                              LineEnd(window, state, line), 0));
        SCROLLINFO info{sizeof(SCROLLINFO),
                        SIF_ALL | SIF_DISABLENOSCROLL,
                        0,
                        widest + 2 * kMargin,
                        static_cast<UINT>(TextWidth(window)),
                        state.xOffset,
                        0};
        SetScrollInfo(window, SB_HORZ, &info, TRUE);
    }
}

int MaxFirstLine(HWND window, const EditState& state) {
    return std::max(LineCount(window, state) - VisibleLines(window, state), 0);
}

// Scrolls by whole lines; returns how many were scrolled.
int ScrollLines(HWND window, EditState& state, int lines) {
    int before = state.firstLine;
    int64_t wanted = static_cast<int64_t>(state.firstLine) + lines;
    state.firstLine = static_cast<int>(std::clamp<int64_t>(wanted, 0, MaxFirstLine(window, state)));
    if (state.firstLine != before) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateScrollBars(window, state);
    }
    return state.firstLine - before;
}

void ScrollToCaret(HWND window, EditState& state) {
    DWORD style = StyleOf(window);
    if (style & ES_MULTILINE) {
        int line = LineOf(window, state, state.caret);
        int visible = VisibleLines(window, state);
        if (line < state.firstLine) state.firstLine = line;
        if (line >= state.firstLine + visible) state.firstLine = line - visible + 1;
        state.firstLine = std::clamp(state.firstLine, 0, MaxFirstLine(window, state));
    }
    if (style & ES_AUTOHSCROLL) {
        int x = XOf(window, state, state.caret) + state.xOffset - kMargin;
        int width = TextWidth(window);
        if (x < state.xOffset) state.xOffset = std::max(x - width / 4, 0);
        if (x >= state.xOffset + width) state.xOffset = x - width + width / 4;
    } else {
        state.xOffset = 0;
    }
    UpdateScrollBars(window, state);
    InvalidateRect(window, nullptr, TRUE);
}

void Select(HWND window, EditState& state, int anchor, int caret) {
    int length = state.text.Length();
    state.anchor = std::clamp(anchor, 0, length);
    state.caret = std::clamp(caret, 0, length);
    ScrollToCaret(window, state);
}

std::string Converted(HWND window, std::string_view text) {
    DWORD style = StyleOf(window);
    std::string out(text);
    for (char& c : out) {
        if (style & ES_UPPERCASE) c = static_cast<char>(UpperCase(static_cast<unsigned char>(c)));
        if (style & ES_LOWERCASE) c = static_cast<char>(LowerCase(static_cast<unsigned char>(c)));
    }
    return out;
}

// Replaces [start, end) and records the step to undo. Tells the parent nothing.
void Change(HWND window, EditState& state, int start, int end, const std::string& insert,
            bool canUndo, bool typing) {
    std::string removed =
        state.text.Text().substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
    bool extends = typing && state.undo.typing && removed.empty() &&
                   state.undo.start + state.undo.inserted == start && !insert.empty();
    if (extends)
        state.undo.inserted += static_cast<int>(insert.size());
    else if (canUndo)
        state.undo = UndoStep{true, typing, start, static_cast<int>(insert.size()), removed};
    else
        state.undo = UndoStep{};
    ReplaceText(window, state, start, end, insert);
    state.modified = true;
    int caret = start + static_cast<int>(insert.size());
    Select(window, state, caret, caret);
}

// How much of `insert` a single-line edit without ES_AUTOHSCROLL takes in place of
// [start, end): no more than its width shows. Any other edit takes it all.
size_t FittingLength(HWND window, EditState& state, int start, int end, const std::string& insert) {
    DWORD style = StyleOf(window);
    if ((style & (ES_MULTILINE | ES_AUTOHSCROLL)) || insert.empty()) return insert.size();
    if (!state.measured || state.measuredFont != state.font.font) Measure(window, state);
    std::vector<int> stops;
    int kept = Advance(window, state, stops, 0, start, 0) +
               Advance(window, state, stops, end, state.text.Length(), 0);
    int room = TextWidth(window) - kept, used = 0;
    size_t count = 0;
    for (char c : insert) {
        used += state.widths[static_cast<unsigned char>(Shown(window, c))];
        if (used > room) break;
        ++count;
    }
    return count;
}

// How much of `insert` a multi-line edit without ES_AUTOVSCROLL takes in place of
// [start, end): no more than keeps its lines within the window, or within the lines it
// already has when a longer text was set. Any other edit takes it all.
size_t FittingLines(HWND window, EditState& state, int start, int end, const std::string& insert) {
    DWORD style = StyleOf(window);
    if (!(style & ES_MULTILINE) || (style & ES_AUTOVSCROLL) || insert.empty()) return insert.size();
    if (!state.measured || state.measuredFont != state.font.font) Layout(window, state);
    int count = LineCount(window, state);
    int allowed = std::max(VisibleLines(window, state), count);
    int first = state.text.LineOf(start);
    int last = state.text.LineOf(std::min(end + 1, state.text.Length()));
    int spanLines = last - first + 1;
    if (state.wrapping) {
        auto [begin, stop] = WrapSpan(state, first, last);
        spanLines = static_cast<int>(stop - begin);
    }
    const std::string& text = state.text.Text();
    int spanStart = state.text.LineStart(first), spanEnd = state.text.LineEnd(last);
    Measurer measurer(window, state);
    int width = TextWidth(window);
    auto fits = [&](size_t taken) {
        std::string span =
            text.substr(static_cast<size_t>(spanStart), static_cast<size_t>(start - spanStart));
        span.append(insert, 0, taken);
        span.append(text, static_cast<size_t>(end), static_cast<size_t>(spanEnd - end));
        return count - spanLines + ShownLines(measurer, span, state.wrapping, width) <= allowed;
    };
    if (fits(insert.size())) return insert.size();
    size_t low = 0, high = insert.size(); // fits(low) is taken for granted, fits(high) fails
    while (high - low > 1) {
        size_t middle = low + (high - low) / 2;
        (fits(middle) ? low : high) = middle;
    }
    return low;
}

// Puts text in place of the selection as the user would: converted, cut at the limit
// (EN_MAXTEXT when something was lost), then EN_CHANGE. False when the window died.
bool ReplaceSelection(HWND window, EditState& state, std::string_view typed, bool canUndo,
                      bool typing = false) {
    std::string insert = Converted(window, typed);
    int start = SelStart(state), end = SelEnd(state);
    int room = state.limit - (state.text.Length() - (end - start));
    bool cut = static_cast<int>(insert.size()) > std::max(room, 0);
    if (cut) {
        insert.resize(static_cast<size_t>(std::max(room, 0)));
        // Never leave half of a line break.
        if (!insert.empty() && insert.back() == '\r') insert.pop_back();
    }
    size_t fitting = std::min(FittingLength(window, state, start, end, insert),
                              FittingLines(window, state, start, end, insert));
    if (fitting < insert.size()) {
        insert.resize(fitting);
        if (!insert.empty() && insert.back() == '\r') insert.pop_back();
        cut = true;
    }
    bool changes = !insert.empty() || start != end;
    if (changes) Change(window, state, start, end, insert, canUndo, typing);
    if (cut && !NotifyParent(window, EN_MAXTEXT)) return false;
    return !changes || NotifyParent(window, EN_CHANGE);
}

bool ReadOnly(HWND window) {
    return (StyleOf(window) & ES_READONLY) != 0;
}

void Copy(HWND window, const EditState& state) {
    if ((StyleOf(window) & ES_PASSWORD) || SelStart(state) == SelEnd(state)) return;
    PutClipboardText(
        state.text.Text().substr(static_cast<size_t>(SelStart(state)),
                                 static_cast<size_t>(SelEnd(state) - SelStart(state))));
}

bool Paste(HWND window, EditState& state) {
    std::optional<std::string> text = ClipboardText();
    if (!text || ReadOnly(window)) return true;
    if (!Multiline(window)) text->resize(std::min(text->find_first_of("\r\n"), text->size()));
    return ReplaceSelection(window, state, *text, true);
}

bool Undo(HWND window, EditState& state) {
    if (!state.undo.valid || ReadOnly(window)) return true;
    UndoStep step = state.undo;
    int end = std::min(step.start + step.inserted, state.text.Length());
    std::string removed = state.text.Text().substr(static_cast<size_t>(step.start),
                                                   static_cast<size_t>(end - step.start));
    ReplaceText(window, state, step.start, end, step.removed);
    state.undo = UndoStep{true, false, step.start, static_cast<int>(step.removed.size()), removed};
    state.modified = true;
    Select(window, state, step.start, step.start + static_cast<int>(step.removed.size()));
    return NotifyParent(window, EN_CHANGE);
}

bool IsBreak(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// One character left or right, a line break being one step.
int StepLeft(const std::string& text, int at) {
    if (at >= 2 && text[static_cast<size_t>(at) - 2] == '\r' &&
        text[static_cast<size_t>(at) - 1] == '\n')
        return at - 2;
    return std::max(at - 1, 0);
}
int StepRight(const std::string& text, int at) {
    int length = static_cast<int>(text.size());
    if (at + 1 < length && text[static_cast<size_t>(at)] == '\r' &&
        text[static_cast<size_t>(at) + 1] == '\n')
        return at + 2;
    return std::min(at + 1, length);
}

// The position `lines` lines away at the caret's x.
int LineMove(HWND window, const EditState& state, int lines) {
    int line = LineOf(window, state, state.caret) + lines;
    if (line < 0) return 0;
    if (line >= LineCount(window, state)) return state.text.Length();
    int x = XOf(window, state, state.caret);
    return PositionAt(window, state, x, (line - state.firstLine) * state.lineHeight + 1);
}

// The caret moves of an EDIT: a line break is one step.
struct EditMoves {
    HWND window;
    const EditState& state;
    const std::string& Text() const { return state.text.Text(); }
    int Length() const { return state.text.Length(); }
    static bool IsBreak(char c) { return platform::IsBreak(c); }
    int StepLeft(int at) const { return platform::StepLeft(Text(), at); }
    int StepRight(int at) const { return platform::StepRight(Text(), at); }
    int LineStart(int at) const {
        return platform::LineStart(window, state, LineOf(window, state, at));
    }
    int LineEnd(int at) const {
        return platform::LineEnd(window, state, LineOf(window, state, at));
    }
    int LineMove(int lines) const { return platform::LineMove(window, state, lines); }
    int VisibleLines() const { return platform::VisibleLines(window, state); }
};

bool KeyDown(HWND window, EditState& state, int key) {
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    if (key == VK_DELETE) {
        if (ReadOnly(window)) return true;
        if (state.anchor == state.caret) {
            int next = StepRight(state.text.Text(), state.caret);
            if (next == state.caret) return true;
            state.anchor = next;
        }
        return ReplaceSelection(window, state, "", true);
    }
    EditMoves moves{window, state};
    std::optional<int> to = NavigationTarget(state, moves, key, shift, ctrl);
    if (to) Select(window, state, shift ? state.anchor : *to, *to);
    return true;
}

bool Character(HWND window, EditState& state, int c) {
    bool readOnly = ReadOnly(window);
    switch (c) {
    case 3:
        Copy(window, state);
        return true;
    case 24:
        if (readOnly || (StyleOf(window) & ES_PASSWORD)) return true;
        Copy(window, state);
        return ReplaceSelection(window, state, "", true);
    case 22:
        return Paste(window, state);
    case 26:
        return Undo(window, state);
    case 8:
        if (readOnly) return true;
        if (state.anchor == state.caret) {
            int previous = StepLeft(state.text.Text(), state.caret);
            if (previous == state.caret) return true;
            state.anchor = previous;
        }
        return ReplaceSelection(window, state, "", true);
    case 13:
        if (readOnly || !Multiline(window)) return true;
        return ReplaceSelection(window, state, "\r\n", true);
    case 9:
        if (readOnly || !Multiline(window)) return true;
        return ReplaceSelection(window, state, "\t", true);
    default:
        break;
    }
    if (readOnly || c < 32 || c == 127) return true;
    // A character Windows-1252 cannot hold lands as '?'.
    char typed = c > 255 ? '?' : static_cast<char>(c);
    return ReplaceSelection(window, state, std::string_view(&typed, 1), true, true);
}

void SelectWord(HWND window, EditState& state, int at) {
    auto [start, end] = WordAround(state.text.Text(), at, IsBreak);
    Select(window, state, start, end);
}

void PaintLine(HWND window, const EditState& state, HDC dc, int line, int y,
               const std::vector<int>& stops) {
    int start = LineStart(window, state, line), end = LineEnd(window, state, line);
    std::string shown =
        state.text.Text().substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
    if (StyleOf(window) & ES_PASSWORD) std::fill(shown.begin(), shown.end(), '*');
    int left = LineLeft(window, state, line);
    if (Multiline(window))
        TabbedTextOutA(dc, left, y, shown.data(), static_cast<int>(shown.size()),
                       static_cast<int>(stops.size()), stops.data(), left);
    else
        TextOutA(dc, left, y, shown.data(), static_cast<int>(shown.size()));
    bool showSelection = state.focused || (StyleOf(window) & ES_NOHIDESEL);
    int from = std::max(SelStart(state), start), to = std::min(SelEnd(state), end);
    if (!showSelection || from >= to) return;
    // Measured on this line: where a wrapped line ends, the next one starts.
    RECT area{left + Advance(window, state, stops, start, from, 0), y,
              left + Advance(window, state, stops, start, to, 0), y + state.lineHeight};
    int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    FillRect(dc, &area, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    if (Multiline(window))
        TabbedTextOutA(dc, left, y, shown.data(), static_cast<int>(shown.size()),
                       static_cast<int>(stops.size()), stops.data(), left);
    else
        TextOutA(dc, left, y, shown.data(), static_cast<int>(shown.size()));
    RestoreDC(dc, saved);
}

// The system caret before the caret position, as high as a line.
void PlaceCaret(HWND window, const EditState& state) {
    int line = LineOf(window, state, state.caret);
    SetCaretPos(XOf(window, state, state.caret), 1 + (line - state.firstLine) * state.lineHeight);
}

void Paint(HWND window, EditState& state, HDC dc) {
    bool enabled = IsWindowEnabled(window);
    UINT colorMessage = ReadOnly(window) || !enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    HBRUSH brush = ParentColor(window, colorMessage, dc);
    if (!IsWindow(window)) return;
    if (!state.measured || state.measuredFont != state.font.font) Layout(window, state);
    RECT client = ClientOf(window);
    FillRect(dc, &client, brush);
    HGDIOBJ oldFont = state.font.Select(dc);
    SetBkMode(dc, TRANSPARENT);
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    int saved = SaveDC(dc);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    std::vector<int> stops = TabPixels(state);
    int count = LineCount(window, state);
    for (int line = state.firstLine, y = 1; line < count && y < client.bottom;
         ++line, y += state.lineHeight)
        PaintLine(window, state, dc, line, y, stops);
    RestoreDC(dc, saved);
    SelectObject(dc, oldFont);
}

LRESULT Scroll(HWND window, EditState& state, WORD code, int thumb, bool notify) {
    int lines = 0;
    if (!ScrollRequestLines(code, thumb, state.firstLine, VisibleLines(window, state),
                            LineCount(window, state), lines))
        return FALSE;
    int moved = ScrollLines(window, state, lines);
    if (notify && !NotifyParent(window, EN_VSCROLL)) return 0;
    return MAKELONG(moved, TRUE);
}

// Three lines a notch, as the desktop scrolls; a smooth wheel's rest is kept for its next turn.
void Wheel(HWND window, EditState& state, int delta) {
    state.wheelRest += delta;
    int notches = state.wheelRest / WHEEL_DELTA;
    state.wheelRest -= notches * WHEEL_DELTA;
    if (notches != 0 && ScrollLines(window, state, -notches * kWheelLines) != 0)
        NotifyParent(window, EN_VSCROLL);
}

void ScrollColumns(HWND window, EditState& state, WORD code, int thumb) {
    int step = state.average, page = TextWidth(window);
    int to = state.xOffset;
    switch (code) {
    case SB_LINELEFT:
        to -= step;
        break;
    case SB_LINERIGHT:
        to += step;
        break;
    case SB_PAGELEFT:
        to -= page;
        break;
    case SB_PAGERIGHT:
        to += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        to = thumb;
        break;
    default:
        return;
    }
    state.xOffset = std::max(to, 0);
    UpdateScrollBars(window, state);
    InvalidateRect(window, nullptr, TRUE);
    NotifyParent(window, EN_HSCROLL);
}

LRESULT SetSelection(HWND window, EditState& state, WPARAM wParam, LPARAM lParam) {
    int start = static_cast<int>(wParam), end = static_cast<int>(lParam);
    int length = state.text.Length();
    if (start < 0 && end < 0)
        Select(window, state, state.caret, state.caret);
    else if (start < 0)
        Select(window, state, end, end);
    else
        Select(window, state, start, end < 0 ? length : end);
    return 0;
}

LRESULT GetSelection(EditState& state, WPARAM wParam, LPARAM lParam) {
    int start = SelStart(state), end = SelEnd(state);
    if (wParam != 0) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
    if (lParam != 0) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
    if (start > 0xFFFF || end > 0xFFFF) return -1;
    return MAKELONG(start, end);
}

LRESULT LineLength(HWND window, EditState& state, int position) {
    if (!Multiline(window)) return state.text.Length();
    if (position < 0) {
        int first = LineOf(window, state, SelStart(state));
        int last = LineOf(window, state, SelEnd(state));
        return (SelStart(state) - LineStart(window, state, first)) +
               (LineEnd(window, state, last) - SelEnd(state));
    }
    int line = LineOf(window, state, std::min(position, state.text.Length()));
    return LineEnd(window, state, line) - LineStart(window, state, line);
}

LRESULT GetLine(HWND window, EditState& state, int line, LPARAM lParam) {
    if (lParam == 0) return 0;
    auto* buffer = reinterpret_cast<char*>(lParam);
    WORD size = 0;
    std::memcpy(&size, buffer, sizeof(size));
    if (line < 0 || line >= LineCount(window, state)) return 0;
    int start = LineStart(window, state, line), end = LineEnd(window, state, line);
    int count = std::min(end - start, static_cast<int>(size));
    std::memcpy(buffer, state.text.Text().data() + start, static_cast<size_t>(count));
    return count;
}

LRESULT SetTabStops(HWND window, EditState& state, WPARAM wParam, LPARAM lParam) {
    auto count = static_cast<int>(wParam);
    if (!Multiline(window) || count < 0 || (count > 0 && lParam == 0)) return FALSE;
    const auto* stops = reinterpret_cast<const int*>(lParam);
    state.tabUnits.assign(stops, stops + count);
    Layout(window, state);
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

LRESULT SetText(HWND window, EditState& state, LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    std::string converted = Converted(window, text != nullptr ? text : "");
    state.text.Replace(0, state.text.Length(), converted);
    state.undo = UndoStep{};
    state.modified = false;
    state.firstLine = 0;
    state.xOffset = 0;
    Layout(window, state);
    Select(window, state, 0, 0);
    NotifyParent(window, EN_CHANGE);
    return TRUE;
}

LRESULT GetText(const EditState& state, WPARAM wParam, LPARAM lParam) {
    auto size = static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFF));
    if (size <= 0 || lParam == 0) return 0;
    int count = std::min(size - 1, state.text.Length());
    auto* buffer = reinterpret_cast<char*>(lParam);
    std::memcpy(buffer, state.text.Text().data(), static_cast<size_t>(count));
    buffer[count] = '\0';
    return count;
}

LRESULT Handle(HWND window, EditState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        int length = static_cast<int>(DefWindowProcA(window, WM_GETTEXTLENGTH, 0, 0));
        std::string initial(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
        DefWindowProcA(window, WM_GETTEXT, initial.size(),
                       reinterpret_cast<LPARAM>(initial.data()));
        state.text.Replace(0, 0, Converted(window, initial.c_str()));
        Layout(window, state);
        UpdateScrollBars(window, state);
        return 0;
    }
    case WM_SIZE:
    case WM_STYLECHANGED:
        Layout(window, state);
        ScrollToCaret(window, state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        // The caret is hidden while its pixels are painted over, and shown where it now is.
        bool caret = state.focused && HideCaret(window);
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc != 0) Paint(window, state, dc);
        if (!IsWindow(window)) return 0;
        EndPaint(window, &paint);
        if (caret) {
            PlaceCaret(window, state);
            ShowCaret(window);
        }
        return 0;
    }
    case WM_ENABLE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN &&
            (StyleOf(window) & (ES_MULTILINE | ES_WANTRETURN)) == (ES_MULTILINE | ES_WANTRETURN))
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_SETFOCUS:
        state.focused = true;
        CreateCaret(window, 0, 1, state.lineHeight);
        PlaceCaret(window, state);
        ShowCaret(window);
        InvalidateRect(window, nullptr, TRUE);
        NotifyParent(window, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        state.focused = false;
        DestroyCaret();
        InvalidateRect(window, nullptr, TRUE);
        NotifyParent(window, EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN: {
        if (GetFocus() != window) SetFocus(window);
        if (!IsWindow(window)) return 0;
        int at = PositionAt(window, state, PointX(lParam), PointY(lParam));
        Select(window, state, (wParam & MK_SHIFT) ? state.anchor : at, at);
        state.tracking = true;
        SetCapture(window);
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        SelectWord(window, state, PositionAt(window, state, PointX(lParam), PointY(lParam)));
        return 0;
    // A press on a window scroll bar is tracked by DefWindowProcA through the same messages.
    case WM_MOUSEMOVE:
        if (state.tracking && GetCapture() == window)
            Select(window, state, state.anchor,
                   PositionAt(window, state, PointX(lParam), PointY(lParam)));
        break;
    case WM_LBUTTONUP:
        if (state.tracking) {
            state.tracking = false;
            if (GetCapture() == window) ReleaseCapture();
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        state.tracking = false;
        break;
    case WM_MOUSEWHEEL:
        if (!Multiline(window)) break;
        Wheel(window, state, static_cast<short>(HIWORD(wParam)));
        return 0;
    case WM_KEYDOWN:
        KeyDown(window, state, static_cast<int>(wParam));
        return 0;
    case WM_CHAR:
        Character(window, state, static_cast<int>(wParam));
        return 0;
    case WM_VSCROLL:
        Scroll(window, state, LOWORD(wParam), HIWORD(wParam), true);
        return 0;
    case WM_HSCROLL:
        ScrollColumns(window, state, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_SETTEXT:
        return SetText(window, state, lParam);
    case WM_GETTEXT:
        return GetText(state, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return state.text.Length();
    case WM_COPY:
        Copy(window, state);
        return 0;
    case WM_CUT:
        Character(window, state, 24);
        return 0;
    case WM_PASTE:
        Paste(window, state);
        return 0;
    case WM_CLEAR:
        if (!ReadOnly(window)) ReplaceSelection(window, state, "", true);
        return 0;
    case WM_UNDO:
    case EM_UNDO: {
        bool could = state.undo.valid;
        Undo(window, state);
        return could;
    }
    case EM_GETSEL:
        return GetSelection(state, wParam, lParam);
    case EM_SETSEL:
        return SetSelection(window, state, wParam, lParam);
    case EM_REPLACESEL: {
        const char* text = reinterpret_cast<const char*>(lParam);
        ReplaceSelection(window, state, text != nullptr ? text : "", wParam != 0);
        return 0;
    }
    case EM_GETMODIFY:
        return state.modified;
    case EM_SETMODIFY:
        state.modified = wParam != 0;
        return 0;
    case EM_CANUNDO:
        return state.undo.valid;
    case EM_EMPTYUNDOBUFFER:
        state.undo = UndoStep{};
        return 0;
    case EM_LIMITTEXT: {
        auto limit = static_cast<int64_t>(static_cast<int>(wParam));
        state.limit = limit <= 0 ? kEditMaximumLimit : static_cast<int>(limit);
        return 0;
    }
    case EM_GETLIMITTEXT:
        return state.limit;
    case EM_GETFIRSTVISIBLELINE:
        return Multiline(window) ? state.firstLine : PositionAt(window, state, kMargin, 1);
    case EM_GETLINECOUNT:
        return LineCount(window, state);
    case EM_LINELENGTH:
        return LineLength(window, state, static_cast<int>(wParam));
    case EM_LINEINDEX: {
        int line = static_cast<int>(wParam);
        if (line < 0) line = LineOf(window, state, state.caret);
        if (line >= LineCount(window, state)) return -1;
        return LineStart(window, state, line);
    }
    case EM_LINEFROMCHAR: {
        int position = static_cast<int>(wParam);
        if (position < 0) position = SelStart(state);
        return LineOf(window, state, std::min(position, state.text.Length()));
    }
    case EM_LINESCROLL:
        if (!Multiline(window)) return FALSE;
        ScrollLines(window, state, static_cast<int>(lParam));
        if (StyleOf(window) & ES_AUTOHSCROLL) {
            int64_t columns = std::clamp<int64_t>(static_cast<int>(wParam), -kFar, kFar);
            state.xOffset = static_cast<int>(
                std::clamp<int64_t>(state.xOffset + columns * state.average, 0, kFar));
            UpdateScrollBars(window, state);
            InvalidateRect(window, nullptr, TRUE);
        }
        return TRUE;
    case EM_SCROLL:
        if (!Multiline(window)) return FALSE;
        if (wParam > SB_PAGEDOWN) return FALSE;
        return Scroll(window, state, static_cast<WORD>(wParam), 0, false);
    case EM_SCROLLCARET:
        ScrollToCaret(window, state);
        return TRUE;
    case EM_SETREADONLY: {
        DWORD style = StyleOf(window);
        SetWindowLongA(window, GWL_STYLE,
                       static_cast<LONG>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    }
    case EM_GETLINE:
        return GetLine(window, state, Multiline(window) ? static_cast<int>(wParam) : 0, lParam);
    case EM_SETTABSTOPS:
        return SetTabStops(window, state, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = RunControl<EditState>(States(), Handle, window, message, wParam, lParam);
    // Lines are laid out again in the new font at once, so that line queries answer for it.
    if (message == WM_SETFONT)
        if (std::shared_ptr<EditState> state = States().Find(window)) {
            Layout(window, *state);
            ScrollToCaret(window, *state);
        }
    return result;
}

} // namespace platform
