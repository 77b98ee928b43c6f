// Hooks for profile tests. Production code never calls these.
#pragma once

namespace platform::test {

// While set, every profile write stops after the new file is written and synced, as a
// crash before the rename would: the old file stays and the call fails
// (ERROR_WRITE_FAULT).
void FailProfileWriteBeforeRename(bool fail);

} // namespace platform::test
