// The media classes (Sound), and the sound layer as the runtime's sound manager.
#pragma once

// Installs the sound manager, registers the classes and connects the Clipboard's sounds;
// call before RegisterScriptClasses.
void RegisterMediaClasses();
void UnregisterMediaClasses();
