// Where LoadLibraryA looks for a library. Internal to the platform layer.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The file names to try for `name`: the name, then for ".dll" or no extension the stem
// with ".so" and "lib<stem>.so".
std::vector<std::string> LibraryFileNames(const std::string& name);

// The Linux paths of existing files to try, in order; for a bare name the last entries
// are bare names (UTF-8) for dlopen's own search.
std::vector<std::string> LibraryCandidates(const std::string& name);

} // namespace platform
