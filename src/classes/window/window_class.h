// The Window class: the program's top-level windows and the container of every control.
// It keeps its child controls, the chain of control message handlers its procedure offers
// each message to first, a menu, size limits, modal state and the script handlers of its
// events. Its method table starts with the Surface's methods, which it forwards to the
// Surface of its client area when it has one.
#pragma once

#include <cstdint>
#include <string>

#include "classes/window/child_window.h"
#include "classes/window/menu_container.h"
#include "foundation/containers/handle_list.h"

// A control class's part of its parent Window's procedure: it sets `handled` only for a
// message about a control of its own class, and its answer is then the procedure's.
using ControlHandler = LRESULT (*)(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                                   LPARAM lParam);

class CIWindow : public CIChildWindow, public CMenuContainer {
public:
    static constexpr uint32_t kClassId = 58;
    static constexpr const char* kWindowClassName = "ZorvMainClass";

    // flagsA bits of the Window's own attribute constants.
    static constexpr uint32_t kGame = 0x4;
    static constexpr uint32_t kDialog = 0x8;
    static constexpr uint32_t kResizable = 0x10;
    static constexpr uint32_t kTool = 0x20;
    static constexpr uint32_t kMessageBox = 0x40;
    static constexpr uint32_t kStandard = 0x80;
    static constexpr uint32_t kMaximized = 0x100;
    static constexpr uint32_t kNoSurface = 0x200;
    static constexpr uint32_t kFakeChild = 0x400;
    static constexpr uint32_t kNoSysMenu = 0x800;
    static constexpr uint32_t kNoCaption = 0x1000;
    static constexpr uint32_t kMinimizeBox = 0x2000;
    static constexpr uint32_t kMaximizeBox = 0x4000;
    static constexpr uint32_t kMinimized = 0x8000;

    // Method ids: 0x01-0x41 the Surface's, 0x42-0x66 the shared ones, then the Window's.
    static constexpr uint16_t kMethodCount = 0x93;
    // Class-level constants: ids above this one.
    static constexpr uint32_t kFirstClassLevelId = 0x93;

    CIWindow(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    // Destroys the child controls first, leaves the modal stack, lets the capture go and
    // destroys the window; the current window passes to the window active afterwards.
    void Destroy(int flag) override;
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Window([parent], [caption], [constants...], [width], [height], [x], [y],
    // [menu], [background colour], [depth]).
    void Create() override;
    void SetColor(COLORREF color) override;
    void SetBackColor(COLORREF color) override;
    void SetFont(CIFont* font) override;
    void AttachMenu(CMenuContainer* menu) override;
    void DetachMenu(CMenuContainer* menu) override;

    // 0 when memory fails.
    int AddControlHandler(ControlHandler handler);
    // Removes the first equal entry; 0 when absent.
    int RemoveControlHandler(ControlHandler handler);
    // The focus walk over the child controls that can take the focus, in creation order.
    int FocusFirstControl();
    int FocusLastControl();
    int FocusNextControl(CIChildWindow* control);
    int FocusPreviousControl(CIChildWindow* control);
    // The child list of controls (creation order).
    void AddChild(CIChildWindow* child);
    void RemoveChild(CIChildWindow* child);
    // The Surface of the client area goes away.
    void DetachSurface();

    // The window procedure of "ZorvMainClass" (window_procedure.cpp).
    static LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // ---- Fields ---------------------------------------------------------------------
    ControlHandler* handlers = nullptr;
    uint32_t handlerCount = 0;
    HICON bigIcon = 0;
    HICON smallIcon = 0;
    uint32_t autoClose = 1;
    std::string inputText;
    std::string inputPrompt;
    uint32_t inputRunning = 0;
    int32_t inputX = 0;
    int32_t inputY = 0;
    int32_t inputW = 0;
    int32_t inputH = 0;
    uint32_t modal = 0;
    CIBaseClassImpl* hScrollBar = nullptr;
    CIBaseClassImpl* vScrollBar = nullptr;
    CIWindow* activeChild = nullptr;
    uint32_t minWidth = 0;
    uint32_t minHeight = 0;
    uint32_t maxWidth = 0xFFFFFFFFu;
    uint32_t maxHeight = 0xFFFFFFFFu;
    CHandleList children;
    CIBaseClassImpl* surface = nullptr;
    uint32_t switchingScreen = 0;
    const BlockRecord* onDblClick = nullptr;
    const BlockRecord* onSetFocus = nullptr;
    const BlockRecord* onKillFocus = nullptr;
    const BlockRecord* onClose = nullptr;
    const BlockRecord* onSize = nullptr;
    const BlockRecord* onMove = nullptr;
    const BlockRecord* onDisplayChange = nullptr;
    const BlockRecord* onMinimize = nullptr;
    const BlockRecord* onMaximize = nullptr;
    const BlockRecord* onDropFile = nullptr;
    const BlockRecord* onMouseDown = nullptr;
    const BlockRecord* onMouseUp = nullptr;
    const BlockRecord* onMouseMove = nullptr;
    const BlockRecord* onMouseWheel = nullptr;
    uint32_t ownsWindow = 0;
    HCURSOR cursor = 0;
    uint32_t ownCursor = 0;

private:
    friend class CWindowProcedure;
    // Steps of the creation from the script's arguments.
    void CreateWindowObject(int32_t depth, int32_t backColorArg, HWND hostWindow);
    // The Surface of the client area, at the client size (error 15 when it cannot be made).
    void MakeSurface(int32_t depth);
    void BuildStyle();
    void ComputeBorders(bool withMenu);
    // The size limits applied to the outer size; a change is pending.
    void ApplySizeLimits();
    // The activation of a child Window inside its parent: posted WM_NCACTIVATE to the old
    // and the new active child, the focus to the control under the cursor.
    void ActivateAsChild();
    // A character typed while Input runs.
    void TypeInput(char character);

    // Script methods of the Window's own.
    void SurfaceMethod();
    void GetSurface();
    void SetCursorMethod();
    void SetIcon();
    void SetShape();
    void SetFullScreenMode();
    void SetWindowedMode();
    void Input();
    void OnDblClick();
    void OnSetFocus();
    void OnKillFocus();
    void OnClose();
    void OnSize();
    void OnMove();
    void OnDisplayChange();
    void OnMinimize();
    void OnMaximize();
    void DoModal();
    void EndModal();
    void EnableCloseBox();
    void SetAutoClose();
    void Center();
    void Maximize();
    void IsMaximized();
    void Minimize();
    void IsMinimized();
    void Restore();
    void SetMinSize();
    void SetMaxSize();
    void EnableDropFile();
    void OnDropFile();
    void OnMouseDown();
    void OnMouseUp();
    void OnMouseMove();
    void GetHorizontalScrollBar();
    void GetVerticalScrollBar();
    void BeginMouseCapture();
    void EndMouseCapture();
    void HasMouseCapture();
    void Flash();
    void GetLeftBorderSize();
    void GetRightBorderSize();
    void GetTopBorderSize();
    void GetBottomBorderSize();
    void OnMouseWheel();

    static const ScriptMethod<CIWindow> kMethods[kMethodCount];
};

const ScriptClassInfo* GetWindowClassInfo();

// Registers "ZorvMainClass" once per process; 1 on success or when it is registered.
int RegisterMainWindowClass();

// GameInput follows the active Window: the game-input classes set it; null: none.
using GameInputActivation = void (*)(CInterpretor& interpreter, HWND window);
void SetGameInputActivation(GameInputActivation activation);

// The dragged outer rectangle kept within the Window's size limits: the edges that move
// (WMSZ_LEFT .. WMSZ_BOTTOMRIGHT) give way.
void ApplySizingLimits(const CIWindow& window, WPARAM edge, RECT& rect);

// Sets the interpreter's pending end code 0 when no Window object is left.
void RequestEndIfNoWindow(CInterpretor& interpreter);

// The modal stack, shared by every Window of the process: the window on top is the only
// one that takes clicks and commands.
void PushModalWindow(HWND window);
void RemoveModalWindow(HWND window);
HWND GetTopModalWindow();
