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

// A copy of tools/zorv-pack in a tree of its own, where cmake is a script that pretends
// to build: there is work to do until the pretended build ran.
class PackToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.Linux("tree/tools"));
        std::filesystem::copy_file(Root() / "tools/zorv-pack",
                                   folder.Linux("tree/tools/zorv-pack"));
        folder.WriteFile("tree/tools/deps", "#!/bin/sh\nexit 0\n");
        folder.WriteFile("bin/cmake",
                         "#!/bin/sh\n"
                         "if [ \"$1\" != --build ]; then\n"
                         "  mkdir -p \"$4\" && touch \"$4/build.ninja\"; exit 0\n"
                         "fi\n"
                         "echo '[0/2] Re-checking globbed directories...'\n"
                         "if [ -f \"$2/built\" ]; then echo 'ninja: no work to do.'; exit 0; fi\n"
                         "echo '[1/2] Building CXX object main.o'\n"
                         "echo 'main.cpp:1: warning: something' >&2\n"
                         "echo '[2/2] Linking CXX executable zorv'\n"
                         "mkdir -p \"$2/src/app\" && touch \"$2/built\"\n"
                         "printf '#!/bin/sh\\necho packed \"$@\"\\n' >\"$2/src/app/zorv-pack\"\n"
                         "chmod +x \"$2/src/app/zorv-pack\"\n");
        std::string command = "chmod +x '" + folder.Linux("tree/tools/zorv-pack") + "' '" +
                              folder.Linux("tree/tools/deps") + "' '" + folder.Linux("bin/cmake") +
                              "'";
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
    const std::string said = "Building the player and the packer in " +
                             folder.Linux("tree/build/release") +
                             " (the first time is a full build: about 11 minutes with 3 jobs)...\n";
    const std::string progress = "[1/2] Building CXX object main.o\n"
                                 "main.cpp:1: warning: something\n"
                                 "[2/2] Linking CXX executable zorv\n";
    std::string output;
    EXPECT_EQ(Run(output), said + progress);
    // The packer's own output is all that reaches standard output.
    EXPECT_EQ(output, "packed project out\n");

    EXPECT_EQ(Run(output), "");
    EXPECT_EQ(output, "packed project out\n");

    // Sources changed since: the build tree is there, the build says so all the same.
    std::filesystem::remove(folder.Linux("tree/build/release/built"));
    EXPECT_EQ(Run(output), said + progress);
}

} // namespace
