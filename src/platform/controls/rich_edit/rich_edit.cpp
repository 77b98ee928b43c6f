#include "platform/controls/rich_edit/rich_edit.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/caret_moves.h"
#include "platform/controls/clipboard_text.h"
#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/label.h"
#include "platform/controls/rich_edit/rich_layout.h"
#include "platform/controls/rich_edit/rich_text_search.h"
#include "platform/controls/rich_edit/rtf_reader.h"
#include "platform/controls/rich_edit/rtf_writer.h"
#include "platform/controls/text_case.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/screen_dc.h"
#include "platform/user/input/cursor.h"

namespace platform {

namespace {

constexpr int kDefaultMargin = 1;
constexpr int kLimitForZero = 65536;
constexpr int kUndoLevels = 100;
constexpr size_t kStreamChunk = 4096;

// One change, undone by putting `removed` back in place of `inserted` from `start`. A
// format change holds the same text before and after.
struct UndoRecord {
    int start = 0;
    RichText removed;
    RichText inserted;
    bool typing = false;
};

struct RichEditState {
    ControlFont font;
    RichText document;
    RichFormat base;      // SCF_DEFAULT's: what \plain in RTF goes back to
    RichFormat insertion; // what typing takes: the format before the caret, or one set there
    int anchor = 0;
    int caret = 0;
    bool focused = false;
    bool modified = false;
    bool tracking = false;
    bool hideSelection = false;
    int limit = kEditDefaultLimit;
    int firstLine = 0;
    int leftMargin = kDefaultMargin;
    int rightMargin = kDefaultMargin;
    bool systemBackground = true;
    COLORREF background = 0;
    DWORD eventMask = 0;
    bool detectUrls = false;
    RichRanges urls;
    bool multiLevelUndo = false;
    int undoLimit = kUndoLevels;
    std::vector<UndoRecord> undo;
    std::vector<UndoRecord> redo;
    std::unique_ptr<RichFonts> fonts;
    std::vector<RichLine> lines;
    int xOffset = 0; // pixels scrolled sideways, without word wrap
    // A press inside the selection waits at pressAt for the pointer to leave the drag box;
    // then the selection is dragged until the button is let go.
    bool dragPending = false;
    bool dragging = false;
    POINT pressAt{};
};

ControlStates<RichEditState>& States() {
    static auto* states = new ControlStates<RichEditState>;
    return *states;
}

// What the last copy of a rich edit put on the clipboard, so that pasting it into one
// keeps its formats while the clipboard still holds that text.
struct RichClipboard {
    std::string text;
    std::string rtf;
};
RichClipboard& LastCopy() {
    static auto* copy = new RichClipboard;
    return *copy;
}

bool ReadOnly(HWND window) {
    return (StyleOf(window) & ES_READONLY) != 0;
}

RichAlign StyleAlign(HWND window) {
    DWORD style = StyleOf(window);
    if (style & ES_RIGHT) return RichAlign::Right;
    if (style & ES_CENTER) return RichAlign::Center;
    return RichAlign::Left;
}

// Plain text as a document: "\r\n" and a lone '\n' end paragraphs.
RichText PlainDocument(std::string_view text, const RichFormat& format) {
    std::string converted;
    converted.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\0') continue;
        converted.push_back(text[i] == '\n' ? '\r' : text[i]);
    }
    RichText document;
    document.Append(converted, format);
    return document;
}

std::string WithLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r') out.push_back('\r');
        out.push_back(c == '\r' ? '\n' : c);
    }
    return out;
}

bool Notify(HWND window, const RichEditState& state, WORD code) {
    if (code == EN_CHANGE && !(state.eventMask & ENM_CHANGE)) return true;
    if ((code == EN_VSCROLL || code == EN_HSCROLL) && !(state.eventMask & ENM_SCROLL)) return true;
    return NotifyParent(window, code);
}

RECT TextArea(HWND window, const RichEditState& state) {
    RECT area = ClientOf(window);
    int edge = (StyleOf(window) & ES_SUNKEN) ? 2 : 0;
    area.left += edge + state.leftMargin;
    area.right = std::max(area.left + 1, static_cast<LONG>(area.right - edge - state.rightMargin));
    area.top += edge;
    area.bottom = std::max(area.top + 1, static_cast<LONG>(area.bottom - edge));
    return area;
}

// Without word wrap (ES_AUTOHSCROLL or WS_HSCROLL) a line is as long as its paragraph and the
// text scrolls sideways.
bool Wraps(HWND window) {
    return (StyleOf(window) & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0;
}

constexpr int kUnwrappedWidth = INT32_MAX / 4;

RichFonts& Fonts(HWND window, RichEditState& state) {
    if (!state.fonts) {
        HDC dc = GetDC(window);
        int dpi = dc != 0 ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
        if (dc != 0) ReleaseDC(window, dc);
        state.fonts = std::make_unique<RichFonts>(dpi > 0 ? dpi : 96);
    }
    return *state.fonts;
}

void Layout(HWND window, RichEditState& state) {
    RECT area = TextArea(window, state);
    int width = Wraps(window) ? area.right - area.left : kUnwrappedWidth;
    state.lines = LayoutRich(state.document, state.urls, 0, state.document.Length(), width,
                             Fonts(window, state), state.insertion);
}

// The widest line with room for the caret after it, and how far the text scrolls sideways.
int ScrollWidth(const RichEditState& state) {
    int widest = 0;
    for (const RichLine& line : state.lines)
        widest = std::max(widest, line.width);
    return widest + 1;
}

int MaxXOffset(HWND window, const RichEditState& state) {
    if (Wraps(window)) return 0;
    RECT area = TextArea(window, state);
    return std::max(ScrollWidth(state) - static_cast<int>(area.right - area.left), 0);
}

int LineCount(const RichEditState& state) {
    return static_cast<int>(state.lines.size());
}

int LineOf(const RichEditState& state, int position) {
    auto after = std::upper_bound(state.lines.begin(), state.lines.end(), position,
                                  [](int at, const RichLine& line) { return at < line.start; });
    return std::max(static_cast<int>(after - state.lines.begin()) - 1, 0);
}

int VisibleLines(HWND window, const RichEditState& state) {
    RECT area = TextArea(window, state);
    int room = area.bottom - area.top, count = 0;
    for (int line = state.firstLine; line < LineCount(state); ++line) {
        room -= state.lines[static_cast<size_t>(line)].height;
        if (room < 0) break;
        ++count;
    }
    return std::max(count, 1);
}

int MaxFirstLine(HWND window, const RichEditState& state) {
    RECT area = TextArea(window, state);
    int room = area.bottom - area.top, line = LineCount(state);
    while (line > 0 && room - state.lines[static_cast<size_t>(line) - 1].height >= 0) {
        room -= state.lines[static_cast<size_t>(line) - 1].height;
        --line;
    }
    return std::min(line, std::max(LineCount(state) - 1, 0));
}

int LineTop(HWND window, const RichEditState& state, int line) {
    int y = TextArea(window, state).top;
    if (line >= state.firstLine) {
        for (int i = state.firstLine; i < line; ++i)
            y += state.lines[static_cast<size_t>(i)].height;
    } else {
        for (int i = line; i < state.firstLine; ++i)
            y -= state.lines[static_cast<size_t>(i)].height;
    }
    return y;
}

int LineLeft(HWND window, const RichEditState& state, int line) {
    RECT area = TextArea(window, state);
    return area.left - state.xOffset +
           RichLineLeft(state.lines[static_cast<size_t>(line)], area.right - area.left);
}

// Where a position of `line` is drawn; the line's end is its right edge, not the start of
// the line after it.
int XOnLine(HWND window, RichEditState& state, int line, int position) {
    return LineLeft(window, state, line) + RichLineX(state.document, state.urls,
                                                     state.lines[static_cast<size_t>(line)],
                                                     position, Fonts(window, state));
}

int XOf(HWND window, RichEditState& state, int position) {
    return XOnLine(window, state, LineOf(state, position), position);
}

int LineAt(HWND window, const RichEditState& state, int y) {
    int top = TextArea(window, state).top;
    if (y < top) return std::max(state.firstLine - 1, 0);
    int line = state.firstLine;
    while (line + 1 < LineCount(state) &&
           y >= top + state.lines[static_cast<size_t>(line)].height) {
        top += state.lines[static_cast<size_t>(line)].height;
        ++line;
    }
    return line;
}

int PositionAt(HWND window, RichEditState& state, int x, int y) {
    int line = LineAt(window, state, y);
    return RichLinePosition(state.document, state.urls, state.lines[static_cast<size_t>(line)],
                            x - LineLeft(window, state, line), Fonts(window, state));
}

// The character under a client point, or -1 where there is none.
int CharAt(HWND window, RichEditState& state, int x, int y) {
    int line = LineAt(window, state, y);
    const RichLine& shown = state.lines[static_cast<size_t>(line)];
    if (y < TextArea(window, state).top || y >= LineTop(window, state, line) + shown.height)
        return -1;
    int position = PositionAt(window, state, x, y);
    if (position > shown.start && XOnLine(window, state, line, position) > x) --position;
    if (position >= shown.end || x < LineLeft(window, state, line) ||
        x >= XOnLine(window, state, line, shown.end))
        return -1;
    return position;
}

void UpdateScrollBar(HWND window, RichEditState& state) {
    DWORD style = StyleOf(window);
    UINT mask = SIF_ALL | ((style & ES_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
    if (style & WS_VSCROLL) {
        SCROLLINFO info{sizeof(SCROLLINFO),
                        mask,
                        0,
                        LineCount(state) - 1,
                        static_cast<UINT>(VisibleLines(window, state)),
                        state.firstLine,
                        0};
        SetScrollInfo(window, SB_VERT, &info, TRUE);
    }
    if (style & WS_HSCROLL) {
        RECT area = TextArea(window, state);
        SCROLLINFO info{sizeof(SCROLLINFO),
                        mask,
                        0,
                        Wraps(window) ? 0 : ScrollWidth(state) - 1,
                        static_cast<UINT>(area.right - area.left),
                        state.xOffset,
                        0};
        SetScrollInfo(window, SB_HORZ, &info, TRUE);
    }
}

// Scrolls sideways to `to` pixels; true when the text moved.
bool ScrollTo(HWND window, RichEditState& state, int64_t to) {
    int before = state.xOffset;
    state.xOffset = static_cast<int>(std::clamp<int64_t>(to, 0, MaxXOffset(window, state)));
    if (state.xOffset == before) return false;
    InvalidateRect(window, nullptr, TRUE);
    UpdateScrollBar(window, state);
    return true;
}

int ScrollLines(HWND window, RichEditState& state, int lines) {
    int before = state.firstLine;
    int64_t wanted = static_cast<int64_t>(state.firstLine) + lines;
    state.firstLine = static_cast<int>(std::clamp<int64_t>(wanted, 0, MaxFirstLine(window, state)));
    if (state.firstLine != before) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateScrollBar(window, state);
    }
    return state.firstLine - before;
}

void ShowCaret(HWND window, RichEditState& state) {
    int line = LineOf(state, state.caret);
    if (line < state.firstLine) state.firstLine = line;
    while (line >= state.firstLine + VisibleLines(window, state) && state.firstLine < line)
        ++state.firstLine;
    state.firstLine = std::clamp(state.firstLine, 0, std::max(LineCount(state) - 1, 0));
    // Sideways the caret is brought back a quarter of the width inside, as in an edit.
    RECT area = TextArea(window, state);
    int width = area.right - area.left;
    int x = XOf(window, state, state.caret) + state.xOffset - area.left;
    int offset = std::min(state.xOffset, MaxXOffset(window, state));
    if (x < offset) offset = std::max(x - width / 4, 0);
    if (x >= offset + width) offset = x - width + width / 4;
    state.xOffset = std::clamp(offset, 0, MaxXOffset(window, state));
    UpdateScrollBar(window, state);
    InvalidateRect(window, nullptr, TRUE);
}

void Select(HWND window, RichEditState& state, int anchor, int caret) {
    int length = state.document.Length();
    state.anchor = std::clamp(anchor, 0, length);
    state.caret = std::clamp(caret, 0, length);
    if (length > 0)
        state.insertion =
            state.document.FormatAt(std::max(SelStart(state) - 1, 0), state.insertion);
    ShowCaret(window, state);
}

void DetectUrls(RichEditState& state) {
    state.urls = state.detectUrls ? FindUrls(state.document.Text()) : RichRanges{};
}

void TrimUndo(RichEditState& state) {
    size_t levels = static_cast<size_t>(state.multiLevelUndo ? std::max(state.undoLimit, 0) : 1);
    if (state.undo.size() > levels)
        state.undo.erase(state.undo.begin(), state.undo.begin() + static_cast<std::ptrdiff_t>(
                                                                      state.undo.size() - levels));
    if (state.redo.size() > levels)
        state.redo.erase(state.redo.begin(), state.redo.begin() + static_cast<std::ptrdiff_t>(
                                                                      state.redo.size() - levels));
}

void Record(RichEditState& state, UndoRecord record) {
    state.redo.clear();
    state.undo.push_back(std::move(record));
    TrimUndo(state);
}

void Relaid(HWND window, RichEditState& state) {
    DetectUrls(state);
    Layout(window, state);
}

// Replaces [start, end) by `insert` and puts the caret after it. Tells the parent nothing.
void Change(HWND window, RichEditState& state, int start, int end, const RichText& insert,
            bool canUndo, bool typing) {
    RichText removed = state.document.Slice(start, end);
    UndoRecord* last = state.undo.empty() ? nullptr : &state.undo.back();
    bool extends = typing && last != nullptr && last->typing && removed.Length() == 0 &&
                   state.redo.empty() && last->start + last->inserted.Length() == start;
    if (extends)
        last->inserted.Replace(last->inserted.Length(), last->inserted.Length(), insert);
    else if (canUndo)
        Record(state, UndoRecord{start, std::move(removed), insert, typing});
    else {
        state.undo.clear();
        state.redo.clear();
    }
    state.document.Replace(start, end, insert);
    state.modified = true;
    Relaid(window, state);
    int caret = start + insert.Length();
    Select(window, state, caret, caret);
}

// Puts a document in place of the selection as the user would: cut at the limit (EN_MAXTEXT
// when something was lost), then EN_CHANGE. False when the window died.
bool ReplaceSelection(HWND window, RichEditState& state, RichText insert, bool canUndo,
                      bool typing = false) {
    int start = SelStart(state), end = SelEnd(state);
    int room = std::max(state.limit - (state.document.Length() - (end - start)), 0);
    bool cut = insert.Length() > room;
    if (cut) insert = insert.Slice(0, room);
    bool changes = insert.Length() > 0 || start != end;
    if (changes) Change(window, state, start, end, insert, canUndo, typing);
    if (cut && !Notify(window, state, EN_MAXTEXT)) return false;
    return !changes || Notify(window, state, EN_CHANGE);
}

// Plain text has no paragraph format of its own: the paragraphs it makes, Return's among
// them, are aligned as the one it goes into.
bool ReplaceWithText(HWND window, RichEditState& state, std::string_view text, bool canUndo,
                     bool typing = false) {
    RichText insert = PlainDocument(text, state.insertion);
    const std::vector<RichAlign>& aligns = state.document.Alignments();
    insert.Align(0, insert.Length(),
                 aligns[static_cast<size_t>(state.document.ParagraphOf(SelStart(state)))]);
    return ReplaceSelection(window, state, std::move(insert), canUndo, typing);
}

// Sets the members `mask` names on the selection (an empty one sets what typing takes).
void FormatSelection(HWND window, RichEditState& state, uint32_t mask, const RichFormat& format) {
    int start = SelStart(state), end = SelEnd(state);
    if (start == end) {
        MergeFormat(state.insertion, mask, format);
        return;
    }
    RichText before = state.document.Slice(start, end);
    state.document.Format(start, end, mask, format);
    Record(state, UndoRecord{start, std::move(before), state.document.Slice(start, end), false});
    state.modified = true;
    Relaid(window, state);
    ShowCaret(window, state);
}

bool Undo(HWND window, RichEditState& state, bool redo) {
    std::vector<UndoRecord>& from = redo ? state.redo : state.undo;
    if (from.empty() || ReadOnly(window)) return true;
    UndoRecord record = std::move(from.back());
    from.pop_back();
    state.document.Replace(record.start, record.start + record.inserted.Length(), record.removed);
    int end = record.start + record.removed.Length();
    std::swap(record.removed, record.inserted);
    record.typing = false;
    (redo ? state.undo : state.redo).push_back(std::move(record));
    state.modified = true;
    Relaid(window, state);
    Select(window, state, record.start, end);
    return Notify(window, state, EN_CHANGE);
}

void Copy(HWND window, const RichEditState& state) {
    if ((StyleOf(window) & ES_PASSWORD) || SelStart(state) == SelEnd(state)) return;
    RichText selection = state.document.Slice(SelStart(state), SelEnd(state));
    std::string text = WithLineEnds(selection.Text());
    LastCopy() = RichClipboard{text, WriteRtf(selection)};
    PutClipboardText(std::move(text));
}

bool Paste(HWND window, RichEditState& state) {
    std::optional<std::string> text = ClipboardText();
    if (!text || ReadOnly(window)) return true;
    if (*text == LastCopy().text) {
        std::optional<RichText> rich = ReadRtf(LastCopy().rtf, state.base);
        if (rich) return ReplaceSelection(window, state, std::move(*rich), true);
    }
    return ReplaceWithText(window, state, *text, true);
}

bool IsBreak(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v';
}

int LineMove(HWND window, RichEditState& state, int lines) {
    int line = LineOf(state, state.caret) + lines;
    if (line < 0) return 0;
    if (line >= LineCount(state)) return state.document.Length();
    int x = XOf(window, state, state.caret);
    const RichLine& target = state.lines[static_cast<size_t>(line)];
    return RichLinePosition(state.document, state.urls, target, x - LineLeft(window, state, line),
                            Fonts(window, state));
}

// The caret moves of a rich edit: every character, the paragraph mark too, is one step.
struct RichMoves {
    HWND window;
    RichEditState& state;
    const std::string& Text() const { return state.document.Text(); }
    int Length() const { return state.document.Length(); }
    static bool IsBreak(char c) { return platform::IsBreak(c); }
    int StepLeft(int at) const { return std::max(at - 1, 0); }
    int StepRight(int at) const { return std::min(at + 1, Length()); }
    int LineStart(int at) const {
        return state.lines[static_cast<size_t>(LineOf(state, at))].start;
    }
    int LineEnd(int at) const { return state.lines[static_cast<size_t>(LineOf(state, at))].end; }
    int LineMove(int lines) const { return platform::LineMove(window, state, lines); }
    int VisibleLines() const { return platform::VisibleLines(window, state); }
};

bool KeyDown(HWND window, RichEditState& state, int key) {
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    if (key == VK_DELETE) {
        if (ReadOnly(window)) return true;
        if (state.anchor == state.caret) {
            if (state.caret >= state.document.Length()) return true;
            state.anchor = state.caret + 1;
        }
        return ReplaceWithText(window, state, "", true);
    }
    RichMoves moves{window, state};
    std::optional<int> to = NavigationTarget(state, moves, key, shift, ctrl);
    if (to) Select(window, state, shift ? state.anchor : *to, *to);
    return true;
}

bool Character(HWND window, RichEditState& state, int c) {
    bool readOnly = ReadOnly(window);
    switch (c) {
    case 3:
        Copy(window, state);
        return true;
    case 24:
        if (readOnly || (StyleOf(window) & ES_PASSWORD)) return true;
        Copy(window, state);
        return ReplaceWithText(window, state, "", true);
    case 22:
        return Paste(window, state);
    case 26:
        return Undo(window, state, false);
    case 25:
        return Undo(window, state, true);
    case 8:
        if (readOnly) return true;
        if (state.anchor == state.caret) {
            if (state.caret == 0) return true;
            state.anchor = state.caret - 1;
        }
        return ReplaceWithText(window, state, "", true);
    case 13:
        return readOnly || ReplaceWithText(window, state, "\r", true, true);
    case 9:
        return readOnly || ReplaceWithText(window, state, "\t", true, true);
    default:
        break;
    }
    if (readOnly || c < 32 || c == 127) return true;
    char typed = c > 255 ? '?' : static_cast<char>(c);
    return ReplaceWithText(window, state, std::string_view(&typed, 1), true, true);
}

void SelectWord(HWND window, RichEditState& state, int at) {
    auto [start, end] = WordAround(state.document.Text(), at, IsBreak);
    Select(window, state, start, end);
}

// The link holding a character: a detected URL, or the CFE_LINK runs around it.
std::optional<CHARRANGE> LinkAt(const RichEditState& state, int position) {
    if (position < 0) return std::nullopt;
    for (const auto& [first, second] : state.urls)
        if (position >= first && position < second) return CHARRANGE{first, second};
    const std::vector<RichRun>& runs = state.document.Runs();
    int at = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        if (position < at + runs[i].length) {
            if (!(runs[i].format.effects & CFE_LINK)) return std::nullopt;
            int first = at, last = at + runs[i].length;
            for (size_t j = i; j > 0 && (runs[j - 1].format.effects & CFE_LINK); --j)
                first -= runs[j - 1].length;
            for (size_t j = i + 1; j < runs.size() && (runs[j].format.effects & CFE_LINK); ++j)
                last += runs[j].length;
            return CHARRANGE{first, last};
        }
        at += runs[i].length;
    }
    return std::nullopt;
}

// Tells the parent of a mouse message over link text; true when it answered that the
// control should not act on it.
bool LinkNotify(HWND window, RichEditState& state, UINT message, WPARAM wParam, LPARAM lParam,
                int x, int y) {
    if (!(state.eventMask & ENM_LINK)) return false;
    std::optional<CHARRANGE> link = LinkAt(state, CharAt(window, state, x, y));
    if (!link) return false;
    HWND parent = GetParent(window);
    if (parent == 0) return false;
    ENLINK notice{{window, static_cast<UINT_PTR>(GetWindowLongA(window, GWL_ID)), EN_LINK},
                  message,
                  wParam,
                  lParam,
                  *link};
    return SendMessageA(parent, WM_NOTIFY, notice.nmhdr.idFrom,
                        reinterpret_cast<LPARAM>(&notice)) != 0;
}

void Paint(HWND window, RichEditState& state, HDC dc) {
    if (state.lines.empty()) Layout(window, state);
    RECT client = ClientOf(window);
    COLORREF background = state.systemBackground ? GetSysColor(COLOR_WINDOW) : state.background;
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    if (StyleOf(window) & ES_SUNKEN) DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
    RECT area = TextArea(window, state);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left - state.leftMargin, area.top, area.right + state.rightMargin,
                      area.bottom);
    SetBkMode(dc, TRANSPARENT);
    bool showSelection =
        !state.hideSelection && (state.focused || (StyleOf(window) & ES_NOHIDESEL));
    RichPaint paint{showSelection ? SelStart(state) : 0, showSelection ? SelEnd(state) : 0,
                    !IsWindowEnabled(window), (StyleOf(window) & ES_PASSWORD) != 0, background};
    int y = area.top;
    for (int line = state.firstLine; line < LineCount(state) && y < area.bottom; ++line) {
        const RichLine& shown = state.lines[static_cast<size_t>(line)];
        DrawRichLine(dc, state.document, state.urls, shown, LineLeft(window, state, line), y,
                     Fonts(window, state), paint);
        y += shown.height;
    }
    if (state.focused && state.anchor == state.caret) {
        int line = LineOf(state, state.caret);
        if (line >= state.firstLine)
            PatBlt(dc, XOf(window, state, state.caret), LineTop(window, state, line), 1,
                   state.lines[static_cast<size_t>(line)].height, DSTINVERT);
    }
    RestoreDC(dc, saved);
}

LRESULT Scroll(HWND window, RichEditState& state, WORD code, int thumb, bool notify) {
    int lines = 0;
    if (!ScrollRequestLines(code, thumb, state.firstLine, VisibleLines(window, state),
                            LineCount(state), lines))
        return FALSE;
    int moved = ScrollLines(window, state, lines);
    if (notify && !Notify(window, state, EN_VSCROLL)) return 0;
    return MAKELONG(moved, TRUE);
}

// EM_SETSEL and EM_EXSETSEL: a negative start keeps no selection (at the caret when the
// end is negative too, else at the end), a negative end reaches the end of the text.
void SetSelection(HWND window, RichEditState& state, int start, int end) {
    int length = state.document.Length();
    if (start < 0 && end < 0)
        Select(window, state, state.caret, state.caret);
    else if (start < 0)
        Select(window, state, end, end);
    else
        Select(window, state, start, end < 0 ? length : end);
}

void SetDocument(HWND window, RichEditState& state, RichText document) {
    state.document = std::move(document);
    state.undo.clear();
    state.redo.clear();
    state.firstLine = 0;
    Relaid(window, state);
    Select(window, state, 0, 0);
}

LRESULT SetText(HWND window, RichEditState& state, LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    RichText document = PlainDocument(text != nullptr ? text : "", state.insertion);
    document.Align(0, document.Length(), StyleAlign(window));
    SetDocument(window, state, std::move(document));
    state.modified = false;
    Notify(window, state, EN_CHANGE);
    return TRUE;
}

LRESULT GetText(const RichEditState& state, WPARAM wParam, LPARAM lParam) {
    auto size = static_cast<size_t>(std::min<WPARAM>(wParam, 0x7FFFFFFF));
    if (size == 0 || lParam == 0) return 0;
    std::string text = WithLineEnds(state.document.Text());
    size_t count = std::min(size - 1, text.size());
    auto* buffer = reinterpret_cast<char*>(lParam);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<LRESULT>(count);
}

LRESULT TextLength(const RichEditState& state) {
    const std::string& text = state.document.Text();
    return state.document.Length() + std::count(text.begin(), text.end(), '\r');
}

LRESULT GetLine(RichEditState& state, int line, LPARAM lParam) {
    if (lParam == 0 || line < 0 || line >= LineCount(state)) return 0;
    auto* buffer = reinterpret_cast<char*>(lParam);
    WORD size = 0;
    std::memcpy(&size, buffer, sizeof(size));
    const RichLine& shown = state.lines[static_cast<size_t>(line)];
    int count = std::min(shown.end - shown.start, static_cast<int>(size));
    std::memcpy(buffer, state.document.Text().data() + shown.start, static_cast<size_t>(count));
    return count;
}

LRESULT LineLength(RichEditState& state, int position) {
    if (position < 0) {
        const RichLine& first = state.lines[static_cast<size_t>(LineOf(state, SelStart(state)))];
        const RichLine& last = state.lines[static_cast<size_t>(LineOf(state, SelEnd(state)))];
        return (SelStart(state) - first.start) + std::max(last.end - SelEnd(state), 0);
    }
    const RichLine& line =
        state
            .lines[static_cast<size_t>(LineOf(state, std::min(position, state.document.Length())))];
    return line.end - line.start;
}

RichFormat FromCharFormat(const CHARFORMATA& format) {
    RichFormat out;
    out.effects = format.dwEffects;
    out.height = std::clamp<LONG>(format.yHeight, 1, 32760);
    out.color = format.crTextColor & 0xFFFFFF;
    out.face.assign(format.szFaceName, strnlen(format.szFaceName, LF_FACESIZE));
    return out;
}

LRESULT SetCharFormat(HWND window, RichEditState& state, WPARAM which, LPARAM lParam) {
    const auto* format = reinterpret_cast<const CHARFORMATA*>(lParam);
    if (format == nullptr || format->cbSize < sizeof(CHARFORMATA)) return FALSE;
    RichFormat wanted = FromCharFormat(*format);
    uint32_t mask = format->dwMask & (kRichEffectMask | CFM_FACE | CFM_COLOR | CFM_SIZE);
    if (which & SCF_ALL) {
        int anchor = state.anchor, caret = state.caret;
        state.anchor = 0;
        state.caret = state.document.Length();
        FormatSelection(window, state, mask, wanted);
        MergeFormat(state.insertion, mask, wanted);
        state.anchor = anchor;
        state.caret = caret;
    } else if (which & SCF_SELECTION) {
        FormatSelection(window, state, mask, wanted);
    } else {
        MergeFormat(state.base, mask, wanted);
        MergeFormat(state.insertion, mask, wanted);
        if (state.document.Length() == 0) Relaid(window, state);
    }
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

// The selection's format; the mask keeps only what is the same over all of it.
LRESULT GetCharFormat(RichEditState& state, WPARAM which, LPARAM lParam) {
    auto* out = reinterpret_cast<CHARFORMATA*>(lParam);
    if (out == nullptr || out->cbSize < sizeof(CHARFORMATA)) return 0;
    uint32_t mask = kRichEffectMask | CFM_FACE | CFM_COLOR | CFM_SIZE;
    RichFormat first = (which & SCF_SELECTION) ? state.insertion : state.base;
    int start = SelStart(state), end = SelEnd(state);
    if ((which & SCF_SELECTION) && start < end) {
        first = state.document.FormatAt(start, state.insertion);
        int at = 0;
        for (const RichRun& run : state.document.Runs()) {
            if (at < end && at + run.length > start) {
                const RichFormat& other = run.format;
                mask &= ~(first.effects ^ other.effects) | ~kRichEffectMask;
                if (first.height != other.height) mask &= ~CFM_SIZE;
                if (first.face != other.face) mask &= ~CFM_FACE;
                if ((first.effects ^ other.effects) & CFE_AUTOCOLOR || first.color != other.color)
                    mask &= ~CFM_COLOR;
            }
            at += run.length;
        }
    }
    out->dwMask = mask;
    out->dwEffects = first.effects;
    out->yHeight = first.height;
    out->yOffset = 0;
    out->crTextColor = first.color;
    out->bCharSet = 0;
    out->bPitchAndFamily = 0;
    std::memset(out->szFaceName, 0, sizeof(out->szFaceName));
    std::memcpy(out->szFaceName, first.face.data(), std::min(first.face.size(), kRichFaceLength));
    return mask;
}

LRESULT GetTextRange(const RichEditState& state, LPARAM lParam) {
    auto* range = reinterpret_cast<TEXTRANGEA*>(lParam);
    if (range == nullptr || range->lpstrText == nullptr) return 0;
    int length = state.document.Length();
    int first = std::clamp(range->chrg.cpMin, 0, length);
    int last = range->chrg.cpMax < 0 ? length : std::clamp(range->chrg.cpMax, 0, length);
    int count = std::max(last - first, 0);
    std::memcpy(range->lpstrText, state.document.Text().data() + first, static_cast<size_t>(count));
    range->lpstrText[count] = '\0';
    return count;
}

LRESULT FindText(const RichEditState& state, WPARAM flags, LPARAM lParam) {
    const auto* find = reinterpret_cast<const FINDTEXTA*>(lParam);
    if (find == nullptr || find->lpstrText == nullptr) return -1;
    int length = state.document.Length();
    int from = std::clamp(find->chrg.cpMin, 0, length);
    int to = find->chrg.cpMax < 0 ? length : std::clamp(find->chrg.cpMax, 0, length);
    return FindInText(state.document.Text(), find->lpstrText, from, to, (flags & FR_DOWN) != 0,
                      (flags & FR_MATCHCASE) != 0, (flags & FR_WHOLEWORD) != 0);
}

LRESULT StreamIn(HWND window, RichEditState& state, WPARAM format, LPARAM lParam) {
    auto* stream = reinterpret_cast<EDITSTREAM*>(lParam);
    if (stream == nullptr || stream->pfnCallback == nullptr) return 0;
    stream->dwError = 0;
    bool rtf = (format & SF_RTF) != 0, selection = (format & SFF_SELECTION) != 0;
    // Markup takes room beside the text, but what is read stays bounded by the limit.
    int64_t bound =
        rtf ? static_cast<int64_t>(state.limit) * 8 + 65536 : static_cast<int64_t>(state.limit) * 2;
    std::string data;
    std::array<BYTE, kStreamChunk> chunk{};
    for (;;) {
        LONG done = 0;
        DWORD answer = stream->pfnCallback(stream->dwCookie, chunk.data(),
                                           static_cast<LONG>(chunk.size()), &done);
        if (answer != 0) {
            stream->dwError = answer;
            return 0;
        }
        if (done <= 0) break;
        data.append(reinterpret_cast<const char*>(chunk.data()),
                    std::min(static_cast<size_t>(done), chunk.size()));
        if (static_cast<int64_t>(data.size()) > bound) {
            stream->dwError = kStreamTooLong;
            return 0;
        }
    }
    std::optional<RichText> read;
    if (rtf) read = ReadRtf(data, state.base);
    // RTF ends the last paragraph with \par as it ends the others; in a whole document that
    // mark is the document's end, not an empty paragraph after it (StreamOut writes it back).
    if (read && !selection && read->Length() > 0 && read->Text().back() == '\r')
        read = read->Slice(0, read->Length() - 1);
    if (!read) {
        read = PlainDocument(data, state.insertion);
        if (!selection) read->Align(0, read->Length(), StyleAlign(window));
    }
    int kept = selection ? state.document.Length() - (SelEnd(state) - SelStart(state)) : 0;
    if (static_cast<int64_t>(kept) + read->Length() > state.limit) {
        stream->dwError = kStreamTooLong;
        return 0;
    }
    int count = read->Length();
    if (selection) {
        ReplaceSelection(window, state, std::move(*read), true);
        return count;
    }
    SetDocument(window, state, std::move(*read));
    state.modified = false;
    Notify(window, state, EN_CHANGE);
    return count;
}

LRESULT StreamOut(const RichEditState& state, WPARAM format, LPARAM lParam) {
    auto* stream = reinterpret_cast<EDITSTREAM*>(lParam);
    if (stream == nullptr || stream->pfnCallback == nullptr) return 0;
    stream->dwError = 0;
    bool part = (format & SFF_SELECTION) != 0, rtf = (format & SF_RTF) != 0;
    // As RTF, a whole document ends with its last paragraph's \par, which StreamIn takes back
    // as the document's end.
    RichText out = part ? state.document.Slice(SelStart(state), SelEnd(state)) : state.document;
    if (!part && rtf)
        out.Append("\r", state.document.FormatAt(state.document.Length(), state.insertion));
    std::string data = rtf ? WriteRtf(out) : WithLineEnds(out.Text());
    size_t written = 0;
    while (written < data.size()) {
        LONG count = static_cast<LONG>(std::min(data.size() - written, kStreamChunk));
        LONG done = 0;
        DWORD answer = stream->pfnCallback(
            stream->dwCookie, reinterpret_cast<BYTE*>(data.data() + written), count, &done);
        if (answer != 0) {
            stream->dwError = answer;
            break;
        }
        if (done <= 0) {
            stream->dwError = kStreamStalled;
            break;
        }
        written += static_cast<size_t>(std::min(done, count));
    }
    return static_cast<LRESULT>(written);
}

int Twips(int value, int dpi) {
    return static_cast<int>(static_cast<int64_t>(value) * dpi / 1440);
}

// Lays [cpMin, cpMax) out in rc of the DC (twips) and draws the lines that fit when asked;
// the answer is the first character that did not fit.
LRESULT FormatRange(HWND window, RichEditState& state, WPARAM render, LPARAM lParam) {
    const auto* range = reinterpret_cast<const FORMATRANGE*>(lParam);
    if (range == nullptr) return 0;
    HDC dc = range->hdc;
    int length = state.document.Length();
    int from = std::clamp(range->chrg.cpMin, 0, length);
    int to = range->chrg.cpMax < 0 ? length : std::clamp(range->chrg.cpMax, from, length);
    if (dc == 0) return from;
    int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    if (dpiX <= 0) dpiX = 96;
    if (dpiY <= 0) dpiY = 96;
    RECT area{Twips(range->rc.left, dpiX), Twips(range->rc.top, dpiY), Twips(range->rc.right, dpiX),
              Twips(range->rc.bottom, dpiY)};
    int width = std::max(static_cast<int>(area.right - area.left), 1);
    RichFonts fonts(dpiY);
    std::vector<RichLine> lines =
        LayoutRich(state.document, state.urls, from, to, width, fonts, state.insertion);
    int saved = render ? SaveDC(dc) : 0;
    if (render) {
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        SetBkMode(dc, TRANSPARENT);
    }
    int y = area.top, next = from;
    COLORREF background = state.systemBackground ? GetSysColor(COLOR_WINDOW) : state.background;
    RichPaint paint{0, 0, false, (StyleOf(window) & ES_PASSWORD) != 0, background};
    for (const RichLine& line : lines) {
        if (y + line.height > area.bottom) break;
        if (render)
            DrawRichLine(dc, state.document, state.urls, line,
                         area.left + RichLineLeft(line, width), y, fonts, paint);
        y += line.height;
        next = std::min(line.next, to);
    }
    if (render) RestoreDC(dc, saved);
    return next;
}

int ColumnStep(HWND window, RichEditState& state) {
    return std::max(Fonts(window, state).For(state.insertion).widths['x'], 1);
}

void ScrollColumns(HWND window, RichEditState& state, WORD code, int thumb) {
    int64_t to = state.xOffset;
    int page = TextArea(window, state).right - TextArea(window, state).left;
    switch (code) {
    case SB_LINELEFT:
        to -= ColumnStep(window, state);
        break;
    case SB_LINERIGHT:
        to += ColumnStep(window, state);
        break;
    case SB_PAGELEFT:
        to -= page;
        break;
    case SB_PAGERIGHT:
        to += page;
        break;
    case SB_LEFT:
        to = 0;
        break;
    case SB_RIGHT:
        to = MaxXOffset(window, state);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        to = thumb;
        break;
    default:
        return;
    }
    if (ScrollTo(window, state, to)) Notify(window, state, EN_HSCROLL);
}

bool InSelection(HWND window, RichEditState& state, int x, int y) {
    int at = CharAt(window, state, x, y);
    return at >= 0 && at >= SelStart(state) && at < SelEnd(state);
}

bool PastDragBox(const RichEditState& state, int x, int y) {
    return std::abs(x - state.pressAt.x) > GetSystemMetrics(SM_CXDRAG) / 2 ||
           std::abs(y - state.pressAt.y) > GetSystemMetrics(SM_CYDRAG) / 2;
}

// The dragged text put down at `at` of its own window: moved as one change, so that one undo
// puts it back, or copied. Dropped on itself it stays.
void DropHere(HWND window, RichEditState& state, int at, bool copy) {
    int start = SelStart(state), end = SelEnd(state);
    if (ReadOnly(window) || (at >= start && at <= end)) return;
    RichText dragged = state.document.Slice(start, end);
    if (copy) {
        Select(window, state, at, at);
        if (!ReplaceSelection(window, state, std::move(dragged), true)) return;
        Select(window, state, at, state.caret);
        return;
    }
    int first = std::min(at, start), last = std::max(at, end);
    RichText span = at < start ? std::move(dragged) : state.document.Slice(end, at);
    span.Replace(span.Length(), span.Length(),
                 at < start ? state.document.Slice(at, start) : dragged);
    int dropped = at < start ? at : at - (end - start);
    Change(window, state, first, last, span, true, false);
    Select(window, state, dropped, dropped + (end - start));
    Notify(window, state, EN_CHANGE);
}

// The selection dropped at a client point: into this rich edit or another of the player's.
// Between two, the text goes in first and leaves its source only when the source still holds
// it, so that a handler that changes either loses nothing.
void Drop(HWND window, RichEditState& state, int x, int y, bool copy) {
    POINT screen{x, y};
    ClientToScreen(window, &screen);
    HWND target = WindowFromPoint(screen);
    std::shared_ptr<RichEditState> other = States().Find(target);
    if (!other) return;
    POINT there = screen;
    ScreenToClient(target, &there);
    if (target == window) {
        DropHere(window, state, PositionAt(window, state, there.x, there.y), copy);
        return;
    }
    if (ReadOnly(target)) return;
    int start = SelStart(state), end = SelEnd(state);
    RichText dragged = state.document.Slice(start, end);
    int at = PositionAt(target, *other, there.x, there.y);
    if (GetFocus() != target) SetFocus(target);
    if (!IsWindow(target)) return;
    Select(target, *other, at, at);
    if (!ReplaceSelection(target, *other, dragged, true)) return;
    Select(target, *other, at, other->caret);
    if (copy || ReadOnly(window) || !IsWindow(window) || end > state.document.Length() ||
        !(state.document.Slice(start, end) == dragged))
        return;
    Select(window, state, start, end);
    ReplaceSelection(window, state, RichText{}, true);
}

LRESULT Handle(HWND window, RichEditState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        int length = static_cast<int>(DefWindowProcA(window, WM_GETTEXTLENGTH, 0, 0));
        std::string initial(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
        DefWindowProcA(window, WM_GETTEXT, initial.size(),
                       reinterpret_cast<LPARAM>(initial.data()));
        RichText document = PlainDocument(initial.c_str(), state.insertion);
        document.Align(0, document.Length(), StyleAlign(window));
        state.document = std::move(document);
        Relaid(window, state);
        UpdateScrollBar(window, state);
        return 0;
    }
    case WM_SIZE:
    case WM_STYLECHANGED:
        Layout(window, state);
        ShowCaret(window, state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc != 0) Paint(window, state, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ENABLE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETFOCUS:
        state.focused = true;
        InvalidateRect(window, nullptr, TRUE);
        Notify(window, state, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        state.focused = false;
        InvalidateRect(window, nullptr, TRUE);
        Notify(window, state, EN_KILLFOCUS);
        return 0;
    case WM_SETCURSOR: {
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(window, &point);
        if (LOWORD(lParam) == HTCLIENT && LinkAt(state, CharAt(window, state, point.x, point.y))) {
            if (LinkNotify(window, state, message, wParam, lParam, point.x, point.y)) return TRUE;
            SetCursor(LoadCursorA(0, IDC_HAND));
            return TRUE;
        }
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorA(0, IDC_IBEAM));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        if (LinkNotify(window, state, message, wParam, lParam, PointX(lParam), PointY(lParam)))
            return 0;
        if (!IsWindow(window)) return 0;
        if (GetFocus() != window) SetFocus(window);
        if (!IsWindow(window)) return 0;
        int x = PointX(lParam), y = PointY(lParam);
        if (!(wParam & MK_SHIFT) && InSelection(window, state, x, y)) {
            state.dragPending = true;
            state.pressAt = POINT{x, y};
            SetCapture(window);
            return 0;
        }
        int at = PositionAt(window, state, x, y);
        Select(window, state, (wParam & MK_SHIFT) ? state.anchor : at, at);
        state.tracking = true;
        SetCapture(window);
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        if (LinkNotify(window, state, message, wParam, lParam, PointX(lParam), PointY(lParam)))
            return 0;
        if (!IsWindow(window)) return 0;
        SelectWord(window, state, PositionAt(window, state, PointX(lParam), PointY(lParam)));
        return 0;
    case WM_MOUSEMOVE:
        if (state.dragPending && GetCapture() == window &&
            PastDragBox(state, PointX(lParam), PointY(lParam))) {
            state.dragPending = false;
            state.dragging = true;
        }
        if (state.dragging) {
            SetCursor(LoadCursorA(0, IDC_ARROW));
            return 0;
        }
        if (state.tracking && GetCapture() == window) {
            Select(window, state, state.anchor,
                   PositionAt(window, state, PointX(lParam), PointY(lParam)));
            return 0;
        }
        LinkNotify(window, state, message, wParam, lParam, PointX(lParam), PointY(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (state.dragPending || state.dragging) {
            bool dragged = state.dragging;
            state.dragPending = state.dragging = false;
            if (GetCapture() == window) ReleaseCapture();
            int x = PointX(lParam), y = PointY(lParam);
            if (dragged) {
                Drop(window, state, x, y, (wParam & MK_CONTROL) != 0);
            } else {
                int at = PositionAt(window, state, x, y);
                Select(window, state, at, at);
            }
            return 0;
        }
        if (state.tracking) {
            state.tracking = false;
            if (GetCapture() == window) ReleaseCapture();
        }
        LinkNotify(window, state, message, wParam, lParam, PointX(lParam), PointY(lParam));
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        LinkNotify(window, state, message, wParam, lParam, PointX(lParam), PointY(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        state.tracking = state.dragPending = state.dragging = false;
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && (state.dragPending || state.dragging)) {
            if (GetCapture() == window) ReleaseCapture();
            return 0;
        }
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
        return TextLength(state);
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
        if (!ReadOnly(window)) ReplaceWithText(window, state, "", true);
        return 0;
    case WM_UNDO:
    case EM_UNDO: {
        bool could = !state.undo.empty();
        Undo(window, state, false);
        return could;
    }
    case EM_REDO: {
        bool could = !state.redo.empty();
        Undo(window, state, true);
        return could;
    }
    case EM_CANUNDO:
        return !state.undo.empty();
    case EM_CANREDO:
        return !state.redo.empty();
    case EM_EMPTYUNDOBUFFER:
        state.undo.clear();
        state.redo.clear();
        return 0;
    case EM_SETUNDOLIMIT:
        state.undoLimit = static_cast<int>(std::clamp<WPARAM>(wParam, 0, 0x7FFFFFFF));
        TrimUndo(state);
        return state.multiLevelUndo ? state.undoLimit : std::min(state.undoLimit, 1);
    case EM_SETTEXTMODE:
        if (wParam & TM_MULTILEVELUNDO) state.multiLevelUndo = true;
        if (wParam & TM_SINGLELEVELUNDO) state.multiLevelUndo = false;
        TrimUndo(state);
        return 0;
    case EM_GETSEL: {
        int start = SelStart(state), end = SelEnd(state);
        if (wParam != 0) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
        if (lParam != 0) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
        if (start > 0xFFFF || end > 0xFFFF) return -1;
        return MAKELONG(start, end);
    }
    case EM_SETSEL:
        SetSelection(window, state, static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    case EM_EXGETSEL:
        if (lParam != 0)
            *reinterpret_cast<CHARRANGE*>(lParam) = CHARRANGE{SelStart(state), SelEnd(state)};
        return 0;
    case EM_EXSETSEL:
        if (lParam == 0) return SelEnd(state);
        SetSelection(window, state, reinterpret_cast<const CHARRANGE*>(lParam)->cpMin,
                     reinterpret_cast<const CHARRANGE*>(lParam)->cpMax);
        return SelEnd(state);
    case EM_SELECTIONTYPE: {
        int count = SelEnd(state) - SelStart(state);
        if (count == 0) return SEL_EMPTY;
        return count > 1 ? SEL_TEXT | SEL_MULTICHAR : SEL_TEXT;
    }
    case EM_HIDESELECTION:
        state.hideSelection = wParam != 0;
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case EM_REPLACESEL: {
        const char* text = reinterpret_cast<const char*>(lParam);
        ReplaceWithText(window, state, text != nullptr ? text : "", wParam != 0);
        return 0;
    }
    case EM_GETMODIFY:
        return state.modified;
    case EM_SETMODIFY:
        state.modified = wParam != 0;
        return 0;
    case EM_LIMITTEXT:
    case EM_EXLIMITTEXT: {
        auto limit =
            static_cast<int64_t>(static_cast<int>(message == EM_LIMITTEXT ? wParam : lParam));
        state.limit = limit <= 0 ? kLimitForZero : static_cast<int>(limit);
        return 0;
    }
    case EM_GETLIMITTEXT:
        return state.limit;
    case EM_GETFIRSTVISIBLELINE:
        return state.firstLine;
    case EM_GETLINECOUNT:
        return LineCount(state);
    case EM_LINELENGTH:
        return LineLength(state, static_cast<int>(wParam));
    case EM_LINEINDEX: {
        int line = static_cast<int>(wParam);
        if (line < 0) line = LineOf(state, state.caret);
        if (line >= LineCount(state)) return -1;
        return state.lines[static_cast<size_t>(line)].start;
    }
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR: {
        int position = static_cast<int>(message == EM_LINEFROMCHAR ? wParam : lParam);
        if (position < 0) position = SelStart(state);
        return LineOf(state, std::min(position, state.document.Length()));
    }
    case EM_LINESCROLL:
        ScrollLines(window, state, static_cast<int>(lParam));
        ScrollTo(window, state,
                 state.xOffset + int64_t{static_cast<int>(wParam)} * ColumnStep(window, state));
        return TRUE;
    case EM_SCROLL:
        if (wParam > SB_PAGEDOWN) return FALSE;
        return Scroll(window, state, static_cast<WORD>(wParam), 0, false);
    case EM_SCROLLCARET:
        ShowCaret(window, state);
        return TRUE;
    case EM_SETREADONLY: {
        DWORD style = StyleOf(window);
        SetWindowLongA(window, GWL_STYLE,
                       static_cast<LONG>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    }
    case EM_GETLINE:
        return GetLine(state, static_cast<int>(wParam), lParam);
    case EM_SETMARGINS:
        if (wParam & EC_LEFTMARGIN) state.leftMargin = std::min<int>(LOWORD(lParam), 0x7FFF);
        if (wParam & EC_RIGHTMARGIN) state.rightMargin = std::min<int>(HIWORD(lParam), 0x7FFF);
        Layout(window, state);
        ShowCaret(window, state);
        return 0;
    case EM_CANPASTE:
        return ClipboardText().has_value();
    case EM_SETBKGNDCOLOR: {
        COLORREF before = state.systemBackground ? GetSysColor(COLOR_WINDOW) : state.background;
        state.systemBackground = wParam != 0;
        state.background = static_cast<COLORREF>(lParam) & 0xFFFFFF;
        InvalidateRect(window, nullptr, TRUE);
        return before;
    }
    case EM_SETEVENTMASK: {
        DWORD before = state.eventMask;
        state.eventMask = static_cast<DWORD>(lParam);
        return before;
    }
    case EM_GETEVENTMASK:
        return state.eventMask;
    case EM_AUTOURLDETECT:
        state.detectUrls = wParam != 0;
        Relaid(window, state);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case EM_SETCHARFORMAT:
        return SetCharFormat(window, state, wParam, lParam);
    case EM_GETCHARFORMAT:
        return GetCharFormat(state, wParam, lParam);
    case EM_FINDTEXT:
        return FindText(state, wParam, lParam);
    case EM_GETTEXTRANGE:
        return GetTextRange(state, lParam);
    case EM_STREAMIN:
        return StreamIn(window, state, wParam, lParam);
    case EM_STREAMOUT:
        return StreamOut(state, wParam, lParam);
    case EM_FORMATRANGE:
        return FormatRange(window, state, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT RichEditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunControl<RichEditState>(States(), Handle, window, message, wParam, lParam);
}

} // namespace platform
