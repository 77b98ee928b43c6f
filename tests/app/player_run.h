// Running the real player as a separate process, as the end-to-end tests do: projects are
// packed with the real packer and run in a test folder on the headless display.
#pragma once

#include <filesystem>
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

// Packs examples/`name` of the source tree as PackFolder does, from a copy in `folder`;
// returns the example's own folder (where its input script lies), or an empty path when the
// packer fails.
std::filesystem::path PackExample(const test_support::TempDir& folder, const std::string& name);

// Runs `program` with `arguments` from `folder` on the headless display, so that an error
// box never waits for a click. Nothing of the caller's own project or shell recording is
// inherited; `environment` adds "NAME=value" words of its own (shell-quoted).
PlayerOutcome RunPlayer(const test_support::TempDir& folder, const std::string& program,
                        const std::vector<std::string>& arguments = {},
                        const std::string& environment = "");

// The picture a run left (a PNG) beside a golden in tests/app/golden/, byte for byte; with
// ZORV_WRITE_PICTURES=1 the golden is written from the picture instead.
void ExpectSameAsGolden(const std::string& picture, const std::filesystem::path& golden);

// Pixels of a picture further than a tolerance in some channel from a golden's, and of
// those the ones inside the golden's shapes: no neighbour of theirs differs from them in
// the golden by more than the tolerance.
struct PictureDifference {
    int total = 0;
    int differing = 0;
    int inside = 0;
};
// False (with a failure) when either cannot be read or their sizes differ.
bool ComparePictures(const std::filesystem::path& golden, const std::string& picture, int tolerance,
                     PictureDifference& difference);

// "mesa23" when OpenGL here is Mesa 23.x, "" for another OpenGL or none. Pictures drawn by
// Mesa's llvmpipe are kept per major version.
std::string MesaMajor();

// A frame drawn through OpenGL beside a golden of its own for this Mesa,
// golden/opengl/<mesa>/<name>: within 4 in every channel on at least 99.5% of the pixels.
// ZORV_WRITE_PICTURES=1 writes it instead. Skips without Mesa or a golden for it.
void ExpectLikeMesaGolden(const std::string& picture, const std::string& name);

} // namespace app_test
