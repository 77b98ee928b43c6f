// DrawEdge: the classic three-dimensional borders in the system colours. Each border is
// two one-pixel lines, outer and inner; the top and left sides take the light colours of
// a raised line (dark of a sunken one), the bottom and right sides the others and own
// the top-right and bottom-left corners.
#pragma once

#include "platform/gdi/gdi_objects.h"

inline constexpr UINT BDR_RAISEDOUTER = 0x0001;
inline constexpr UINT BDR_SUNKENOUTER = 0x0002;
inline constexpr UINT BDR_RAISEDINNER = 0x0004;
inline constexpr UINT BDR_SUNKENINNER = 0x0008;
inline constexpr UINT BDR_OUTER = 0x0003;
inline constexpr UINT BDR_INNER = 0x000C;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

inline constexpr UINT BF_LEFT = 0x0001;
inline constexpr UINT BF_TOP = 0x0002;
inline constexpr UINT BF_RIGHT = 0x0004;
inline constexpr UINT BF_BOTTOM = 0x0008;
inline constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr UINT BF_TOPRIGHT = BF_TOP | BF_RIGHT;
inline constexpr UINT BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
inline constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr UINT BF_DIAGONAL = 0x0010;
inline constexpr UINT BF_MIDDLE = 0x0800;
inline constexpr UINT BF_SOFT = 0x1000;
inline constexpr UINT BF_ADJUST = 0x2000;
inline constexpr UINT BF_FLAT = 0x4000;
inline constexpr UINT BF_MONO = 0x8000;

// `edge` names the outer and inner lines (BDR_), `flags` the sides (BF_); BF_SOFT lights
// the outer line of a raised edge more than the inner one, BF_FLAT draws the outer line
// in COLOR_BTNSHADOW and the inner in COLOR_BTNFACE, BF_MONO both in COLOR_WINDOWFRAME
// and COLOR_WINDOW. BF_MIDDLE fills what the lines leave (COLOR_BTNFACE, under BF_MONO
// COLOR_WINDOW); BF_ADJUST moves the rectangle's drawn sides inside the lines. Lines are
// drawn with R2_COPYPEN whatever the DC's mode. FALSE for a dead DC, a null rectangle
// and BF_DIAGONAL, which is not drawn; FALSE too, the middle left unfilled, when a line
// is both raised and sunken without BF_FLAT or BF_MONO.
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
