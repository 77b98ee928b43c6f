// The window classes: Window and Font, registered with the interpreter, and the top-level
// window class through the start-up hook.
#pragma once

// Call before RegisterScriptClasses, which fills in stand-ins for the classes still
// missing.
void RegisterWindowClasses();
void UnregisterWindowClasses();
