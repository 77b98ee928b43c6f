// The Editor class: the services a script would use inside a document editor (file name,
// modified flag, title, main-menu commands, activation). The player is no editor: the
// singleton keeps the handlers it is given, its queries answer nothing or an empty name,
// and none of its events ever comes.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

struct BlockRecord;

class CIEditor : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 0x3B;
    static constexpr uint16_t kMethodCount = 11;
    static constexpr uint32_t kFirstClassLevelId = 0x0B;

    CIEditor(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;

    const BlockRecord* onMainMenu = nullptr;
    const BlockRecord* onActivate = nullptr;
    const BlockRecord* onDeactivate = nullptr;

private:
    void GetFileName();
    void Nothing();
    void OnMainMenu();
    void OnActivate();
    void OnDeactivate();

    static const ScriptMethod<CIEditor> kMethods[kMethodCount];
};

const ScriptClassInfo* GetEditorClassInfo();
