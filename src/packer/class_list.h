// The class list a project carries: the names of the built-in script classes the player
// registers for it. Taken from the interpreter's class table so the two never drift.
#pragma once

#include <string>
#include <vector>

// Every built-in class name but the interpreter's own (which is always registered), in
// class-id order.
std::vector<std::string> BuiltinClassList();
bool IsBuiltinClassName(const std::string& name);
