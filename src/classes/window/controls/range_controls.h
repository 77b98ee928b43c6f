// The classes that show or choose a value in a range: ScrollBar (a "SCROLLBAR" control, or
// one of a Window's own bars), Slider (the trackbar), Spin (the up-down control, with an
// Edit as its buddy) and ProgressBar. The scroll notifications of the first three become
// an OnScroll event.
#pragma once

#include <cstdint>

#include "classes/window/controls/chained_control.h"
#include "platform/user/scroll/scroll_bar.h"

class CIScrollBar : public CIChainedControl {
public:
    static constexpr uint32_t kClassId = 0x22;
    static constexpr uint16_t kMethodCount = 43;

    CIScrollBar(CInterpretor* interpreter, const CClassRecord* record);
    void CallMethod(uint16_t methodId) override;
    // A Window's bar leaves the Window's window alone and clears the Window's field.
    void Destroy(int flag) override;
    // new ScrollBar([window], [constants...], [x], [y], [width], [height]).
    void Create() override;
    // Also stops using the system colours.
    void SetBackColor(COLORREF color) override;

    // A new ScrollBar object for the bar (SB_HORZ or SB_VERT) of a Window, registered and
    // with a use held for the Window; null when it cannot be made.
    static CIScrollBar* AttachToWindow(CIWindow& window, int bar);
    // The Window lets go of its bars when it goes.
    static void ReleaseWindowBars(CIWindow& window);
    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);

    uint32_t ownControl = 1;
    uint32_t defaultColours = 1;
    const BlockRecord* onScroll = nullptr;

private:
    // SB_CTL for a control, else the Window's bar number (kept in the style word).
    int Bar() const { return ownControl != 0 ? SB_CTL : int(style); }
    bool Vertical() const;
    // Starts the bar at 0..100, page 1, position 0.
    void InitRange();
    // A scroll notification: the new position, OnScroll, then the interpreter's pending
    // work, after which the object may be gone.
    void HandleScroll(WPARAM wParam);
    // The geometry of a Window's bar comes from the Window.
    int32_t BarX() const;
    int32_t BarY() const;
    void GetXBar();
    void GetYBar();
    void GetWidthBar();
    void GetHeightBar();
    // The base result, less the bar's x or y for a Window's bar.
    void LessBarX(void (CIChildWindow::*base)());
    void LessBarY(void (CIChildWindow::*base)());
    void GetXMouseBar();
    void GetYMouseBar();
    void GetXScreenBar();
    void GetYScreenBar();
    void GetXWindowBar();
    void GetYWindowBar();
    void GetPos();
    void SetRange();
    void SetPos();
    void SetPageSize();
    void OnScroll();

    // The Window whose own bar this is.
    CIWindow* window_ = nullptr;

    static const ScriptMethod<CIScrollBar> kMethods[kMethodCount];
};

class CISlider : public CIChainedControl {
public:
    static constexpr uint32_t kClassId = 0x2C;
    static constexpr uint16_t kMethodCount = 60;

    CISlider(CInterpretor* interpreter, const CClassRecord* record);
    void CallMethod(uint16_t methodId) override;
    void Create() override;
    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);

    const BlockRecord* onScroll = nullptr;

private:
    // A message to the trackbar; 0 without a window.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void ResultOf(UINT message);
    void GetPos();
    void SetTick();
    void SetPos();
    void SetRange();
    void GetRangeMin();
    void GetRangeMax();
    void GetTick();
    void ClearTick();
    void SetSelection();
    void GetTickPos();
    void GetNumTicks();
    void GetSelectionStart();
    void GetSelectionEnd();
    void ClearSelection();
    void SetTickFrequency();
    void SetPageSize();
    void GetPageSize();
    void SetLineSize();
    void GetLineSize();
    void SetThumbLength();
    void GetThumbLength();
    void OnScroll();

    static const ScriptMethod<CISlider> kMethods[kMethodCount];
};

class CISpin : public CIChainedControl {
public:
    static constexpr uint32_t kClassId = 0x2D;
    static constexpr uint32_t kEditClassId = 0x10;
    static constexpr uint16_t kMethodCount = 52;

    CISpin(CInterpretor* interpreter, const CClassRecord* record);
    void CallMethod(uint16_t methodId) override;
    // The buddy Edit that goes is forgotten and the Spin stays.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Spin([window], [constants...], [x], [y], [width], [height], [edit]).
    void Create() override;
    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);

    const BlockRecord* onScroll = nullptr;
    CIBaseClassImpl* buddy = nullptr;

private:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetRange();
    void GetRangeMin();
    void GetRangeMax();
    void SetPos();
    void GetPos();
    void SetBuddy();
    void GetBuddy();
    void AddAccel();
    void RemoveAccel();
    void GetAccel();
    void GetNAccel();
    void SetBase();
    void GetBase();
    void OnScroll();

    static const ScriptMethod<CISpin> kMethods[kMethodCount];
};

class CIProgressBar : public CIChainedControl {
public:
    static constexpr uint32_t kClassId = 0x2B;
    static constexpr uint16_t kMethodCount = 46;

    CIProgressBar(CInterpretor* interpreter, const CClassRecord* record);
    void CallMethod(uint16_t methodId) override;
    void Create() override;
    // Handles nothing; it is on the chain like every control's.
    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);

private:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetRange();
    void SetPos();
    void DeltaPos();
    void SetStep();
    void StepIt();
    void GetRangeMin();
    void GetRangeMax();
    void GetPos();

    static const ScriptMethod<CIProgressBar> kMethods[kMethodCount];
};

const ScriptClassInfo* GetScrollBarClassInfo();
const ScriptClassInfo* GetSliderClassInfo();
const ScriptClassInfo* GetSpinClassInfo();
const ScriptClassInfo* GetProgressBarClassInfo();

// ScrollBar and Slider: a size not given follows the orientation. A horizontal control
// without a height is 100 wide (unless given) and as high as the system's bar; a vertical
// one without a height takes the given width (else 100) as its height and is as wide as
// the system's bar. Plain numbers fill x, y, width, height in turn, so a given height comes
// with a given width.
void SizeByOrientation(CIChildWindow& control, bool vertical);
