#include "packer/class_list.h"

#include "script/classes/class_table.h"

std::vector<std::string> BuiltinClassList() {
    std::vector<std::string> names;
    for (uint32_t id = 1; id <= kLastClassId; ++id)
        names.emplace_back(GetBuiltinClassName(id));
    return names;
}

bool IsBuiltinClassName(const std::string& name) {
    for (uint32_t id = 1; id <= kLastClassId; ++id) {
        if (name == GetBuiltinClassName(id)) return true;
    }
    return false;
}
