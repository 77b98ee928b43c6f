// End to end: a packed project whose 3D bank holds a ZYB world and whose image bank holds
// the images its textures name (the rooms of examples/3d-walk), shown in a Window by the
// real player on the headless display through the software renderer. The world's file
// names its textures' images as files; the player must find them in the image bank.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/player_run.h"
#include "support/temp_dir.h"

namespace {

std::filesystem::path Walk() {
    return std::filesystem::path(ZORV_SOURCE_DIR) / "examples/3d-walk";
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(WorldProject, APackedProjectShowsAWorldOfItsBanksTexturedFromItsImageBank) {
    test_support::TempDir folder;
    folder.WriteFile("game/project.zpk", "entry Rooms\n  module main.zs\n"
                                         "  bank image Textures\n"
                                         "    file floor.png name=floor\n"
                                         "    file wall.png name=wall\n"
                                         "    file crate.png name=crate\n"
                                         "  bank 3d Worlds\n"
                                         "    file rooms.zyb packed\n");
    for (const char* image : {"floor.png", "wall.png", "crate.png"})
        folder.WriteFile(std::string("game/") + image, ReadBytes(Walk() / "generator" / image));
    folder.WriteFile("game/rooms.zyb", ReadBytes(Walk() / "rooms.zyb"));
    folder.WriteFile("game/main.zs", R"(w = New Window("Rooms", 200, 150, 20, 20);
rooms = New World(w, "rooms.zyb");
eye = New Camera(rooms, w);
eye.SetPosition(330, 200, -370);
eye.TurnLeft(1.0);
eye.TurnDown(0.25);
If (rooms.GetNTextures() != 3 || rooms.GetNObjects() != 6) Missing();
eye.Render();
Delete w;
)");
    std::filesystem::create_directories(folder.Linux("pictures"));
    ASSERT_TRUE(app_test::PackFolder(folder));
    // No file of the world's textures is left to find: only the image bank can give them.
    std::filesystem::remove_all(folder.Linux("game"));
    const app_test::PlayerOutcome outcome = app_test::RunPlayer(
        folder, folder.Linux("packed"), {},
        "ZORV_GL=off ZORV_HEADLESS_DUMP=" + app_test::ShellQuote(folder.Linux("pictures")));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    ASSERT_TRUE(folder.Exists("pictures/window-1.png"));
    app_test::ExpectSameAsGolden(folder.Linux("pictures/window-1.png"),
                                 std::filesystem::path(ZORV_SOURCE_DIR) /
                                     "tests/app/golden/world_project.png");
}

// The walk's world is made by its generator project: run headless, it must write the very
// bytes checked in. A change to the generator or to World.Save shows here; rerun the
// generator (see its project.zpk) and check the new file in. Its textures are named by
// their image elements, so no image is copied beside it.
TEST(WorldProject, TheWalksGeneratorWritesTheCheckedInRooms) {
    test_support::TempDir folder;
    for (const char* file : {"project.zpk", "generator.zs", "floor.png", "wall.png", "crate.png"})
        folder.WriteFile(std::string("game/") + file, ReadBytes(Walk() / "generator" / file));
    ASSERT_TRUE(app_test::PackFolder(folder));
    const app_test::PlayerOutcome outcome =
        app_test::RunPlayer(folder, folder.Linux("packed"), {}, "ZORV_GL=off");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    ASSERT_TRUE(folder.Exists("rooms.zyb"));
    EXPECT_TRUE(ReadBytes(folder.Linux("rooms.zyb")) == ReadBytes(Walk() / "rooms.zyb"))
        << "rooms.zyb differs from the checked-in one";
    EXPECT_FALSE(folder.Exists("rooms_textures/floor.png"));
}

} // namespace
