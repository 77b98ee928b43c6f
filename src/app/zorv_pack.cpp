// zorv-pack: builds project data from a folder with a manifest and appends it to a copy of
// the player, or writes it as a bare project file. See docs/packing.md.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "packer/manifest.h"
#include "packer/pack_output.h"
#include "packer/project_writer.h"

namespace {

constexpr const char* kUsage =
    "usage: zorv-pack [--bare] [--player PATH] PROJECT_DIR OUTPUT\n"
    "  Reads PROJECT_DIR/project.zpk and writes OUTPUT: a copy of the player with the\n"
    "  project appended, or with --bare the project data alone (for ZORV_PROJECT).\n"
    "  --player PATH  the player to copy (default: zorv beside this program)\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "zorv-pack: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    bool bare = false;
    std::string player;
    std::string positional[2];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(arg, "--bare") == 0) {
            bare = true;
        } else if (std::strcmp(arg, "--player") == 0) {
            if (i + 1 == argc) return Fail("--player needs a path\n" + std::string(kUsage));
            player = argv[++i];
        } else if (arg[0] == '-' && arg[1] != '\0') {
            return Fail(std::string("unknown option ") + arg + "\n" + kUsage);
        } else if (count < 2) {
            positional[count++] = arg;
        } else {
            return Fail(std::string("too many arguments\n") + kUsage);
        }
    }
    if (count != 2)
        return Fail(std::string("a project folder and an output are needed\n") + kUsage);
    if (bare && !player.empty()) return Fail("--bare writes no player: drop --player");
    if (!bare && player.empty()) {
        const std::filesystem::path self(argv[0]);
        if (!self.has_parent_path()) return Fail("cannot tell where the player is: give --player");
        player = (self.parent_path() / "zorv").string();
    }

    PackProject project;
    std::string error;
    if (!ReadManifestFile(positional[0], project, error)) return Fail(error);
    ProjectChunkWriter data;
    if (!WriteProjectData(project, data, error)) return Fail(positional[0] + ": " + error);
    const bool written = bare ? WriteBareProject(data.Bytes(), positional[1], error)
                              : WriteAppendedProject(player, data.Bytes(), positional[1], error);
    return written ? 0 : Fail(error);
}
