// The system service classes: Binary, Disk, File, Ini, Registry, Program, System, Process,
// SharedLibrary, Serial, Timer, Display, Clipboard and TrayIcon.
#pragma once

#include <cstddef>

struct ScriptClassInfo;

// Registers each of them and the poll of System's downloads; call before RegisterScriptClasses,
// which fills in stand-ins for the classes still missing.
void RegisterSystemClasses();
void UnregisterSystemClasses();
