#include "classes/system/disk_error.h"

#include "classes/system/disk_class.h"
#include "platform/kernel/errors.h"
#include "script/interpreter/interpretor.h"

void SetLastDiskError(CInterpretor& interpreter, uint32_t code) {
    CIBaseClassImpl* disk = interpreter.GetSingleton(CIDisk::kClassId);
    // The singleton is a placeholder when another description of the class was chosen.
    if (disk == nullptr || disk->classRecord == nullptr ||
        disk->classRecord->info != GetDiskClassInfo())
        return;
    static_cast<CIDisk*>(disk)->lastError = code;
}

void StoreLastDiskError(CInterpretor& interpreter) {
    SetLastDiskError(interpreter, GetLastError());
}
