#include "classes/system/program_class.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "foundation/containers/ptr_array.h"
#include "foundation/memory/memory_helpers.h"
#include "platform/system/module_file.h"
#include "platform/system/system_info.h"
#include "platform/user/window_geometry.h"
#include "script/interpreter/interpretor.h"
#include "script/project/bank.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"
#include "script/project/string_bank_text.h"
#include "script/runtime/command_line.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/neighbour_services.h"
#include "script/values/script_array.h"

namespace {

using P = CIProgramClass;

const MethodNameRow kNameTable[] = {
    {P::kClassId, "Program", 0, 0},
    {P::kRestart, "Restart", 0, 0},
    {P::kGetCommandLine, "GetCommandLine", 0, 0},
    {P::kGetArgument, "GetArgument", 0, 0},
    {P::kWait, "Wait", 0, 0},
    {P::kSysDebug, "SysDebug", 0, 0},
    {P::kIsDebug, "IsDebug", 0, 0},
    {P::kIsRelease, "IsRelease", 0, 0},
    {P::kIsScreenSaver, "IsScreenSaver", 0, 0},
    {P::kIsApplication, "IsApplication", 0, 0},
    {P::kGetNArguments, "GetNArguments", 0, 0},
    {P::kIsStandAlone, "IsStandAlone", 0, 0},
    {P::kEnd, "End", 0, 0},
    {P::kGetChar, "GetChar", 0, 0},
    {P::kGetString, "GetString", 0, 0},
    {P::kFlush, "Flush", 0, 0},
    {P::kSetFlush, "SetFlush", 0, 0},
    {P::kGetRGB, "GetRGB", 0, 0},
    {P::kGetRed, "GetRed", 0, 0},
    {P::kGetGreen, "GetGreen", 0, 0},
    {P::kGetBlue, "GetBlue", 0, 0},
    {P::kGetDefaultGameInput, "GetDefaultGameInput", 0, 0},
    {P::kIsScreenSaverSetupDialog, "IsScreenSaverSetupDialog", 0, 0},
    {P::kIsScreenSaverControlPanel, "IsScreenSaverControlPanel", 0, 0},
    {P::kIsEditorMode, "IsEditorMode", 0, 0},
    {P::kIsDirectSound3DUsed, "IsDirectSound3DUsed", 0, 0},
    {P::kIsDirectSound3DEnabled, "IsDirectSound3DEnabled", 0, 0},
    {P::kEnableDirectSound3D, "EnableDirectSound3D", 0, 0},
    {P::kDisableDirectSound3D, "DisableDirectSound3D", 0, 0},
    {P::kLoadString, "LoadString", 0, 0},
    {P::kDebugBreak, "DebugBreak", 0, 0},
    {P::kFillArray, "FillArray", 0, 0},
    {P::kIsArray, "IsArray", 0, 0},
    {P::kIsDefaultValue, "IsDefaultValue", 0, 0},
    {P::kIsString, "IsString", 0, 0},
    {P::kIsNumber, "IsNumber", 0, 0},
    {P::kIsInteger, "IsInteger", 0, 0},
    {P::kIsFloat, "IsFloat", 0, 0},
    {P::kIsObject, "IsObject", 0, 0},
    {P::kIsFunction, "IsFunction", 0, 0},
    {P::kGetArrayDimensionCount, "GetArrayDimensionCount", 0, 0},
    {P::kGetArrayDimensionSize, "GetArrayDimensionSize", 0, 0},
    {P::kAddToDebugger, "AddToDebugger", 0, 0},
    {P::kRemoveFromDebugger, "RemoveFromDebugger", 0, 0},
    {P::kDisableEvents, "DisableEvents", 0, 0},
    {P::kEnableEvents, "EnableEvents", 0, 0},
    {P::kEventsEnabled, "EventsEnabled", 0, 0},
    {P::kOnError, "OnError", 0, 0},
    {P::kGetLastError, "GetLastError", 0, 0},
    {P::kGetErrorMessage, "GetErrorMessage", 0, 0},
    {P::kIsQuickTimeInstalled, "IsQuickTimeInstalled", 0, 0},
    {P::kIsModPlugInstalled, "IsModPlugInstalled", 0, 0},
    {P::kIsSpeechInstalled, "IsSpeechInstalled", 0, 0},
    {P::kIsQuickTimeVRInstalled, "IsQuickTimeVRInstalled", 0, 0},
    {P::kGetAscii, "GetAscii", 0, 0},
    {P::kGetApplicationDirectory, "GetApplicationDirectory", 0, 0},
    {P::kIsActiveX, "IsActiveX", 0, 0},
    {P::kGetParamList, "GetParamList", 0, 0},
    {P::kGetParamValue, "GetParamValue", 0, 0},
    {P::kGetBankList, "GetBankList", 0, 0},
    {P::kGetObjectList, "GetObjectList", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewProgram(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIProgramClass(&interpreter, record);
}

const ScriptClassInfo kProgramClass = {kNameTable, NewProgram, 0, nullptr, 0, nullptr, nullptr};

constexpr size_t kArgumentSize = 256;
constexpr size_t kMessageSize = 256;
constexpr int32_t kDefaultWait = 20;

bool SameClassName(const char* a, const char* b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (lower(static_cast<unsigned char>(*a)) != lower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

} // namespace

const ScriptMethod<CIProgramClass> CIProgramClass::kMethods[kMethodCount] = {
    nullptr,
    &P::Restart,
    &P::GetCommandLine,
    &P::GetArgument,
    &P::Wait,
    &P::Nothing,
    &P::IsDebug,
    &P::IsRelease,
    &P::Zero,
    &P::One,
    &P::GetNArguments,
    &P::One,
    &P::End,
    &P::GetChar,
    &P::GetString,
    &P::Flush,
    &P::SetFlush,
    &P::GetRGB,
    &P::GetRed,
    &P::GetGreen,
    &P::GetBlue,
    &P::GetDefaultGameInput,
    &P::IsScreenSaverSetupDialog,
    &P::IsScreenSaverControlPanel,
    &P::Zero,
    &P::IsDirectSound3DUsed,
    &P::IsDirectSound3DEnabled,
    &P::EnableDirectSound3D,
    &P::DisableDirectSound3D,
    &P::LoadString,
    &P::Nothing,
    &P::FillArray,
    &P::IsArray,
    &P::IsDefaultValue,
    &P::IsString,
    &P::IsNumber,
    &P::IsInteger,
    &P::IsFloat,
    &P::IsObject,
    &P::IsFunction,
    &P::GetArrayDimensionCount,
    &P::GetArrayDimensionSize,
    &P::Nothing,
    &P::Nothing,
    &P::DisableEvents,
    &P::EnableEvents,
    &P::EventsEnabled,
    &P::OnError,
    &P::GetLastError,
    &P::GetErrorMessage,
    &P::IsQuickTimeInstalled,
    &P::IsModPlugInstalled,
    &P::IsSpeechInstalled,
    &P::IsQuickTimeVRInstalled,
    &P::GetAscii,
    &P::GetApplicationDirectory,
    &P::Zero,
    &P::GetParamList,
    &P::GetParamValue,
    &P::GetBankList,
    &P::GetObjectList,
};

CIProgramClass::CIProgramClass(CInterpretor* interpreter, const CClassRecord* record)
    : CIProgram(interpreter, record) {}

void CIProgramClass::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIProgramClass::Destroy(int) {
    delete this;
}

void CIProgramClass::SetResult(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

// ---- Run control and the command line ------------------------------------------------

void CIProgramClass::GetCommandLine() {
    const char* line = interpreter->commandLine;
    interpreter->GetResultSlot()->SetString(line != nullptr ? line : "", 0);
}

void CIProgramClass::GetArgument() {
    char buffer[kArgumentSize];
    ::GetArgument(buffer, sizeof buffer, interpreter->commandLine, interpreter->GetArgInt(0));
    interpreter->GetResultSlot()->SetString(buffer, 0);
}

void CIProgramClass::GetNArguments() {
    SetResult(interpreter->argumentCount);
}

void CIProgramClass::Wait() {
    if (interpreter->GetHandlerDepth() > 0) interpreter->RaiseError(84);
    int32_t milliseconds = interpreter->IsArgDefault(0) ? kDefaultWait : interpreter->GetArgInt(0);
    interpreter->Wait(milliseconds > 0 ? uint32_t(milliseconds) : 0);
}

void CIProgramClass::GetApplicationDirectory() {
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(0, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) path[0] = '\0';
    char* end = std::strrchr(path, '\\');
    if (end != nullptr) end[1] = '\0';
    interpreter->GetResultSlot()->SetString(path, 0);
}

// ---- Environment ------------------------------------------------------------------------

void CIProgramClass::Nothing() {}

void CIProgramClass::Zero() {
    SetResult(0);
}

void CIProgramClass::One() {
    SetResult(1);
}

void CIProgramClass::IsRelease() {
    SetResult(interpreter->releaseFlag);
}

void CIProgramClass::IsDebug() {
    SetResult(interpreter->releaseFlag == 0 ? 1 : 0);
}

void CIProgramClass::IsScreenSaverSetupDialog() {
    const CLaunchInfo* launch = interpreter->LaunchInfo();
    SetResult(launch != nullptr && launch->hosted != 0 ? 1 : 0);
}

void CIProgramClass::IsScreenSaverControlPanel() {
    const CLaunchInfo* launch = interpreter->LaunchInfo();
    int32_t answer = 0;
    RECT rect{};
    if (launch != nullptr && launch->notifyOnEnd != 0 && launch->hosted == 0 &&
        GetWindowRect(launch->hostWindow, &rect)) {
        answer = rect.right - rect.left != GetSystemMetrics(SM_CXSCREEN) ||
                         rect.bottom - rect.top != GetSystemMetrics(SM_CYSCREEN)
                     ? 1
                     : 0;
    }
    SetResult(answer);
}

void CIProgramClass::GetDefaultGameInput() {
    CIBaseClassImpl* input = interpreter->GetSingleton(38);
    if (input == nullptr) interpreter->RaiseError(91);
    interpreter->GetResultSlot()->SetObject(input, 1);
}

void CIProgramClass::IsDirectSound3DUsed() {
    SetResult(interpreter->sound3DEnabled);
}

void CIProgramClass::IsDirectSound3DEnabled() {
    SetResult(interpreter->sound3DRequested);
}

void CIProgramClass::EnableDirectSound3D() {
    Switch3DSound(1);
}

void CIProgramClass::DisableDirectSound3D() {
    Switch3DSound(0);
}

void CIProgramClass::Switch3DSound(int32_t requested) {
    uint32_t position = interpreter->GetFirstObjectPos(kSpeakerClassId);
    while (position != 0) {
        if (interpreter->GetNextObject(kSpeakerClassId, position) != nullptr)
            interpreter->RaiseError(78);
    }
    interpreter->sound3DRequested = requested;
    if (auto update = GetNeighbourServices().update3DSound)
        update(*interpreter);
    else
        interpreter->sound3DEnabled = 0;
}

void CIProgramClass::ProbeResult(int (*probe)()) {
    SetResult(probe != nullptr && probe() != 0 ? 1 : 0);
}

void CIProgramClass::IsQuickTimeInstalled() {
    ProbeResult(GetNeighbourServices().isQuickTimeInstalled);
}

void CIProgramClass::IsQuickTimeVRInstalled() {
    ProbeResult(GetNeighbourServices().isQuickTimeVRInstalled);
}

void CIProgramClass::IsModPlugInstalled() {
    ProbeResult(GetNeighbourServices().isModPlugInstalled);
}

void CIProgramClass::IsSpeechInstalled() {
    ProbeResult(GetNeighbourServices().isSpeechInstalled);
}

void CIProgramClass::GetParamValue() {
    interpreter->GetResultSlot()->SetString("", 0);
}

void CIProgramClass::GetParamList() {
    CValue* result = interpreter->GetResultSlot();
    result->MakeArray();
    result->SetArrayItemString(0, "");
}

void CIProgramClass::GetBankList() {
    CProjectFile* project = interpreter->projectFile;
    CProjectEntry* entry = nullptr;
    if (project != nullptr) {
        entry = interpreter->IsArgDefault(0)
                    ? project->GetCurrentEntry()
                    : project->FindEntryByName(interpreter->GetArgString(0));
    }
    CValue* result = interpreter->GetResultSlot();
    result->MakeArray();
    if (entry == nullptr) return;
    int32_t index = 0;
    for (LListNode* node = entry->banks.GetHead(); node != nullptr; node = node->next)
        result->SetArrayItemString(index++, static_cast<CBank*>(node->item)->GetName());
}

void CIProgramClass::GetObjectList() {
    CValue* result = interpreter->GetResultSlot();
    result->MakeArray();
    CProjectFile* project = interpreter->projectFile;
    if (project == nullptr) return;
    PtrArray names;
    if (!project->GetNameList(names)) interpreter->RaiseError(15);
    for (uint32_t i = 0; i < names.GetCount(); ++i) {
        char* name = static_cast<char*>(names.GetAt(i));
        result->SetArrayItemString(int32_t(i), name);
        MemFree(&name);
    }
}

// ---- Values -------------------------------------------------------------------------------

void CIProgramClass::GetChar() {
    int32_t code = interpreter->GetArgInt(0);
    if (code < 0 || code > 255) interpreter->RaiseError(14);
    char text[2] = {char(code), '\0'};
    interpreter->GetResultSlot()->SetString(text, 0);
}

void CIProgramClass::GetAscii() {
    const char* text = interpreter->IsArgDefault(0) ? "" : interpreter->GetArgString(0);
    SetResult(static_cast<unsigned char>(text[0]));
}

void CIProgramClass::GetString() {
    char text[64];
    const CValue* value = interpreter->GetArg(0);
    if (value->GetType() == kValueInt)
        std::snprintf(text, sizeof text, "%d", value->GetInt());
    else
        std::snprintf(text, sizeof text, "%g", interpreter->GetArgDouble(0));
    interpreter->GetResultSlot()->SetString(text, 0);
}

void CIProgramClass::Flush() {
    interpreter->CollectGarbage();
}

void CIProgramClass::SetFlush() {
    int32_t threshold = interpreter->GetArgInt(0);
    if (interpreter->IsArgDefault(0) || threshold <= 0) interpreter->RaiseError(14);
    interpreter->garbageThreshold = uint32_t(threshold);
}

void CIProgramClass::GetRGB() {
    auto component = [this](uint32_t i) {
        return interpreter->IsArgDefault(i) ? 0u : uint32_t(interpreter->GetArgInt(i)) & 255;
    };
    SetResult(int32_t(component(0) << 16 | component(1) << 8 | component(2)));
}

void CIProgramClass::GetRed() {
    SetResult(interpreter->IsArgDefault(0) ? 0 : (interpreter->GetArgInt(0) >> 16) & 255);
}

void CIProgramClass::GetGreen() {
    SetResult(interpreter->IsArgDefault(0) ? 0 : (interpreter->GetArgInt(0) >> 8) & 255);
}

void CIProgramClass::GetBlue() {
    SetResult(interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0) & 255);
}

void CIProgramClass::LoadString() {
    CValue* result = interpreter->GetResultSlot();
    if (!LoadStringBankText(*interpreter, *interpreter->GetArg(0), *result))
        interpreter->RaiseError(79);
}

void CIProgramClass::ArgumentIs(uint32_t kind) {
    SetResult(interpreter->GetArg(0)->GetType() == kind ? 1 : 0);
}

void CIProgramClass::IsArray() {
    ArgumentIs(kValueArray);
}

void CIProgramClass::IsDefaultValue() {
    ArgumentIs(kValueDefault);
}

void CIProgramClass::IsString() {
    ArgumentIs(kValueString);
}

void CIProgramClass::IsInteger() {
    ArgumentIs(kValueInt);
}

void CIProgramClass::IsFloat() {
    ArgumentIs(kValueDouble);
}

void CIProgramClass::IsFunction() {
    ArgumentIs(kValueFunction);
}

void CIProgramClass::IsNumber() {
    uint32_t kind = interpreter->GetArg(0)->GetType();
    SetResult(kind == kValueInt || kind == kValueDouble ? 1 : 0);
}

void CIProgramClass::IsObject() {
    const CValue* value = interpreter->GetArg(0);
    CIBaseClassImpl* object = value->GetType() == kValueObject ? value->ObjectPayload() : nullptr;
    if (object == nullptr) {
        SetResult(0);
        return;
    }
    if (interpreter->IsArgDefault(1)) {
        SetResult(1);
        return;
    }
    // Class names are the language's names: case does not matter.
    const char* name = GetBuiltinClassName(object->classIndex);
    SetResult(name != nullptr && SameClassName(name, interpreter->GetArgString(1)) ? 1 : 0);
}

CScriptArray* CIProgramClass::RequiredArray() {
    CScriptArray* array = CInterpretor::ArrayOf(*interpreter->GetArg(0));
    if (array == nullptr) interpreter->RaiseError(46);
    return array;
}

void CIProgramClass::FillArray() {
    CScriptArray* array = CInterpretor::ArrayOf(*interpreter->GetArg(0));
    if (array == nullptr) interpreter->RaiseError(14);
    const CValue* value = interpreter->GetArg(1);
    int n = int(array->dimensions);
    if (n == 0) return;
    int32_t indices[CScriptArray::kMaxDimensions] = {};
    for (int i = 0; i < n; ++i) {
        if (array->sizes[i] == 0) return;
    }
    // The first index runs fastest.
    for (;;) {
        array->SetItem(indices, n, value);
        int i = 0;
        while (i < n && uint32_t(++indices[i]) == array->sizes[i])
            indices[i++] = 0;
        if (i == n) return;
    }
}

void CIProgramClass::GetArrayDimensionCount() {
    SetResult(int32_t(RequiredArray()->dimensions));
}

void CIProgramClass::GetArrayDimensionSize() {
    CScriptArray* array = RequiredArray();
    int32_t dimension = 0;
    if (interpreter->IsArgDefault(1)) {
        if (array->dimensions > 1) interpreter->RaiseError(21);
    } else {
        dimension = interpreter->GetArgInt(1);
    }
    if (dimension < 0 || uint32_t(dimension) >= array->dimensions) interpreter->RaiseError(45);
    SetResult(int32_t(array->sizes[dimension]));
}

// ---- Events and errors --------------------------------------------------------------

void CIProgramClass::DisableEvents() {
    interpreter->eventsEnabled = 0;
}

void CIProgramClass::EnableEvents() {
    interpreter->eventsEnabled = 1;
}

void CIProgramClass::EventsEnabled() {
    SetResult(interpreter->eventsEnabled);
}

void CIProgramClass::GetErrorMessage() {
    char text[kMessageSize] = {};
    if (!interpreter->IsArgDefault(0))
        CIError::FormatErrorMessage(text, sizeof text, interpreter->GetArgInt(0), -1);
    interpreter->GetResultSlot()->SetString(text, 0);
}

const ScriptClassInfo* GetProgramServicesClassInfo() {
    return &kProgramClass;
}
