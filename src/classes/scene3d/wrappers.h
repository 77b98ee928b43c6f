// The script objects of engine objects, by kind, and the engine objects of script
// arguments: what the World, the Camera and the Object share in reaching one from the
// other.
#pragma once

#include <cstdint>

class CIBaseClassImpl;
class CInterpretor;
class CIWorld;
class L3DObject;

// The wrapper of an engine object of the World, made on first use; null for none or for
// a kind whose class is not there.
CIBaseClassImpl* GetScriptWrapper(CInterpretor& interpreter, CIWorld* world, L3DObject* object);

// The engine object of the placed object in argument `i`; null when the argument is no
// placed object or its engine object is gone.
L3DObject* EngineObjectOfArg(CInterpretor& interpreter, uint32_t i);
