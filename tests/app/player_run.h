// Running the real player as a separate process, as the end-to-end tests do: projects are
// packed with the real packer and run in a test folder on the headless display.
#pragma once

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace app_test {

struct PlayerOutcome {
    int exitCode = -1; // -1 when the shell could not run the program at all
    std::string errors;
};

// `text` as one word of a POSIX shell command.
std::string ShellQuote(const std::string& text);

// Packs the project folder `source` of `folder` (its project.zpk and files) into a copy of
// the player named `output` there; false when the packer fails.
bool PackFolder(const test_support::TempDir& folder, const std::string& source = "game",
                const std::string& output = "packed");

// Runs `program` with `arguments` from `folder` on the headless display, so that an error
// box never waits for a click. Nothing of the caller's own project or shell recording is
// inherited; `environment` adds "NAME=value" words of its own (shell-quoted).
PlayerOutcome RunPlayer(const test_support::TempDir& folder, const std::string& program,
                        const std::vector<std::string>& arguments = {},
                        const std::string& environment = "");

} // namespace app_test
