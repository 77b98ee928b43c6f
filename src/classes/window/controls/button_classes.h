// The classes over the "BUTTON" and "STATIC" windows: Button (with images it draws
// itself), CheckBox, RadioButton, GroupBox and StaticText. They differ in their default
// styles, their own constants, a few methods and the events they post.
#pragma once

#include "classes/window/controls/chained_control.h"
#include "graphics2d/drawing/surface_handle.h"
#include <cstdint>

struct DRAWITEMSTRUCT;

class CIButton : public CIChainedControl {
public:
    static constexpr uint32_t kClassId = 0x0F;
    static constexpr uint16_t kMethodCount = 0x2A;

    CIButton(CInterpretor* interpreter, const CClassRecord* record);
    void CallMethod(uint16_t methodId) override;
    // Lets go of the images.
    void Destroy(int flag) override;
    // An image that goes is dropped (the Button draws on without it); 1 only when the
    // parent Window goes.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new Button([window], [caption], [constants...], [x], [y], [width], [height],
    // [normal image], [pushed image], [disabled image]).
    void Create() override;

    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);
    // WM_DRAWITEM of an owner-drawn Button (button_drawing.cpp).
    void DrawItem(const DRAWITEMSTRUCT& item);
    // The embossed picture of `image` (button_drawing.cpp); null when it cannot be made.
    SurfaceHandle* Embossed(CIBaseClassImpl* image);

    const BlockRecord* onClick = nullptr;
    const BlockRecord* onDblClick = nullptr;
    const BlockRecord* onSetFocus = nullptr;
    const BlockRecord* onKillFocus = nullptr;
    // Normal, pushed and disabled images: Surface objects whose use this Button holds.
    CIBaseClassImpl* images[3] = {};

private:
    // The image a script value names, as a Surface whose use is taken; error 9 when an
    // image element cannot be read, 14 for another kind of value.
    CIBaseClassImpl* TakeImage(const CValue& value);
    void OnClick();
    void OnDblClick();
    void OnSetFocus();
    void OnKillFocus();

    // The embossed picture of the normal image, one pixel larger each way, made once for
    // an image of a size.
    SurfaceHandle embossed_;
    const CIBaseClassImpl* embossedFrom_ = nullptr;
    int32_t embossedWidth_ = 0;
    int32_t embossedHeight_ = 0;

    static const ScriptMethod<CIButton> kMethods[kMethodCount];
};

class CICheckBox : public CIChainedControl {
public:
    static constexpr uint32_t kClassId = 0x15;
    static constexpr uint16_t kMethodCount = 0x2D;

    CICheckBox(CInterpretor* interpreter, const CClassRecord* record);
    void CallMethod(uint16_t methodId) override;
    void Create() override;
    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);

    const BlockRecord* onClick = nullptr;
    const BlockRecord* onDblClick = nullptr;
    const BlockRecord* onSetFocus = nullptr;
    const BlockRecord* onKillFocus = nullptr;
    const BlockRecord* onCheck = nullptr;

private:
    void IsChecked();
    void SetCheck();
    void OnClick();
    void OnDblClick();
    void OnSetFocus();
    void OnKillFocus();
    void OnCheck();
    void PostCheck();

    static const ScriptMethod<CICheckBox> kMethods[kMethodCount];
};

class CIRadioButton : public CIChainedControl {
public:
    static constexpr uint32_t kClassId = 0x14;
    static constexpr uint16_t kMethodCount = 0x2F;

    CIRadioButton(CInterpretor* interpreter, const CClassRecord* record);
    void CallMethod(uint16_t methodId) override;
    void Create() override;
    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);

    const BlockRecord* onClick = nullptr;
    const BlockRecord* onDblClick = nullptr;
    const BlockRecord* onSetFocus = nullptr;
    const BlockRecord* onKillFocus = nullptr;
    const BlockRecord* onCheck = nullptr;
    // The check state last reported, and the group the button belongs to.
    int32_t lastChecked = 0;
    int32_t groupNumber = 0;

private:
    // Unchecks and reports the other checked buttons of this group and parent Window.
    void UpdateGroup();
    // Posts OnCheck when set and keeps the state in lastChecked.
    void Report();
    void IsChecked();
    void SetCheck();
    void SetGroupNumber();
    void GetGroupNumber();
    void OnClick();
    void OnDblClick();
    void OnSetFocus();
    void OnKillFocus();
    void OnCheck();

    static const ScriptMethod<CIRadioButton> kMethods[kMethodCount];
};

class CIGroupBox : public CIChainedControl {
public:
    static constexpr uint32_t kClassId = 0x2E;
    static constexpr uint16_t kMethodCount = 0x26;

    CIGroupBox(CInterpretor* interpreter, const CClassRecord* record);
    void CallMethod(uint16_t methodId) override;
    void Create() override;
    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);
    // The end of a refresh pass: every visible GroupBox is drawn again over the surface.
    static void RedrawAll(CInterpretor& interpreter);

private:
    static const ScriptMethod<CIGroupBox> kMethods[kMethodCount];
};

class CIStaticText : public CIChainedControl {
public:
    static constexpr uint32_t kClassId = 0x30;
    static constexpr uint16_t kMethodCount = 0x28;

    CIStaticText(CInterpretor* interpreter, const CClassRecord* record);
    void CallMethod(uint16_t methodId) override;
    void Create() override;
    static LRESULT Handler(BOOL& handled, HWND parentHwnd, UINT message, WPARAM wParam,
                           LPARAM lParam);
    // After the GroupBoxes, every visible StaticText.
    static void RedrawAll(CInterpretor& interpreter);

    const BlockRecord* onClick = nullptr;
    const BlockRecord* onDblClick = nullptr;

private:
    void OnClick();
    void OnDblClick();

    static const ScriptMethod<CIStaticText> kMethods[kMethodCount];
};

// The own attribute table of CheckBox and RadioButton.
extern const uint32_t kCheckAttributeTable[];

const ScriptClassInfo* GetButtonClassInfo();
const ScriptClassInfo* GetCheckBoxClassInfo();
const ScriptClassInfo* GetRadioButtonClassInfo();
const ScriptClassInfo* GetGroupBoxClassInfo();
const ScriptClassInfo* GetStaticTextClassInfo();

// Redraws every visible control of a class in the interpreter's object list.
void RedrawVisibleControls(CInterpretor& interpreter, uint32_t classId);
// The visible GroupBoxes, then StaticTexts, among a Window's children.
void RedrawTransparentChildren(CIWindow& window);
