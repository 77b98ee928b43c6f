// The Process class: another program started from a command line, which the script
// watches, asks to quit, restarts or ends. Ending the object leaves the program running.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/win_types.h"
#include "script/classes/base_class.h"

class CIProcess : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 52;

    enum : uint16_t {
        kSetCommandLine = 1,
        kGetCommandLine,
        kRestart,
        kRun,
        kIsProcessRunning,
        kGetExitCode,
        kSendQuitMessage,
        kTerminate,
        kMethodCount,
    };

    CIProcess(CInterpretor* interpreter, const CClassRecord* record);
    ~CIProcess() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // New Process(commandLine, run = 1): with run 1 the program starts at once.
    void Create() override;

    // How long Restart lets a program that was asked to quit take before it is killed.
    static void SetRestartWaitForTests(uint32_t milliseconds);

private:
    void SetCommandLine();
    void GetCommandLine();
    void Restart();
    void Run();
    void IsProcessRunning();
    void GetExitCode();
    void SendQuitMessage();
    void Terminate();

    // 1 when a program was started.
    int Start();
    // Argument 0 as an exit code, 0 when omitted.
    uint32_t CodeArg();
    void CloseProcess();

    static const ScriptMethod<CIProcess> kMethods[kMethodCount];

    HANDLE process_ = 0;
    DWORD threadId_ = 0;
    std::string commandLine_;
};

const ScriptClassInfo* GetProcessClassInfo();
