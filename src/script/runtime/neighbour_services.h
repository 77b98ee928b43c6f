// What the runtime asks of the subsystems built above it (windows and controls, system
// services, 3D, audio and video, game input, networking). A subsystem fills its hooks when
// the program starts; until then a hook left null means "nothing of that kind exists".
#pragma once

#include <cstdint>

#include "platform/user/hwnd.h"

class CInterpretor;
class CIBaseClassImpl;

struct NeighbourServices {
    // Polled after every message pump and in every round of Wait, in this order.
    void (*refreshVideos)(CInterpretor& interpreter) = nullptr;
    void (*idleQuickTime)(CInterpretor& interpreter) = nullptr;
    void (*pollNetwork)(CInterpretor& interpreter) = nullptr;
    void (*pollDownloads)(CInterpretor& interpreter) = nullptr;
    // An idle run loop's sleep while the network is in use: up to `milliseconds`, ending
    // early when a window message comes or a socket turns ready that the network's next
    // poll has work for. False, without sleeping, when the network has no socket to wait for.
    bool (*waitNetwork)(CInterpretor& interpreter, uint32_t milliseconds) = nullptr;
    // The end of every refresh pass: every visible GroupBox, then StaticText, window is
    // redrawn.
    void (*redrawGroupBoxes)(CInterpretor& interpreter) = nullptr;
    void (*redrawStaticTexts)(CInterpretor& interpreter) = nullptr;

    // Start-up: the top-level window class, registered once before any window exists.
    void (*registerMainWindowClass)() = nullptr;
    // The GameInput object with its input manager, for an entry that asks for game input,
    // listed in its class's object list (the next reset destroys it). Null: the run has no
    // GameInput object.
    CIBaseClassImpl* (*createGameInput)(CInterpretor& interpreter) = nullptr;
    // Sets the interpreter's 3D-sound flag at every start.
    void (*update3DSound)(CInterpretor& interpreter) = nullptr;
    // The window of the music services' notifications: made on first use, destroyed when
    // the interpreter closes.
    HWND (*createMciNotifyWindow)(CInterpretor& interpreter) = nullptr;
    void (*destroyMciNotifyWindow)(HWND window) = nullptr;
    // Non-zero while any Surface of the interpreter shows a 3D view (the display
    // interface cannot change then).
    int (*isAny3DViewOpen)(CInterpretor& interpreter) = nullptr;
    // Probes of the optional media components: 1 when the component can be loaded.
    int (*isQuickTimeInstalled)() = nullptr;
    int (*isQuickTimeVRInstalled)() = nullptr;
    int (*isModPlugInstalled)() = nullptr;
    int (*isSpeechInstalled)() = nullptr;
};

// The process's one set of hooks.
NeighbourServices& GetNeighbourServices();
