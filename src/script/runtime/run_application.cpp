#include "script/runtime/run_application.h"

#include <clocale>

#include "foundation/memory/memory_helpers.h"
#include "foundation/memory/process_memory_info.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/kernel/sync.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/messages.h"
#include "platform/user/window_props.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/neighbour_services.h"

namespace {

constexpr size_t kMessageTextSize = 256;
constexpr size_t kMessageCaptionSize = 150;

ATOM windowObjectAtom = 0;

void ReleaseSemaphoreOf(const CLaunchInfo& launch) {
    if (launch.semaphore != 0) ReleaseSemaphore(launch.semaphore, 1, nullptr);
}

void NotifyHost(const CLaunchInfo& launch) {
    if (launch.notifyOnEnd != 0) {
        if (launch.hosted != 0) PostMessageA(launch.hostWindow, WM_COMMAND, 1, 0);
        return;
    }
    PostMessageA(launch.hostWindow, WM_CLOSE, 0, 0);
}

// Loads and runs the project with an initialised interpreter; the outcome goes into the
// launch block.
void RunProject(CInterpretor& interpreter, CLaunchInfo& launch, HWND parentWindow) {
    CTokenInfos report;
    ReleaseSemaphoreOf(launch);
    if (interpreter.LoadSources(report, 0, parentWindow, 1) != 0) {
        launch.outcome = RunOutcome::Ended;
        return;
    }
    launch.outcome = RunOutcome::Failed;
    launch.errorCode = report.GetErrorCode();
    if (launch.errorCode == 129) return;
    char text[kMessageTextSize];
    char caption[kMessageCaptionSize];
    report.GetErrorText(text, sizeof text);
    report.GetErrorCaption(caption, sizeof caption);
    MessageBoxA(0, text, caption, MB_ICONERROR);
}

} // namespace

int RunApplication(CLaunchInfo& launch) {
    // Numbers and character classes must not follow the user's locale: scripts and
    // project data use the decimal point and single-byte texts. The other categories do;
    // taken one by one, for loading the user's character classes only to drop them costs
    // a start some 150 KB of tables.
    for (int category : {LC_COLLATE, LC_MONETARY, LC_TIME, LC_MESSAGES, LC_PAPER, LC_NAME,
                         LC_ADDRESS, LC_TELEPHONE, LC_MEASUREMENT, LC_IDENTIFICATION})
        std::setlocale(category, "");
    OpenProcessMemoryInfo();
    launch.outcome = RunOutcome::NotRun;
    launch.errorCode = 0;
    HWND parentWindow = launch.hosted != 0 ? 0 : launch.hostWindow;
    if (launch.mutex != 0) WaitForSingleObject(launch.mutex, INFINITE);
    InitGlobalUI();
    auto* interpreter = new (std::nothrow) CInterpretor(0, &launch);
    if (interpreter != nullptr && interpreter->Init(nullptr, launch.commandLine.c_str(), 1) != 0) {
        RunProject(*interpreter, launch, parentWindow);
    } else {
        launch.outcome = RunOutcome::NoProject;
        ReleaseSemaphoreOf(launch);
    }
    delete interpreter;
    ShutdownGlobalUI();
    NotifyHost(launch);
    if (launch.mutex != 0) ReleaseMutex(launch.mutex);
    CloseProcessMemoryInfo();
    return 0;
}

void InitGlobalUI() {
    if (auto registerClass = GetNeighbourServices().registerMainWindowClass) registerClass();
    RegisterSurfaceThread();
    windowObjectAtom = GlobalAddAtomA(kWindowObjectProperty);
}

void ShutdownGlobalUI() {
    if (windowObjectAtom != 0) GlobalDeleteAtom(windowObjectAtom);
    windowObjectAtom = 0;
    UnregisterSurfaceThread();
}

ATOM GetWindowObjectAtom() {
    return windowObjectAtom;
}

int AttachWindowObject(HWND window, const char* property, CIBaseClassImpl* object) {
    return SetPropA(window, property, reinterpret_cast<uintptr_t>(object)) ? 1 : 0;
}

CIBaseClassImpl* DetachWindowObject(HWND window, const char* property) {
    return reinterpret_cast<CIBaseClassImpl*>(RemovePropA(window, property));
}

CIBaseClassImpl* GetWindowObject(HWND window, const char* property) {
    return reinterpret_cast<CIBaseClassImpl*>(GetPropA(window, property));
}

int SetBufferString(char*& buffer, const char* text) {
    MemFree(&buffer);
    if (text == nullptr) return 1;
    buffer = MemCopyText(text);
    return buffer != nullptr ? 1 : 0;
}

void KeepWindowProcedureError(CInterpretor* interpreter, CIError* error) {
    if (interpreter != nullptr) {
        interpreter->KeepPendingError(error);
    } else if (error != nullptr) {
        CWXException::Delete(error);
    }
}
