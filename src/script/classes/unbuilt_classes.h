// Stand-ins for the script classes whose subsystem is not built yet: the class name
// compiles, and New of it refuses with error 38 (the object cannot be created). A
// subsystem replaces a stand-in by registering its own description for the class.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

// The stand-in description of class `classId` (1 to 75); null out of range.
const ScriptClassInfo* GetUnbuiltClassInfo(uint32_t classId);

// Registers the stand-in of every class from 1 to 75 that has no description yet, except
// the singletons, which the interpreter makes as placeholders at start.
void RegisterUnbuiltClasses();
