#include "packer/pack_output.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "packer/byte_cursor.h"
#include "script/project/project_format.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

} // namespace

TEST(PackOutput, AppendedProjectEndsWithTheTrailerAndKeepsTheExecutableBit) {
    test_support::TempDir dir;
    dir.WriteFile("player", "#!player bytes");
    fs::permissions(dir.Linux("player"), fs::perms::owner_all | fs::perms::group_read);
    std::string error;
    ASSERT_TRUE(WriteAppendedProject(dir.Linux("player"), Bytes("DATA"), dir.Linux("out"), error))
        << error;

    const std::string out = dir.ReadFile("out");
    ASSERT_EQ(out.size(), 14u + 4u + 8u);
    EXPECT_EQ(out.substr(0, 18), "#!player bytesDATA");
    const std::vector<uint8_t> bytes(out.begin(), out.end());
    packer_test::ByteCursor c{bytes, 18};
    EXPECT_EQ(c.U32(), project_format::kTrailerMarker);
    EXPECT_EQ(c.U32(), 14u); // the data begins where the player ends
    EXPECT_EQ(fs::status(dir.Linux("out")).permissions(),
              fs::perms::owner_all | fs::perms::group_read);
    EXPECT_FALSE(dir.Exists("out.part"));

    // A packed player is not packed again: its old trailer would hide nothing but waste.
    EXPECT_FALSE(WriteAppendedProject(dir.Linux("out"), Bytes("MORE"), dir.Linux("out2"), error));
    EXPECT_EQ(error, "the player '" + dir.Linux("out") + "' already carries a project");
    EXPECT_FALSE(dir.Exists("out2"));
}

TEST(PackOutput, FailuresLeaveNoFileBehind) {
    test_support::TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteAppendedProject(dir.Linux("none"), Bytes("D"), dir.Linux("out"), error));
    EXPECT_FALSE(dir.Exists("out"));
    EXPECT_FALSE(WriteBareProject(Bytes("D"), dir.Linux("no/such/folder/out"), error));
    // An existing output is replaced only by a complete one.
    dir.WriteFile("keep", "old");
    fs::create_directory(dir.Linux("keep.part"));
    EXPECT_FALSE(WriteBareProject(Bytes("new"), dir.Linux("keep"), error));
    EXPECT_EQ(dir.ReadFile("keep"), "old");
    fs::remove(dir.Linux("keep.part"));
    ASSERT_TRUE(WriteBareProject(Bytes("new"), dir.Linux("keep"), error)) << error;
    EXPECT_EQ(dir.ReadFile("keep"), "new");
}
