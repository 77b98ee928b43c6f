// The Surface classes, registered with the interpreter, and the maker through which a
// Window gets the Surface of its client area.
#pragma once

// Call before RegisterScriptClasses, which fills in stand-ins for the classes still
// missing.
void RegisterSurfaceClasses();
void UnregisterSurfaceClasses();
