// The surface an empty handle points at: 0 x 0, no pixels, no palette. Every operation does
// nothing and answers 0, and nothing about it can be changed, so one shared instance serves
// every handle on every thread.
#pragma once

#include "graphics2d/surfaces/surface.h"

class cNullSurface final : public cSurface {
public:
    // The shared instance; never deleted.
    static cNullSurface* Get();

    cSurface* MakeInstance(int32_t, int32_t) override { return nullptr; }
    int Resize(int32_t, int32_t) override { return 0; }
    int SetFormat(int32_t) override { return 0; }
    int InitFormat(int32_t) override { return 0; }
    int Lock() override { return 0; }
    void SetClipRect(int32_t, int32_t, int32_t, int32_t) override {}
    void ResetClipRect() override {}
    int SetPalette(PaletteRecord*, int32_t) override { return 0; }
    int SetPaletteData(const RawPalette*, int32_t) override { return 0; }
    int AttachWindow(HWND) override { return 0; }

private:
    cNullSurface() = default;
};
