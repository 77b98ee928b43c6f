#include "platform/gdi/controls/frame_control.h"

#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/controls/frame_glyphs.h"
#include "platform/gdi/shapes/dc_drawing.h"

namespace {

using platform::DcDrawing;
using platform::SpanList;
namespace glyphs = platform::glyphs;

COLORREF Sys(int index) {
    return GetSysColor(index);
}

// GDI's grey pattern over a rectangle: the face colour with every other pixel lit.
bool Checkered(DcDrawing& drawing, const RECT& r) {
    SpanList lit = drawing.Checkerboard(r, false);
    return drawing.FillRect(r, Sys(COLOR_BTNFACE)) &&
           drawing.Fill(lit, Sys(COLOR_BTNHIGHLIGHT), 13);
}

// A symbol in its colour; an inactive one embossed: a lit copy one pixel down and right
// under a shadow one. A pushed button's symbol moves one pixel down and right.
bool Symbol(DcDrawing& drawing, const SpanList& shape, UINT state, int color) {
    SpanList at = (state & DFCS_PUSHED) ? glyphs::Moved(shape, 1, 1) : shape;
    if (state & DFCS_INACTIVE)
        return drawing.FillShape(glyphs::Moved(at, 1, 1), Sys(COLOR_BTNHIGHLIGHT)) &&
               drawing.FillShape(at, Sys(COLOR_BTNSHADOW));
    return drawing.FillShape(at, Sys(color));
}

bool PushButton(HDC dc, DcDrawing& drawing, RECT& r, UINT state) {
    UINT edge = (state & (DFCS_PUSHED | DFCS_CHECKED | DFCS_FLAT)) ? EDGE_SUNKEN : EDGE_RAISED;
    UINT look = (state & DFCS_MONO) ? BF_MONO : (state & DFCS_FLAT) ? BF_FLAT : BF_SOFT;
    RECT face = r;
    bool ok = true;
    if (state & DFCS_CHECKED)
        ok = DrawEdge(dc, &face, edge, look | BF_RECT | BF_ADJUST) && Checkered(drawing, face);
    else if (state & DFCS_MONO)
        ok = DrawEdge(dc, &face, edge, look | BF_RECT | BF_ADJUST) &&
             drawing.FillRect(face, Sys(COLOR_BTNFACE));
    else
        ok = DrawEdge(dc, &face, edge, look | BF_RECT | BF_MIDDLE);
    if (state & DFCS_ADJUSTRECT) r = RECT{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    return ok;
}

bool CheckBox(HDC dc, DcDrawing& drawing, const RECT& r, UINT state) {
    RECT box = glyphs::Square(r);
    UINT look = (state & DFCS_FLAT) ? BF_FLAT : (state & DFCS_MONO) ? BF_MONO : 0;
    if (!DrawEdge(dc, &box, EDGE_SUNKEN, look | BF_RECT | BF_ADJUST)) return false;
    bool threeState = (state & 0xFF) == DFCS_BUTTON3STATE;
    bool ok = true;
    if (state & (DFCS_INACTIVE | DFCS_PUSHED))
        ok = drawing.FillRect(box, Sys(COLOR_BTNFACE));
    else if (threeState && (state & DFCS_CHECKED))
        ok = Checkered(drawing, box);
    else
        ok = drawing.FillRect(box, Sys(COLOR_WINDOW));
    if (ok && (state & DFCS_CHECKED)) {
        int color = (state & DFCS_INACTIVE) || threeState ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
        ok = drawing.FillShape(glyphs::Tick(box.left + 1, box.top + 1), Sys(color));
    }
    return ok;
}

bool RadioButton(DcDrawing& drawing, const RECT& r, UINT state) {
    RECT box = glyphs::Square(r);
    LONG side = box.right - box.left;
    if (side <= 0) return true;
    if ((state & 0xFF) == DFCS_BUTTONRADIOMASK)
        return drawing.FillRect(box, RGB(255, 255, 255)) &&
               drawing.FillShape(glyphs::Disc(box), RGB(0, 0, 0));
    // The image is the mask's partner: black wherever the mask is white.
    if ((state & 0xFF) == DFCS_BUTTONRADIOIMAGE && !drawing.FillRect(box, RGB(0, 0, 0)))
        return false;
    RECT inner{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    RECT middle{box.left + 2, box.top + 2, box.right - 2, box.bottom - 2};
    SpanList outerLit, outerDark, innerLit, innerDark;
    glyphs::Ring(box, outerLit, outerDark);
    glyphs::Ring(inner, innerLit, innerDark);
    int colors[4] = {COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    if (state & (DFCS_MONO | DFCS_FLAT)) {
        bool mono = (state & DFCS_MONO) != 0;
        colors[0] = colors[1] = mono ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW;
        colors[2] = colors[3] = mono ? COLOR_WINDOW : COLOR_BTNFACE;
    }
    int face = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW;
    bool ok = drawing.FillShape(outerLit, Sys(colors[0])) &&
              drawing.FillShape(outerDark, Sys(colors[1])) &&
              drawing.FillShape(innerLit, Sys(colors[2])) &&
              drawing.FillShape(innerDark, Sys(colors[3])) &&
              drawing.FillShape(glyphs::Disc(middle), Sys(face));
    if (ok && (state & DFCS_CHECKED)) {
        // The dot's side has the box's parity, so that it sits in the middle.
        LONG dot = side / 3 + ((side - side / 3) & 1);
        LONG at = (side - dot) / 2;
        RECT spot{box.left + at, box.top + at, box.left + at + dot, box.top + at + dot};
        int color = (state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
        ok = drawing.FillShape(glyphs::Disc(spot), Sys(color));
    }
    return ok;
}

bool Button(HDC dc, DcDrawing& drawing, RECT& r, UINT state) {
    switch (state & 0xFF) {
    case DFCS_BUTTONPUSH:
        return PushButton(dc, drawing, r, state);
    case DFCS_BUTTONCHECK:
    case DFCS_BUTTON3STATE:
        return CheckBox(dc, drawing, r, state);
    case DFCS_BUTTONRADIO:
    case DFCS_BUTTONRADIOIMAGE:
    case DFCS_BUTTONRADIOMASK:
        return RadioButton(drawing, r, state);
    default:
        return false;
    }
}

// A raised button of its own: scroll arrows are lit less than push buttons.
bool ArrowButton(HDC dc, DcDrawing& drawing, RECT& r, UINT state) {
    if ((state & 0xFF00 & ~DFCS_ADJUSTRECT) == 0) {
        RECT face = r;
        return DrawEdge(dc, &face, EDGE_RAISED, BF_MIDDLE | BF_RECT);
    }
    return PushButton(dc, drawing, r, state & 0xFF00 & ~DFCS_ADJUSTRECT);
}

bool Scroll(HDC dc, DcDrawing& drawing, RECT& r, UINT state) {
    using glyphs::Direction;
    Direction direction;
    switch (state & 0xFF) {
    case DFCS_SCROLLUP:
        direction = Direction::Up;
        break;
    case DFCS_SCROLLDOWN:
    case DFCS_SCROLLCOMBOBOX:
        direction = Direction::Down;
        break;
    case DFCS_SCROLLLEFT:
        direction = Direction::Left;
        break;
    case DFCS_SCROLLRIGHT:
        direction = Direction::Right;
        break;
    case DFCS_SCROLLSIZEGRIP:
    case DFCS_SCROLLSIZEGRIPRIGHT: {
        SpanList light, shadow;
        glyphs::SizeGrip(r, (state & 0xFF) == DFCS_SCROLLSIZEGRIPRIGHT, light, shadow);
        return drawing.FillRect(r, Sys(COLOR_BTNFACE)) &&
               drawing.FillShape(light, Sys(COLOR_BTNHIGHLIGHT)) &&
               drawing.FillShape(shadow, Sys(COLOR_BTNSHADOW));
    }
    default:
        return false;
    }
    return ArrowButton(dc, drawing, r, state) &&
           Symbol(drawing, glyphs::Arrow(glyphs::Square(r), direction, glyphs::ScrollArrowSize(r)),
                  state, COLOR_BTNTEXT);
}

bool Caption(HDC dc, DcDrawing& drawing, RECT& r, UINT state) {
    SpanList symbol;
    switch (state & 0xFF) {
    case DFCS_CAPTIONCLOSE:
        symbol = glyphs::CloseCross(r);
        break;
    case DFCS_CAPTIONMIN:
        symbol = glyphs::MinimizeBar(r);
        break;
    case DFCS_CAPTIONMAX:
        symbol = glyphs::MaximizeBox(r);
        break;
    case DFCS_CAPTIONRESTORE:
        symbol = glyphs::RestoreBoxes(r);
        break;
    case DFCS_CAPTIONHELP:
        symbol = glyphs::HelpMark(r);
        break;
    default:
        return false;
    }
    return PushButton(dc, drawing, r, state & 0xFF00 & ~DFCS_ADJUSTRECT) &&
           Symbol(drawing, symbol, state, COLOR_BTNTEXT);
}

bool Menu(DcDrawing& drawing, const RECT& r, UINT state) {
    SpanList symbol;
    RECT square = glyphs::Square(r);
    LONG side = square.right - square.left;
    switch (state & 0xFF) {
    case DFCS_MENUARROW:
    case DFCS_MENUARROWRIGHT:
        // Four columns, seven rows, in a menu item of the usual height.
        symbol = glyphs::Arrow(square,
                               (state & 0xFF) == DFCS_MENUARROW ? glyphs::Direction::Right
                                                                : glyphs::Direction::Left,
                               side / 4);
        break;
    case DFCS_MENUCHECK:
        symbol = glyphs::Tick(square.left + (side - 7) / 2, square.top + (side - 7) / 2);
        break;
    case DFCS_MENUBULLET: {
        LONG dot = side / 3 + ((side - side / 3) & 1), at = (side - dot) / 2;
        symbol = glyphs::Disc(
            RECT{square.left + at, square.top + at, square.left + at + dot, square.top + at + dot});
        break;
    }
    default:
        return false;
    }
    return drawing.FillRect(r, RGB(255, 255, 255)) && drawing.FillShape(symbol, RGB(0, 0, 0));
}

} // namespace

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
    DcDrawing drawing;
    if (!rect || !drawing.Open(dc)) return FALSE;
    switch (type) {
    case DFC_BUTTON:
        return Button(dc, drawing, *rect, state) ? TRUE : FALSE;
    case DFC_SCROLL:
        return Scroll(dc, drawing, *rect, state) ? TRUE : FALSE;
    case DFC_CAPTION:
        return Caption(dc, drawing, *rect, state) ? TRUE : FALSE;
    case DFC_MENU:
        return Menu(drawing, *rect, state) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}
