// The TrayIcon class: an icon with a tool tip in the desktop's notification area, owned by
// a top-level Window. The shell's notices about it reach the Window's procedure, where the
// TrayIcons' handler in the Window's chain turns them into the script's mouse events.
#pragma once

#include <cstdint>

#include "platform/shell/tray.h"
#include "script/classes/base_class.h"

class CIWindow;
struct BlockRecord;

class CITrayIcon : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 55;
    // The message the shell sends the owner Window about its TrayIcons.
    static constexpr UINT kCallbackMessage = 0x45F;
    static constexpr int32_t kLeftButton = int32_t(0x89AF0001u);
    static constexpr int32_t kMiddleButton = int32_t(0x89AF0002u);
    static constexpr int32_t kRightButton = int32_t(0x89AF0003u);

    enum : uint16_t {
        kOnMouseMove = 1,
        kOnMouseDown,
        kOnMouseUp,
        kOnMouseDblClick,
        kSetIcon,
        kSetTip,
        kMethodCount,
    };
    static constexpr uint32_t kFirstClassLevelId = 7;

    CITrayIcon(CInterpretor* interpreter, const CClassRecord* record);
    // The tray entry, the icon, the place in the list and in the owner's chain go.
    ~CITrayIcon() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // Deleting the owner Window deletes its TrayIcons.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // New TrayIcon([surface or image], [window], [tip]), in any order.
    void Create() override;

    UINT GetId() const { return notifyData_.uID; }
    HWND GetWindow() const { return notifyData_.hWnd; }

private:
    void OnMouseMove();
    void OnMouseDown();
    void OnMouseUp();
    void OnMouseDblClick();
    void SetIcon();
    void SetTip();

    // The handler of the owner Window's chain, for every TrayIcon.
    static LRESULT TrayHandler(BOOL& handled, HWND parent, UINT message, WPARAM wParam,
                               LPARAM lParam);
    void PostMouseEvent(UINT mouseMessage);
    // A 16 x 16 icon of the picture in argument `i`: a Surface, or an image of the bank.
    HICON IconFromArg(uint32_t i);
    // The owner, when it is still a live Window of the run.
    CIWindow* LiveOwner() const;

    static const ScriptMethod<CITrayIcon> kMethods[kMethodCount];

    NOTIFYICONDATAA notifyData_{};
    CIWindow* owner_ = nullptr;
    const BlockRecord* onMouseMove_ = nullptr;
    const BlockRecord* onMouseDown_ = nullptr;
    const BlockRecord* onMouseUp_ = nullptr;
    const BlockRecord* onMouseDblClick_ = nullptr;
    int supported_ = 0;
    HICON icon_ = 0;
    bool listed_ = false;
    bool added_ = false;
    bool handlerAdded_ = false;
};

const ScriptClassInfo* GetTrayIconClassInfo();
