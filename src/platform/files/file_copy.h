// Copying a file's content so that the target appears whole or not at all.
#pragma once

#include <string>
#include <sys/stat.h>

namespace platform {

// Copies the open file `sourceFd` (described by `info`: its permissions and times go
// along) into a temporary file in `targetFolder`, then renames that to `targetPath`,
// replacing an existing target only when `replace`. On failure (ERROR_FILE_EXISTS when
// the target appeared and may not be replaced) the temporary file is removed and the
// target is as it was. The writes honour the DiskFull and WriteError fault injections.
bool CopyThroughTemporary(int sourceFd, const struct stat& info, const std::string& targetFolder,
                          const std::string& targetPath, bool replace);

// rename() that refuses an existing target (errno EEXIST), atomically where the file
// system supports it.
int RenameNoReplace(const std::string& from, const std::string& to);

} // namespace platform
