// What the runtime asks of the subsystems built above it (windows and controls, system
// services, 3D, audio and video, game input, networking). A subsystem fills its hooks when
// the program starts; until then a hook left null means "nothing of that kind exists".
#pragma once

class CInterpretor;

struct NeighbourServices {
    // Polled after every message pump and in every round of Wait, in this order.
    void (*refreshVideos)(CInterpretor& interpreter) = nullptr;
    void (*idleQuickTime)(CInterpretor& interpreter) = nullptr;
    void (*pollNetwork)(CInterpretor& interpreter) = nullptr;
    void (*pollDownloads)(CInterpretor& interpreter) = nullptr;
    // The end of every refresh pass: every visible GroupBox, then StaticText, window is
    // redrawn.
    void (*redrawGroupBoxes)(CInterpretor& interpreter) = nullptr;
    void (*redrawStaticTexts)(CInterpretor& interpreter) = nullptr;
};

// The process's one set of hooks.
NeighbourServices& GetNeighbourServices();
