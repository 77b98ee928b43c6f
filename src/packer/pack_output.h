// Writes packed projects to disk. Output goes to a temporary name beside the target and is
// renamed at the end, so a failed run leaves no half-written file under the target name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The project data alone: a project file the player reads through ZORV_PROJECT.
bool WriteBareProject(const std::vector<uint8_t>& data, const std::string& output,
                      std::string& error);

// A copy of `player` with the project data appended, then the trailer: u32 marker and the
// u32 offset of the data. The copy keeps the player's permissions, the executable bits
// included. A player that already carries a trailer is refused.
bool WriteAppendedProject(const std::string& player, const std::vector<uint8_t>& data,
                          const std::string& output, std::string& error);
