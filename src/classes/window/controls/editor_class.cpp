#include "classes/window/controls/editor_class.h"

#include <new>

#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIEditor::kClassId, "Editor", 0, 0},
    {1, "GetFileName", 0, 0},
    {2, "SetModified", 0, 0},
    {3, "IsModified", 0, 0},
    {4, "GetDocumentTitle", 0, 0},
    {5, "SetDocumentTitle", 0, 0},
    {6, "OnMainMenu", 0, 0},
    {7, "EnableMainMenuItem", 0, 0},
    {8, "DisableMainMenuItem", 0, 0},
    {9, "OnActivate", 0, 0},
    {10, "OnDeactivate", 0, 0},
    {0x0C, "ED_CLOSE", 0, kRowConstant},
    {0x0D, "ED_SAVE", 0, kRowConstant},
    {0x0E, "ED_PRINT", 0, kRowConstant},
    {0x0F, "ED_PRINTPREVIEW", 0, kRowConstant},
    {0x10, "ED_PRINTSETUP", 0, kRowConstant},
    {0x11, "ED_UNDO", 0, kRowConstant},
    {0x12, "ED_REDO", 0, kRowConstant},
    {0x13, "ED_CUT", 0, kRowConstant},
    {0x14, "ED_COPY", 0, kRowConstant},
    {0x15, "ED_PASTE", 0, kRowConstant},
    {0x16, "ED_DELETE", 0, kRowConstant},
    {0x17, "ED_SELECTALL", 0, kRowConstant},
    {0x18, "ED_FIND", 0, kRowConstant},
    {0x19, "ED_FINDNEXT", 0, kRowConstant},
    {0x1A, "ED_REPLACE", 0, kRowConstant},
    {0x1B, "ED_HELP", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

// Entry k serves id 0x0C + k.
const ClassLevelHandler kConstants[] = {
    &Constant<0>,  &Constant<1>,  &Constant<2>,  &Constant<3>,  &Constant<4>,  &Constant<5>,
    &Constant<6>,  &Constant<7>,  &Constant<8>,  &Constant<9>,  &Constant<10>, &Constant<11>,
    &Constant<12>, &Constant<13>, &Constant<14>, &Constant<15>,
};

constexpr uint16_t kConstantCount = sizeof kConstants / sizeof kConstants[0];

CIBaseClassImpl* NewEditor(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIEditor(&interpreter, record);
}

} // namespace

const ScriptMethod<CIEditor> CIEditor::kMethods[kMethodCount] = {
    nullptr,
    &CIEditor::GetFileName,
    &CIEditor::Nothing,
    &CIEditor::Nothing,
    &CIEditor::Nothing,
    &CIEditor::Nothing,
    &CIEditor::OnMainMenu,
    &CIEditor::Nothing,
    &CIEditor::Nothing,
    &CIEditor::OnActivate,
    &CIEditor::OnDeactivate,
};

CIEditor::CIEditor(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIEditor::CallMethod(uint16_t methodId) {
    // The singleton's constants reach it like its methods.
    if (methodId > kFirstClassLevelId && methodId <= kFirstClassLevelId + kConstantCount) {
        interpreter->GetResultSlot()->SetInt(int32_t(methodId - kFirstClassLevelId - 1));
        return;
    }
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIEditor::Destroy(int flag) {
    CIBaseClassImpl::Destroy(flag);
    delete this;
}

void CIEditor::GetFileName() {
    interpreter->GetResultSlot()->SetString("", 0);
}

void CIEditor::Nothing() {}

void CIEditor::OnMainMenu() {
    onMainMenu = interpreter->ReadHandlerAssignment();
}

void CIEditor::OnActivate() {
    onActivate = interpreter->ReadHandlerAssignment();
}

void CIEditor::OnDeactivate() {
    onDeactivate = interpreter->ReadHandlerAssignment();
}

const ScriptClassInfo* GetEditorClassInfo() {
    static const ScriptClassInfo info{kNameTable,
                                      &NewEditor,
                                      CIEditor::kFirstClassLevelId,
                                      kConstants,
                                      sizeof kConstants / sizeof kConstants[0],
                                      nullptr,
                                      nullptr};
    return &info;
}
