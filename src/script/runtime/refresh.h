// Deferred drawing: windows and surfaces that take part in the display refresh. Drawing
// only marks a participant dirty; the run loop's refresh pass repaints each dirty one at
// most once per refresh interval, surfaces that feed other surfaces first and late
// participants last.
#pragma once

#include <cstdint>

class CInterpretor;

class CIRefresh {
public:
    // Joins the interpreter's refresh list (at its head with `atFront`), dirty, and asks
    // for a refresh.
    CIRefresh(CInterpretor* interpreter, int atFront);
    virtual ~CIRefresh();
    CIRefresh(const CIRefresh&) = delete;
    CIRefresh& operator=(const CIRefresh&) = delete;

    // Derived classes repaint, then clear the dirty flag.
    virtual void Refresh();
    virtual int IsDirty();
    // Marks the participant dirty and asks for a refresh; returns 1.
    virtual int SetDirty();
    // 1: refreshed in the last round, after every surface.
    virtual int IsLate();
    // 1 for the surfaces, which settle in rounds of their own.
    virtual int IsSurface();

    // Leaves the refresh list; owners call it in their destructors. Nothing when not
    // listed.
    void Detach();

    uint32_t dirty = 1;
    // The node in the interpreter's refresh list; 0 when not listed.
    uint32_t position = 0;
    CInterpretor* interpreter;
};
