// The tracker-module plug-in built into the player: LoadLibraryA("npmod32.dll") gives a
// module whose sixteen entry points play modules through libopenmpt into media voices.
// Instances are 32-bit handles from the plug-in's own table (0 for none); positions and
// lengths are milliseconds.
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/process/shared_library.h"
#include "platform/user/hwnd.h"

namespace modplug {

inline constexpr char LIBRARY_NAME[] = "npmod32.dll";

using Instance = DWORD;
// "ModPlug_Create" and "ModPlug_CreateEx" (its argument is not used): a new instance.
using CreateFn = Instance (*)();
using CreateExFn = Instance (*)(LPCSTR);
// "ModPlug_SetWindow": the host window is only kept.
using SetWindowFn = void (*)(Instance, HWND);
// "ModPlug_Load": stops, then 1 when the file is a module it plays, else 0 (nothing held).
using LoadFn = int (*)(Instance, LPCSTR);
// "ModPlug_Play" (1 when a module plays on from where it stands), "ModPlug_Stop" (keeps the
// position), "ModPlug_IsPlaying" (1 until the last frame played), "ModPlug_GetMaxPosition"
// and "ModPlug_GetSongLength" (the length), "ModPlug_GetCurrentPosition" (what was heard),
// "ModPlug_Destroy", "ModPlug_IsReady" (1 with a module loaded) and "ModPlug_GetVUMeter"
// (0).
using InstanceFn = int (*)(Instance);
// "ModPlug_SetCurrentPosition".
using SetPositionFn = int (*)(Instance, int);
// "ModPlug_GetVersion".
using VersionFn = int (*)();
// "ModPlug_RegisterCallback": the callback is never called.
using RegisterCallbackFn = int (*)(Instance, void*);

// GetProcAddress of the built-in module.
FARPROC Export(LPCSTR name);
// Makes LoadLibraryA of the library name give the built-in module.
void Install();

} // namespace modplug
