// The one place where the player describes its script classes to the interpreter, before
// the first interpreter is made. A subsystem adds its classes here.
#pragma once

// Registers every built-in class the player has, then the stand-ins of the others.
void RegisterScriptClasses();
