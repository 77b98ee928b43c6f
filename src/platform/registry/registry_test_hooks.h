// Hooks for registry tests. Production code never calls these.
#pragma once

#include <string>

namespace platform::test {

// Keeps the registry in `folder` instead of the user's data folder (empty: back to the
// user's data folder). Forgets the trees in memory as ForgetRegistry does.
void SetRegistryFolder(const std::string& folder);

// Drops every tree held in memory, so the next call reads the files again. Handles still
// open refer to the forgotten keys and fail with ERROR_KEY_DELETED.
void ForgetRegistry();

// While set, every write of a root stops after the new file is written and synced, as a
// crash before the rename would: the old file stays, the new one is left behind, and the
// call fails with ERROR_WRITE_FAULT (its change undone).
void SimulateCrashBeforeRename(bool crash);

} // namespace platform::test
