// The holder of the Font an object draws with: every window-like object and every Surface
// is one. The interpreter's containers share one registry per interpreter, whose first
// container makes the two shared Fonts: the default Font (Arial, 16) that a new container
// takes, and the GUI Font around the stock DEFAULT_GUI_FONT that controls take.
#pragma once

#include <cstdint>

#include "platform/gdi/device_context.h"
#include "platform/gdi/text/text_out.h"

class CInterpretor;
class CIFont;

class CIFontContainer {
public:
    // Joins the interpreter's registry and takes the default Font.
    explicit CIFontContainer(CInterpretor* interpreter);
    // Leaves the registry and lets go of its Font.
    virtual ~CIFontContainer();
    CIFontContainer(const CIFontContainer&) = delete;
    CIFontContainer& operator=(const CIFontContainer&) = delete;

    // Holds `font` (one use taken) instead of the present one (one use given back). Null
    // holds nothing.
    virtual void SetFont(CIFont* font);

    // The size of `text` drawn with the held Font on `dc`, scaled by the device's
    // LOGPIXELS / 72; (0, 0) without a DC, text or Font.
    void MeasureText(HDC dc, const char* text, SIZE& size);

    CInterpretor* fontInterpreter;
    // The Font held; null only while the interpreter resets.
    CIFont* font = nullptr;
};

// The shared Fonts of an interpreter, made on first use; null when they cannot be made or
// while the interpreter resets.
CIFont* GetDefaultFont(CInterpretor* interpreter);
CIFont* GetGuiFont(CInterpretor* interpreter);
// A dying Font leaves every container: each one holding it takes the default Font
// (a new default Font when `font` was the default one), or nothing while resetting.
void ReleaseFontFromContainers(CIFont* font);
