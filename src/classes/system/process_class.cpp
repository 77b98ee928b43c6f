#include "classes/system/process_class.h"

#include <chrono>
#include <new>
#include <thread>
#include <vector>

#include "platform/files/files.h"
#include "platform/process/process.h"
#include "platform/user/messages.h"
#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIProcess::kClassId, "Process", 0, 0},
    {CIProcess::kSetCommandLine, "SetCommandLine", 0, 0},
    {CIProcess::kGetCommandLine, "GetCommandLine", 0, 0},
    {CIProcess::kRestart, "Restart", 0, 0},
    {CIProcess::kRun, "Run", 0, 0},
    {CIProcess::kIsProcessRunning, "IsProcessRunning", 0, 0},
    {CIProcess::kGetExitCode, "GetExitCode", 0, 0},
    {CIProcess::kSendQuitMessage, "SendQuitMessage", 0, 0},
    {CIProcess::kTerminate, "Terminate", 0, 0},
    {0, nullptr, 0, 0},
};

// The Part leaves Restart's wait unbounded; a program that ignores the request to quit
// must not hold the script for ever.
uint32_t restartWaitMilliseconds = 5000;

CIBaseClassImpl* NewProcess(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIProcess(&interpreter, record);
}

bool IsRunning(HANDLE process) {
    DWORD code = 0;
    return GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
}

// Waits until the program has ended, at most `milliseconds`; true when it has.
bool WaitForEnd(HANDLE process, uint32_t milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (!IsRunning(process)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

const ScriptMethod<CIProcess> CIProcess::kMethods[kMethodCount] = {
    nullptr,
    &CIProcess::SetCommandLine,
    &CIProcess::GetCommandLine,
    &CIProcess::Restart,
    &CIProcess::Run,
    &CIProcess::IsProcessRunning,
    &CIProcess::GetExitCode,
    &CIProcess::SendQuitMessage,
    &CIProcess::Terminate,
};

CIProcess::CIProcess(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIProcess::~CIProcess() {
    CloseProcess();
}

void CIProcess::SetRestartWaitForTests(uint32_t milliseconds) {
    restartWaitMilliseconds = milliseconds;
}

void CIProcess::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIProcess::Destroy(int) {
    delete this;
}

void CIProcess::Create() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() > 0 && !in.IsArgDefault(0)) commandLine_ = in.GetArgString(0);
    int32_t run = 1;
    if (in.GetArgCount() > 1 && !in.IsArgDefault(1)) {
        run = in.GetArgInt(1);
        if (run != 0 && run != 1) in.RaiseError(14);
    }
    if (run == 1) Start();
    Register();
}

void CIProcess::CloseProcess() {
    if (process_ == 0) return;
    CloseHandle(process_);
    process_ = 0;
    threadId_ = 0;
}

int CIProcess::Start() {
    if (process_ != 0) return 0;
    // CreateProcessA may write into the command line, so it gets a copy.
    std::vector<char> line(commandLine_.begin(), commandLine_.end());
    line.push_back(0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &info))
        return 0;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    threadId_ = info.dwThreadId;
    return 1;
}

uint32_t CIProcess::CodeArg() {
    return interpreter->IsArgDefault(0) ? 0 : uint32_t(interpreter->GetArgInt(0));
}

void CIProcess::SetCommandLine() {
    commandLine_ = interpreter->IsArgDefault(0) ? "" : interpreter->GetArgString(0);
}

void CIProcess::GetCommandLine() {
    interpreter->GetResultSlot()->SetString(commandLine_.c_str(), 0);
}

void CIProcess::Restart() {
    uint32_t code = CodeArg();
    if (process_ != 0) {
        PostThreadMessageA(threadId_, WM_QUIT, code, 0);
        if (!WaitForEnd(process_, restartWaitMilliseconds)) TerminateProcess(process_, code);
        CloseProcess();
    }
    interpreter->GetResultSlot()->SetInt(Start());
}

void CIProcess::Run() {
    interpreter->GetResultSlot()->SetInt(Start());
}

void CIProcess::IsProcessRunning() {
    interpreter->GetResultSlot()->SetInt(process_ != 0 && IsRunning(process_) ? 1 : 0);
}

void CIProcess::GetExitCode() {
    DWORD code = 0;
    if (process_ == 0 || !GetExitCodeProcess(process_, &code)) code = 0;
    interpreter->GetResultSlot()->SetInt(int32_t(code));
}

void CIProcess::SendQuitMessage() {
    uint32_t code = CodeArg();
    if (process_ != 0) PostThreadMessageA(threadId_, WM_QUIT, code, 0);
}

void CIProcess::Terminate() {
    uint32_t code = CodeArg();
    if (process_ != 0) TerminateProcess(process_, code);
}

const ScriptClassInfo* GetProcessClassInfo() {
    static const ScriptClassInfo info{kNameTable, &NewProcess, 0, nullptr, 0, nullptr, nullptr};
    return &info;
}
