// The test doubles' part that plays the user at the headless display: clicks, keys, typed
// text, dropped files, close requests and frame drags on Windows, the passing of time and
// the dispatch of what that queued, and a spy on the calls that move windows.
#pragma once

#include <cstdint>

class CInterpretor;

namespace script_test {

// Each reads its arguments from the interpreter's call frame and writes its result.
enum class WindowDouble : uint16_t {
    Click,      // Click(window, x, y [, button 0 left 1 right 2 middle])
    DblClick,   // DblClick(window, x, y)
    Press,      // Press(window, x, y [, button])
    MoveMouse,  // MoveMouse(window, x, y)
    Wheel,      // Wheel(window, x, y, steps)
    Key,        // Key(virtual key)
    Type,       // Type(text)
    Drop,       // Drop(window, x, y, name...): 1 when the window took the files
    Close,      // Close(window): the frame's close button
    Advance,    // Advance(ms)
    Dispatch,   // Dispatch(): the messages waiting, dispatched; their count
    RefreshNow, // RefreshNow(): the interpreter's refresh pass
    Send,       // Send(window, message, wParam, lParam): the answer
    Style,      // Style(window), ExStyle(window)
    ExStyle,
    Sizing,      // Sizing(window, edge, left, top, right, bottom): "l t r b" after WM_SIZING
    Spy,         // Spy(window): counts its moves from now on
    Moves,       // Moves(window): SetWindowPos calls that moved it since Spy
    Handle,      // Handle(window)
    Active,      // Active(): the Window of the active window, or 0
    Flashes,     // Flashes(): FlashWindow calls seen
    SavePicture, // SavePicture(window, linux path): its client area as PNG
    AddHandlers, // AddHandlers(window): two control handlers and a menu command handler
    HandlerLog,  // HandlerLog(): what they saw since the last call, e.g. "A273 B273 M"
    Focus, // Focus(window, 0 first | 1 last | 2 next | 3 previous, control): the walk's answer
    Pixel, // Pixel(window, x, y): the client pixel shown, 0xRRGGBB; -1 outside
    RegionRects, // RegionRects(window): rectangles of the window region; -1 without one
    InRegion,    // InRegion(window, x, y): the point lies in the window region
    Icon,        // Icon(window, big): 1 when the window holds that icon
    Count,
};

void CallWindowDouble(CInterpretor& interpreter, WindowDouble which);

// Before and after each run: a fresh headless display and the process's UI set-up; the
// menu command handler the run found is put back.
void BeginWindowRun();
void EndWindowRun();

} // namespace script_test
