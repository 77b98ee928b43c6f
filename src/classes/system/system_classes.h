// The system service classes: Binary, Disk, File, Ini, Process, Registry, Serial
// and SharedLibrary.
#pragma once

#include <cstddef>

struct ScriptClassInfo;

// Registers each of them; call before RegisterScriptClasses, which fills in stand-ins
// for the classes still missing.
void RegisterSystemClasses();
void UnregisterSystemClasses();
