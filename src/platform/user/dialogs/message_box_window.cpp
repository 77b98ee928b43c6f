#include "platform/user/dialogs/message_box_window.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gdi/icons/icons.h"
#include "platform/gdi/text/text_render.h"
#include "platform/kernel/cp1252.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/dialogs/message_box_test_hooks.h"
#include "platform/user/dialogs/modal_session.h"
#include "platform/user/dialogs/msg_filter_hook.h"
#include "platform/user/window_table.h"
#include "platform/user/windows.h"

namespace platform {
namespace {

// The classic dialog layout of an 8-point font, in pixels.
constexpr int MARGIN = 12;
constexpr int TEXT_TO_BUTTONS = 16;
constexpr int BUTTON_WIDTH = 75;
constexpr int BUTTON_HEIGHT = 23;
constexpr int BUTTON_GAP = 6;
constexpr int ICON_SIZE = 32;
constexpr int ICON_TO_TEXT = 12;
// What the title bar needs beside the caption: the close button and some air.
constexpr int CAPTION_ROOM = 48;
// Lines wrap at five eighths of the screen, within these bounds.
constexpr int MIN_WRAP_WIDTH = 160;
constexpr int MAX_WRAP_WIDTH = 600;

constexpr DWORD BOX_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr char BOX_CLASS[] = "ZorvMessageBox";

struct ButtonKind {
    int id;              // the answer, IDOK ...
    const char* caption; // Windows-1252
    bool mnemonic;       // its first letter chooses it
};

// The buttons of a box type from left to right; none for a type it does not know.
std::vector<ButtonKind> MessageBoxButtons(UINT type) {
    constexpr ButtonKind ok{IDOK, "OK", false};
    constexpr ButtonKind cancel{IDCANCEL, "Cancel", false};
    constexpr ButtonKind abort{IDABORT, "Abort", true};
    constexpr ButtonKind retry{IDRETRY, "Retry", true};
    constexpr ButtonKind ignore{IDIGNORE, "Ignore", true};
    constexpr ButtonKind yes{IDYES, "Yes", true};
    constexpr ButtonKind no{IDNO, "No", true};
    constexpr ButtonKind tryAgain{IDTRYAGAIN, "Try Again", true};
    constexpr ButtonKind proceed{IDCONTINUE, "Continue", true};
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return {ok};
    case MB_OKCANCEL:
        return {ok, cancel};
    case MB_ABORTRETRYIGNORE:
        return {abort, retry, ignore};
    case MB_YESNOCANCEL:
        return {yes, no, cancel};
    case MB_YESNO:
        return {yes, no};
    case MB_RETRYCANCEL:
        return {retry, cancel};
    case MB_CANCELTRYCONTINUE:
        return {cancel, tryAgain, proceed};
    default:
        return {};
    }
}

struct PlacedButton {
    ButtonKind button;
    RECT rect; // client coordinates
};

struct BoxState {
    HWND window = 0;
    UINT type = 0;
    std::vector<std::string> lines;
    HICON icon = 0; // at the top left, beside the text
    RECT textArea{};
    std::vector<PlacedButton> buttons;
    size_t focus = 0;
    // The button held down with the mouse, and whether the pointer is still on it.
    int pressed = -1;
    bool pressedInside = false;
    int answer = 0;
};

using Boxes = ModalWindows<BoxState>;

BoxState* FindBox(HWND window) {
    return Boxes::Find(window);
}

bool HasButton(const BoxState& state, int id) {
    return std::any_of(state.buttons.begin(), state.buttons.end(),
                       [id](const PlacedButton& b) { return b.button.id == id; });
}

// Escape and the close button: Cancel, OK for a box with nothing else, else no answer.
int CloseAnswer(const BoxState& state) {
    if (HasButton(state, IDCANCEL)) return IDCANCEL;
    if ((state.type & MB_TYPEMASK) == MB_OK) return IDOK;
    return 0;
}

// The answer of a box ended from outside (WM_QUIT, its window destroyed).
int ForcedAnswer(const BoxState& state) {
    return HasButton(state, IDCANCEL) ? IDCANCEL : MessageBoxDefaultAnswer(state.type);
}

bool Inside(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

int ButtonAt(const BoxState& state, POINT point) {
    for (size_t i = 0; i < state.buttons.size(); ++i)
        if (Inside(state.buttons[i].rect, point)) return static_cast<int>(i);
    return -1;
}

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<int16_t>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                 static_cast<int16_t>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
}

void Fill(HDC dc, LONG left, LONG top, LONG right, LONG bottom, int colorIndex) {
    RECT rect{left, top, right, bottom};
    FillRect(dc, &rect, GetSysColorBrush(colorIndex));
}

// Every other pixel of a rectangle's outline.
void DrawFocusMark(HDC dc, const RECT& rect, COLORREF color) {
    for (LONG x = rect.left; x < rect.right; x += 2) {
        SetPixel(dc, x, rect.top, color);
        SetPixel(dc, x, rect.bottom - 1, color);
    }
    for (LONG y = rect.top; y < rect.bottom; y += 2) {
        SetPixel(dc, rect.left, y, color);
        SetPixel(dc, rect.right - 1, y, color);
    }
}

void DrawButton(HDC dc, const PlacedButton& placed, bool focused, bool sunken) {
    RECT r = placed.rect;
    if (focused) {
        // The focused button is the one Return presses: a black frame marks it.
        Fill(dc, r.left, r.top, r.right, r.bottom, COLOR_3DDKSHADOW);
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if (sunken) {
        Fill(dc, r.left, r.top, r.right, r.bottom, COLOR_BTNSHADOW);
        Fill(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, COLOR_BTNFACE);
    } else {
        Fill(dc, r.left, r.top, r.right, r.bottom, COLOR_3DDKSHADOW);
        Fill(dc, r.left, r.top, r.right - 1, r.bottom - 1, COLOR_BTNHIGHLIGHT);
        Fill(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, COLOR_BTNSHADOW);
        Fill(dc, r.left + 1, r.top + 1, r.right - 2, r.bottom - 2, COLOR_BTNFACE);
    }
    std::string_view caption = placed.button.caption;
    UiFontMetrics metrics = UiFontLineMetrics();
    int shift = sunken ? 1 : 0;
    int x = r.left + (r.right - r.left - MeasureUiText(caption)) / 2 + shift;
    int y = r.top + (r.bottom - r.top - metrics.lineHeight) / 2 + shift;
    COLORREF text = GetSysColor(COLOR_BTNTEXT);
    DrawUiText(dc, x, y, caption, text);
    if (placed.button.mnemonic && UiFontAvailable()) {
        int underline = y + metrics.ascent + 1;
        Fill(dc, x, underline, x + MeasureUiText(caption.substr(0, 1)), underline + 1,
             COLOR_BTNTEXT);
    }
    if (focused) DrawFocusMark(dc, RECT{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3}, text);
}

void Paint(BoxState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(state.window, &paint);
    if (dc == 0) return;
    int lineHeight = UiFontLineMetrics().lineHeight;
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    if (state.icon != 0)
        DrawIconEx(dc, MARGIN, MARGIN, state.icon, ICON_SIZE, ICON_SIZE, 0, 0, DI_NORMAL);
    for (size_t i = 0; i < state.lines.size(); ++i) {
        int64_t top = state.textArea.top + static_cast<int64_t>(i) * lineHeight;
        if (top >= paint.rcPaint.bottom) break;
        if (top + lineHeight <= paint.rcPaint.top) continue;
        DrawUiText(dc, state.textArea.left, static_cast<int>(top), state.lines[i], text);
    }
    for (size_t i = 0; i < state.buttons.size(); ++i) {
        bool sunken = state.pressed == static_cast<int>(i) && state.pressedInside;
        DrawButton(dc, state.buttons[i], i == state.focus, sunken);
    }
    EndPaint(state.window, &paint);
}

// Focus and pressing change the buttons only; the text, which may be long, stays.
void Redraw(const BoxState& state) {
    RECT row{state.buttons.front().rect.left, state.buttons.front().rect.top,
             state.buttons.back().rect.right, state.buttons.back().rect.bottom};
    InvalidateRect(state.window, &row, TRUE);
}

void MoveFocus(BoxState& state, bool forward) {
    size_t count = state.buttons.size();
    state.focus = forward ? (state.focus + 1) % count : (state.focus + count - 1) % count;
    Redraw(state);
}

void Answer(BoxState& state, int id) {
    if (id != 0 && state.answer == 0) state.answer = id;
}

void PressKey(BoxState& state, WPARAM key) {
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        Answer(state, state.buttons[state.focus].button.id);
        break;
    case VK_ESCAPE:
        Answer(state, CloseAnswer(state));
        break;
    case VK_TAB:
        MoveFocus(state, GetKeyState(VK_SHIFT) >= 0);
        break;
    case VK_LEFT:
    case VK_UP:
        MoveFocus(state, false);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        MoveFocus(state, true);
        break;
    default:
        break;
    }
}

// A letter chooses the one button whose caption starts with it.
void TypeLetter(BoxState& state, unsigned char letter) {
    unsigned char wanted = Cp1252ToUpper(letter);
    int found = 0;
    int count = 0;
    for (const PlacedButton& placed : state.buttons) {
        if (placed.button.mnemonic &&
            Cp1252ToUpper(static_cast<unsigned char>(placed.button.caption[0])) == wanted) {
            found = placed.button.id;
            ++count;
        }
    }
    if (count == 1) Answer(state, found);
}

void PressMouse(BoxState& state, POINT point) {
    int hit = ButtonAt(state, point);
    if (hit < 0) return;
    state.pressed = hit;
    state.pressedInside = true;
    state.focus = static_cast<size_t>(hit);
    SetCapture(state.window);
    Redraw(state);
}

void ReleaseMouse(BoxState& state, POINT point) {
    if (state.pressed < 0) return;
    const PlacedButton& placed = state.buttons[static_cast<size_t>(state.pressed)];
    bool inside = Inside(placed.rect, point);
    int id = placed.button.id;
    state.pressed = -1;
    ReleaseCapture();
    Redraw(state);
    if (inside) Answer(state, id);
}

LRESULT BoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Only a box this thread is opening takes the window.
    if (message == WM_NCCREATE && !Boxes::Take(window, lParam)) return FALSE;
    BoxState* state = FindBox(window);
    if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        Paint(*state);
        return 0;
    case WM_LBUTTONDOWN:
        PressMouse(*state, PointOf(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (state->pressed >= 0) {
            bool inside =
                Inside(state->buttons[static_cast<size_t>(state->pressed)].rect, PointOf(lParam));
            if (inside != state->pressedInside) {
                state->pressedInside = inside;
                Redraw(*state);
            }
        }
        return 0;
    case WM_LBUTTONUP:
        ReleaseMouse(*state, PointOf(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        if (state->pressed >= 0 && static_cast<HWND>(lParam) != window) {
            state->pressed = -1;
            Redraw(*state);
        }
        return 0;
    case WM_KEYDOWN:
        PressKey(*state, wParam);
        return 0;
    case WM_CHAR:
        TypeLetter(*state, static_cast<unsigned char>(wParam));
        return 0;
    case WM_CLOSE:
        Answer(*state, CloseAnswer(*state));
        return 0;
    case WM_DESTROY:
        Answer(*state, ForcedAnswer(*state));
        return 0;
    case WM_NCDESTROY:
        state->window = 0;
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterBoxClass() {
    static const bool registered = RegisterModalClass(BOX_CLASS, BoxProcedure);
    return registered;
}

// The icon of the MB_ICON kind, 0 for none.
HICON MessageBoxIcon(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return LoadIconA(0, IDI_HAND);
    case MB_ICONQUESTION:
        return LoadIconA(0, IDI_QUESTION);
    case MB_ICONWARNING:
        return LoadIconA(0, IDI_EXCLAMATION);
    case MB_ICONINFORMATION:
        return LoadIconA(0, IDI_ASTERISK);
    default:
        return 0;
    }
}

struct ClientSize {
    LONG width;
    LONG height;
};

// Wraps the text and places it and the buttons; the client area's size. A text too long
// for the screen is cut, with an ellipsis, so that the buttons stay on it.
ClientSize Layout(BoxState& state, const std::string& text, const std::string& caption,
                  DWORD exStyle) {
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int wrap = std::clamp(screenWidth / 8 * 5 - 2 * MARGIN, MIN_WRAP_WIDTH, MAX_WRAP_WIDTH);
    state.lines = WrapUiText(text, wrap);
    int lineHeight = UiFontLineMetrics().lineHeight;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, BOX_STYLE, FALSE, exStyle);
    int room = GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top) - 2 * MARGIN -
               TEXT_TO_BUTTONS - BUTTON_HEIGHT;
    size_t fit = static_cast<size_t>(std::max(1, room / lineHeight));
    if (state.lines.size() > fit) {
        state.lines.resize(fit);
        state.lines.back() += "...";
    }
    int textWidth = 0;
    for (const std::string& line : state.lines)
        textWidth = std::max(textWidth, MeasureUiText(line));
    int textHeight = static_cast<int>(state.lines.size()) * lineHeight;
    int count = static_cast<int>(state.buttons.size());
    int rowWidth = count * BUTTON_WIDTH + (count - 1) * BUTTON_GAP;
    int captionWidth = std::min(MeasureUiText(caption) + CAPTION_ROOM, wrap + 2 * MARGIN);
    int textLeft = state.icon != 0 ? MARGIN + ICON_SIZE + ICON_TO_TEXT : MARGIN;
    int width = std::max({textLeft + textWidth + MARGIN, rowWidth + 2 * MARGIN, captionWidth});
    // A text shorter than the icon is centred beside it.
    int textTop = MARGIN + (state.icon != 0 ? std::max(0, (ICON_SIZE - textHeight) / 2) : 0);
    state.textArea = RECT{textLeft, textTop, textLeft + textWidth, textTop + textHeight};
    LONG bodyBottom =
        std::max<LONG>(state.textArea.bottom, state.icon != 0 ? MARGIN + ICON_SIZE : 0);
    LONG buttonTop = bodyBottom + TEXT_TO_BUTTONS;
    LONG left = (width - rowWidth) / 2;
    for (PlacedButton& placed : state.buttons) {
        placed.rect = RECT{left, buttonTop, left + BUTTON_WIDTH, buttonTop + BUTTON_HEIGHT};
        left += BUTTON_WIDTH + BUTTON_GAP;
    }
    return ClientSize{width, buttonTop + BUTTON_HEIGHT + MARGIN};
}

} // namespace

int MessageBoxDefaultAnswer(UINT type) {
    std::vector<ButtonKind> buttons = MessageBoxButtons(type);
    if (buttons.empty()) return 0;
    size_t index = (type & MB_DEFMASK) >> 8;
    return buttons[index < buttons.size() ? index : 0].id;
}

int RunMessageBoxWindow(HWND owner, const std::string& text, const std::string& caption, UINT type,
                        const std::function<void(HWND)>& shown) {
    BoxState state;
    state.type = type;
    state.icon = MessageBoxIcon(type);
    for (const ButtonKind& button : MessageBoxButtons(type))
        state.buttons.push_back(PlacedButton{button, RECT{}});
    if (state.buttons.empty() || !RegisterBoxClass()) return 0;
    int start = MessageBoxDefaultAnswer(type);
    while (state.buttons[state.focus].button.id != start)
        ++state.focus;

    HWND ownerTop = ModalOwner(owner);
    DWORD exStyle = (type & (MB_TOPMOST | MB_SYSTEMMODAL)) ? WS_EX_TOPMOST : 0;
    ClientSize client = Layout(state, text, caption, exStyle);
    RECT outer{0, 0, client.width, client.height};
    AdjustWindowRectEx(&outer, BOX_STYLE, FALSE, exStyle);
    LONG width = outer.right - outer.left;
    LONG height = outer.bottom - outer.top;
    POINT at = ModalPlacement(ownerTop, width, height);

    Boxes::Open open(state);
    ModalSession session(state.window, ownerTop);
    if (CreateWindowExA(exStyle, BOX_CLASS, caption.c_str(), BOX_STYLE, at.x, at.y, width, height,
                        ownerTop, 0, 0, &state) == 0 ||
        state.window == 0)
        return 0;
    session.Shown();
    session.DisableOwner();
    ShowWindow(state.window, SW_SHOWNORMAL);
    SetFocus(state.window);
    UpdateWindow(state.window);
    if (shown && state.window != 0) shown(state.window);

    MSG msg;
    while (state.answer == 0) {
        BOOL got = GetMessageA(&msg, 0, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) session.RepostQuit(static_cast<int>(msg.wParam));
            Answer(state, ForcedAnswer(state));
            break;
        }
        if (OfferToMessageFilters(MSGF_MESSAGEBOX, msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    session.End();
    return state.answer;
}

} // namespace platform

namespace platform::test {

bool MessageBoxButtonRect(HWND box, int id, RECT& rect) {
    const BoxState* state = FindBox(box);
    if (state == nullptr) return false;
    for (const PlacedButton& placed : state->buttons) {
        if (placed.button.id == id) {
            rect = placed.rect;
            return true;
        }
    }
    return false;
}

bool MessageBoxTextRect(HWND box, RECT& rect) {
    const BoxState* state = FindBox(box);
    if (state == nullptr) return false;
    rect = state->textArea;
    return true;
}

int MessageBoxFocusedButton(HWND box) {
    const BoxState* state = FindBox(box);
    return state == nullptr ? 0 : state->buttons[state->focus].button.id;
}

} // namespace platform::test
