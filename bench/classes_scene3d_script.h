// The 3D class benchmarks' scripts: the classes registered once on the headless display with
// the software renderer, and a script run from memory in a fresh interpreter.
#pragma once

#include <cstdint>
#include <string>

void SetUpScene3DScripts();
// The error code that ended the run, 0 for a normal end, -1 when it does not compile.
int32_t RunScene3DScript(const std::string& source);
