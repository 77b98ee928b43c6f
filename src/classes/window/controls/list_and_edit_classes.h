// The descriptions of the Edit, ListBox, ComboBox, Animation and Editor classes, which the
// window classes register with the others.
#pragma once

#include <cstddef>

struct ScriptClassInfo;

const ScriptClassInfo* const* GetListAndEditClassInfos(size_t& count);
