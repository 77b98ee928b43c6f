#include "classes/system/system_classes.h"

#include "classes/system/binary_class.h"
#include "classes/system/clipboard_class.h"
#include "classes/system/disk_class.h"
#include "classes/system/display_class.h"
#include "classes/system/file_class.h"
#include "classes/system/ini_class.h"
#include "classes/system/process_class.h"
#include "classes/system/program_class.h"
#include "classes/system/registry_class.h"
#include "classes/system/serial_class.h"
#include "classes/system/shared_library_class.h"
#include "classes/system/system_class.h"
#include "classes/system/timer_class.h"
#include "classes/system/tray_icon_class.h"
#include "script/classes/base_class.h"
#include "script/runtime/neighbour_services.h"

namespace {

const ScriptClassInfo* const* Classes(size_t& count) {
    static const ScriptClassInfo* const classes[] = {
        GetBinaryClassInfo(),    GetIniClassInfo(),      GetDiskClassInfo(),
        GetFileClassInfo(),      GetRegistryClassInfo(), GetProgramServicesClassInfo(),
        GetSystemClassInfo(),    GetProcessClassInfo(),  GetSharedLibraryClassInfo(),
        GetSerialClassInfo(),    GetTimerClassInfo(),    GetDisplayClassInfo(),
        GetClipboardClassInfo(), GetTrayIconClassInfo(),
    };
    count = sizeof classes / sizeof classes[0];
    return classes;
}

} // namespace

void RegisterSystemClasses() {
    size_t count = 0;
    const ScriptClassInfo* const* classes = Classes(count);
    for (size_t i = 0; i < count; ++i)
        RegisterScriptClass(classes[i]);
    GetNeighbourServices().pollDownloads = &PollSystemDownloads;
}

void UnregisterSystemClasses() {
    size_t count = 0;
    const ScriptClassInfo* const* classes = Classes(count);
    for (size_t i = 0; i < count; ++i)
        UnregisterScriptClass(classes[i]->nameTable[0].id);
    GetNeighbourServices().pollDownloads = nullptr;
}
