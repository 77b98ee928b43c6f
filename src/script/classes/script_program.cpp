#include "script/classes/script_program.h"

#include <new>

#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kProgramNameTable[] = {
    {56, "Program", 0, 0},
    {CIProgram::kOnErrorId, "OnError", 0, 0},
    {CIProgram::kGetLastErrorId, "GetLastError", 0, 0},
    {CIProgram::kEndId, "End", 0, 0},
    {CIProgram::kRestartId, "Restart", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* MakeProgram(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIProgram(&interpreter, record);
}

const ScriptClassInfo kProgramClass = {
    kProgramNameTable, MakeProgram, 0, nullptr, 0, nullptr, nullptr,
};

} // namespace

CIProgram::CIProgram(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), onError(interpreter, 0) {}

void CIProgram::CallMethod(uint16_t methodId) {
    switch (methodId) {
    case kOnErrorId:
        OnError();
        return;
    case kGetLastErrorId:
        GetLastError();
        return;
    case kEndId:
        End();
        return;
    case kRestartId:
        Restart();
        return;
    default:
        RaiseNoSuchMethod(*this);
    }
}

void CIProgram::Destroy(int) {
    delete this;
}

void CIProgram::RecordError(const CIError& error) {
    lastError.Assign(&error);
}

const BlockRecord* CIProgram::GetErrorHandler() const {
    return onError.GetType() == kValueFunction ? onError.GetFunction() : nullptr;
}

void CIProgram::OnError() {
    const BlockRecord* handler = interpreter->ReadHandlerAssignment();
    if (handler != nullptr)
        onError.SetFunction(handler);
    else
        onError.SetInt(0);
}

void CIProgram::GetLastError() {
    interpreter->GetResultSlot()->SetInt(lastError.code);
    lastError.Assign(nullptr);
}

void CIProgram::End() {
    interpreter->RaiseError(0);
}

void CIProgram::Restart() {
    if (interpreter->GetArgCount() > 0 && interpreter->GetArg(0)->GetType() == kValueString)
        interpreter->SetRestartFileName(interpreter->GetArgString(0));
    interpreter->RaiseError(1);
}

const ScriptClassInfo* GetProgramClassInfo() {
    return &kProgramClass;
}
