// The developer tools a new user meets first, run with stand-ins for the build tools so
// that no real build happens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

std::filesystem::path Root() {
    return ZORV_SOURCE_DIR;
}

// A copy of tools/zorv-pack in a tree of its own, where cmake and ninja are scripts
// that pretend to build: ninja reports work to do until the pretended build ran.
class PackToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.Linux("tree/tools"));
        std::filesystem::copy_file(Root() / "tools/zorv-pack",
                                   folder.Linux("tree/tools/zorv-pack"));
        folder.WriteFile("tree/tools/deps", "#!/bin/sh\nexit 0\n");
        folder.WriteFile("bin/ninja", "#!/bin/sh\n"
                                      "if [ -f \"$2/built\" ]; then echo 'ninja: no work to do.';\n"
                                      "else echo '[1/2] Building CXX object main.o'; fi\n");
        folder.WriteFile("bin/cmake",
                         "#!/bin/sh\n"
                         "if [ \"$1\" = --build ]; then\n"
                         "  echo '[1/2] Building CXX object main.o'\n"
                         "  echo '[2/2] Linking CXX executable zorv'\n"
                         "  mkdir -p \"$2/src/app\" && touch \"$2/built\"\n"
                         "  printf '#!/bin/sh\\necho packed \"$@\"\\n' >\"$2/src/app/zorv-pack\"\n"
                         "  chmod +x \"$2/src/app/zorv-pack\"\n"
                         "else\n"
                         "  mkdir -p \"$4\" && touch \"$4/build.ninja\"\n"
                         "fi\n");
        std::string command = "chmod +x '" + folder.Linux("tree/tools/zorv-pack") + "' '" +
                              folder.Linux("tree/tools/deps") + "' '" + folder.Linux("bin/ninja") +
                              "' '" + folder.Linux("bin/cmake") + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // Runs the tool; its standard error, and its standard output in `output`.
    std::string Run(std::string& output) {
        std::string command = "PATH='" + folder.Linux("bin") + "':\"$PATH\" '" +
                              folder.Linux("tree/tools/zorv-pack") + "' project out >'" +
                              folder.Linux("out.txt") + "' 2>'" + folder.Linux("err.txt") + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        output = folder.ReadFile("out.txt");
        return folder.ReadFile("err.txt");
    }

    test_support::TempDir folder;
};

TEST_F(PackToolTest, SaysThatItBuildsAndShowsTheProgressOnlyWhenItBuilds) {
    std::string output;
    std::string errors = Run(output);
    const std::string said = "Building the player and the packer in " +
                             folder.Linux("tree/build/release") +
                             " (the first time takes a few minutes)...\n";
    EXPECT_EQ(errors, said + "[1/2] Building CXX object main.o\n"
                             "[2/2] Linking CXX executable zorv\n");
    // The packer's own output is all that reaches standard output.
    EXPECT_EQ(output, "packed project out\n");

    errors = Run(output);
    EXPECT_EQ(errors, "");
    EXPECT_EQ(output, "packed project out\n");
}

} // namespace
