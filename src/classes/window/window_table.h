// The Window class's method names and class-level constants.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

const MethodNameRow* GetWindowNameTable();
const ClassLevelHandler* GetWindowConstants();
uint32_t GetWindowConstantCount();
