#include "classes/input/input_classes.h"

#include <new>

#include "classes/input/ffdevice_class.h"
#include "classes/input/game_input_class.h"
#include "classes/input/keyboard_class.h"
#include "classes/window/window_class.h"
#include "script/interpreter/interpretor.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"
#include "script/runtime/neighbour_services.h"
#include "script/values/value.h"

namespace {

CIBaseClassImpl* CreateGameInput(CInterpretor& interpreter) {
    auto* gameInput = new (std::nothrow)
        CIGameInput(&interpreter, interpreter.GetClassRecord(CIGameInput::kClassId));
    if (gameInput == nullptr) return nullptr;
    if (gameInput->CreateAtStart() == 0) {
        gameInput->Destroy(0);
        return nullptr;
    }
    return gameInput;
}

// A Window became active: the start's GameInput moves its devices there and, on the first
// activation of a project that asks for it, starts its default game type.
void FollowActiveWindow(CInterpretor& interpreter, HWND window) {
    auto* gameInput = dynamic_cast<CIGameInput*>(interpreter.GetSingleton(CIGameInput::kClassId));
    if (gameInput == nullptr) return;
    const bool first = gameInput->GetWindow() == 0;
    gameInput->SetWindow(window);
    if (!first || interpreter.projectFile == nullptr) return;
    const CProjectEntry* entry = interpreter.projectFile->GetCurrentEntry();
    if (entry == nullptr || entry->inputSettings[0] == 0) return;
    // As Start() without an argument: the entry's default game type, the first one when
    // the default names none.
    CValue defaultType(&interpreter);
    defaultType.SetDefault();
    gameInput->StartInput(defaultType);
}

} // namespace

void RegisterInputClasses() {
    RegisterScriptClass(GetGameInputClassInfo());
    RegisterScriptClass(GetKeyboardClassInfo());
    RegisterScriptClass(GetFFDeviceClassInfo());
    GetNeighbourServices().createGameInput = &CreateGameInput;
    SetGameInputActivation(&FollowActiveWindow);
}

void UnregisterInputClasses() {
    UnregisterScriptClass(CIGameInput::kClassId);
    UnregisterScriptClass(CIKeyboard::kClassId);
    UnregisterScriptClass(CIFFDevice::kClassId);
    GetNeighbourServices().createGameInput = nullptr;
    SetGameInputActivation(nullptr);
}
