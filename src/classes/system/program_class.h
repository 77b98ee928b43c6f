// The Program singleton: the running script's view of itself. Besides the error road of
// the runtime's CIProgram it reads the command line, waits, switches event delivery and
// 3D sound, and answers questions about values, arrays and optional media components.
#pragma once

#include <cstdint>

#include "script/classes/script_program.h"

class CIProgramClass final : public CIProgram {
public:
    static constexpr uint32_t kClassId = 56;
    static constexpr uint32_t kSpeakerClassId = 67;

    enum : uint16_t {
        kRestart = 1,
        kGetCommandLine,
        kGetArgument,
        kWait,
        kSysDebug,
        kIsDebug,
        kIsRelease,
        kIsScreenSaver,
        kIsApplication,
        kGetNArguments,
        kIsStandAlone,
        kEnd,
        kGetChar,
        kGetString,
        kFlush,
        kSetFlush,
        kGetRGB,
        kGetRed,
        kGetGreen,
        kGetBlue,
        kGetDefaultGameInput,
        kIsScreenSaverSetupDialog,
        kIsScreenSaverControlPanel,
        kIsEditorMode,
        kIsDirectSound3DUsed,
        kIsDirectSound3DEnabled,
        kEnableDirectSound3D,
        kDisableDirectSound3D,
        kLoadString,
        kDebugBreak,
        kFillArray,
        kIsArray,
        kIsDefaultValue,
        kIsString,
        kIsNumber,
        kIsInteger,
        kIsFloat,
        kIsObject,
        kIsFunction,
        kGetArrayDimensionCount,
        kGetArrayDimensionSize,
        kAddToDebugger,
        kRemoveFromDebugger,
        kDisableEvents,
        kEnableEvents,
        kEventsEnabled,
        kOnError,
        kGetLastError,
        kGetErrorMessage,
        kIsQuickTimeInstalled,
        kIsModPlugInstalled,
        kIsSpeechInstalled,
        kIsQuickTimeVRInstalled,
        kGetAscii,
        kGetApplicationDirectory,
        kIsActiveX,
        kGetParamList,
        kGetParamValue,
        kGetBankList,
        kGetObjectList,
        kMethodCount,
    };

    CIProgramClass(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;

private:
    void GetCommandLine();
    void GetArgument();
    void Wait();
    void Nothing();
    void IsDebug();
    void IsRelease();
    void Zero();
    void One();
    void GetNArguments();
    void GetChar();
    void GetString();
    void Flush();
    void SetFlush();
    void GetRGB();
    void GetRed();
    void GetGreen();
    void GetBlue();
    void GetDefaultGameInput();
    void IsScreenSaverSetupDialog();
    void IsScreenSaverControlPanel();
    void IsDirectSound3DUsed();
    void IsDirectSound3DEnabled();
    void EnableDirectSound3D();
    void DisableDirectSound3D();
    void LoadString();
    void FillArray();
    void IsArray();
    void IsDefaultValue();
    void IsString();
    void IsNumber();
    void IsInteger();
    void IsFloat();
    void IsObject();
    void IsFunction();
    void GetArrayDimensionCount();
    void GetArrayDimensionSize();
    void DisableEvents();
    void EnableEvents();
    void EventsEnabled();
    void GetErrorMessage();
    void IsQuickTimeInstalled();
    void IsModPlugInstalled();
    void IsSpeechInstalled();
    void IsQuickTimeVRInstalled();
    void GetAscii();
    void GetApplicationDirectory();
    void GetParamList();
    void GetParamValue();
    void GetBankList();
    void GetObjectList();

    void SetResult(int32_t value);
    // Argument 0's kind is `kind`: 1 or 0.
    void ArgumentIs(uint32_t kind);
    // Sets the 3D-sound request; error 78 while a Speaker exists.
    void Switch3DSound(int32_t requested);
    // The array of argument 0; error 46 when it is none.
    class CScriptArray* RequiredArray();
    void ProbeResult(int (*probe)());

    static const ScriptMethod<CIProgramClass> kMethods[kMethodCount];
};

const ScriptClassInfo* GetProgramServicesClassInfo();
