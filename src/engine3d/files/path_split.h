// The final name of a path, as world files give texture names with either separator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The characters after the last '\\' or '/' into `name`; gives their count plus one, so
// 1 for a path ending in a separator. 0, with `name` empty, for a path without one: the
// caller then has a bare file name.
uint32_t SplitFolderName(std::string_view path, std::string& name);

// The final name (the whole path when it has no separator) without a three-character
// extension: a '.' four places before the end cuts the name there. Gives the length of
// `name`.
uint32_t SplitBaseName(std::string_view path, std::string& name);
