// The MessageBox class: the standard message box, returning the button the user pressed.
// An object keeps a default icon, a default button and an owner Window between calls.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"
#include "script/values/value.h"

class CIMessageBox : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 35;

    enum : uint16_t {
        kAbortRetryIgnoreBox = 1,
        kOkBox,
        kOkCancelBox,
        kRetryCancelBox,
        kYesNoBox,
        kYesNoCancelBox,
        kSetIcon,
        kSetDefaultButton,
        kMethodCount,
    };
    static constexpr uint32_t kFirstClassLevelId = kMethodCount - 1;

    CIMessageBox(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // An owner Window that goes leaves the box without owner; the box stays.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // new MessageBox([window]).
    void Create() override;

    uint32_t defaultButton = 0;
    uint32_t icon = 0x10;
    // A Window object, or integer 0; a value, so that it reads 0 once the Window is gone.
    CValue owner;

private:
    // Every box method: the arguments, then the box of `type`.
    void ShowBox(uint32_t type);
    void AbortRetryIgnoreBox();
    void OkBox();
    void OkCancelBox();
    void RetryCancelBox();
    void YesNoBox();
    void YesNoCancelBox();
    void SetIcon();
    void SetDefaultButton();

    static const ScriptMethod<CIMessageBox> kMethods[kMethodCount];
};

const ScriptClassInfo* GetMessageBoxClassInfo();
