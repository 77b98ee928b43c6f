// Runs a script from memory in a fresh interpreter with the system classes, for the
// benchmarks of those classes.
#pragma once

#include <cstdint>
#include <string>

// The error code that ended the run, 0 for a normal end, -1 when it does not compile.
int32_t RunSystemScript(const std::string& source);
