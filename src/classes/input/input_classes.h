// The game-input script classes: GameInput, Keyboard and FFDevice.
#pragma once

// Registers each of them, the GameInput made at start for projects that ask for game
// input, and the GameInput's following of the active Window; call before
// RegisterScriptClasses.
void RegisterInputClasses();
void UnregisterInputClasses();
