// 8.3 alternate names ("PROGRA~1.TXT") for long file names, generated the same way
// every time a folder is read, since Linux stores none.
//
// A name is a valid 8.3 name when it has a base of 1 to 8 characters, at most one dot
// followed by 1 to 3 characters, and only ASCII letters (either case), digits and
// ! # $ % & ' ( ) - @ ^ _ ` { } ~. Other names get an alternate name: the base and the
// extension (after the last dot, leading dots ignored) are upper-cased and stripped of
// every character outside that set ("_" stands for a base left empty); the first six
// characters of the base, "~N" and the first three of the extension follow. N counts
// from 1 through the folder's long names of the same prefix and extension in byte order
// of the long names, skipping any result another entry already carries, so a folder
// with the same entries always gives the same names; adding an entry that sorts before
// others of its prefix renumbers those.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

bool IsShortName(std::string_view name);

// The alternate names of a folder's long names (Windows-1252), in the same order: empty
// where the long name is a valid 8.3 name. Equal long names are numbered in the order
// given.
std::vector<std::string> MakeShortNames(const std::vector<std::string>& longNames);

} // namespace platform
