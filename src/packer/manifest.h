// The project manifest: a line-based text file in the project folder that lists the
// application entries, their properties, script modules and banks (documented for users in
// docs/packing.md). Reading it loads every file it names, so a PackProject that comes
// back is complete.
#pragma once

#include <string>
#include <string_view>

#include "packer/project_model.h"

inline constexpr const char* kManifestFileName = "project.zpk";

// Reads `projectDir`/project.zpk. On failure `error` reads "PATH:LINE: message" (or
// "PATH: message" for what concerns the whole file).
bool ReadManifestFile(const std::string& projectDir, PackProject& project, std::string& error);

// Parses manifest text; `displayName` begins every message, file names are relative to
// `baseDir`.
bool ParseManifest(std::string_view text, const std::string& displayName,
                   const std::string& baseDir, PackProject& project, std::string& error);
