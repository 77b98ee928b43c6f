// The Program singleton as far as the error road needs it: the record of the last error
// raised inside a method and the OnError event property. The class of the Program
// subsystem derives from it.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"
#include "script/interpreter/ierror.h"
#include "script/values/value.h"

class CIProgram : public CIBaseClassImpl {
public:
    // Method ids of the error road in Program's name table.
    static constexpr uint16_t kOnErrorId = 1;
    static constexpr uint16_t kGetLastErrorId = 2;
    static constexpr uint16_t kEndId = 3;
    static constexpr uint16_t kRestartId = 4;

    CIProgram(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;

    // Copies the error into the last-error record.
    void RecordError(const CIError& error);
    // The function assigned to OnError, or null.
    const BlockRecord* GetErrorHandler() const;

    // The code of the last error; 0 after it has been read.
    CIError lastError{0};
    // A function value, or integer 0 when no handler is set.
    CValue onError;

protected:
    // OnError = handler.
    void OnError();
    // The last error's code, once; then 0.
    void GetLastError();
    // Ends the program (code 0).
    void End();
    // Restarts the program (code 1): the project again, or the source file named by the
    // text argument.
    void Restart();
};

// The description of the Program class with the error road, End and Restart, for a run
// without the Program subsystem.
const ScriptClassInfo* GetProgramClassInfo();
