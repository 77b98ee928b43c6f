// A copy of the player carrying a project, written once into the temporary folder, for the
// start-up benchmarks.
#pragma once

#include <filesystem>
#include <string>

#include "packer/pack_output.h"
#include "packer/project_writer.h"

namespace bench {

// The path of the packed player, or an empty string when packing failed.
inline std::string PackPlayer(const PackProject& project, const char* fileName) {
    ProjectChunkWriter data;
    std::string error;
    const std::string output = (std::filesystem::temp_directory_path() / fileName).string();
    if (!WriteProjectData(project, data, error) ||
        !WriteAppendedProject(ZORV_PLAYER_PATH, data.Bytes(), output, error))
        return std::string();
    return output;
}

} // namespace bench
