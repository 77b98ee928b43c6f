#include "script/classes/bank_class.h"

#include <new>

#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/interpreter/interpretor.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"

namespace {

using project_format::kBankTypeConstantBase;

const MethodNameRow kNameTable[] = {
    {CIBank::kClassId, "Bank", 0, 0},
    {CIBank::kGetElemCount, "GetElemCount", 0, 0},
    {CIBank::kGetType, "GetType", 0, 0},
    {CIBank::kGetElemName, "GetElemName", 0, 0},
    {CIBank::kGetElemIndex, "GetElemIndex", 0, 0},
    {6, "BANKTYPE_IMAGE", 0, kRowConstant},
    {7, "BANKTYPE_ANIMATION", 0, kRowConstant},
    {8, "BANKTYPE_SOUND", 0, kRowConstant},
    {9, "BANKTYPE_MUSIC", 0, kRowConstant},
    {10, "BANKTYPE_STRING", 0, kRowConstant},
    {11, "BANKTYPE_3D", 0, kRowConstant},
    {12, "BANKTYPE_BINARY", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <uint32_t Type> void BankTypeConstant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(int32_t(kBankTypeConstantBase | Type));
}

const ClassLevelHandler kConstants[] = {
    &BankTypeConstant<project_format::kImageBank>,
    &BankTypeConstant<project_format::kAnimationBank>,
    &BankTypeConstant<project_format::kSoundBank>,
    &BankTypeConstant<project_format::kMusicBank>,
    &BankTypeConstant<project_format::kStringBank>,
    &BankTypeConstant<project_format::k3DBank>,
    &BankTypeConstant<project_format::kBinaryBank>,
};

CIBaseClassImpl* NewBank(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIBank(&interpreter, record);
}

} // namespace

const ScriptMethod<CIBank> CIBank::kMethods[kMethodCount] = {
    nullptr, &CIBank::GetElemCount, &CIBank::GetType, &CIBank::GetElemName, &CIBank::GetElemIndex,
};

CIBank::CIBank(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

void CIBank::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIBank::Destroy(int) {
    delete this;
}

void CIBank::Create() {
    interpreter->SelectProjectEntry();
    if (interpreter->IsArgDefault(0)) interpreter->RaiseError(14);
    const char* name = interpreter->GetArgString(0);
    CBank* bank = interpreter->projectFile != nullptr
                      ? interpreter->projectFile->FindBankByName(name)
                      : nullptr;
    if (bank == nullptr || bank->GetType() == project_format::kSourceBank)
        interpreter->RaiseError(134);
    bank_ = bank;
    Register();
}

void CIBank::GetElemCount() {
    interpreter->GetResultSlot()->SetInt(int32_t(bank_->GetElementCount()));
}

void CIBank::GetType() {
    interpreter->GetResultSlot()->SetInt(int32_t(kBankTypeConstantBase | bank_->GetType()));
}

void CIBank::GetElemName() {
    if (interpreter->IsArgDefault(0)) interpreter->RaiseError(14);
    CElement* element = bank_->GetElement(interpreter->GetArgInt(0));
    interpreter->GetResultSlot()->SetString(element != nullptr ? element->GetNameText() : "", 0);
}

void CIBank::GetElemIndex() {
    if (interpreter->IsArgDefault(0)) interpreter->RaiseError(14);
    interpreter->GetResultSlot()->SetInt(bank_->FindElementIndex(interpreter->GetArgString(0)));
}

const ScriptClassInfo* GetBankClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewBank, CIBank::kFirstClassLevelId, kConstants, 7, nullptr, nullptr,
    };
    return &info;
}
