// The networking script classes: Qel and the objects of its library, and raw sockets.
#pragma once

// Registers each of them; call before RegisterScriptClasses.
void RegisterNetClasses();
void UnregisterNetClasses();
