// The base of every window-like script class: the top-level Window and every control. It
// owns one window, keeps the geometry, visibility, z-order and styles it wants, and applies
// changes either at once or in the interpreter's refresh pass, one SetWindowPos per window.
// It reads the constructor arguments every control shares (parent Window, caption,
// attribute constants, position and size), makes the window and ties it to the object
// through the window property "iobj".
#pragma once

#include <cstdint>

#include "classes/window/font_container.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/windows.h"
#include "script/classes/base_class.h"
#include "script/runtime/refresh.h"
#include "script/values/value.h"

class CIWindow;

class CIChildWindow : public CIBaseClassImpl, public CIRefresh, public CIFontContainer {
public:
    // ParseCreateArgs flags.
    static constexpr uint32_t kArgX = 0x1;
    static constexpr uint32_t kArgY = 0x2;
    static constexpr uint32_t kArgWidth = 0x4;
    static constexpr uint32_t kArgHeight = 0x8;
    static constexpr uint32_t kArgCaption = 0x20;
    static constexpr uint32_t kArgStyles = 0x100;
    static constexpr uint32_t kArgFlagsA = 0x400;
    static constexpr uint32_t kArgFlagsB = 0x800;
    static constexpr uint32_t kArgParentRequired = 0x40000000;
    static constexpr uint32_t kArgWindowParent = 0x80000000;
    // Extra constructor arguments a class may take, and the list's size with its end.
    static constexpr uint32_t kMaxExtraArgs = 6;
    static constexpr uint32_t kExtraArgSlots = kMaxExtraArgs + 1;

    // CreateControl flags: bit 0 a child of the parent's window, bit 1 the "iobj" property.
    static constexpr uint32_t kCreateChild = 0x1;
    static constexpr uint32_t kCreateProperty = 0x2;

    // flagsA bits of the shared constants.
    static constexpr uint32_t kHidden = 0x1;
    static constexpr uint32_t kNoBorder = 0x2;

    // The id base of the shared attribute table, and of a class's own table.
    static constexpr uint32_t kSharedTableBase = 0xDEB00000u;
    static constexpr uint32_t kOwnTableBase = 0xAAD00000u;
    // The end mark of an attribute table.
    static constexpr uint32_t kTableEnd = 0xFFFFFFFFu;
    // pendingPosFlags when no geometry change is pending.
    static constexpr uint32_t kNothingPending =
        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    static constexpr int32_t kNotGiven = static_cast<int32_t>(0x80000000u);

    CIChildWindow(CInterpretor* interpreter, const CClassRecord* record);

    // The base class's; the refresh part keeps the same pointer.
    using CIBaseClassImpl::interpreter;

    // ---- Slots ----------------------------------------------------------------------
    // Destroys the window (its property first), the owned brush, leaves the parent's
    // child list and the refresh list; then deletes the object.
    void Destroy(int flag) override;
    // Deleting the parent Window deletes its children: 1 when `object` is the parent.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // Joins the parent's child list, forgets the caption, then the base registration.
    void Register() override;
    // Window objects are refreshed after every surface.
    int IsLate() override;
    // Applies the pending show commands, geometry, z-order and styles.
    void Refresh() override;
    virtual void SetColor(COLORREF color);
    virtual void SetBackColor(COLORREF color);
    // Holds the Font and, with a window, sends it WM_SETFONT.
    void SetFont(CIFont* font) override;
    virtual void SetSize(int32_t width, int32_t height, int32_t immediate);
    // 1 when the control keeps the Tab key for itself instead of the focus moving on.
    virtual int KeepsTabKey() { return 0; }

    // ---- Creation -------------------------------------------------------------------
    void SetCreateParams(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t style,
                         uint32_t exStyle);
    // A second attribute table, ended by kTableEnd; ignored when two are present.
    void AddAttributeTable(const uint32_t* table, uint32_t idBase);
    // Reads arguments first .. first + count - 1; values that are no parent, caption,
    // attribute or position go to `extraArgs` (kExtraArgSlots entries, null-ended) when
    // given. Errors 13, 14, 31. Returns the index after the last one read.
    uint32_t ParseCreateArgs(uint32_t flags, const CValue** extraArgs, uint32_t first,
                             uint32_t count);
    // Makes the window (hidden; shown by the next refresh pass), or adopts
    // `existingHwnd`. The handle, 0 when creation failed.
    HWND CreateControl(const char* className, HMENU menu, CIBaseClassImpl* ownerObject,
                       HWND existingHwnd, uint32_t createFlags);
    // The table value of an attribute constant and its target word (0 style, 1 extended
    // style, 2 flagsA, 3 flagsB); 0 for a constant of no table or past its table's end.
    uint32_t LookUpAttribute(uint32_t constant, uint32_t& target);
    // The window exists, has TABSTOP, and is visible and enabled.
    bool CanTakeFocus();

    // ---- Helpers of the methods ------------------------------------------------------
    // Error 112 while `ready` is 0.
    void CheckReady();
    // The window text calls and moves go to the outer window when there is one.
    HWND TargetWindow() const { return outerWindow != 0 ? outerWindow : hwnd; }
    void QueueShow(int command);
    void CancelShow(int command);
    // Issues the pending ShowWindow commands in command order; SW_SHOWNORMAL also raises.
    void ApplyPendingShows();
    // Brings a window to the front through the topmost band, unless it is topmost.
    static void RaiseOnce(HWND target);
    // The outer size of the window for a client size.
    int32_t OuterWidth() const { return width + borderLeft + borderRight; }
    int32_t OuterHeight() const { return height + borderTop + borderBottom; }

    // ---- Shared script methods -----------------------------------------------------
    void GetX();
    void GetY();
    void GetWidth();
    void GetHeight();
    void Show();
    void Hide();
    void IsVisible();
    void SetPosition();
    void SetSizeMethod();
    void ToBack();
    void SetTopMost();
    void Enable();
    void Disable();
    void IsEnabled();
    void SetText();
    void GetText();
    void ToFront();
    void GetXMouse();
    void GetYMouse();
    void SetColorMethod();
    void SetBackColorMethod();
    void GetColor();
    void GetBackColor();
    void SetFontMethod();
    void GetFont();
    void GetParentWindow();
    void HasAttribute();
    void SetPrivateData();
    void GetPrivateData();
    void GetXScreen();
    void GetYScreen();
    void GetXWindow();
    void GetYWindow();
    void SetFocusMethod();
    void HasFocus();
    void OnKeyDown();
    void OnKeyUp();

    // ---- Fields ---------------------------------------------------------------------
    uint32_t exStyleChanged = 0;
    uint32_t styleChanged = 0;
    uint32_t ready = 1;
    uint32_t propertySet = 0;
    const BlockRecord* onKeyDown = nullptr;
    const BlockRecord* onKeyUp = nullptr;
    CIWindow* parent = nullptr;
    HWND outerWindow = 0;
    HWND hwnd = 0;
    uint32_t style = WS_VISIBLE;
    uint32_t exStyle = 0;
    uint32_t flagsA = 0;
    uint32_t flagsB = 0;
    int32_t x = kNotGiven;
    int32_t y = kNotGiven;
    int32_t width = 640;
    int32_t height = 480;
    // The constructor's caption until the window is made; not owned.
    const char* caption = nullptr;
    HWND zInsertAfter = HWND_TOP;
    uint32_t pendingPosFlags = kNothingPending;
    uint8_t pendingShow[12] = {};
    uint32_t showPending = 0;
    COLORREF textColor;
    COLORREF backColor;
    uint32_t ownBrush = 1;
    HBRUSH backBrush = 0;
    int32_t borderLeft = 0;
    int32_t borderTop = 0;
    int32_t borderRight = 0;
    int32_t borderBottom = 0;
    CValue privateData;
    uint32_t tableCount = 1;
    const uint32_t* tables[2] = {};
    uint32_t tableIdBase[2] = {};
    uint32_t tableSize[2] = {};

protected:
    // The conversion of one coordinate between client and screen (error 14 without it).
    void ConvertCoordinate(bool toScreen, bool vertical);
    // The colour rule: one argument 0xRRGGBB, else red, green, blue, each missing one
    // keeping that component of `current`.
    COLORREF ReadColorArguments(COLORREF current);
    // z-order partner `insertAfter`, at once or pending.
    void ChangeZOrder(HWND insertAfter);
    // `handler` from an event property assignment.
    void ReadHandler(const BlockRecord*& handler);
};

// The shared attribute table (id base 0xDEB00000), ended by kTableEnd.
extern const uint32_t kSharedAttributeTable[];
// Mouse button constants of the events.
inline constexpr int32_t kLeftButton = static_cast<int32_t>(0x89AF0001u);
inline constexpr int32_t kMiddleButton = static_cast<int32_t>(0x89AF0002u);
inline constexpr int32_t kRightButton = static_cast<int32_t>(0x89AF0003u);
