// The 3D script classes: worlds, cameras, placed objects, lights, positions and zones, and
// the Vector, Matrix and Math classes.
#pragma once

// Registers each of them; call before RegisterScriptClasses.
void RegisterScene3DClasses();
void UnregisterScene3DClasses();
